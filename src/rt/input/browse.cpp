#include "rt/input/browse.h"

#include <algorithm>
#include "rt/fmt/fmt.h"
#include "rt/input/get.h"
#include "rt/term/keys.h"

namespace rt {

Browse::Browse(int top, int left, int bottom, int right, BrowseSource& src)
    : top_(top), left_(left), bottom_(bottom), right_(right), src_(src), colour_(current_color()) {}

Browse& Browse::add(BrowseColumn c) {
    cols_.push_back(std::move(c));
    laid_out_ = false;
    return *this;
}
Browse& Browse::col_sep(std::string s) { col_sep_ = std::move(s); laid_out_ = false; return *this; }
Browse& Browse::head_sep(std::string s) { head_sep_ = std::move(s); return *this; }
Browse& Browse::on_key(KeyHandler fn) { handler_ = std::move(fn); return *this; }

void Browse::refresh_all() { laid_out_ = false; }

void Browse::go_top() {
    src_.go_top();
    row_pos_ = 0;
}

void Browse::go_bottom() {
    src_.go_bottom();
    row_pos_ = bottom_ - data_top();
}

void Browse::set_column(int c) {
    if (c >= 1 && c <= static_cast<int>(cols_.size())) cur_col_ = c - 1;
}

int Browse::data_top() const {
    bool headings = std::any_of(cols_.begin(), cols_.end(), [](const BrowseColumn& c) { return !c.heading.empty(); });
    return top_ + (headings ? 1 : 0) + (headings && !head_sep_.empty() ? 1 : 0);
}

std::string Browse::cell_text(int c) const {
    const BrowseColumn& col = cols_[c];
    Value v = col.value();
    return field_text(value_type(v), parse_picture(col.picture), v);
}

void Browse::layout() {
    widths_.assign(cols_.size(), 0);
    bool have_row = !src_.empty();
    for (size_t c = 0; c < cols_.size(); ++c) {
        int w = cols_[c].width;
        if (w <= 0) {
            w = static_cast<int>(cols_[c].heading.size());
            if (have_row) w = std::max(w, static_cast<int>(cell_text(static_cast<int>(c)).size()));
        }
        widths_[c] = std::max(1, w);
    }
    laid_out_ = true;
}

void Browse::display() {
    if (!laid_out_) layout();
    const int width = right_ - left_ + 1;
    const int height = bottom_ - data_top() + 1;
    const int ncols = static_cast<int>(cols_.size());
    if (ncols == 0 || height <= 0) return;
    row_pos_ = std::clamp(row_pos_, 0, height - 1);
    cur_col_ = std::clamp(cur_col_, 0, ncols - 1);

    // Columns shown: from left_col_, as many as fit; the current one always among them.
    const int sep = static_cast<int>(col_sep_.size());
    auto last_fitting = [&](int from) {
        int x = 0, last = from;
        for (int c = from; c < ncols; ++c) {
            int need = widths_[c] + (c > from ? sep : 0);
            if (x + need > width && c > from) break;
            x += need;
            last = c;
        }
        return last;
    };
    if (cur_col_ < left_col_) left_col_ = cur_col_;
    while (last_fitting(left_col_) < cur_col_) ++left_col_;
    const int last_col = last_fitting(left_col_);

    auto line = [&](auto text_of, Attr attr, int row) {
        std::string s;
        for (int c = left_col_; c <= last_col; ++c) {
            if (c > left_col_) s += col_sep_;
            s += PADR(text_of(c), widths_[c]);
        }
        SAY(row, left_, PADR(s, width), attr);
    };

    if (data_top() > top_) {
        line([&](int c) { return cols_[c].heading; }, colour_.standard, top_);
        if (!head_sep_.empty()) SAY(top_ + 1, left_, REPLICATE(head_sep_, width), colour_.standard);
    }
    int cell_x = left_;
    for (int c = left_col_; c < cur_col_; ++c) cell_x += widths_[c] + sep;

    if (src_.empty()) {
        for (int r = 0; r < height; ++r) SAY(data_top() + r, left_, SPACE(width), colour_.standard);
        row_pos_ = 0;
        SETPOS(data_top(), cell_x);
        return;
    }
    long back = -src_.skip(-row_pos_);
    if (back < row_pos_) row_pos_ = static_cast<int>(back);
    int drawn = 0;
    for (int r = 0; r < height; ++r) {
        if (r > 0 && src_.skip(1) != 1) {
            for (int q = r; q < height; ++q) SAY(data_top() + q, left_, SPACE(width), colour_.standard);
            break;
        }
        line([&](int c) { return cell_text(c); }, r == row_pos_ ? colour_.enhanced : colour_.standard,
             data_top() + r);
        drawn = r;
    }
    src_.skip(row_pos_ - drawn);
    SETPOS(data_top() + row_pos_, cell_x);
}

bool Browse::edit_cell(int c) {
    int ci = (c >= 1 && c <= static_cast<int>(cols_.size())) ? c - 1 : cur_col_;
    const BrowseColumn& col = cols_[ci];
    if (!col.store || src_.empty()) return false;
    cur_col_ = ci;
    display();
    int x = left_;
    for (int k = left_col_; k < ci; ++k) x += widths_[k] + static_cast<int>(col_sep_.size());
    Value v = col.value();
    GetList gl;
    gl.push_back(rt::get(data_top() + row_pos_, x, value_type(v), col.value, col.store, col.picture));
    READ(gl);
    return LASTKEY() != K::ESC;
}

int Browse::run() {
    auto ask = [&](int key, int mode) { return handler_ ? handler_(key, mode, cur_col_ + 1) : BR::CONTINUE; };
    // Applies the handler's answer; true when the browse ends.
    auto apply = [&](int r) {
        switch (r) {
        case BR::ABORT: return true;
        case BR::REFRESH: refresh_all(); return false;
        case BR::EDIT: edit_cell(); return false;
        default: return false;
        }
    };
    for (;;) {
        display();
        if (src_.empty() && handler_) {
            if (apply(ask(0, BR::EMPTY))) return LASTKEY();
            display();
        } else if (handler_ && NEXTKEY() == 0) {
            if (apply(ask(0, BR::IDLE))) return LASTKEY();
            display();
        }
        console_refresh();
        int k = INKEY(0);
        if (fire_hotkey(k)) continue;
        int mode = BR::IDLE;
        const int height = bottom_ - data_top() + 1;
        switch (k) {
        case K::DOWN:
            if (src_.empty() || src_.skip(1) != 1) mode = BR::HITBOTTOM;
            else row_pos_ = std::min(row_pos_ + 1, height - 1);
            break;
        case K::UP:
            if (src_.empty() || src_.skip(-1) != -1) mode = BR::HITTOP;
            else row_pos_ = std::max(row_pos_ - 1, 0);
            break;
        case K::PGDN:
            if (src_.empty()) { mode = BR::HITBOTTOM; break; }
            {
                // A page further; at the end the bar goes to the last row.
                long moved = src_.skip(height);
                if (moved == 0) mode = BR::HITBOTTOM;
                else if (moved < height) row_pos_ = height - 1;
            }
            break;
        case K::PGUP:
            if (src_.empty()) { mode = BR::HITTOP; break; }
            {
                long moved = -src_.skip(-height);
                if (moved == 0) mode = BR::HITTOP;
                else if (moved < height) row_pos_ = 0;
            }
            break;
        case K::HOME: if (!src_.empty()) go_top(); break;
        case K::END: if (!src_.empty()) go_bottom(); break;
        case K::LEFT: if (cur_col_ > 0) --cur_col_; break;
        case K::RIGHT: if (cur_col_ + 1 < static_cast<int>(cols_.size())) ++cur_col_; break;
        default:
            if (!handler_ && (k == K::ESC || k == K::ENTER)) return k;
            mode = BR::EXCEPTION;
            break;
        }
        if (mode == BR::HITTOP || mode == BR::HITBOTTOM) {
            if (!handler_) TONE(1000, 1);
        }
        if (mode != BR::IDLE && handler_) {
            if (apply(ask(k, mode))) return k;
        }
    }
}

}  // namespace rt
