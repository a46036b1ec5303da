// Index key expressions over raw records: key sizes, encodings, functions and errors.
#include <gtest/gtest.h>

#include "rt/dbf/keyexpr.h"
#include "rt/fmt/error.h"

using rt::dbf::FieldDef;
using rt::dbf::KeyExpr;

namespace {

// SIFRA C6, NAZIV C10, DATUM D8, KOL N10.3, TAR C3
const std::vector<FieldDef> kFields{
    {"SIFRA", 'C', 6, 0, 1}, {"NAZIV", 'C', 10, 0, 7}, {"DATUM", 'D', 8, 0, 17}, {"KOL", 'N', 10, 3, 25}, {"TAR", 'C', 3, 0, 35}};

std::string record(const std::string& sifra, const std::string& naziv, const std::string& datum, const std::string& kol,
                   const std::string& tar) {
    auto pad = [](std::string s, size_t n, bool right) {
        if (s.size() < n) s = right ? std::string(n - s.size(), ' ') + s : s + std::string(n - s.size(), ' ');
        return s.substr(0, n);
    };
    return " " + pad(sifra, 6, false) + pad(naziv, 10, false) + pad(datum, 8, false) + pad(kol, 10, true) + pad(tar, 3, false);
}

}  // namespace

TEST(KeyExpr, FieldsAndDatesConcatenate) {
    const std::string r = record("000123", "Mleko", "20240315", "12.500", "A1");
    KeyExpr k = KeyExpr::compile("Sifra+dtos(datum)", kFields);
    EXPECT_EQ(k.key_size(), 14);
    EXPECT_EQ(k.type(), 'C');
    EXPECT_EQ(k.eval(r.data()), "00012320240315");
    // names in any case, blanks, an alias prefix
    KeyExpr k2 = KeyExpr::compile(" TAR + field->SIFRA + DTOS( Datum ) ", kFields);
    EXPECT_EQ(k2.eval(r.data()), "A1 00012320240315");
    // the empty date is eight blanks
    const std::string e = record("1", "", "", "", "");
    EXPECT_EQ(k.eval(e.data()), "1             ");
}

TEST(KeyExpr, NumbersAndDatesAsWholeKeys) {
    const std::string r = record("1", "", "20231231", "-7.25", "");
    KeyExpr n = KeyExpr::compile("kol", kFields);
    EXPECT_EQ(n.type(), 'N');
    EXPECT_EQ(n.key_size(), 10);
    EXPECT_EQ(n.decimals(), 3);
    // numeric keys: blanks become zeros, negative numbers get their digits mirrored below '0'
    EXPECT_EQ(n.eval(r.data()), ",,,,,%.*',");
    EXPECT_EQ(rt::dbf::key_of_number(12.5, 10, 3), "000012.500");
    EXPECT_EQ(rt::dbf::key_of_number(2.675, 6, 2), "002.68");  // rounded half away from zero
    const double ordered[] = {-1000, -7.25, -7.2, -1, -0.001, 0, 0.001, 1, 7.2, 7.25, 1000};
    for (size_t i = 1; i < std::size(ordered); ++i)
        EXPECT_LT(rt::dbf::key_of_number(ordered[i - 1], 10, 3), rt::dbf::key_of_number(ordered[i], 10, 3)) << ordered[i];
    KeyExpr d = KeyExpr::compile("datum", kFields);
    EXPECT_EQ(d.type(), 'D');
    EXPECT_EQ(d.eval(r.data()), "20231231");
    EXPECT_EQ(rt::dbf::key_of_date_text("20240101"), "20240101");
    EXPECT_EQ(rt::dbf::key_of_date_text(""), "        ");
    // str() without a width takes the field's, with one but no decimals rounds to whole numbers
    EXPECT_EQ(KeyExpr::compile("str(kol)", kFields).eval(r.data()), "    -7.250");
    EXPECT_EQ(KeyExpr::compile("str(kol,5)", kFields).eval(r.data()), "   -7");
    EXPECT_EQ(KeyExpr::compile("sifra+str(kol,8,1)", kFields).eval(r.data()), "1         -7.3");
}

TEST(KeyExpr, StringFunctionsAndKeySize) {
    const std::string r = record("ab12", "  Kafa x", "20240101", "1", "t");
    EXPECT_EQ(KeyExpr::compile("upper(naziv)", kFields).eval(r.data()), "  KAFA X  ");
    EXPECT_EQ(KeyExpr::compile("substr(naziv,3,4)", kFields).eval(r.data()), "Kafa");
    EXPECT_EQ(KeyExpr::compile("substr(naziv,3)", kFields).key_size(), 8);
    EXPECT_EQ(KeyExpr::compile("left(sifra,2)+right(sifra,2)", kFields).eval(r.data()), "ab  ");
    EXPECT_EQ(KeyExpr::compile("substr(dtos(datum),1,6)", kFields).eval(r.data()), "202401");
    // A trimmed field is empty on a blank record, so it adds nothing to the key size; longer
    // values are cut to the key size, shorter ones padded with blanks.
    KeyExpr t = KeyExpr::compile("trim(sifra)+tar", kFields);
    EXPECT_EQ(t.key_size(), 3);
    EXPECT_EQ(t.eval(r.data()), "ab1");
    const std::string r2 = record("", "", "", "", "xy");
    EXPECT_EQ(t.eval(r2.data()), "xy ");
    KeyExpr a = KeyExpr::compile("alltrim(naziv)+'|'", kFields);
    EXPECT_EQ(a.key_size(), 1);
    EXPECT_THROW(KeyExpr::compile("upper(alltrim(naziv))", kFields), rt::Error);  // an empty key
    // copies are independent of the original
    KeyExpr c = t;
    t = KeyExpr::compile("sifra", kFields);
    EXPECT_EQ(c.eval(r.data()), "ab1");
    EXPECT_EQ(t.eval(r.data()), "ab12  ");
}

TEST(KeyExpr, ErrorsNameTheExpression) {
    for (const char* bad : {"", "sifra+", "nema", "sifra+nema", "foo(sifra)", "dtos(sifra)", "upper(kol)",
                            "sifra+kol", "substr(naziv)", "(sifra", "sifra)", "str(naziv)", "'abc"}) {
        try {
            KeyExpr::compile(bad, kFields);
            ADD_FAILURE() << "accepted: " << bad;
        } catch (const rt::Error& e) {
            EXPECT_NE(std::string(e.what()).find(bad), std::string::npos) << e.what();
        }
    }
}
