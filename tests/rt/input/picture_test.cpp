// Pictures and the edit buffer, without the screen.
#include <gtest/gtest.h>

#include <tuple>

#include "rt/input/picture.h"
#include "rt/fmt/error.h"

using rt::Date;
using rt::EditBuffer;
using rt::Value;
using rt::VType;

namespace {

EditBuffer buf(VType t, const char* pic, Value v) { return EditBuffer(t, rt::parse_picture(pic), v); }

void type(EditBuffer& b, std::string_view s, bool insert = false) {
    for (char c : s) b.put(static_cast<uint8_t>(c), insert);
}

Value val(const EditBuffer& b, Value original = std::string()) {
    Value v;
    EXPECT_TRUE(b.value(v, original)) << "text: [" << b.text() << "]";
    return v;
}

}  // namespace

// The function part runs to the first blank; pictures with a blank ("@!S10", "@K 999") are typed
// into through READ.
TEST(Picture, FunctionPartRunsToTheFirstBlank) {
    // No blank: a function part only, digits are no functions, "!" still upper-cases.
    auto p = rt::parse_picture("@K999");
    EXPECT_EQ(std::tuple(p.clear_first, p.upper, p.tmpl), std::tuple(true, false, ""));
    p = rt::parse_picture("@K!!!!!!");
    EXPECT_EQ(std::tuple(p.clear_first, p.upper, p.tmpl), std::tuple(true, true, ""));

    // A function the input fields do not know is an error naming the picture, not ignored.
    try {
        rt::parse_picture("@RQ 999");
        FAIL() << "unknown function accepted";
    } catch (const rt::Error& e) {
        EXPECT_NE(std::string(e.what()).find("@RQ 999"), std::string::npos);
    }
}

TEST(EditBuffer, CharacterTemplatesAndUpperCase) {
    // @!: every letter upper case; the field keeps the variable's length.
    auto b = buf(VType::C, "@!", std::string("      "));
    type(b, "ab1c");
    EXPECT_EQ(b.text(), "AB1C  ");

    // Digit template on a character field refuses letters; literals are skipped.
    b = buf(VType::C, "99-99", std::string("     "));
    EXPECT_FALSE(b.put('x', false));
    type(b, "1234");
    EXPECT_EQ(b.text(), "12-34");
    EXPECT_TRUE(b.typed_out());
    EXPECT_FALSE(b.put('5', false));  // nothing left to type into

    // "!A": first position upper-cased, second letters only.
    b = buf(VType::C, "!A", std::string("  "));
    type(b, "c");
    EXPECT_FALSE(b.put('1', false));
    type(b, "d");
    EXPECT_EQ(b.text(), "Cd");

    // A variable longer than its template keeps its tail.
    b = buf(VType::C, "99", std::string("12345"));
    type(b, "77");
    EXPECT_EQ(std::get<std::string>(val(b, std::string("12345"))), "77345");
}

// Clearing on the first key (@K and numbers) is shown through READ.
TEST(EditBuffer, InsertBackspaceDelete) {
    // Insert pushes the rest right but never pushes a character out.
    auto b = buf(VType::C, "", std::string("ab  "));
    type(b, "xy", true);
    EXPECT_EQ(b.text(), "xyab");
    EXPECT_FALSE(b.put('z', true));
    EXPECT_EQ(b.text(), "xyab");

    // Backspace and Del close the gap, Ctrl+Y clears to the end.
    b = buf(VType::C, "", std::string("abcd"));
    b.right();
    b.right();
    b.backspace();
    EXPECT_EQ(b.text(), "acd ");
    b.del();
    EXPECT_EQ(b.text(), "ad  ");
    b.clear_to_end();
    EXPECT_EQ(b.text(), "a   ");
}

TEST(EditBuffer, NumbersWithMinusDecimalsAndOverflow) {
    // Typed from the first position the number is replaced.
    EXPECT_EQ(buf(VType::N, "9999999.99", 0.0).text(), "      0.00");
    auto b = buf(VType::N, "9999999.99", 17.0);
    type(b, "-42.25");
    EXPECT_DOUBLE_EQ(std::get<double>(val(b)), -42.25);
    EXPECT_FALSE(b.put('-', false));  // one sign only

    // No digits beyond the template: the eighth integer digit lands in the decimals and the
    // eleventh key is refused.
    b = buf(VType::N, "9999999.99", 0.0);
    type(b, "123456789");
    EXPECT_FALSE(b.put('1', false));
    EXPECT_DOUBLE_EQ(std::get<double>(val(b)), 1234567.89);

    // Integer picture: no decimal point accepted; letters never.
    b = buf(VType::N, "999999", 5.0);
    EXPECT_FALSE(b.put('x', false));
    type(b, "12");
    EXPECT_FALSE(b.put('.', false));
    EXPECT_DOUBLE_EQ(std::get<double>(val(b)), 12.0);

    // A moved cursor edits the number in place.
    b = buf(VType::N, "999", 123.0);
    b.right();
    type(b, "9");
    EXPECT_DOUBLE_EQ(std::get<double>(val(b)), 193.0);

    // Decimals beyond the picture do not exist; a value is rounded to the picture.
    b = buf(VType::N, "99.99", 0.0);
    type(b, ".129");
    EXPECT_DOUBLE_EQ(std::get<double>(val(b)), 0.12);
}

TEST(EditBuffer, DatesAndLogicals) {
    auto b = buf(VType::D, "", Date());
    EXPECT_EQ(b.text(), "  .  .    ");
    for (const char* typed : {"29022023", "1503"}) {  // no 29th February in 2023; a year missing
        Value v;
        b = buf(VType::D, "", Date());
        type(b, typed);
        EXPECT_FALSE(b.value(v, Date())) << typed;
    }

    // A date blanked out is the empty date.
    b = buf(VType::D, "", Date::ymd(2026, 1, 5));
    EXPECT_EQ(b.text(), "05.01.2026");
    b.clear_to_end();
    EXPECT_TRUE(std::get<Date>(val(b, Date())).empty());

    b = buf(VType::L, "", false);
    EXPECT_FALSE(b.put('x', false));
    type(b, "y");
    EXPECT_EQ(b.text(), "T");
    EXPECT_TRUE(std::get<bool>(val(b, false)));
    b = buf(VType::L, "Y", true);
    EXPECT_EQ(b.text(), "Y");
    type(b, "n");
    EXPECT_FALSE(std::get<bool>(val(b, false)));
}
