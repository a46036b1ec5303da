// Input pictures and the edit buffer of one input field.
//
// A picture is an optional function part ("@" up to the first blank: "!" upper case, "K" the
// first typed key clears the old content, "S<n>" n visible characters with scrolling) followed
// by a template (9 # ! A N X L Y are positions to type into, anything else is shown as is).
// "@K999" has no blank, so it is a function part only and the field has no template.
//
// The edit buffer holds the text being typed, the cursor and the changed flag. It knows nothing
// of the screen: the READ engine draws it and feeds it keys.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include "rt/fmt/date.h"

namespace rt {

// The type of the value behind an input field: character, numeric, date, logical.
enum class VType : uint8_t { C, N, D, L };
using Value = std::variant<std::string, double, Date, bool>;
VType value_type(const Value& v);

struct Picture {
    std::string functions;  // function letters, upper case ("!K", "S")
    std::string tmpl;       // the template ("" when none)
    int scroll = 0;         // @S<n>: visible width, 0 = the whole field
    bool upper = false;     // @! (also implied by "!" among the functions of "@K!!!")
    bool clear_first = false;  // @K
    bool has(char f) const { return functions.find(f) != std::string::npos; }
};
Picture parse_picture(std::string_view pic);

// The template a numeric field uses when its picture has none.
inline constexpr std::string_view DEFAULT_NUMERIC_TEMPLATE = "9999999999";

// The text an input field shows for a value when it is not being edited (numbers through
// TRANSFORM with the template, dates as "dd.mm.yyyy", logicals as T/F or Y/N).
std::string field_text(VType type, const Picture& pic, const Value& v);

class EditBuffer {
public:
    EditBuffer(VType type, const Picture& pic, const Value& v);

    // Reloads the text from a value; the cursor goes to the first position, the field is
    // unchanged again. The clear-on-first-key state of @K and numeric fields is re-armed.
    void load(const Value& v);

    const std::string& text() const { return text_; }
    int width() const { return static_cast<int>(text_.size()); }
    int pos() const { return pos_; }  // 0-based; width() once the last position was typed
    bool changed() const { return changed_; }
    bool typed_out() const { return pos_ >= width(); }
    // The cursor column inside the field (the last position when typed out).
    int cursor() const { return typed_out() ? last_editable() : pos_; }

    // Types one character (a byte 32..255). False when the character is refused (wrong kind
    // for the position, no room in insert mode, nothing left to type into).
    bool put(uint8_t ch, bool insert);
    void left();
    void right();
    void home();
    void end();
    void backspace();
    void del();
    void clear_to_end();  // Ctrl+Y

    // The value the text stands for. False (out untouched) when the text is not a valid value:
    // a partly typed or impossible date. original is the variable's value before editing (a
    // character variable longer than its template keeps its tail).
    bool value(Value& out, const Value& original) const;

private:
    bool editable(int i) const;
    int first_editable() const;
    int last_editable() const;
    int next_editable(int i) const;  // width() when none
    int prev_editable(int i) const;  // -1 when none
    int section_end(int i) const;    // last index of the run of editable positions holding i
    bool accept(int i, uint8_t& ch) const;
    void clear_all();
    void justify_integer_part();

    VType type_;
    Picture pic_;
    std::string tmpl_;   // the effective template, one character per position
    bool any_ = false;   // no template: every position takes any character
    int dot_ = -1;       // numeric: position of the decimal point
    std::string text_;
    int pos_ = 0;
    bool changed_ = false;
    bool clear_pending_ = false;
};

}  // namespace rt
