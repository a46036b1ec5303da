// Check digits of personal and tax numbers and the model-97 payment references, with the
// expected values worked out by hand from the weighting rules.
#include <gtest/gtest.h>

#include "calc/checks.h"
#include "company/company.h"

namespace tor {
namespace {

TEST(PersonalNumber, CheckDigitUnderWeightsSevenToTwo) {
    // 7*0+6*1+5*0+4*1+3*9+2*9+7*0+6*7+5*1 = 102; 102 mod 11 = 3; 11 - 3 = 8.
    EXPECT_TRUE(KBJMBG("0101990710008"));
    for (char c = '0'; c <= '9'; ++c) {
        if (c == '8') continue;
        EXPECT_FALSE(KBJMBG(std::string("010199071000") + c)) << c;
    }
    // Sum 7 + 4 = 11 leaves no remainder: the check digit is 0, not 11.
    EXPECT_TRUE(KBJMBG("1001000000000"));
    EXPECT_FALSE(KBJMBG("1001000000001"));
}

TEST(PersonalNumber, RemainderOneNeverValidAndEmptyAccepted) {
    // Sum 7 + 5 = 12 leaves remainder 1: check character "X", no number passes.
    for (char c = '0'; c <= '9'; ++c) EXPECT_FALSE(KBJMBG(std::string("101000000000") + c)) << c;
    EXPECT_FALSE(KBJMBG("101000000000X"));
    EXPECT_TRUE(KBJMBG("") && KBJMBG("             "));
    // A number cut short has no check digit to compare.
    EXPECT_FALSE(KBJMBG("010199071000"));
}

TEST(TaxNumber, Mod11_10) {
    // 1,2,...,8 leaves P = 3: check digit 8; P = 1 gives 11 - 1 = 10, written as 0.
    const std::pair<const char*, bool> cases[] = {{"100000024", true}, {"100000025", false}, {"123456788", true},
                                                  {"123456787", false}, {"100000090", true}, {"100000091", false},
                                                  {"", true}, {"         ", true}, {"10000002", false}};
    for (const auto& [pib, ok] : cases) EXPECT_EQ(KBPIB(pib), ok) << pib;
    EXPECT_TRUE(KBZR("160-0000000012345-67"));
}

TEST(PaymentReference, Model97WithTaxAndPersonalNumber) {
    WPIBKOM = "123456785";
    EXPECT_EQ(PNB97("601"), "97  92601123456785");
    // A trailing blank of a stored field does not count.
    EXPECT_EQ(PNB97("601 "), "97  92601123456785");
    WJMBG = "0101990710008";
    EXPECT_EQ(PNB97JMBG("601"), "97  276010101990710008");
    // 98 - (100 mod 97) = 95: the smallest number still gets two digits.
    WPIBKOM = "1";
    EXPECT_EQ(PNB97(""), "97  951");
    // A control below 10 keeps its leading zero: 9600 mod 97 = 94, 98 - 94 = 04.
    WPIBKOM = "96";
    EXPECT_EQ(PNB97(""), "97  0496");
    WPIBKOM.clear();
    WJMBG.clear();
}

}  // namespace
}  // namespace tor
