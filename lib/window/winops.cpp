// Operations on the current window and its status bar.
#include "lib/grid/window_kinds.h"
#include "lib/window/winops.h"

#include "lib/graphics/bitmapview.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/dialog.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

#include "lib/graphics/bitmapview.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "lib/window/messages.h"
#include "lib/window/text.h"
#include "lib/window/rootwin.h"
#include "lib/window/splitwin.h"
#include "lib/graphics/gdi.h"
#include "lib/grid/editor.h"
#include "lib/window/window_hooks.h"
#include "lib/window/wintext.h"
#include "lib/window/wininfo.h"
#include "platform/os_dc.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"

namespace {

OsHandle current_frame() { return valid_slot(wtab.wIndex) ? wtab.wWindow[ix(wtab.wIndex)] : 0; }
OsHandle current_client() { return valid_slot(wtab.wIndex) ? wtab.hClient[ix(wtab.wIndex)] : 0; }

// The colour of a clear: -1 the window background, else packed RGB; on a
// 256-colour screen the nearest colour of the screen palette.
std::uint32_t clear_colour(std::int32_t colour) {
    return yyscreencolour(colour == -1 ? static_cast<std::uint32_t>(wtab.wColor[ix(std::clamp(wtab.wBackCol, 0, 17))])
                                       : static_cast<std::uint32_t>(colour));
}

std::uint32_t border_style(std::int32_t code) {
    if (code == 0) return OS_SBT_NOBORDERS;
    if (code == 2) return OS_SBT_POPOUT;
    return OS_SBT_SUNKEN;
}

// Height of a window (0 for none).
std::int32_t height_of(OsHandle w) {
    OsRect r;
    return w && os_get_window_rect(w, r) ? r.height() : 0;
}

}  // namespace

void report_to_statusbar(std::string_view line) {
    if (!quinda.window_open) return;
    const std::int32_t keep = winfowindow(4);
    windowselect(0);
    windowoutstatusbar(1, line);
    windowselect(keep);
}

std::uint32_t yyscreencolour(std::uint32_t rgb) {
    std::uint32_t c = rgb & 0xFFFFFF;
    if (wtab.wScreenCols == 256 && !wtab.gLogPal.empty()) {
        auto dist = [c](std::uint32_t p) {
            const int dr = static_cast<int>(c & 0xFF) - static_cast<int>(p & 0xFF);
            const int dg = static_cast<int>((c >> 8) & 0xFF) - static_cast<int>((p >> 8) & 0xFF);
            const int db = static_cast<int>((c >> 16) & 0xFF) - static_cast<int>((p >> 16) & 0xFF);
            return dr * dr + dg * dg + db * db;
        };
        c = *std::min_element(wtab.gLogPal.begin(), wtab.gLogPal.end(),
                              [&](std::uint32_t a, std::uint32_t b) { return dist(a) < dist(b); });
    }
    return c;
}

// ---- selecting ------------------------------------------------------------------

void yywindowselect(std::int32_t& width, std::int32_t& height, std::int32_t& slot) {
    if (!wtab.slot_valid(slot)) {
        slot = -1;
        return;
    }
    const bool graphics_on_window = wtab.gDC != 0 && wtab.gDC == wtab.wDC;
    if (graphics_on_window) yywinselectprevious();
    if (wtab.wDC) os_release_dc(os_dc_window(wtab.wDC), wtab.wDC);
    if (graphics_on_window) wtab.gDC = 0;
    wtab.wIndex = slot;
    wtab.wDC = os_get_dc(wtab.hClient[ix(slot)]);
    if (!wtab.hGraphicsField && !wtab.hGraphicsBitmap && !wtab.hGraphicsMetafile) {
        wtab.gDC = wtab.wDC;
        if (wtab.gBitmap) os_delete_object(wtab.gBitmap);
        wtab.gBitmap = os_create_compatible_bitmap(wtab.gDC, 8, 8);
        os_set_bk_mode(wtab.gDC, OS_TRANSPARENT);
        os_set_text_align(wtab.gDC, OS_TA_BASELINE);
        yywinselectcurrent();
    }
    OsRect r;
    os_get_client_rect(wtab.hClient[ix(slot)], r);
    wtab.wWinWidth = width = r.width();
    wtab.wWinHeight = height = r.height();
}

void yywinsel(std::int32_t slot, std::int32_t flag) {
    std::int32_t w = 0, h = 0, s = slot;
    yywindowselect(w, h, s);
    if (s < 0) {
        yyerror(1003, "YYWINSEL");
        return;
    }
    quinda.window_size = {w, h};
    quinda.current_slot = slot;
    if (gstate.DrawableType == 1) gstate.drawable_id = slot;
    gstate.temporary_selection = flag;
    yyresn(1, slot, w, h);
    gstate.temporary_selection = 0;
    yyfntsiz();
}

void windowselect(std::int32_t slot) { yywinsel(slot, gstate.temporary_selection); }

// ---- title and icon -------------------------------------------------------------

void yywindowtitle(std::int32_t& icon, std::int32_t settitle, const char* text) {
    const OsHandle frame = current_frame();
    if (!frame) return;
    if (settitle) os_set_window_text(frame, text ? text : "");
    if (icon == -1) return;
    const OsIcon h = icon == 0 ? os_load_icon("icon1") : os_load_icon(icon);
    if (!h) {
        icon = -2;
        return;
    }
    os_destroy_icon(os_set_window_icon(frame, true, h));
    os_destroy_icon(os_set_window_icon(frame, false, 0));
}

void windowtitle(std::optional<std::string_view> title, std::optional<std::int32_t> icon) {
    std::int32_t id = icon.value_or(-1);
    const std::string t = title ? txt_c(*title) : std::string();
    yywindowtitle(id, title ? 1 : 0, t.c_str());
    if (id == -2) yyerror(1015, "WindowTitle");
}

// ---- status bar -------------------------------------------------------------------

void yysetstatuspart(std::int32_t part, std::int32_t edge, std::int32_t border) {
    if (part < 1 || part > 255 || !valid_slot(wtab.wIndex)) return;
    wtab.partlist[ix(part - 1)] = edge;
    wtab.uStatusBorder[ix(part - 1)][ix(wtab.wIndex)] = static_cast<std::int32_t>(border_style(border));
}

void yysetstatusbar(std::int32_t nparts) {
    const OsHandle sb = valid_slot(wtab.wIndex) ? wtab.wMessLine[ix(wtab.wIndex)] : 0;
    if (!sb || nparts < 1 || nparts > 255) return;
    os_send_message(sb, OSM_SB_SETPARTS, static_cast<std::uintptr_t>(nparts),
                    reinterpret_cast<std::intptr_t>(wtab.partlist.data()));
    char buffer[StatusTextMax + 1];
    for (std::int32_t k = 0; k < nparts; ++k) {
        const auto len = static_cast<std::size_t>(os_loword(static_cast<std::uintptr_t>(
            os_send_message(sb, OSM_SB_GETTEXTLENGTH, static_cast<std::uintptr_t>(k), 0))));
        std::string t;
        if (len <= StatusTextMax) {
            os_send_message(sb, OSM_SB_GETTEXT, static_cast<std::uintptr_t>(k), reinterpret_cast<std::intptr_t>(buffer));
            t.assign(buffer, len);
        }
        const auto style = static_cast<std::uint32_t>(wtab.uStatusBorder[ix(k)][ix(wtab.wIndex)]);
        os_send_message(sb, OSM_SB_SETTEXT, static_cast<std::uintptr_t>(k) | style,
                        reinterpret_cast<std::intptr_t>(t.c_str()));
    }
    os_invalidate_rect(sb, nullptr, true);
}

void windowstatusbarparts(std::int32_t nparts, std::span<const std::int32_t> widths,
                          std::optional<std::span<const std::int32_t>> borders) {
    if (nparts < 1 || nparts > 255) return;
    std::int32_t right = 0;
    for (std::int32_t k = 1; k <= nparts; ++k) {
        const std::int32_t border =
            borders && ix(k - 1) < borders->size() ? (*borders)[ix(k - 1)] : 1;
        // A list shorter than the count ends like a -1 (to the right edge).
        const std::int32_t width = ix(k - 1) < widths.size() ? widths[ix(k - 1)] : -1;
        if (width == -1) {
            yysetstatuspart(k, -1, border);
            nparts = k;
            break;
        }
        std::int32_t px = 0, py = 0;
        windowunitstopixels(width, 0, px, py);
        right += px;
        yysetstatuspart(k, right, border);
    }
    yysetstatusbar(nparts);
}

void yysetstatustext(std::int32_t part, const char* text) {
    const OsHandle sb = valid_slot(wtab.wIndex) ? wtab.wMessLine[ix(wtab.wIndex)] : 0;
    if (!sb || part < 1 || part > 255) return;
    const auto style = static_cast<std::uint32_t>(wtab.uStatusBorder[ix(part - 1)][ix(wtab.wIndex)]);
    // A part's text is read back through a buffer of StatusTextMax + 1 bytes
    // when the parts are laid out again, and the bar reports lengths in 16
    // bits; a longer text would be lost there or overrun the buffer.
    const std::string t(text ? std::string_view(text).substr(0, StatusTextMax) : std::string_view());
    os_send_message(sb, OSM_SB_SETTEXT, static_cast<std::uintptr_t>(part - 1) | style,
                    reinterpret_cast<std::intptr_t>(t.c_str()));
    OsRect r;
    if (os_send_message(sb, OSM_SB_GETRECT, static_cast<std::uintptr_t>(part - 1), reinterpret_cast<std::intptr_t>(&r)))
        os_invalidate_rect(sb, &r, true);
}

void windowoutstatusbar(std::int32_t part, std::string_view text) {
    if (part < 1 || part > 255) return;
    std::string t = txt_c(text);
    if (t.size() > StatusTextMax) t.resize(StatusTextMax);
    yysetstatustext(part, t.c_str());
}

// ---- clearing -----------------------------------------------------------------------

void yycleararea(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t colour) {
    // A rectangle x1, y1 .. x2 + 2, y2 + 2 drawn without a pen fills the
    // pixels x1..x2, y1..y2.
    const OsRect r{x1, y1, x2 + 1, y2 + 1};
    os_surface_fill(current_client(), r, clear_colour(colour));
}

void windowclear(std::optional<std::int32_t> x1, std::optional<std::int32_t> y1, std::optional<std::int32_t> x2,
                 std::optional<std::int32_t> y2, std::optional<std::int32_t> colour) {
    yycleararea(x1.value_or(0), y1.value_or(0), x2.value_or(quinda.window_size[0] - 1),
                y2.value_or(quinda.window_size[1] - 1), colour.value_or(-1));
}

void windowcleararea(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    std::int32_t px1 = 0, py1 = 0, px2 = 0, py2 = 0;
    windowunitstopixels(x1, y1, px1, py1);
    windowunitstopixels(x2, y2, px2, py2);
    yycleararea(px1, py1, px2, py2, -1);
}

// ---- units ---------------------------------------------------------------------------

void windowunitstopixels(std::int32_t x, std::int32_t y, std::int32_t& px, std::int32_t& py) {
    px = static_cast<std::int32_t>(static_cast<std::int64_t>(quinda.window_size[0] - 1) * x / WindowUnits);
    py = static_cast<std::int32_t>(static_cast<std::int64_t>(quinda.window_size[1] - 1) * y / WindowUnits);
}

void yyunitsfrompixels(std::int32_t px, std::int32_t py, std::int32_t width, std::int32_t height, std::int32_t& x,
                       std::int32_t& y) {
    auto conv = [](std::int32_t p, std::int32_t size) {
        if (size <= 1) return 0;
        return static_cast<std::int32_t>((static_cast<double>(p) + 0.5) * WindowUnits / size);
    };
    x = conv(px, width);
    y = conv(py, height);
}

void windowunitsfrompixels(std::int32_t px, std::int32_t py, std::int32_t& x, std::int32_t& y) {
    yyunitsfrompixels(px, py, quinda.window_size[0], quinda.window_size[1], x, y);
}

// ---- size changes and bell ------------------------------------------------------------

void yyresize(std::int32_t slot, std::int32_t width, std::int32_t height) {
    if (slot != quinda.current_slot) return;
    quinda.window_size = {width, height};
    yyfntsiz();
    yyresn(1, slot, width, height);
}

void windowbell(std::string_view text) {
    std::string head(3, ' ');
    for (std::size_t i = 0; i < 3 && i < text.size(); ++i)
        head[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    if (head == "ON ")
        yysetbell(1);
    else if (head == "OFF")
        yysetbell(0);
    else
        yyringbell();
}

// ---- moving and sizing ---------------------------------------------------------------------

void yywindowsizepos(std::int32_t x, std::int32_t y, std::int32_t& width, std::int32_t& height, std::int32_t show) {
    const std::int32_t slot = wtab.wIndex;
    const OsHandle frame = current_frame();
    const OsHandle client = current_client();
    if (!frame) return;
    std::int32_t present = 1;
    yygetminmaxstate(present);
    if (show < 0 || show > 3) show = present;
    const bool child = (os_get_style(frame) & OS_WS_CHILD) != 0;
    const bool minmax_now = os_is_iconic(frame) || os_is_zoomed(frame);
    const bool minmax_new = show == 0 || show == 2;
    std::int32_t* rec = yyspecialrecord(frame);
    const std::int32_t kind = rec ? rec[0] : 0;
    if (kind == WindowKindSplit) rec[18] = 1;

    // Offset between placements and the screen.
    const OsPoint offset = !child && (minmax_now || minmax_new) ? yyplacementoffset() : OsPoint{0, 0};

    // What the frame adds around the client: borders, caption, menu, tool bars, status bar.
    OsRect add{0, 0, 0, 0};
    os_adjust_window_rect(add, os_get_style(frame), os_get_menu(frame) != 0, os_get_ex_style(frame));
    std::int32_t extra_w = add.width(), extra_h = add.height();
    const auto& tb = wtab.hToolbar[ix(slot)];
    if (tb[0]) extra_h += height_of(tb[0]);
    if (tb[3]) extra_h += height_of(tb[3]);
    if (tb[1]) extra_w += static_cast<std::int32_t>(os_get_window_user(tb[1]));
    if (tb[2]) extra_w += static_cast<std::int32_t>(os_get_window_user(tb[2]));
    extra_h += yyspecialextraheight(frame);
    extra_h += height_of(wtab.wMessLine[ix(slot)]);

    // Starting rectangle.
    OsRect start;
    yyframeplacement(frame, minmax_now, start);
    const std::int32_t nx = x == KeepValue ? start.left : x;
    const std::int32_t ny = y == KeepValue ? start.top : y;
    std::int32_t cw = width == KeepValue ? start.width() - extra_w : width;
    std::int32_t ch = height == KeepValue ? start.height() - extra_h : height;
    std::int32_t fw = cw + extra_w, fh = ch + extra_h;
    if (kind == WindowKindDialog) {
        const bool resizable = yyIsResizableDialog(rec[5]);
        if (!resizable) {
            fw = start.width();
            fh = start.height();
        } else {
            rec[6] = std::min(rec[6], fw);
            rec[7] = std::min(rec[7], fh);
        }
    }

    if (yysplitpanesize(slot, cw, ch)) {
        // The pane got its extent through its split bar.
    } else if (minmax_now || minmax_new) {
        OsPlacement p;
        p.normal = {nx, ny, nx + fw, ny + fh};
        if (!child) {
            p.normal.left += offset.x;
            p.normal.right += offset.x;
            p.normal.top += offset.y;
            p.normal.bottom += offset.y;
        }
        static constexpr std::int32_t kShow[4] = {OS_SW_SHOWMINNOACTIVE, OS_SW_SHOWNOACTIVATE, OS_SW_SHOWMAXIMIZED,
                                                  OS_SW_HIDE};
        p.show = kShow[show];
        if (child && os_is_zoomed(frame) && valid_slot(slot))
            wtab.wChildRect[ix(slot)] = {nx, ny, nx + fw, ny + fh};
        os_set_window_placement(frame, p);
    } else {
        if (show != 3 && kind == WindowKindDialog && rec[5]) os_show_window(rec[5], OS_SW_SHOWNOACTIVATE);
        os_set_window_pos(frame, 0, nx, ny, fw, fh,
                          OS_SWP_NOZORDER | OS_SWP_NOACTIVATE | (show == 3 ? OS_SWP_HIDEWINDOW : OS_SWP_SHOWWINDOW));
    }
    if (slot == 0) wtab.wHideRoot = show == 3 ? 1 : 0;
    if (std::int32_t* r2 = yyspecialrecord(frame); r2 && r2[0] == WindowKindSplit) r2[18] = 0;
    OsRect cr;
    os_get_client_rect(client, cr);
    width = cr.width();
    height = cr.height();
}

void yywindowraise() {
    const OsHandle frame = current_frame();
    if (!frame) return;
    std::vector<OsHandle> chain;
    for (OsHandle w = frame; w; w = os_get_parent(w))
        if (yygetwindowindex(w) >= 0 && os_get_class_name(w) != "QUINCLIENT") chain.push_back(w);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        os_set_window_pos(*it, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_SHOWWINDOW);
    os_enable_window(frame, true);
    const std::int32_t* rec = yyspecialrecord(frame);
    OsHandle focus = frame;
    if (rec) {
        if (rec[0] == WindowKindEditor && rec[14]) focus = rec[14];
        else if ((rec[0] == WindowKindBitmapViewer || rec[0] == WindowKindDialog || rec[0] == WindowKindGrid) && rec[5])
            focus = rec[5];
    }
    os_set_focus(focus);
    yytitlecolour(frame);
}

void yyspecialrelease(OsHandle frame, std::int32_t kind) {
    switch (kind) {
    case WindowKindBitmapViewer: yybitmapviewerrelease(frame); break;
    case WindowKindEditor: yyeditrelease(frame); break;
    case WindowKindGrid: yygridwinrelease(frame); break;
    default: break;
    }
}

void yywindowrevert(std::int32_t& dialog, std::int32_t flags, std::int32_t& status) {
    const OsHandle frame = current_frame();
    if (!frame) {
        status = 1;
        return;
    }
    std::int32_t* rec = yyspecialrecord(frame);
    if (!rec) {
        status = 2;
        return;
    }
    status = 0;
    const std::int32_t slot = wtab.wIndex;
    switch (rec[0]) {
    case WindowKindEditor:
    case WindowKindGrid: {
        yyspecialrelease(frame, rec[0]);
        // A menu set on the enclosing split window goes back to that window's own.
        const OsHandle outer = os_get_parent(os_get_parent(frame));
        const std::int32_t oslot = yygetwindowindex(outer);
        if (outer && yyspecialkind(outer) == WindowKindSplit && valid_slot(oslot))
            os_set_menu(outer, wtab.hMenuRoot[ix(oslot)]);
        os_set_window_user(frame, 0);
        break;
    }
    case WindowKindBitmapViewer:
        if (rec[5]) os_destroy_window(rec[5]);
        if (wtab.hClient[ix(slot)]) os_show_window(wtab.hClient[ix(slot)], OS_SW_SHOW);
        // The frame gets its own procedure back and the record goes.
        yyspecialrelease(frame, WindowKindBitmapViewer);
        break;
    case WindowKindDialog: {
        yyuncombinedialog(frame, dialog);
        const std::uint32_t old = os_get_style(frame);
        std::uint32_t style = old;
        if (!(flags & 0x40)) style |= OS_WS_THICKFRAME;
        if (flags & 4) style |= OS_WS_MAXIMIZEBOX;
        if (style != old) {
            os_set_style(frame, style);
            os_set_window_pos(frame, 0, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
        break;
    }
    case WindowKindSplit:
        yysplitundo(slot, dialog);
        break;
    default:
        break;
    }
}

void yyscrollarea(std::int32_t dx, std::int32_t dy, std::int32_t colour) {
    const OsHandle client = current_client();
    if (!os_scroll_window(client, dx, dy)) return;
    OsRect cr;
    os_get_client_rect(client, cr);
    const std::uint32_t c = clear_colour(colour);
    if (dx > 0) os_surface_fill(client, {0, 0, dx, cr.bottom}, c);
    if (dx < 0) os_surface_fill(client, {cr.right + dx, 0, cr.right, cr.bottom}, c);
    if (dy > 0) os_surface_fill(client, {0, 0, cr.right, dy}, c);
    if (dy < 0) os_surface_fill(client, {0, cr.bottom + dy, cr.right, cr.bottom}, c);
    OsRect v = cr;
    if (dx > 0) v.right = dx;
    if (dx < 0) v.left = cr.right + dx;
    if (dy > 0) v.bottom = dy;
    if (dy < 0) v.top = cr.bottom + dy;
    os_validate_rect(client, &v);
}

void yyedittest(std::int32_t& kind) { kind = yyspecialkind(current_frame()); }

