#include "lib/window/quinda_state.h"

#include "lib/window/text.h"

LibraryState quinda;
WindowTable wtab;

EditBufEntry* EditBufTable::at(int window, int buffer) {
    if (!allocated() || window < 0 || window > MaxChildWindows || buffer < 1 ||
        buffer > EditBuffersPerWindow)
        return nullptr;
    return &entries[static_cast<std::size_t>(window * EditBuffersPerWindow + buffer - 1)];
}

void EditBufTable::release_window(int window) {
    for (int b = 1; b <= EditBuffersPerWindow; ++b)
        if (EditBufEntry* e = at(window, b)) e->release();
}

void EditBufTable::release_all() {
    for (auto& e : entries) e.release();
}

int WindowTable::lowest_free_child() const {
    for (int s = 1; s <= MaxChildWindows; ++s)
        if (wWindow[static_cast<std::size_t>(s)] == 0) return s;
    return -1;
}

void quinda_state_defaults() {
    quinda.separator = DirectorySeparator;
    quinda.LFNGEN = DefaultLFNGEN;
    quinda.LFNPLOT = DefaultLFNPLOT;
    quinda.undefined = UndefinedValue{};
    quinda.window_text.tag = ' ';
    quinda.window_text.last_font = {-1, -1, -1, -1, -1};
    txt_set(quinda.CHARSET, "standard.chr");
    quinda.EDITBUF.allocate();
}

void reset_window_state() {
    quinda = LibraryState{};
    wtab = WindowTable{};
    quinda_state_defaults();
}
