// The rows of a work area, in its current order and filter, for a table browse.
#pragma once
#include "rt/dbf/dbf.h"
#include "rt/input/browse.h"

namespace tor {

class TableRows final : public rt::BrowseSource {
public:
    explicit TableRows(rt::dbf::WorkArea& a) : a_(a) {}
    void go_top() override { a_.go_top(); }
    void go_bottom() override { a_.go_bottom(); }
    long skip(long n) override {
        long moved = 0;
        for (; n > 0; --n) {
            a_.skip(1);
            if (a_.eof()) {
                a_.go_bottom();
                break;
            }
            ++moved;
        }
        for (; n < 0; ++n) {
            a_.skip(-1);
            if (a_.bof()) break;
            --moved;
        }
        return moved;
    }
    bool empty() override {
        if (!a_.eof()) return false;
        a_.go_top();
        return a_.eof();
    }

private:
    rt::dbf::WorkArea& a_;
};

}  // namespace tor
