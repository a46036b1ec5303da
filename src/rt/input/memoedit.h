// The memo editor: multi-line text in a rectangle of the screen.
#pragma once
#include <string>
#include <vector>

namespace rt {

// Edits text in the rectangle (standard colour). Arrows, Home / End (line), PgUp / PgDn
// (window) move the cursor; Enter splits the line at the cursor,
// Backspace / Del join lines at their ends, Ctrl+Y deletes the line, Ins toggles insert mode.
// Lines longer than the rectangle scroll sideways. Ctrl+W returns the edited text, Esc the
// original text unchanged. Lines end in CR LF in the returned text (LF alone is read as well).
// With editable false it only shows the text: the keys move the view, Esc or Ctrl+W leave.
std::string MEMOEDIT(const std::string& text, int top, int left, int bottom, int right,
                     bool editable = true);

// The text's lines (split on CR LF, LF, or the soft line end 0x8D 0x0A).
std::vector<std::string> memo_lines(const std::string& text);

}  // namespace rt
