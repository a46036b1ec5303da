#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "rt/term/console.h"
#include "rt/term/keys.h"
#include <unistd.h>

using namespace rt;

namespace {
// The characters of a row segment as bytes.
std::string bytes(int r, int c0, int c1) {
    std::string s;
    for (int c = c0; c <= c1; ++c) s += static_cast<char>(CELL(r, c).ch);
    return s;
}
class Screen : public ::testing::Test {
protected:
    void SetUp() override { console_init_headless(""); }
};
}  // namespace

TEST_F(Screen, SayClipsAtTheEdgesAndMovesTheCursor) {
    SETCOLOR("W+/B");
    SAY(3, 75, "ABCDEFGH");
    EXPECT_EQ(bytes(3, 75, 79), "ABCDE");
    EXPECT_EQ(CELL(4, 0).ch, ' ');  // nothing wraps
    EXPECT_EQ(CELL(3, 75).attr, 0x1F);
    EXPECT_EQ(COL(), 83);
    SAY(0, -2, "xyz");
    EXPECT_EQ(CELL(0, 0).ch, 'z');
    SAY(25, 0, "off");
    SAY(-1, 0, "off");
    SAY(5, 10, "w", 0x4E);
    EXPECT_EQ(CELL(5, 10).attr, 0x4E);
    SAY_COLOR(6, 0, "n", "GR+*/B,W/R");
    EXPECT_EQ(CELL(6, 0).attr, 0x9E);
}

// Attributes alone (SET_ATTR) are shown by the shadows of the boxes.
TEST_F(Screen, ClearFillAndCls) {
    SETCOLOR("W/B");
    FILL(0, 0, 24, 79, 0xDB, 0x09);
    CLEAR_RECT(2, 3, 4, 5);
    EXPECT_EQ(CELL(2, 3), (Cell{' ', 0x17}));
    EXPECT_EQ(CELL(4, 5), (Cell{' ', 0x17}));
    EXPECT_EQ(CELL(4, 6), (Cell{0xDB, 0x09}));
    EXPECT_EQ(CELL(5, 5), (Cell{0xDB, 0x09}));
    FILL(20, 70, 30, 90, 'x', 0x07);  // clipped, no crash
    EXPECT_EQ(CELL(24, 79).ch, 'x');
    CLS();
    EXPECT_EQ(CELL(24, 79), (Cell{' ', 0x17}));
    EXPECT_EQ(ROW(), 0);
    EXPECT_EQ(COL(), 0);
}

TEST_F(Screen, BoxFramesAndFill) {
    FILL(0, 0, 24, 79, '.', 0x07);
    BOX(1, 1, 4, 6, "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ", 0x1F);
    EXPECT_EQ(bytes(1, 1, 6), "\xC9\xCD\xCD\xCD\xCD\xBB");
    EXPECT_EQ(bytes(2, 1, 6), "\xBA    \xBA");
    EXPECT_EQ(bytes(4, 1, 6), "\xC8\xCD\xCD\xCD\xCD\xBC");
    EXPECT_EQ(CELL(2, 3).attr, 0x1F);
    // Eight characters: the inside stays.
    BOX(10, 10, 12, 12, "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3", 0x07);
    EXPECT_EQ(CELL(11, 11).ch, '.');
    EXPECT_EQ(bytes(12, 10, 12), "\xC0\xC4\xD9");
    // A box past the edge is clipped.
    BOX(22, 76, 26, 82, "123456789", 0x07);
    EXPECT_EQ(bytes(22, 76, 79), "1222");
    EXPECT_EQ(bytes(23, 76, 79), "8999");
}

TEST_F(Screen, SaveAndRestoreAtAnotherPlace) {
    SAY(2, 2, "ab", 0x1E);
    SAY(3, 2, "cd", 0x4F);
    ScreenImage img = SAVESCREEN(2, 2, 3, 3);
    ASSERT_TRUE(img.valid());
    CLS();
    RESTSCREEN(10, 20, img);
    EXPECT_EQ(CELL(10, 20), (Cell{'a', 0x1E}));
    EXPECT_EQ(CELL(11, 21), (Cell{'d', 0x4F}));
    EXPECT_EQ(CELL(2, 2).ch, ' ');
    RESTSCREEN(img);
    EXPECT_EQ(CELL(3, 3), (Cell{'d', 0x4F}));
    RESTSCREEN(24, 79, img);  // only the top-left cell fits
    EXPECT_EQ(CELL(24, 79).ch, 'a');
    ScreenImage whole = SAVESCREEN();
    EXPECT_EQ(whole.cells.size(), static_cast<size_t>(ROWS * COLS));
    CLS();
    RESTSCREEN(whole);
    EXPECT_EQ(CELL(24, 79).ch, 'a');
}

TEST_F(Screen, ScrollUpAndDown) {
    SETCOLOR("W/B");
    for (int r = 0; r < 5; ++r) SAY(r, 0, std::string(1, static_cast<char>('0' + r)) + "xx");
    SCROLL(1, 0, 3, 1, 1);
    EXPECT_EQ(bytes(0, 0, 2), "0xx");
    EXPECT_EQ(bytes(2, 0, 2), "3xx");
    EXPECT_EQ(bytes(3, 0, 2), "  x");  // the freed line, only inside the rectangle
    EXPECT_EQ(CELL(3, 0).attr, 0x17);
    EXPECT_EQ(bytes(4, 0, 2), "4xx");
    SCROLL(0, 0, 4, 2, -2);
    EXPECT_EQ(bytes(1, 0, 2), "   ");
    EXPECT_EQ(bytes(2, 0, 2), "0xx");
    EXPECT_EQ(bytes(4, 0, 2), "3xx");
    SCROLL(0, 0, 4, 2, 9);
    EXPECT_EQ(bytes(4, 0, 2), "   ");
}

TEST_F(Screen, DumpIsTwentyFiveLinesOfEightyGlyphs) {
    char name[] = "/tmp/term_dumpXXXXXX";
    int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    console_init_headless("{dump}x{dump}", name);
    SAY(0, 0, "\xC9\xCD\xBB", 0x1F);
    SAY(1, 0, std::string("\x00\x18\xFF", 3));
    SAY(24, 79, "\xDB");
    EXPECT_EQ(INKEY(), 0);     // a poll does not pass a dump
    EXPECT_EQ(INKEY(0), 'x');  // the first {dump} runs when the program waits for a key
    SAY(2, 0, "later");
    EXPECT_EQ(NEXTKEY(), 0);
    EXPECT_EQ(INKEY(1), 0);    // the second when it waits again
    std::ifstream f(name);
    std::vector<std::string> lines;
    for (std::string l; std::getline(f, l);) lines.push_back(l);
    std::remove(name);
    ASSERT_EQ(lines.size(), 52u);
    EXPECT_EQ(lines[25], "----");
    EXPECT_EQ(lines[51], "----");
    EXPECT_EQ(lines[2], std::string(80, ' '));
    EXPECT_EQ(lines[28], "later" + std::string(75, ' '));
    for (int i = 26; i < 51; ++i) {
        size_t count = 0;
        for (unsigned char c : lines[i]) count += (c & 0xC0) != 0x80;
        EXPECT_EQ(count, 80u) << "line " << i - 26;
    }
    EXPECT_EQ(lines[26].substr(0, 9), "╔═╗");
    EXPECT_EQ(lines[27].substr(0, 1), " ");          // byte 0 is a space
    EXPECT_EQ(lines[27].substr(1, 3), "↑");
    EXPECT_EQ(lines[27].substr(4, 2), "\u00A0");
    EXPECT_EQ(lines[50].substr(lines[50].size() - 3), "█");
}

TEST(Cp437, EveryByteRoundTrips) {
    for (int b = 1; b < 256; ++b)
        EXPECT_EQ(unicode_to_cp437(cp437_to_unicode(static_cast<uint8_t>(b))), b) << b;
    EXPECT_EQ(cp437_to_utf8("\xC9\xCD\xBB\xB3\xDA"), "╔═╗│┌");
    EXPECT_EQ(utf8_to_cp437("Ä╬€"), "\x8E\xCE?");
    EXPECT_EQ(unicode_to_cp437(U'€'), -1);
}
