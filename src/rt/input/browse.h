// A browse of rows and columns over any data source (a table, a filtered table, an array).
//
//   MySource src(...);                       // implements BrowseSource
//   rt::Browse b(5, 2, 20, 77, src);
//   b.add({"Sifra", [&] { return rt::Value(src.code()); }, "999999"});
//   b.on_key([&](int key, int mode, int col) { ... return rt::BR::CONTINUE; });
//   b.run();
#pragma once
#include <functional>
#include <string>
#include <vector>
#include "rt/input/picture.h"
#include "rt/term/console.h"

namespace rt {

// Where the rows come from. The browse only moves through it and reads the current row through
// the columns' value functions.
class BrowseSource {
public:
    virtual ~BrowseSource() = default;
    virtual void go_top() = 0;
    virtual void go_bottom() = 0;
    // Moves n rows (n < 0 back); returns how many it moved (signed; fewer at either end).
    virtual long skip(long n) = 0;
    virtual bool empty() = 0;
};

struct BrowseColumn {
    std::string heading;
    std::function<Value()> value;     // the current row's value
    std::string picture;              // shown as an input field with this picture would show it
    int width = 0;                    // 0: the wider of the heading and the value
    std::function<void(const Value&)> store;  // writes an edited cell; empty: not editable
};

namespace BR {
// Modes the key handler gets.
constexpr int IDLE = 0, HITTOP = 1, HITBOTTOM = 2, EMPTY = 3, EXCEPTION = 4;
// What the key handler returns.
constexpr int ABORT = 0, CONTINUE = 1, REFRESH = 2, EDIT = 3;
}  // namespace BR

class Browse {
public:
    // key: the key (0 in IDLE and EMPTY modes); col: the current column, 1-based.
    using KeyHandler = std::function<int(int key, int mode, int col)>;

    Browse(int top, int left, int bottom, int right, BrowseSource& src);
    Browse& add(BrowseColumn c);
    Browse& col_sep(std::string s);   // between columns (default one blank)
    Browse& head_sep(std::string s);  // a character repeated under the headings ("" = none)
    Browse& on_key(KeyHandler fn);

    // Moves with Up / Down / PgUp / PgDn / Home (first row) / End (last row) / Left / Right.
    // Other keys, reaching either end and an empty source go to the handler: ABORT ends the
    // browse, REFRESH re-reads every row, EDIT edits the current cell in place. Without a
    // handler Esc and Enter end it. Returns the key that ended it.
    int run();

    void refresh_all();   // the next display re-reads every row (data changed under it)
    void go_top();
    void go_bottom();
    int column() const { return cur_col_ + 1; }
    void set_column(int c);
    int row_pos() const { return row_pos_; }  // the bar's row inside the data area, 0-based
    // Edits the current row's cell of column c (0 = the current column) with a one-field READ
    // at its place; true when it was left with anything but Esc.
    bool edit_cell(int c = 0);
    // Draws the browse now (a handler that repainted the screen may call it).
    void display();

private:
    void layout();
    int data_top() const;
    std::string cell_text(int c) const;

    int top_, left_, bottom_, right_;
    BrowseSource& src_;
    std::vector<BrowseColumn> cols_;
    std::vector<int> widths_;
    std::string col_sep_ = " ";
    std::string head_sep_;
    KeyHandler handler_;
    ColorSpec colour_;
    int cur_col_ = 0;
    int left_col_ = 0;
    int row_pos_ = 0;
    bool laid_out_ = false;
};

}  // namespace rt
