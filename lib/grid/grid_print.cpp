// Printing a range of a grid's cells as a table split into pages by rows
// and columns, and the two print option sets with their page set-up.
//
// Every page takes at least one row and one column (a column cut to the
// page when it does not fit), so margins beyond the paper or a label column
// wider than the page end the print rather than loop.
#include <algorithm>
#include <array>
#include <cstring>

#include "lib/dialog/dialog.h"
#include "lib/dialog/fieldrec.h"
#include "lib/grid/grid.h"
#include "lib/grid/grid_p.h"
#include "lib/grid/grid_window.h"
#include "platform/os_config.h"
#include "platform/os_dialog.h"
#include "platform/os_gdi.h"
#include "platform/os_gridpaint.h"
#include "platform/os_printer.h"

namespace {

constexpr std::int32_t InchUnits = 4;   // thousandths of an inch
constexpr std::int32_t MetricUnits = 8;  // hundredths of a millimetre

std::array<GridPrintOptions, 2>& option_sets() {
    static std::array<GridPrintOptions, 2> sets;
    return sets;
}

// The printer a page set-up names (the PDF printer that stands in reports
// itself as "PDF").
std::string printer_of(const OsPageSetup& s) {
    if (s.driver == "PDF" || s.device == "PDF" || s.device.empty()) return std::string(OsPdfPrinterName);
    return s.device;
}

OsDC printer_dc(const OsPageSetup& s) {
    const std::string name = printer_of(s);
    OsDevMode mode;
    const OsPrinter p = os_open_printer(name);
    if (!p) return 0;
    os_printer_devmode(p, mode);
    mode.fields = OS_DM_ORIENTATION;
    mode.orientation = s.orientation == 1 ? 2 : 1;
    if (s.prSize > 0) {
        mode.fields |= OS_DM_PAPERSIZE;
        mode.paper_size = static_cast<std::int16_t>(s.prSize);
    }
    os_printer_merge_devmode(p, mode);
    os_close_printer(p);
    return os_create_printer_dc(s.driver.empty() ? "PDF" : s.driver, name, s.port, &mode);
}

std::int32_t caps(OsDC dc, std::int32_t index) { return std::max(1, os_get_device_caps(dc, index)); }

void line(OsDC dc, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    os_move_to(dc, x1, y1);
    os_line_to(dc, x2, y2);
}

std::int32_t text_width(OsDC dc, const std::string& t) {
    OsPoint size;
    return os_get_text_extent(dc, t, size) ? size.x : 0;
}

std::string header_text(OsHandle header, std::int32_t item) {
    if (!header) return {};
    OsHeaderItem it;
    it.mask = HDI_TEXT;
    if (!os_send_message(header, HDM_GETITEM, static_cast<std::uintptr_t>(item), reinterpret_cast<std::intptr_t>(&it)))
        return {};
    return it.text;
}

std::int64_t rgb(const CellColour& k, bool text) {
    if (!(k.flags & (text ? 1 : 2))) return -1;
    const std::uint8_t* c = text ? k.text : k.back;
    return c[0] | (c[1] << 8) | (c[2] << 16);
}

std::int64_t record_colour(const FieldRecord* f, bool text) {
    if (!f) return -1;
    const std::int32_t c = text ? f->text_colour : f->background_colour;
    return c < 0 ? -1 : (c & 0xFFFFFF);
}

std::int32_t to_units(std::int32_t pixels, std::int32_t resolution, std::int32_t units) {
    const std::int64_t per_inch = units == InchUnits ? 1000 : 2540;
    return static_cast<std::int32_t>(std::int64_t{pixels} * per_inch / std::max(1, resolution));
}

}  // namespace

GridPrintOptions& grid_print_options(std::int32_t set) { return option_sets()[set == 1 ? 0 : 1]; }

void yyGridPrintInit() {
    if (grid_state.print_options_ready) return;
    GridPrintOptions& one = option_sets()[0];
    one = GridPrintOptions{};
    one.psd.units = os_config().measurement_system == 1 ? 0 : 1;
    os_page_setup_defaults(one.psd);
    one.nUnits = one.psd.units == 0 ? InchUnits : MetricUnits;
    one.nScale = 100;
    one.bRowLines = one.bColumnLines = one.bRepeatHeaders = 1;
    std::int32_t colours = one.psd.colours;
    if (const OsDC ic = os_create_ic(one.psd.driver, printer_of(one.psd))) {
        colours = os_get_device_caps(ic, OS_NUMCOLORS);
        os_delete_dc(ic);
    }
    one.bTextColours = one.bBackColours = colours == 2 ? 0 : 1;
    option_sets()[1] = one;
    grid_state.print_options_ready = 1;
}

void yygridprintgetopt(std::int32_t& row_lines, std::int32_t& column_lines, std::int32_t& repeat_headers,
                       std::int32_t& text_colours, std::int32_t& back_colours, std::int32_t& scale, std::int32_t set) {
    yyGridPrintInit();
    const GridPrintOptions& o = grid_print_options(set);
    row_lines = o.bRowLines ? 1 : 0;
    column_lines = o.bColumnLines ? 1 : 0;
    repeat_headers = o.bRepeatHeaders ? 1 : 0;
    text_colours = o.bTextColours ? 1 : 0;
    back_colours = o.bBackColours ? 1 : 0;
    scale = o.nScale;
}

void yygridprintsetopt(std::int32_t row_lines, std::int32_t column_lines, std::int32_t repeat_headers,
                       std::int32_t text_colours, std::int32_t back_colours, std::int32_t scale, std::int32_t set) {
    yyGridPrintInit();
    GridPrintOptions& o = grid_print_options(set);
    o.bRowLines = row_lines == 1 ? 1 : 0;
    o.bColumnLines = column_lines == 1 ? 1 : 0;
    o.bRepeatHeaders = repeat_headers == 1 ? 1 : 0;
    o.bTextColours = text_colours == 1 ? 1 : 0;
    o.bBackColours = back_colours == 1 ? 1 : 0;
    o.nScale = scale;
}

std::int32_t yygridprintsetup(std::int32_t units, std::int32_t set) {
    yyGridPrintInit();
    GridPrintOptions& o = grid_print_options(set);
    // 1.
    std::int32_t want = MetricUnits;
    if (units == -1) want = os_config().measurement_system == 1 ? InchUnits : MetricUnits;
    else if (units == 0 || units == 1) want = InchUnits;
    // 2.
    if (want != o.nUnits) {
        const double factor = want == MetricUnits ? 2.54065 : 0.3936000629760101;
        for (int* v : {&o.psd.paper_width, &o.psd.paper_height, &o.psd.left, &o.psd.top, &o.psd.right, &o.psd.bottom})
            *v = static_cast<int>(*v * factor);
        for (std::int32_t& v : o.min_margins) v = static_cast<std::int32_t>(v * factor);
        o.nUnits = want;
    }
    o.psd.units = o.nUnits == InchUnits ? 0 : 1;
    // 3.
    OsPageSetup s = o.psd;
    std::uint32_t error = 0;
    if (!os_page_setup_dialog(s, error)) return 0;
    s.units = o.psd.units;
    o.psd = s;
    // 4.
    if (const OsDC dc = printer_dc(o.psd)) {
        const std::int32_t rx = caps(dc, OS_LOGPIXELSX), ry = caps(dc, OS_LOGPIXELSY);
        const std::int32_t ox = os_get_device_caps(dc, OS_PHYSICALOFFSETX), oy = os_get_device_caps(dc, OS_PHYSICALOFFSETY);
        const std::int32_t rest_x = os_get_device_caps(dc, OS_PHYSICALWIDTH) - os_get_device_caps(dc, OS_HORZRES) - ox;
        const std::int32_t rest_y = os_get_device_caps(dc, OS_PHYSICALHEIGHT) - os_get_device_caps(dc, OS_VERTRES) - oy;
        o.min_margins = {to_units(ox, rx, o.nUnits), to_units(oy, ry, o.nUnits), to_units(rest_x, rx, o.nUnits),
                         to_units(rest_y, ry, o.nUnits)};
        os_delete_dc(dc);
    }
    return 1;
}

void yygridprintsetpossize(std::int32_t code, std::int32_t points, std::int32_t set) {
    yyGridPrintInit();
    GridPrintOptions& o = grid_print_options(set);
    const std::int32_t v =
        static_cast<std::int32_t>(std::int64_t{points} * (o.nUnits == InchUnits ? 1000 : 2540) / 72);
    OsPageSetup& p = o.psd;
    switch (code) {
    case 1: p.right = p.left + v; break;
    case 2: p.bottom = p.top + v; break;
    case 3: p.left = v; break;
    case 4: p.top = v; break;
    case 5: {
        // 1 or 3 portrait, 2 or 4 landscape; no orientation for other values.
        if (points < 1 || points > 4) break;
        const int orientation = (points == 2 || points == 4) ? 1 : 0;
        if (p.orientation != orientation) {
            std::swap(p.paper_width, p.paper_height);
            p.orientation = orientation;
        }
        const std::int32_t w = p.right - p.left, h = p.bottom - p.top;
        if ((points == 3 && w > h) || (points == 4 && h > w)) {
            p.right = p.left + h;
            p.bottom = p.top + w;
        }
        break;
    }
    default: break;
    }
}

namespace {

// What one print needs while it runs.
struct PrintJob {
    OsHandle grid = 0;
    GridData* g = nullptr;
    GridPrintOptions* o = nullptr;
    OsDC pdc = 0, sdc = 0;
    OsObject font = 0, symbols = 0;
    std::int32_t H = 1, header = 1, P = 1, ave = 1;
    std::int32_t rx = 1, sx = 1;
    bool has_header = false;
    std::int32_t row1 = 0;

    bool caption_band(std::int32_t first) const { return has_header && (o->bRepeatHeaders || first == row1); }
    std::int32_t band_bottom(std::int32_t first, std::int32_t last) const {
        return o->nTop + (caption_band(first) ? header : 0) + (last - first + 1) * P + (o->bRowLines ? 0 : H / 2);
    }
};

}  // namespace

void yyGridPrintRowLabels(OsHandle grid, std::int32_t range_first, std::int32_t page_first, std::int32_t page_last,
                          std::int32_t& x, std::int32_t pitch, std::int32_t text_height, std::int32_t ave_width,
                          OsHandle printer_dc, OsHandle screen_dc, std::int32_t set) {
    GridData* g = yygriddata(grid);
    if (!g || !g->pRowLabels) return;
    const GridPrintOptions& o = grid_print_options(set);
    const std::uint32_t style = os_get_style(grid);
    const bool has_header = (style & GS_COLUMNHEADER) != 0;
    const bool caption = has_header && (o.bRepeatHeaders || page_first == range_first);
    const std::int32_t header = text_height * 3 / 2;
    const std::int32_t top = o.nTop + (caption ? header : 0);
    const std::int32_t bottom = top + (page_last - page_first + 1) * pitch + (o.bRowLines ? 0 : text_height / 2);
    const std::int32_t old_x = x;
    if (style & GS_ROWHEADERS) {
        const std::int32_t rx = caps(printer_dc, OS_LOGPIXELSX), sx = caps(screen_dc, OS_LOGPIXELSX);
        std::int32_t width = static_cast<std::int32_t>(std::int64_t{g->nRowLabelWidth} * rx * o.nScale / (std::int64_t{sx} * 100));
        std::int32_t widest = 0;
        for (std::int32_t r = 0; r < g->nRows && static_cast<std::size_t>(r) < g->pRowLabels->size(); ++r)
            widest = std::max(widest, text_width(printer_dc, (*g->pRowLabels)[static_cast<std::size_t>(r)]));
        width = std::max(width, widest + ave_width);
        os_set_bk_mode(printer_dc, OS_TRANSPARENT);
        os_set_text_color(printer_dc, 0);
        os_set_text_align(printer_dc, OS_TA_LEFT | OS_TA_TOP);
        std::int32_t y = top + text_height / 4;
        for (std::int32_t r = page_first; r <= page_last; ++r, y += pitch) {
            if (static_cast<std::size_t>(r) < g->pRowLabels->size())
                os_text_out(printer_dc, x + ave_width / 2, y, (*g->pRowLabels)[static_cast<std::size_t>(r)]);
        }
        x += width;
    }
    if ((style & GS_ROWHEADERS) || o.bColumnLines) {
        line(printer_dc, old_x, top, old_x, bottom);
        line(printer_dc, x, o.nTop, x, bottom);
    }
}

namespace {

void print_labels(PrintJob& j, std::int32_t first, std::int32_t last, std::int32_t& x, std::int32_t set) {
    yyGridPrintRowLabels(j.grid, j.row1, first, last, x, j.P, j.H, j.ave, j.pdc, j.sdc, set);
}

// The lines that close a page of a band.
void close_page(PrintJob& j, std::int32_t first, std::int32_t last, std::int32_t frame_start, std::int32_t x) {
    const GridPrintOptions& o = *j.o;
    const bool caption = j.caption_band(first);
    if (caption) line(j.pdc, o.nLeft, o.nTop + j.header, x, o.nTop + j.header);
    line(j.pdc, frame_start, o.nTop, x, o.nTop);
    const std::int32_t top = o.nTop + (caption ? j.header : 0);
    if (o.bRowLines) {
        for (std::int32_t i = 1; i <= last - first + 1; ++i) line(j.pdc, o.nLeft, top + i * j.P, x, top + i * j.P);
    } else {
        const std::int32_t y = j.band_bottom(first, last);
        line(j.pdc, o.nLeft, y, x, y);
    }
    os_end_page(j.pdc);
}

void print_range(PrintJob& j, std::int32_t row1, std::int32_t row2, std::int32_t col1, std::int32_t col2,
                 std::int32_t set) {
    GridData& g = *j.g;
    GridPrintOptions& o = *j.o;
    const FieldRecord* own = yyfieldrecord(j.grid);
    const std::int32_t rows_per_page = (o.nBottom - o.nTop) / std::max(1, j.P) - (j.has_header ? 1 : 0);
    std::int32_t extra = 0;
    bool first_band = true;
    // Widths of the columns over the whole range, once.
    std::vector<std::int32_t> widths;
    for (std::int32_t c = col1; c <= col2; ++c) {
        GridColumn& col = g.column(c);
        std::int32_t w = static_cast<std::int32_t>(std::int64_t{col.nWidth} * j.rx * o.nScale / (std::int64_t{j.sx} * 100));
        const OsObject old = col.iType == GridCheckBox ? os_select_object(j.pdc, j.symbols) : 0;
        std::int32_t widest = 0;
        for (std::int32_t r = row1; r <= row2; ++r) widest = std::max(widest, text_width(j.pdc, yyGridGetString(j.grid, c, r, 1)));
        if (old) os_select_object(j.pdc, old);
        widths.push_back(std::max({w, widest + j.ave, 1}));
    }
    for (std::int32_t first = row1; first <= row2;) {
        const std::int32_t last = std::min(first + std::max(1, rows_per_page + extra) - 1, row2);
        const bool caption = j.caption_band(first);
        const std::int32_t bottom = j.band_bottom(first, last);
        os_start_page(j.pdc);
        os_set_text_color(j.pdc, 0);
        std::int32_t x = o.nLeft;
        print_labels(j, first, last, x, set);
        std::int32_t frame_start = (o.bRepeatHeaders || first_band) ? x : o.nLeft;
        bool page_first = true;
        for (std::int32_t c = col1; c <= col2; ++c) {
            GridColumn& col = g.column(c);
            std::int32_t W = widths[static_cast<std::size_t>(c - col1)];
            if (!page_first && x + W > o.nRight) {
                if (!o.bColumnLines) line(j.pdc, x, o.nTop, x, bottom);
                close_page(j, first, last, frame_start, x);
                os_start_page(j.pdc);
                os_set_text_color(j.pdc, 0);
                x = o.nLeft;
                if (o.bRepeatHeaders) {
                    print_labels(j, first, last, x, set);
                    frame_start = x;
                } else {
                    line(j.pdc, o.nLeft, o.nTop + (caption ? j.header : 0), o.nLeft, bottom);
                    frame_start = o.nLeft;
                }
                page_first = true;
            }
            // The first column of a page is cut to the page; it takes one pixel at least.
            if (page_first) W = std::max(1, std::min(W, o.nRight - x));
            page_first = false;
            std::int32_t y = o.nTop + j.H / 4;
            if (caption) {
                os_set_bk_mode(j.pdc, OS_TRANSPARENT);
                os_set_text_color(j.pdc, 0);
                os_set_text_align(j.pdc, OS_TA_CENTER | OS_TA_TOP);
                os_text_out(j.pdc, x + W / 2, y, header_text(g.hColumnHeader, c + 1));
                y += j.header;
            }
            // Alignment.
            std::uint32_t align = OS_TA_LEFT | OS_TA_TOP;
            std::int32_t tx = x + j.ave / 2;
            if (col.iType <= GridDouble) {
                const std::uint32_t es = os_get_style(col.hControl);
                if (es & OS_ES_RIGHT) {
                    align = OS_TA_RIGHT | OS_TA_TOP;
                    tx = x + W - j.ave / 2;
                } else if (es & OS_ES_CENTER) {
                    align = OS_TA_CENTER | OS_TA_TOP;
                    tx = x + W / 2;
                }
            } else if (col.iType == GridCheckBox) {
                align = OS_TA_CENTER | OS_TA_TOP;
                tx = x + W / 2;
            }
            os_set_text_align(j.pdc, align);
            const OsObject old_font = col.iType == GridCheckBox ? os_select_object(j.pdc, j.symbols) : 0;
            // Colours of a column without colours of its own cells.
            const FieldRecord* cf = yyfieldrecord(col.hControl);
            std::int64_t text = -1, back = -1;
            if (o.bTextColours) {
                text = record_colour(cf, true);
                if (text < 0) text = record_colour(own, true);
            }
            if (o.bBackColours) {
                back = record_colour(cf, false);
                if (back < 0) back = record_colour(own, false);
            }
            for (std::int32_t r = first; r <= last; ++r, y += j.P) {
                std::int64_t t = text, b = back;
                if (!col.pColours.empty()) {
                    const CellColour& k = col.pColours[static_cast<std::size_t>(r)];
                    t = o.bTextColours ? rgb(k, true) : -1;
                    if (t < 0 && o.bTextColours) t = record_colour(own, true);
                    b = o.bBackColours ? rgb(k, false) : -1;
                    if (b < 0 && o.bBackColours) b = record_colour(own, false);
                }
                os_set_text_color(j.pdc, t < 0 ? 0u : static_cast<std::uint32_t>(t));
                std::uint32_t options = OS_ETO_CLIPPED;
                if (b >= 0) {
                    os_set_bk_color(j.pdc, static_cast<std::uint32_t>(b));
                    os_set_bk_mode(j.pdc, OS_OPAQUE);
                    options |= OS_ETO_OPAQUE;
                } else {
                    os_set_bk_mode(j.pdc, OS_TRANSPARENT);
                }
                OsRect box{x + 1, o.bRowLines ? y - j.H / 4 : y, x + W + 1, 0};
                box.bottom = box.top + j.P;
                if (!o.bRowLines && r == first) box.top -= j.H / 4;
                if (!o.bRowLines && r == last) box.bottom += j.H / 4;
                os_ext_text_out(j.pdc, tx, y, options, &box, yyGridGetString(j.grid, c, r, 1));
            }
            if (old_font) os_select_object(j.pdc, old_font);
            os_set_bk_mode(j.pdc, OS_TRANSPARENT);
            x += W;
            if (o.bColumnLines || c == col2) line(j.pdc, x, o.nTop, x, bottom);
        }
        close_page(j, first, last, frame_start, x);
        if (first_band && j.has_header && !o.bRepeatHeaders) extra = 1;
        first_band = false;
        first = last + 1;
    }
}

}  // namespace

void yygridprint(std::int32_t ref, std::int32_t& result, std::int32_t row1, std::int32_t row2, std::int32_t col1,
                 std::int32_t col2, std::int32_t set, std::string_view title) {
    result = 0;
    // 1.
    const OsHandle grid = yygridfromref(ref);
    GridData* g = yygriddata(grid);
    if (!g || !g->pColumns || g->nColumns <= 0 || g->nRows <= 0) return;
    yyGridPrintInit();
    GridPrintOptions& o = grid_print_options(set);
    // A range outside the grid is held to the cells in use.
    row1 = std::max(0, row1);
    col1 = std::max(0, col1);
    row2 = std::min(row2, g->nRows - 1);
    col2 = std::min(col2, g->nColumns - 1);
    if (row1 > row2 || col1 > col2) return;
    const OsDC pdc = printer_dc(o.psd);
    if (!pdc) return;
    PrintJob j;
    j.grid = grid;
    j.g = g;
    j.o = &o;
    j.pdc = pdc;
    j.row1 = row1;
    j.has_header = (os_get_style(grid) & GS_COLUMNHEADER) != 0;
    // 2. Fonts after the grid's on the screen.
    j.sdc = os_get_dc(grid);
    const OsObject old_screen = g->hFont ? os_select_object(j.sdc, g->hFont) : 0;
    OsTextMetric stm;
    os_get_text_metrics(j.sdc, stm);
    const std::int32_t ry = caps(pdc, OS_LOGPIXELSY), sy = caps(j.sdc, OS_LOGPIXELSY);
    j.rx = caps(pdc, OS_LOGPIXELSX);
    j.sx = caps(j.sdc, OS_LOGPIXELSX);
    OsLogFont lf;
    if (!g->hFont || !os_get_font_logfont(g->hFont, lf)) lf.face = os_config().gui_font_face;
    lf.height = -static_cast<std::int32_t>(std::int64_t{stm.height - stm.internal_leading} * ry * o.nScale / (std::int64_t{sy} * 100));
    if (lf.height == 0) lf.height = -1;
    lf.weight = stm.weight;
    lf.italic = stm.italic;
    lf.underline = stm.underline;
    lf.charset = stm.charset;
    lf.out_precision = OS_OUT_TT_PRECIS;
    j.font = os_create_font(lf);
    OsLogFont sym = lf;
    sym.charset = OS_SYMBOL_CHARSET;
    sym.pitch_and_family = 0;
    sym.face = "Wingdings";
    j.symbols = os_create_font(sym);
    const OsObject old_printer = os_select_object(pdc, j.font);
    OsTextMetric ptm;
    os_get_text_metrics(pdc, ptm);
    j.H = std::max(1, ptm.height);
    j.ave = std::max(1, ptm.ave_char_width);
    j.header = j.H * 3 / 2;
    j.P = o.bRowLines ? j.H * 3 / 2 : j.H;
    // 3. The printable area in printer pixels.
    const std::int64_t per_inch = o.nUnits == InchUnits ? 1000 : 2540;
    const std::int32_t hx = j.rx, vy = ry;
    o.nLeft = static_cast<std::int32_t>(std::int64_t{o.psd.left} * hx / per_inch);
    o.nRight = static_cast<std::int32_t>(std::int64_t{o.psd.paper_width - o.psd.right} * hx / per_inch);
    o.nTop = static_cast<std::int32_t>(std::int64_t{o.psd.top} * vy / per_inch);
    o.nBottom = static_cast<std::int32_t>(std::int64_t{o.psd.paper_height - o.psd.bottom} * vy / per_inch);
    // 4. The document's name.
    std::string name(title);
    if (set != 1) {
        // Option set 2 prints from a grid window: the document takes its file's name.
        name.clear();
        const OsHandle frame = valid_slot(wtab.wIndex) ? wtab.wWindow[ix(wtab.wIndex)] : 0;
        if (const GridWindowData* w = ref == 0 ? yygridwindata(frame) : nullptr)
            name.assign(w->szFileName, strnlen(w->szFileName, sizeof w->szFileName));
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    if (name.empty()) name = "Untitled Grid";
    if (os_start_doc(pdc, name) > 0) {
        print_range(j, row1, row2, col1, col2, set);
        os_end_doc(pdc);
        result = 1;
    }
    // 7.
    if (old_printer) os_select_object(pdc, old_printer);
    os_delete_object(j.font);
    os_delete_object(j.symbols);
    os_delete_dc(pdc);
    if (old_screen) os_select_object(j.sdc, old_screen);
    os_release_dc(grid, j.sdc);
}
