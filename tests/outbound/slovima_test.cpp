// The amount in words of an invoice and the invoice's unique identifier.
#include <gtest/gtest.h>

#include "outbound/outbound.h"
#include "rt/fmt/fmt.h"

namespace tor {
namespace {

std::string words(double v) { return SLOVIMA(v, true); }

TEST(Slovima, UnitsTeensAndTens) {
    EXPECT_EQ(words(1), "Jedan dinar i 00/100");
    EXPECT_EQ(words(2), "Dva dinara i 00/100");
    EXPECT_EQ(words(5), "Pet dinara i 00/100");
    EXPECT_EQ(words(10), "Deset dinara i 00/100");
    EXPECT_EQ(words(11), "Jedanaest dinara i 00/100");
    EXPECT_EQ(words(12), "Dvanaest dinara i 00/100");
    EXPECT_EQ(words(14), "Cetrnaest dinara i 00/100");
    EXPECT_EQ(words(16), "Sestnaest dinara i 00/100");
    EXPECT_EQ(words(21), "DvadesetJedan dinar i 00/100");
    EXPECT_EQ(words(45), "CetrdesetPet dinara i 00/100");
    EXPECT_EQ(words(50), "Pedeset dinara i 00/100");
    EXPECT_EQ(words(66), "SezdesetSest dinara i 00/100");
    EXPECT_EQ(words(99.99), "DevedesetDevet dinara i 99/100");
}

TEST(Slovima, HundredsThousandsMillionsMilliards) {
    EXPECT_EQ(words(100), "Sto dinara i 00/100");
    EXPECT_EQ(words(101), "StoJedan dinar i 00/100");
    EXPECT_EQ(words(111), "StoJedanaest dinara i 00/100");
    EXPECT_EQ(words(200), "Dvestotine dinara i 00/100");
    EXPECT_EQ(words(413), "CetiristotineTrinaest dinara i 00/100");
    EXPECT_EQ(words(570), "PetstotinaSedamdeset dinara i 00/100");
    EXPECT_EQ(words(1000), "Hiljadu dinara i 00/100");
    EXPECT_EQ(words(2000), "Dvehiljade dinara i 00/100");
    EXPECT_EQ(words(5000), "Pethiljada dinara i 00/100");
    EXPECT_EQ(words(11000), "Jedanaesthiljada dinara i 00/100");
    EXPECT_EQ(words(21000), "DvadesetJednahiljada dinara i 00/100");
    EXPECT_EQ(words(22005), "DvadesetDvehiljadePet dinara i 00/100");
    EXPECT_EQ(words(1000000), "Milion dinara i 00/100");
    EXPECT_EQ(words(2000000), "Dvamiliona dinara i 00/100");
    EXPECT_EQ(words(21000000), "DvadesetJedanmilion dinara i 00/100");
    EXPECT_EQ(words(12000000), "Dvanaestmiliona dinara i 00/100");
    EXPECT_EQ(words(1001001.01), "MilionHiljaduJedan dinar i 01/100");
    EXPECT_EQ(words(1000000000), "Milijardu dinara i 00/100");
    EXPECT_EQ(words(2000000000), "Dvemilijarde dinara i 00/100");
    EXPECT_EQ(words(21000000000.0), "DvadesetJednamilijarda dinara i 00/100");
    EXPECT_EQ(words(5000000000.0), "Petmilijardi dinara i 00/100");
    // a thousand milliards: the milliard triple is spelled although it is "000"
    EXPECT_EQ(words(1000000000000.0), "Hiljadumilijardi dinara i 00/100");
}

TEST(Slovima, WorkedExamplesSignZeroAndParas) {
    EXPECT_EQ(words(1234.50), "HiljaduDvestotineTridesetCetiri dinara i 50/100");
    EXPECT_EQ(words(2500000.00), "DvamilionaPetstotinahiljada dinara i 00/100");
    EXPECT_EQ(words(152.00), "StoPedesetDva dinara i 00/100");
    EXPECT_EQ(words(21.00), "DvadesetJedan dinar i 00/100");
    EXPECT_EQ(SLOVIMA(152, false), "StoPedesetDva dinara ");
    EXPECT_EQ(SLOVIMA(0, true), "nula");
    EXPECT_EQ(words(-21.5), "minus DvadesetJedan dinar i 50/100");
    EXPECT_EQ(words(120.004), "StoDvadeset dinara i 00/100");
}

TEST(Ekobaja, ThreeBase36Groups) {
    EXPECT_EQ(EKOBAJA(rt::CTOD("05.03.2024"), "101234567", "000123", 1234.50), "8BM790-1L612SS-1DM722I");
    // a group of zeros is written "0"; blanks around the tax number do not count
    EXPECT_EQ(EKOBAJA(rt::CTOD("01.01.2000"), "   ", "000000", 0), "1O4S3K-0-0");
}

}  // namespace
}  // namespace tor
