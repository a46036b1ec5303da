// Index key expressions: parsed from their text (as stored in the NTX header) against a table's
// fields and evaluated on raw record bytes.
// Supported: field names, "+", dtos(date); for foreign files also str(n[,len[,dec]]), upper(),
// substr(s,start[,len]), left(s,n), right(s,n), trim()/rtrim()/alltrim(), numeric and date
// fields as keys (numbers in the field's width and decimals, encoded as DBFNTX does so that
// negative numbers sort first, see key_of_number; dates as yyyymmdd).
#pragma once
#include <memory>
#include <string>
#include <string_view>
#include <vector>
#include "rt/dbf/field.h"

namespace rt::dbf {

class KeyExpr {
public:
    // Throws rt::Error (with the text) when the expression cannot be evaluated.
    static KeyExpr compile(std::string_view text, const std::vector<FieldDef>& fields);
    KeyExpr();
    KeyExpr(const KeyExpr&);
    KeyExpr& operator=(const KeyExpr&);
    KeyExpr(KeyExpr&&) noexcept;
    KeyExpr& operator=(KeyExpr&&) noexcept;
    ~KeyExpr();

    // The key of a record (record[0] is the delete flag), exactly key_size() bytes.
    std::string eval(const char* record) const;
    // The same key written to out (key_size() bytes), without allocating for plain field keys.
    void eval_to(const char* record, char* out) const;
    int key_size() const;
    int decimals() const;      // for numeric keys
    char type() const;         // 'C', 'N' or 'D': the type of the whole expression
    const std::string& text() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// The key encodings of numbers and dates, for seeks on numeric and date keys.
std::string key_of_number(double v, int len, int dec);
std::string key_of_date_text(const std::string& yyyymmdd);

}  // namespace rt::dbf
