// Numbers, dates and strings formatted as the xBase runtime did.
// All strings are raw bytes (CP437/CP852 text is kept byte for byte).
#pragma once
#include <string>
#include <string_view>
#include "rt/fmt/date.h"
#include "rt/fmt/error.h"

namespace rt {

// ---- numbers ----
// ROUND: half away from zero, with the 15-significant-digit guard (2.675 -> 2.68).
double ROUND(double v, int dec);
// INT: the integer part, truncated toward zero.
double INT(double v);
// STR(n, len, dec): right-aligned in len, dec decimals, rounded; too wide -> len asterisks.
std::string STR(double v, int len = 10, int dec = 0);
std::string STRZERO(double v, int len, int dec = 0);
// VAL: leading blanks skipped, sign, digits, one decimal point; stops at the first other character.
double VAL(std::string_view s);
// TRANSFORM with a picture ("@" function part to the first blank, then the template).
// Numeric templates: 9 # digits, "." decimal point, "," grouping (blank when no digit left of it),
// other characters literal ("999% "). Overflow: the template's digit positions filled with "*".
// Functions: "!" upper case, "B" left-justified, "D" date shape, "E" "," and "." exchanged,
// "R" literals inserted into character values, "Z" zero as blanks; "K" and "S<n>" belong to
// input and are passed over here. An unknown picture throws rt::Error naming it.
std::string TRANSFORM(double v, std::string_view pic);
std::string TRANSFORM(std::string_view s, std::string_view pic);
std::string TRANSFORM(const Date& d, std::string_view pic);
std::string TRANSFORM(bool b, std::string_view pic);
// Number of decimals and total width a numeric template describes ("9999999.99" -> 10, 2).
int picture_width(std::string_view pic);
int picture_decimals(std::string_view pic);

// ---- dates ----
std::string DTOC(const Date& d);    // "dd.mm.yyyy", blanks for the empty date
std::string DTOC8(const Date& d);   // "dd.mm.yy"
std::string DTOS(const Date& d);    // "yyyymmdd", eight blanks for the empty date
Date CTOD(std::string_view s);      // "dd.mm.yyyy" or "dd.mm.yy" (yy < 30 -> 20yy, else 19yy); invalid -> empty
Date STOD(std::string_view s);      // "yyyymmdd"; invalid or blank -> empty
int DAY(const Date& d);
int MONTH(const Date& d);
int YEAR(const Date& d);
int DOW(const Date& d);             // 1 = Sunday … 7 = Saturday, 0 for the empty date
std::string CMONTH(const Date& d);  // English month name ("January")
std::string CDOW(const Date& d);    // English day name ("Sunday")

// ---- strings ----
std::string PADL(std::string_view s, int n, char fill = ' ');
std::string PADR(std::string_view s, int n, char fill = ' ');
std::string PADC(std::string_view s, int n, char fill = ' ');
std::string ALLTRIM(std::string_view s);
std::string TRIM(std::string_view s);   // = RTRIM
std::string LTRIM(std::string_view s);
int AT(std::string_view needle, std::string_view hay);   // 1-based, 0 = not found
int RAT(std::string_view needle, std::string_view hay);  // 1-based, last occurrence
std::string STRTRAN(std::string_view s, std::string_view from, std::string_view to = "");
std::string REPLICATE(std::string_view s, int n);
std::string SPACE(int n);
std::string UPPER(std::string_view s);   // ASCII letters only; other bytes unchanged
std::string LOWER(std::string_view s);
// 1-based as in xBase; start 0 counts as 1, a negative start counts from the end.
std::string SUBSTR(std::string_view s, int start);           // to the end
std::string SUBSTR(std::string_view s, int start, int len);  // len <= 0 gives ""
std::string LEFT(std::string_view s, int n);
std::string RIGHT(std::string_view s, int n);
bool CONTAINS(std::string_view needle, std::string_view hay);     // needle $ hay
bool EMPTY(std::string_view s);  // only blanks, tabs, CR, LF

}  // namespace rt
