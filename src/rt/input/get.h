// Input fields (GET) and READ.
//
//   std::vector<rt::Get> gl;
//   gl.push_back(rt::get(5, 20, WSIFRA, "999999").valid([&] { return PREGLED("ART"); }).name("WSIFRA"));
//   gl.push_back(rt::get(7, 20, WNAZIV, "@!"));
//   rt::READ(gl);
//   if (rt::LASTKEY() == rt::K::ESC) ...
//
// A Get is bound to a variable (std::string, double, rt::Date, bool) by reference, or to a
// getter/setter pair (a table field written when the field is left). The field is drawn at
// row, col with the picture: inactive fields in the unselected part of the colour that was
// current when the Get was made, the field being edited in the enhanced part.
#pragma once
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>
#include "rt/input/picture.h"
#include "rt/term/console.h"

namespace rt {

class Get {
public:
    using Getter = std::function<Value()>;
    using Setter = std::function<void(const Value&)>;

    Get(int row, int col, VType type, Getter getter, Setter setter, std::string_view picture = "");

    // The validation: runs whenever the field is left except by Esc, also when nothing was
    // changed; false keeps the cursor in the field. It may change other variables and repaint.
    Get& valid(std::function<bool()> fn);
    // The variable's name, as hot-key handlers see it (active_var()).
    Get& name(std::string n);
    // The colour the field is drawn in (default: the colour current when the Get was made).
    Get& color(std::string_view colour);

    const std::string& name() const { return name_; }
    VType type() const { return type_; }
    int row() const { return row_; }
    int col() const { return col_; }
    const Picture& picture() const { return pic_; }
    // Cells the field takes on the screen.
    int width() const;

    // The variable's value, and assignment to it. Assigning to the field being edited reloads
    // its text and redraws it ("the field shows the new value at once"). A value of the wrong
    // type is converted the obvious way (a number to a text for a character field …). A number
    // too wide for the field's picture is refused with a tone, as typing it would be.
    Value value() const;
    void assign(const Value& v);
    // Reloads the text of the field being edited from its variable and redraws it.
    void refresh();
    // The text as typed so far (the field's text when it is not being edited).
    std::string buffer() const;
    bool active() const { return edit_.has_value(); }
    bool changed() const { return edit_ && edit_->changed(); }

    // Draws the field (inactive colour, or the edit colour while it is being edited).
    void display() const;

    // ---- used by the READ engine ----
    void focus();            // starts editing: text from the variable
    void blur();             // ends editing and draws the field inactive
    EditBuffer& edit() { return *edit_; }
    // Assigns the typed text to the variable; false when the text is no valid value (a date).
    bool assign_buffer();
    bool run_valid();
    void undo();             // puts back the value the field had when editing started
    void place_cursor() const;

private:
    int row_, col_;
    VType type_;
    Getter getter_;
    Setter setter_;
    std::string pic_text_;
    Picture pic_;
    std::string name_;
    std::function<bool()> valid_;
    ColorSpec colour_;
    std::optional<EditBuffer> edit_;
    Value original_;
};

Get get(int row, int col, std::string& var, std::string_view picture = "");
Get get(int row, int col, double& var, std::string_view picture = "");
Get get(int row, int col, Date& var, std::string_view picture = "");
Get get(int row, int col, bool& var, std::string_view picture = "");
Get get(int row, int col, VType type, Get::Getter getter, Get::Setter setter,
        std::string_view picture = "");

using GetList = std::vector<Get>;

// @ row, col GET: draws the field at once (unselected colour) and adds it to the list.
Get& GET(GetList& gets, Get g);

// Edits the fields in order until: Enter past the last field, PgDn / PgUp / Ctrl+W (after the
// current field's validation), or Esc (the field being edited keeps its old value; fields
// already left keep what was assigned). Up / Down move between fields. LASTKEY() is the key that
// ended the READ. Returns true when a variable was changed (Esc included).
bool READ(GetList& gets, int start = 0);

// CONFIRM: on (the default), a field whose last position was typed is not left without Enter
// or a cursor key; off, typing the last position leaves it.
void SET_CONFIRM(bool on);
bool CONFIRM();
// Insert / overwrite (Ins toggles it inside a field; overwrite at start).
void SET_INSERT(bool on);
bool INSERT_MODE();

// A function run whenever an input field is entered, and after its validation each time the
// user tries to leave it (whether the field is left or kept), and when it is left by Esc. The
// toolkit resets its per-field flags here. An empty function removes it.
void set_field_hook(std::function<void()> fn);

// ---- for hot-key handlers running inside a READ ----
// The field being edited (nullptr outside a READ). Its changed text has been assigned to its
// variable before the handler runs.
Get* active_get();
// Ends the READ as if key had been pressed in the field (K::ENTER, K::PGDN, K::UP …): the
// validation runs as for that key.
void read_exit(int key);
// Ends the READ at once, without validation (CLEAR GETS).
void read_kill();

}  // namespace rt
