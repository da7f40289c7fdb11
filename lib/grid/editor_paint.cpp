// The editor's font dialog, its printing through the printer device
// contexts, and the painter that colours lines through a program's hook.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "lib/grid/editor.h"
#include "lib/window/wininfo.h"
#include "platform/os_commondlg.h"
#include "platform/os_config.h"
#include "platform/os_dc.h"
#include "platform/os_fontdlg.h"
#include "platform/os_gdi.h"
#include "platform/os_msgbox.h"
#include "platform/os_printer.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"

EditParseCallback edit_parse_callback = yyeditparsecallback;

namespace {

std::intptr_t send(OsHandle w, std::uint32_t m, std::uintptr_t wp = 0, std::intptr_t lp = 0) { return os_send_message(w, m, wp, lp); }
std::intptr_t ptr(const void* p) { return reinterpret_cast<std::intptr_t>(p); }

OsCharRange selection(OsHandle control) {
    OsCharRange cr;
    send(control, OS_EM_EXGETSEL, 0, ptr(&cr));
    return cr;
}

// The printer and page kept for the whole run; margins start at zero.
struct PrintChoice {
    bool have = false;
    OsPageSetup page;
};
PrintChoice& print_choice() {
    static PrintChoice c;
    return c;
}

void refocus(OsHandle window) {
    if (os_get_style(window) & OS_WS_CHILD) {
        os_set_focus(window);
        yytitlecolour(window);
    }
}

}  // namespace

std::int32_t yyeditparsecallback(std::int32_t, std::int32_t, std::int32_t, std::int32_t maximum, std::int32_t* starts,
                                 std::int32_t* ends, std::int32_t* colours, std::int32_t& count, const char*) {
    count = 0;
    if (maximum > 0) {
        if (starts) starts[0] = 0;
        if (ends) ends[0] = 0;
        if (colours) colours[0] = 0;
    }
    return 0;
}

void yyeditsetcallback() {
    EditorWindowData* r = yyeditcurrent();
    if (!r || r->bColouring) return;
    r->bColouring = 1;
    const OsWndProc old = os_set_window_proc(r->hRichEdit, yyEditSubRTF);
    os_set_window_user(r->hRichEdit, reinterpret_cast<std::intptr_t>(old));
    os_set_proc_paints(r->hRichEdit, true);
    os_invalidate_rect(r->hRichEdit, nullptr, true);
}

// ---- font dialog --------------------------------------------------------------------

void yyEditFormatFont(OsHandle window, EditorWindowData& r) {
    OsCharFormat cf;
    send(r.hRichEdit, OS_EM_GETCHARFORMAT, 1, ptr(&cf));
    const int dpi = std::max(1, os_config().dpi);
    OsChooseFont q;
    q.owner = window;
    q.flags = OS_CF_SCREENFONTS | OS_CF_TTONLY | OS_CF_FORCEFONTEXIST | OS_CF_EFFECTS | OS_CF_INITTOLOGFONTSTRUCT;
    q.font.height = -static_cast<std::int32_t>(std::lround(cf.height / 20.0 * dpi / 72.0));
    q.font.weight = (cf.mask & OS_CFM_BOLD) ? ((cf.effects & OS_CFE_BOLD) ? 700 : 400) : 0;
    q.font.italic = (cf.mask & OS_CFM_ITALIC) && (cf.effects & OS_CFE_ITALIC);
    q.font.underline = (cf.mask & OS_CFM_UNDERLINE) && (cf.effects & OS_CFE_UNDERLINE);
    q.font.strike_out = (cf.mask & OS_CFM_STRIKEOUT) && (cf.effects & OS_CFE_STRIKEOUT);
    q.font.charset = cf.charset;
    q.font.pitch_and_family = cf.pitch_family;
    q.font.face = cf.face;
    q.colour = ((cf.mask & OS_CFM_COLOR) && !(cf.effects & OS_CFE_AUTOCOLOR)) ? cf.colour : os_sys_colour(OS_COLOR_WINDOWTEXT);
    if (!(cf.mask & OS_CFM_BOLD) || !(cf.mask & OS_CFM_ITALIC)) q.flags |= OS_CF_NOSTYLESEL;
    if (!(cf.mask & OS_CFM_FACE)) q.flags |= OS_CF_NOFACESEL;
    if (!(cf.mask & OS_CFM_SIZE)) q.flags |= OS_CF_NOSIZESEL;
    if (!os_choose_font(q)) return;
    const std::int32_t rich = r.iCacheRichPos, file = r.iCacheFilePos;
    OsCharFormat set;
    set.mask = OS_CFM_BOLD | OS_CFM_ITALIC | OS_CFM_UNDERLINE | OS_CFM_STRIKEOUT | OS_CFM_COLOR | OS_CFM_SIZE |
               OS_CFM_CHARSET | OS_CFM_FACE;
    set.effects = (q.font.weight == 700 ? OS_CFE_BOLD : 0u) | (q.font.italic ? OS_CFE_ITALIC : 0u) |
                  (q.font.underline ? OS_CFE_UNDERLINE : 0u) | (q.font.strike_out ? OS_CFE_STRIKEOUT : 0u);
    set.colour = q.colour;
    set.height = q.point_size * 2;
    set.charset = static_cast<std::uint8_t>(q.font.charset);
    set.pitch_family = static_cast<std::uint8_t>(q.font.pitch_and_family);
    std::snprintf(set.face, sizeof set.face, "%s", q.font.face.c_str());
    send(r.hRichEdit, OS_EM_SETCHARFORMAT, OS_SCF_SELECTION | OS_SCF_WORD, ptr(&set));
    r.iCacheRichPos = rich;
    r.iCacheFilePos = file;
    yyEditUpdateBIU(r);
}

// ---- printing ----------------------------------------------------------------------

std::int32_t yyEditPrint(OsHandle window, EditorWindowData& r, std::int32_t selectionOnly) {
    PrintChoice& pc = print_choice();
    if (!pc.have) {
        OsPageSetup s;
        s.units = 0;
        if (!os_page_setup_defaults(s)) {
            refocus(window);
            return 0;
        }
        s.left = s.top = s.right = s.bottom = 0;
        pc.page = s;
        pc.have = true;
    }
    OsPageSetup s = pc.page;
    std::uint32_t err = 0;
    if (!os_page_setup_dialog(s, err)) {
        refocus(window);
        return 0;
    }
    pc.page = s;
    OsDevMode mode;
    mode.fields = OS_DM_ORIENTATION | OS_DM_COPIES;
    mode.orientation = s.orientation == 1 ? 2 : 1;
    mode.copies = static_cast<std::int16_t>(std::max(1, s.copies));
    if (s.paper_code > 0) {
        mode.fields |= OS_DM_PAPERSIZE;
        mode.paper_size = static_cast<std::int16_t>(s.paper_code);
    }
    // The page set-up names the printer when it knows one of ours; else the default printer prints.
    std::string device = s.device, driver = s.driver, port = s.port;
    if (const OsPrinter known = os_open_printer(device)) {
        os_close_printer(known);
    } else {
        const std::string d = os_default_printer_device();
        const auto c1 = d.find(','), c2 = c1 == std::string::npos ? c1 : d.find(',', c1 + 1);
        device = d.substr(0, c1);
        driver = c1 == std::string::npos ? std::string() : d.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1);
        port = c2 == std::string::npos ? std::string() : d.substr(c2 + 1);
    }
    const OsDC dc = os_create_printer_dc(driver, device, port, &mode);
    if (!dc) {
        os_message_box("Unable to print text", "Print Error", OS_MB_OK | OS_MB_ICONEXCLAMATION);
        refocus(window);
        return 0;
    }
    const std::int64_t per_inch = s.units == 0 ? 1000 : 2540;
    const std::int64_t dpx = std::max(1, os_get_device_caps(dc, OS_LOGPIXELSX));
    const std::int64_t dpy = std::max(1, os_get_device_caps(dc, OS_LOGPIXELSY));
    const std::int64_t offx = os_get_device_caps(dc, OS_PHYSICALOFFSETX), offy = os_get_device_caps(dc, OS_PHYSICALOFFSETY);
    const std::int64_t minl = offx * per_inch / dpx, mint = offy * per_inch / dpy;
    const std::int64_t minr = (os_get_device_caps(dc, OS_PHYSICALWIDTH) - os_get_device_caps(dc, OS_HORZRES) - offx) * per_inch / dpx;
    const std::int64_t minb = (os_get_device_caps(dc, OS_PHYSICALHEIGHT) - os_get_device_caps(dc, OS_VERTRES) - offy) * per_inch / dpy;
    auto twips = [&](std::int64_t v) { return static_cast<std::int32_t>(v * 1440 / per_inch); };
    OsFormatRange fr;
    fr.dc = dc;
    fr.rc = {twips(s.left - minl), twips(s.top - mint), twips(s.paper_width - s.right - minr),
             twips(s.paper_height - s.bottom - minb)};
    fr.page = {0, 0, twips(s.paper_width), twips(s.paper_height)};
    if (selectionOnly) {
        fr.chrg = selection(r.hRichEdit);
    } else {
        fr.chrg.cpMin = 0;
        fr.chrg.cpMax = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_GETTEXTLENGTH));
    }
    const std::string name = r.szFileName[0] ? std::string(r.szFileName) : std::string("Untitled Text");
    std::int32_t result = 0;
    if (os_start_doc(dc, name) > 0) {
        // Each page takes what fits; an empty text prints no page.
        while (fr.chrg.cpMin < fr.chrg.cpMax) {
            os_start_page(dc);
            const auto next = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_FORMATRANGE, 1, ptr(&fr)));
            os_end_page(dc);
            if (next <= fr.chrg.cpMin) break;
            fr.chrg.cpMin = next;
        }
        send(r.hRichEdit, OS_EM_FORMATRANGE, 0, 0);
        os_end_doc(dc);
        result = 1;
    }
    os_delete_dc(dc);
    if (!result) refocus(window);
    return result;
}

// ---- the painter ---------------------------------------------------------------------

void yyEditPosFromChar(OsHandle control, std::int32_t position, OsPoint& point) {
    point = {};
    const auto v = send(control, OS_EM_POSFROMCHAR, ptr(&point), position);
    if (wtab.iVerRTF == 2) {
        point.x = static_cast<std::int16_t>(v & 0xFFFF);
        point.y = static_cast<std::int16_t>((v >> 16) & 0xFFFF);
    }
}

namespace {

std::int32_t line_height(const EditorWindowData& r) {
    std::int32_t h = std::max(1, r.nLineHeight), num = 0, den = 0;
    if (wtab.iVerRTF == 3) {
        send(r.hRichEdit, OS_EM_GETZOOM, ptr(&num), ptr(&den));
        if (num > 0 && den > 0) h = h * num / den;
    }
    return h;
}

void fill(OsHandle dc, const OsRect& rc, std::uint32_t colour) {
    // The null pen fills the rectangle one pixel short on the right and bottom.
    const OsObject b = os_create_solid_brush(colour);
    const OsObject ob = os_select_object(dc, b);
    const OsObject op = os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(dc, rc.left, rc.top, rc.right + 1, rc.bottom + 1);
    os_select_object(dc, op);
    os_select_object(dc, ob);
    os_delete_object(b);
}

void colours(OsHandle dc, bool selected) {
    os_set_text_color(dc, os_sys_colour(selected ? OS_COLOR_HIGHLIGHTTEXT : OS_COLOR_WINDOWTEXT));
    os_set_bk_color(dc, os_sys_colour(selected ? OS_COLOR_HIGHLIGHT : OS_COLOR_WINDOW));
}

void draw_run(EditorWindowData& r, OsHandle dc, const std::string& text, std::int32_t line_start, std::int32_t a, std::int32_t b) {
    if (b > a) yyEditTextOut(r, dc, text.data() + a, line_start + a, b - a);
}

// One highlighted blank at a position (a selected line end or an empty selected line).
void selected_blank(EditorWindowData& r, OsHandle dc, std::int32_t position) {
    colours(dc, true);
    OsPoint p;
    yyEditPosFromChar(r.hRichEdit, position, p);
    os_text_out(dc, p.x, p.y, " ");
}

void paint(OsHandle control, EditorWindowData& r) {
    const OsDC dc = os_get_dc(control);
    if (!dc) return;
    OsRect cr;
    os_get_client_rect(control, cr);
    const std::uint32_t back = os_sys_colour(OS_COLOR_WINDOW);
    std::int32_t lh = std::max(1, r.nLineHeight);
    OsObject zoom_font = 0;
    std::int32_t num = 0, den = 0;
    if (wtab.iVerRTF == 3) send(control, OS_EM_GETZOOM, ptr(&num), ptr(&den));
    if (num > 0 && den > 0) {
        OsLogFont lf;
        lf.height = -std::max(1, r.nCharHeight * num / den);
        lf.weight = 400;
        lf.face = "Courier New";
        lf.pitch_and_family = OS_FF_MODERN;
        zoom_font = os_create_font(lf);
        lh = lh * num / den;
    }
    const OsObject old_font = os_select_object(dc, zoom_font ? zoom_font : r.hFont);
    fill(dc, {0, 0, 1, cr.bottom}, back);
    fill(dc, {cr.right - 1, 0, cr.right, cr.bottom}, back);
    os_set_bk_mode(dc, OS_OPAQUE);
    const OsCharRange sel = selection(control);
    const bool all = sel.cpMin == 0 && sel.cpMax == -1;
    const auto lines = static_cast<std::int32_t>(send(control, OS_EM_GETLINECOUNT));
    const std::int32_t slot = yygetwindowindex(os_get_parent(control));
    std::int32_t y_end = cr.top;
    for (auto line = static_cast<std::int32_t>(send(control, OS_EM_GETFIRSTVISIBLELINE)); line < lines; ++line) {
        const auto start = static_cast<std::int32_t>(send(control, OS_EM_LINEINDEX, static_cast<std::uintptr_t>(line)));
        OsPoint at;
        yyEditPosFromChar(control, start, at);
        if (at.y >= cr.bottom) break;
        auto len = static_cast<std::int32_t>(send(control, OS_EM_LINELENGTH, static_cast<std::uintptr_t>(start)));
        len = std::clamp(len, 0, 32767);
        std::string text(static_cast<std::size_t>(len) + 1, '\0');
        if (len > 0) {
            OsTextRange tr{{start, start + len}, text.data()};
            send(control, OS_EM_GETTEXTRANGE, 0, ptr(&tr));
        }
        text.resize(static_cast<std::size_t>(len));
        fill(dc, {1, y_end == cr.top ? cr.top : at.y, cr.right - 1, at.y + lh + 1}, back);
        y_end = at.y + lh + 1;
        if (all) {
            colours(dc, true);
            if (len == 0) selected_blank(r, dc, start);
            else draw_run(r, dc, text, start, 0, len);
            continue;
        }
        std::int32_t s1 = -1, s2 = -1;
        if (sel.cpMin != sel.cpMax && sel.cpMax > start && sel.cpMin < start + len) {
            s1 = std::max(1, sel.cpMin - start + 1);
            s2 = std::min(sel.cpMax - start, len);
        }
        std::int32_t starts[100] = {}, ends[100] = {}, cols[100] = {};
        std::int32_t count = 0;
        (edit_parse_callback ? edit_parse_callback : yyeditparsecallback)(slot, s1, s2, 100, starts, ends, cols, count,
                                                                           text.c_str());
        count = std::clamp(count, 0, 100);
        std::int32_t done = 0;  // columns drawn so far
        auto plain_upto = [&](std::int32_t upto) {
            // Uncoloured text; selected characters in the selection colours when the hook gave none.
            if (count == 0 && s1 > 0) {
                const std::int32_t a = std::min(upto, std::max(done, s1 - 1)), b = std::min(upto, s2);
                colours(dc, false);
                draw_run(r, dc, text, start, done, a);
                colours(dc, true);
                draw_run(r, dc, text, start, std::max(done, a), b);
                colours(dc, false);
                draw_run(r, dc, text, start, std::max(done, b), upto);
            } else {
                colours(dc, false);
                draw_run(r, dc, text, start, done, upto);
            }
            done = std::max(done, upto);
        };
        for (std::int32_t k = 0; k < count; ++k) {
            // Ranges that overlap, go backwards or leave the line are clipped.
            const std::int32_t a = std::max(starts[k] - 1, done), b = std::min(ends[k], len);
            if (b <= a) continue;
            plain_upto(a);
            if (cols[k] == -1) {
                colours(dc, true);
            } else {
                os_set_text_color(dc, static_cast<std::uint32_t>(cols[k]) & 0xFFFFFF);
                os_set_bk_color(dc, back);
            }
            draw_run(r, dc, text, start, a, b);
            done = b;
        }
        plain_upto(len);
        if (sel.cpMin != sel.cpMax && sel.cpMin <= start + len && sel.cpMax > start + len) selected_blank(r, dc, start + len);
    }
    if (y_end < cr.bottom) fill(dc, {1, y_end, cr.right - 1, cr.bottom}, back);
    os_select_object(dc, old_font);
    if (zoom_font) os_delete_object(zoom_font);
    os_release_dc(control, dc);
}

}  // namespace

void yyEditTextOut(EditorWindowData& r, OsHandle dc, const char* text, std::int32_t position, std::int32_t length) {
    if (!text || length <= 0) return;
    const std::int32_t lh = line_height(r);
    const OsCharRange sel = selection(r.hRichEdit);
    const bool all = sel.cpMin == 0 && sel.cpMax == -1;
    std::int32_t i = 0;
    while (i < length) {
        std::int32_t j = i;
        while (j < length && text[j] != '\t') ++j;
        if (j > i) {
            OsPoint p;
            yyEditPosFromChar(r.hRichEdit, position + i, p);
            os_text_out(dc, p.x, p.y, std::string_view(text + i, static_cast<std::size_t>(j - i)));
        }
        if (j < length) {
            // A selected TAB: its cell in the highlight colour.
            const std::int32_t at = position + j;
            if (all || (at >= sel.cpMin && at < sel.cpMax)) {
                OsPoint a, b;
                yyEditPosFromChar(r.hRichEdit, at, a);
                yyEditPosFromChar(r.hRichEdit, at + 1, b);
                if (b.x > a.x) fill(dc, {a.x, a.y, b.x, a.y + lh}, os_sys_colour(OS_COLOR_HIGHLIGHT));
            }
        }
        i = j + 1;
    }
}

std::intptr_t yyEditSubRTF(OsHandle control, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const auto old = reinterpret_cast<OsWndProc>(os_get_window_user(control));
    EditorWindowData* r = yyeditrecord(os_get_parent(control));
    auto pass = [&]() -> std::intptr_t { return old ? old(control, msg, wp, lp) : os_def_window_proc(control, msg, wp, lp); };
    if (!r) return pass();
    if (msg == OSM_PAINT) {
        if (!r->bColouring) return pass();
        paint(control, *r);
        return 1;
    }
    if (msg == OSM_MOUSEWHEEL && (os_loword(wp) & OS_MK_CONTROL)) {
        const std::intptr_t res = pass();
        const OsCharRange sel = selection(control);
        const auto top = send(control, OS_EM_GETFIRSTVISIBLELINE);
        if (!r->bHidden) os_show_window(control, OS_SW_HIDE);
        OsCharRange s2 = sel;
        send(control, OS_EM_EXSETSEL, 0, ptr(&s2));
        const auto now = send(control, OS_EM_GETFIRSTVISIBLELINE);
        send(control, OS_EM_LINESCROLL, 0, top - now);
        if (!r->bHidden) os_show_window(control, OS_SW_SHOW);
        OsRect wr;
        os_get_window_rect(control, wr);
        OsPoint p{wr.left, wr.top};
        os_screen_to_client(os_get_parent(control), p);
        os_move_window(control, p.x, p.y, 1, 1, false);
        os_move_window(control, p.x, p.y, wr.width(), wr.height(), true);
        return res;
    }
    return pass();
}
