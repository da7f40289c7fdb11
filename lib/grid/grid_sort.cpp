// Sorting a range of grid rows on one key column, and finding a text in the
// cells of a grid. Both keep their arguments in GridSortBlock and must not
// overlap.
#include <algorithm>
#include <cmath>
#include <limits>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "lib/window/strings.h"
#include "platform/os_dialog.h"

namespace {

enum SortMember { SbGrid = 0, SbColumn = 1, SbColumns = 2, SbType = 3, SbDescending = 4, SbIgnoreCase = 5, SbLabels = 6 };

std::int32_t& sb(SortMember m) { return grid_state.GridSortBlock[static_cast<std::size_t>(m)]; }

// The grid being sorted, found once per sort; keys are still read from the
// cells at every comparison.
struct SortTarget {
    OsHandle grid = 0;
    GridData* g = nullptr;
};
SortTarget sort_target;

bool is_current(const GridData& g, std::int32_t c, std::int32_t r) {
    return g.hEditor && c == g.iCurrentColumn && r == g.iCurrentRow;
}

// Whether key a comes before key b.
bool before(const GridSortKey& a, const GridSortKey& b) {
    const bool desc = sb(SbDescending) != 0;
    int cmp = 0;
    switch (sb(SbType)) {
    case 4: {
        const auto n = static_cast<std::size_t>(std::max(a.text_length, b.text_length));
        for (std::size_t k = 0; k < n && cmp == 0; ++k) {
            const auto ca = static_cast<unsigned char>(k < static_cast<std::size_t>(a.text_length) ? a.text[k] : ' ');
            const auto cb = static_cast<unsigned char>(k < static_cast<std::size_t>(b.text_length) ? b.text[k] : ' ');
            cmp = ca < cb ? -1 : ca > cb ? 1 : 0;
        }
        break;
    }
    case 6: cmp = a.rkey < b.rkey ? -1 : a.rkey > b.rkey ? 1 : 0; break;
    case 7: cmp = a.dkey < b.dkey ? -1 : a.dkey > b.dkey ? 1 : 0; break;
    default: cmp = a.ikey < b.ikey ? -1 : a.ikey > b.ikey ? 1 : 0; break;
    }
    return desc ? cmp > 0 : cmp < 0;
}

bool equal_keys(const GridSortKey& a, const GridSortKey& b) { return !before(a, b) && !before(b, a); }

// Fetches the key of a row (1-based) into k.
void key_of(std::int32_t row, GridSortKey& k, std::int32_t length) {
    yygridsortget(sb(SbColumn), row, sb(SbIgnoreCase), k, length);
}

void swap_rows(std::int32_t a, std::int32_t b) { yygridsortswap(sb(SbGrid), a - 1, b - 1, sb(SbLabels)); }

// Rows of at most six: the exchange sort.
void exchange_sort(std::int32_t lo, std::int32_t hi, std::int32_t length, GridSortKey& ki, GridSortKey& kj) {
    for (std::int32_t i = lo; i < hi; ++i) {
        key_of(i, ki, length);
        for (std::int32_t j = i + 1; j <= hi; ++j) {
            key_of(j, kj, length);
            if (before(kj, ki)) {
                swap_rows(i, j);
                key_of(i, ki, length);
            }
        }
    }
}

}  // namespace

void yygridsortget(std::int32_t column, std::int32_t row, std::int32_t ignore_case, GridSortKey& key, std::int32_t length) {
    GridData* g = sort_target.g;
    if (!g || !g->pColumns) return;
    const std::int32_t c = column - 1, r = row - 1;
    if (c < 0 || c >= g->nColumns || r < 0 || r >= g->nRows) return;
    GridColumn& col = g->column(c);
    const auto rr = static_cast<std::size_t>(r);
    const bool desc = sb(SbDescending) != 0;
    const bool current = is_current(*g, c, r);
    switch (col.iType) {
    case GridText: {
        std::string t = current ? yyGridGetString(g->hEditor) : col.texts[rr];
        if (t.size() >= static_cast<std::size_t>(std::max(1, length))) t.resize(static_cast<std::size_t>(std::max(0, length - 1)));
        if (t.empty()) {
            key.text.assign(1, desc ? ' ' : static_cast<char>(255));
            key.text_length = 1;
            return;
        }
        if (ignore_case) iuppercase(t);
        key.text = std::move(t);
        key.text_length = static_cast<std::int32_t>(key.text.size());
        return;
    }
    case GridInteger:
    case GridReal:
    case GridDouble: {
        double v = 0.0;
        bool defined = true;
        if (current) {
            const std::string t = yyGridGetString(g->hEditor);
            FieldRecord* f = yyfieldrecord(g->hEditor);
            defined = t.find_first_not_of(' ') != std::string::npos;
            if (defined) {
                if (!f || os_send_message(g->hEditor, EM_GETMODIFY, 0, 0)) yyst2dbl(v, t);
                else v = f->value;
            }
        } else {
            defined = (col.pStates[rr] & CellDefined) != 0;
            v = col.iType == GridInteger ? col.ints[rr] : col.iType == GridReal ? static_cast<double>(col.reals[rr]) : col.doubles[rr];
        }
        if (col.iType == GridInteger)
            key.ikey = defined ? static_cast<std::int32_t>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0))
                               : (desc ? -2147483647 : 2147483647);
        else if (col.iType == GridReal)
            key.rkey = defined ? static_cast<float>(v) : (desc ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max());
        else
            key.dkey = defined ? v : (desc ? -std::numeric_limits<double>::max() : std::numeric_limits<double>::max());
        return;
    }
    case GridCheckBox:
        key.ikey = current ? static_cast<std::int32_t>(os_send_message(g->hEditor, BM_GETCHECK, 0, 0)) : col.ints[rr];
        return;
    default:
        key.ikey = current ? static_cast<std::int32_t>(os_send_message(g->hEditor, CB_GETCURSEL, 0, 0)) + 1 : col.ints[rr] + 1;
        return;
    }
}

void yygridsortswap(std::int32_t ref, std::int32_t a, std::int32_t b, std::int32_t move_labels) {
    OsHandle grid = sort_target.grid;
    GridData* g = sort_target.g;
    if (!g) g = grid_of_ref(ref, &grid);
    if (!g || !g->pColumns || a < 0 || b < 0 || a >= g->nRowsAllocated || b >= g->nRowsAllocated) return;
    yygridselectnone(grid);
    if (move_labels && (os_get_style(grid) & GS_ROWHEADERS) && g->pRowLabels &&
        static_cast<std::size_t>(std::max(a, b)) < g->pRowLabels->size()) {
        std::swap((*g->pRowLabels)[static_cast<std::size_t>(a)], (*g->pRowLabels)[static_cast<std::size_t>(b)]);
        for (std::int32_t row : {a, b}) {
            if (row < g->iTopRow || row > g->iTopRow + g->nRowHeaders - 1) continue;
            const auto slot = static_cast<std::size_t>(row - g->iTopRow);
            if (slot >= g->phRowHeaders.size()) continue;
            OsHeaderItem it;
            it.mask = HDI_TEXT;
            it.text = (*g->pRowLabels)[static_cast<std::size_t>(row)];
            os_send_message(g->phRowHeaders[slot], HDM_SETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
        }
    }
    // The editor's value stands for the current cell's, and the value moving
    // into the current cell is shown in it afterwards.
    const bool editor_row = g->hEditor && (g->iCurrentRow == a || g->iCurrentRow == b);
    if (editor_row) yyGridStoreCurrent(grid);
    const auto ra = static_cast<std::size_t>(a), rb = static_cast<std::size_t>(b);
    for (std::int32_t c = 0; c < g->nColumns; ++c) {
        GridColumn& col = g->column(c);
        switch (col.iType) {
        case GridText: std::swap(col.texts[ra], col.texts[rb]); break;
        case GridInteger:
            std::swap(col.ints[ra], col.ints[rb]);
            std::swap(col.pStates[ra], col.pStates[rb]);
            break;
        case GridReal:
            std::swap(col.reals[ra], col.reals[rb]);
            std::swap(col.pStates[ra], col.pStates[rb]);
            break;
        case GridDouble:
            std::swap(col.doubles[ra], col.doubles[rb]);
            std::swap(col.pStates[ra], col.pStates[rb]);
            break;
        default: std::swap(col.ints[ra], col.ints[rb]); break;
        }
        yyGridRedrawCell(grid, c, a, false);
        yyGridRedrawCell(grid, c, b, false);
    }
    if (editor_row) grid_load_editor(*g);
    if (grid_state.bCellUpdate && g->hCellArea) os_update_window(g->hCellArea);
    g->bUnsaved = g->bChanged = 1;
}

void yygridsort(std::int32_t lo, std::int32_t hi, std::int32_t length) {
    GridSortKey pivot, ki, kj;
    // The middle row's key as pivot; the smaller part is sorted by recursion
    // and the larger one by the loop, so the depth stays logarithmic.
    while (hi - lo >= 6) {
        key_of(lo + (hi - lo) / 2, pivot, length);
        std::int32_t i = lo - 1, j = hi + 1;
        for (;;) {
            do key_of(++i, ki, length);
            while (before(ki, pivot));
            do key_of(--j, kj, length);
            while (before(pivot, kj));
            if (i >= j) break;
            if (!equal_keys(ki, kj)) swap_rows(i, j);
        }
        if (i == j) ++i;
        if (j - lo < hi - i) {
            if (lo < j) yygridsort(lo, j, length);
            lo = i;
        } else {
            if (i < hi) yygridsort(i, hi, length);
            hi = j;
        }
    }
    if (hi > lo) exchange_sort(lo, hi, length, ki, kj);
}

void WGridSort(std::int32_t field, std::int32_t column, GridOptInt flags, GridOptInt row1, GridOptInt row2) {
    constexpr std::string_view name = "WGridSort";
    if (dialog_state.current_id == 0) {
        yyerror(1005, name);
        return;
    }
    sb(SbGrid) = field;
    std::int32_t rows = 0;
    yygridgetinfo(sb(SbGrid), 3, rows);
    if (sb(SbGrid) == -1) {
        sb(SbGrid) = field;
        yyerror(1006, name);
        return;
    }
    yygridgetinfo(sb(SbGrid), 1, sb(SbColumns));
    if (column < 1 || column > sb(SbColumns)) {
        yyerror(1017, name);
        return;
    }
    sb(SbColumn) = column;
    const std::int32_t f = flags.value_or(0);
    sb(SbDescending) = (f & 1) ? 1 : 0;
    sb(SbIgnoreCase) = (f & 2) ? 1 : 0;
    sb(SbLabels) = (f & 4) ? 1 : 0;
    // The range is held inside the rows in use, as the find holds its own.
    const std::int32_t first = std::max(1, row1.value_or(1));
    const std::int32_t last = std::min(rows, row2.value_or(rows));
    std::int32_t type = 0, length = 1;
    yygridcelltype(sb(SbGrid), column - 1, type);
    sb(SbType) = type;
    if (type == 4) yygridcelllength(sb(SbGrid), column - 1, length);
    std::int32_t ref = field;
    sort_target.g = grid_of_ref(ref, &sort_target.grid);
    yygridcellredrawoff();
    if (sort_target.g) yygridsort(first, last, length);
    yygridcellredrawon(field);
    sort_target = {};
}

// ---- find -------------------------------------------------------------------------------------
void yygridfind(std::string_view text, std::int32_t from, std::int32_t to, std::int32_t length, std::int32_t& found) {
    found = -1;
    std::string want(text);
    const bool fold = sb(SbIgnoreCase) != 0;
    if (fold) iuppercase(want);
    std::string cell;
    for (std::int32_t row = from; row <= to; ++row) {
        cell.assign(static_cast<std::size_t>(std::max(0, length)), ' ');
        WGridGetCellString(sb(SbGrid), sb(SbColumn), row, cell);
        if (fold) iuppercase(cell);
        if (cell.find(want) != std::string::npos) {
            found = row;
            return;
        }
    }
}

void WGridFind(std::int32_t field, std::string_view text, GridOptInt flags, std::int32_t* found, GridOptInt col1,
               GridOptInt col2, GridOptInt row1, GridOptInt row2) {
    constexpr std::string_view name = "WGridFind";
    if (dialog_state.current_id == 0 && field != 0) {
        yyerror(1005, name);
        return;
    }
    sb(SbGrid) = field;
    yygridgetinfo(sb(SbGrid), 1, sb(SbColumns));
    if (sb(SbGrid) == -1) {
        sb(SbGrid) = field;
        yyerror(1006, name);
        return;
    }
    std::int32_t rows = 0;
    yygridgetinfo(sb(SbGrid), 3, rows);
    std::int32_t first_col = std::max(1, col1.value_or(1));
    const std::int32_t last_col = std::min(sb(SbColumns), col2.value_or(sb(SbColumns)));
    const std::int32_t first_row = std::max(1, row1.value_or(1));
    const std::int32_t last_row = std::min(rows, row2.value_or(rows));
    const std::int32_t f = flags.value_or(0);
    std::int32_t start_col = 0, start_row = 0;
    if (f & 1) {
        std::int32_t current = 0;
        yygridgetinfo(sb(SbGrid), 4, current);
        if (current >= first_col) {
            first_col = current;
            start_col = current;
            std::int32_t cur_row = 0;
            yygridgetinfo(sb(SbGrid), 5, cur_row);
            start_row = std::max(cur_row + 1, first_row);
        }
    }
    sb(SbIgnoreCase) = (f & 2) ? 1 : 0;
    const std::int32_t highest = (f & 4) ? 7 : 4;
    for (std::int32_t c = first_col; c <= last_col; ++c) {
        sb(SbColumn) = c;
        std::int32_t type = 0;
        yygridcelltype(sb(SbGrid), c - 1, type);
        sb(SbType) = type;
        if (type > highest) continue;
        std::int32_t length = type == 5 ? 11 : 50;
        if (type == 4) yygridcelllength(sb(SbGrid), c - 1, length);
        const std::int32_t from = c == start_col ? start_row : first_row;
        std::int32_t row = -1;
        yygridfind(text, from, last_row, length, row);
        if (row > 0) {
            WGridSetCell(field, c, row);
            if (found) *found = 1;
            return;
        }
    }
    if (found) *found = 0;
}
