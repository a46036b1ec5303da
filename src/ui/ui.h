// The screen toolkit: boxes with a drop shadow, the multi-line help box and the named colours
// every screen selects by name.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace tor {

// ---- named colours (colour display set; COLORME switches to the monochrome set) ----
inline std::string NORMAL = "W+/B,W+/R,,,W+/B";   // ordinary text, boxes, input fields
inline std::string SVETLO = "GR+/B";              // titles, message text, list headings

// ---- frame strings: top-left, top, top-right, right, bottom-right, bottom, bottom-left, left, fill ----
inline const std::string FRAME_SINGLE = "\xDA\xC4\xBF\xB3\xD9\xC4\xC0\xB3 ";
inline const std::string FRAME_DOUBLE = "\xC9\xCD\xBB\xBA\xBC\xCD\xC8\xBA ";
inline const std::string FRAME_BLOCK = "\xDB\xDF\xDB\xDB\xDB\xDC\xDB\xDB ";

// The text HELPBOX shows: lines each ended by ";" and one skipped character ("; " between lines,
// "; ;" for an empty line).
inline std::string HELPKEY;

// Shadow to the right of and below the box: those cells keep their characters and turn light grey
// on black. Coordinates are moved one down/right and kept on the screen (rows 1-24, columns 1-79).
bool SHADOW(int top, int left, int bottom, int right);

// Shadow, cleared rectangle and frame in the current colour. frame: "" = single line, "double" =
// double line, otherwise the nine frame characters. A title is printed on the top border, centred.
bool BOXSHAD(int top, int left, int bottom, int right, std::string_view frame = "",
             std::string_view title = "");

// The lines of a HELPKEY text (at most 20).
std::vector<std::string> helpbox_lines(std::string_view text);

// Shows HELPKEY (when not empty) in a double-framed box from row 2, waits for a key, then puts
// the screen and the colour back.
void HELPBOX();

}  // namespace tor
