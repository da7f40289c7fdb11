// The root window and the window layer's process-wide set-up.
#include "lib/window/rootwin.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/dialog.h"
#include "lib/grid/grid.h"

#include <cstdlib>

#include "lib/graphics/colours.h"
#include "lib/graphics/gdi.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "lib/window/osservices.h"
#include "lib/window/splitwin.h"
#include "lib/window/text.h"
#include "lib/window/window_hooks.h"
#include "platform/os_richedit.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "lib/window/wintext.h"
#include "platform/os_dc.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"

namespace {

constexpr const char* kCaption = "Quindarolex Window";

[[noreturn]] void abort_window(const char* text) {
    yywinmessagebox(kCaption, text);
    std::exit(0);
}

std::int32_t register_if_missing(const char* name, OsWndProc proc, std::uint32_t style, const char* icon,
                                 std::int32_t cursor, std::int64_t background) {
    if (std::int32_t a = os_class_atom(name)) return a;
    OsWndClass c;
    c.name = name;
    c.proc = proc;
    c.style = style;
    c.icon = icon;
    c.cursor = cursor;
    c.background = background;
    return os_register_class(c);
}

std::uint32_t frame_style(std::int32_t flags) {
    std::uint32_t s = OS_WS_CAPTION | OS_WS_CLIPCHILDREN;
    if (flags & WinSysMenu) s |= OS_WS_SYSMENU;
    if (flags & WinMinBox) s |= OS_WS_MINIMIZEBOX;
    if (flags & WinMaxBox) s |= OS_WS_MAXIMIZEBOX;
    if (flags & WinMaximised) s |= OS_WS_MAXIMIZE;
    if (!(flags & WinFixedSize)) s |= OS_WS_THICKFRAME;
    return s;
}

constexpr std::uint32_t kClientStyle = OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_WS_CLIPCHILDREN;

}  // namespace

bool yyframeparts(std::int32_t slot, OsHandle frame, std::int32_t flags, const std::array<std::int32_t, 4>& toolbars,
                  std::int32_t width, bool xc, bool yc, std::int32_t& x, std::int32_t& y, std::int32_t& fw,
                  std::int32_t& fh, std::uint32_t status_style, bool grow) {
    const std::size_t s = static_cast<std::size_t>(slot);
    const bool maximised = (flags & WinMaximised) != 0;
    // Tool bars.
    bool grown = false;
    std::int32_t extra_bottom = 0;
    for (std::int32_t pos = 0; pos < 4; ++pos) {
        const std::int32_t id = toolbars[static_cast<std::size_t>(pos)];
        if (id == 0) continue;
        std::int32_t status = id, tw = 0, th = 0;
        yymntbar(status, slot, pos, tw, th);
        const OsHandle tb = wtab.hToolbar[s][static_cast<std::size_t>(pos)];
        if (!tb) continue;
        grown = true;
        if (pos == 0 || pos == 3) {
            OsRect r;
            os_get_window_rect(tb, r);
            fh += r.height();
            extra_bottom += r.height();
            if (yc && !maximised) y -= r.height() / 2;
        } else {
            const auto w = static_cast<std::int32_t>(os_get_window_user(tb));
            fw += w;
            if (xc && !maximised) x -= w / 2;
        }
    }
    // Status bar.
    for (auto& part : wtab.uStatusBorder) part[s] = 0;
    if (flags & WinStatusBar) {
        if (!(flags & WinFixedSize)) status_style |= OS_SBARS_SIZEGRIP;
        const OsHandle sb = os_create_window(0, "msctls_statusbar32", "", status_style, 0, 0, width, 10, frame, 0, 999);
        wtab.wMessLine[s] = sb;
        if (sb) {
            grown = true;
            OsRect r;
            os_get_window_rect(sb, r);
            fh += r.height();
            extra_bottom += r.height();
            if (yc && !maximised) y -= r.height() / 2;
        }
    }
    // Growth of the frame.
    if (grown && grow) {
        os_set_window_pos(frame, 0, x, y, fw, fh, OS_SWP_NOACTIVATE | OS_SWP_NOREDRAW | OS_SWP_NOZORDER);
        if (wtab.wMessLine[s]) os_send_message(wtab.wMessLine[s], OSM_SIZE, 0, 0);
        if (maximised) {
            OsPlacement p;
            os_get_window_placement(frame, p);
            p.normal.bottom += extra_bottom;
            os_set_window_placement(frame, p);
        }
    }
    // The client window.
    OsRect cr;
    os_get_client_rect(frame, cr);
    const auto& tb = wtab.hToolbar[s];
    auto tb_height = [](OsHandle t) {
        OsRect r;
        return t && os_get_window_rect(t, r) ? r.height() : 0;
    };
    if (tb[0]) cr.top += tb_height(tb[0]);
    if (tb[1]) cr.left += static_cast<std::int32_t>(os_get_window_user(tb[1]));
    if (tb[2]) cr.right -= static_cast<std::int32_t>(os_get_window_user(tb[2]));
    if (tb[3]) cr.bottom -= tb_height(tb[3]);
    if (wtab.wMessLine[s]) cr.bottom -= tb_height(wtab.wMessLine[s]);
    wtab.hClient[s] = os_create_window(0, "QUINCLIENT", "", kClientStyle, cr.left, cr.top, std::max(0, cr.width()),
                                       std::max(0, cr.height()), frame, 0, 0xFFFF);
    return wtab.hClient[s] != 0;
}

OsHandle yycombinedialog(std::int32_t slot, OsHandle frame, std::int32_t dialog, bool show) {
    const OsHandle dlg = yydialogcombine(dialog, slot, show);
    auto* rec = new WindowKind3Record();
    rec->dialog_handle() = dlg;
    OsRect r;
    os_get_window_rect(frame, r);
    rec->frame_width() = r.width();
    rec->frame_height() = r.height();
    os_set_window_user(frame, reinterpret_cast<std::intptr_t>(rec));
    yydialogsetcombined(dlg, frame);
    return dlg;
}

void yyuncombinedialog(OsHandle frame, std::int32_t& dialog) {
    std::int32_t* rec = yyspecialrecord(frame);
    if (!rec || rec[0] != WindowKindDialog) return;
    const OsHandle dlg = rec[5];
    if (dialog != 0 && yydialogidof(dlg) == dialog) dialog = 0;
    if (dlg) os_show_window(dlg, OS_SW_HIDE);
    yydialogunloadwindow(dlg);
    os_set_window_user(frame, 0);
    delete reinterpret_cast<WindowKind3Record*>(rec);
}

std::intptr_t yyWindowSizeDlgProc(OsHandle, std::uint32_t, std::uintptr_t, std::intptr_t) { return 0; }

void yywindowtest(std::int32_t slot, std::int32_t& result) {
    result = (slot >= 0 && slot <= MaxChildWindows && wtab.wWindow[static_cast<std::size_t>(slot)] != 0) ? 1 : 0;
}

void yycreaterootwindow(std::int32_t x, std::int32_t y, std::int32_t& width, std::int32_t& height,
                        std::int32_t flags, std::int32_t menu, const std::array<std::int32_t, 4>& toolbars,
                        std::int32_t palette, std::int32_t& dialog, const char* title) {
    // 1. Instance and message switches.
    wtab.wInstance = os_module_instance();
    wmsg.wMessageEnabled = wMessageDefault;
    if (wtab.wScreenWidth == 0) {
        // Opened before the library was initialised: learn the display now.
        std::int32_t w = 0, h = 0, c = 0, p = 0;
        yygetdisplayinfo(w, h, c, p);
    }

    // 2. Window classes.
    os_unregister_class("QUINDAROLEX");
    {
        OsWndClass root;
        root.name = "QUINDAROLEX";
        root.proc = yyWndProc;
        root.icon = "icon1";
        wtab.atomRoot = os_register_class(root);
    }
    wtab.atomChild = register_if_missing("QUINCHILD", yyWndProc, 0, "icon1", OS_IDC_ARROW, OS_NO_BRUSH);
    wtab.atomClient = register_if_missing("QUINCLIENT", yyWndProcClient, OS_CS_HREDRAW | OS_CS_VREDRAW | OS_CS_DBLCLKS,
                                          "", OS_IDC_ARROW, 0xFFFFFF);
    wtab.atomSplitH = register_if_missing("QUINSPLITH", yySplitProc, OS_CS_HREDRAW | OS_CS_VREDRAW | OS_CS_PARENTDC,
                                          "", OS_IDC_SIZENS, os_sys_colour(OS_COLOR_BTNFACE));
    wtab.atomSplitV = register_if_missing("QUINSPLITV", yySplitProc, OS_CS_HREDRAW | OS_CS_VREDRAW | OS_CS_PARENTDC,
                                          "", OS_IDC_SIZEWE, os_sys_colour(OS_COLOR_BTNFACE));
    if (!wtab.atomRoot || !wtab.atomChild || !wtab.atomClient || !wtab.atomSplitH || !wtab.atomSplitV)
        abort_window("Failed to register class - aborting.");

    // 3. The temporary window that owns the probes.
    const OsHandle temp = os_create_window(0, "QUINDAROLEX", "", OS_WS_POPUP, 0, 0, 10, 10, 0, 0, 0);
    if (!temp) abort_window("Failed to create window - aborting.");
    wtab.wWindow[0] = temp;

    // 4. Dialog field and grid classes.
    yygetatoms();
    yygridregister();

    // 5. Rich-edit version: a hidden control is asked twice where character 1
    // lies; one that fills the point given is version 3, one that leaves it
    // is version 2, and without the class the oldest, 1.
    os_register_controls();
    wtab.iVerRTF = 1;
    if (const OsHandle re = os_create_window(0, "RichEdit20A", "", OS_WS_POPUP, 0, 0, 10, 10, 0, 0, 0)) {
        os_send_message(re, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>("ab"));
        OsPoint a{-99, -99}, b{-99, -99};
        os_send_message(re, OS_EM_POSFROMCHAR, reinterpret_cast<std::uintptr_t>(&a), 1);
        os_send_message(re, OS_EM_POSFROMCHAR, reinterpret_cast<std::uintptr_t>(&b), 1);
        wtab.iVerRTF = (a.x == -99 && a.y == -99 && b.x == -99 && b.y == -99) ? 2 : 3;
        os_destroy_window(re);
    }

    // 6. Find-and-replace message.
    wtab.uFindMsgString = os_register_window_message("commdlg_FindReplace");

    // 7. The wanted client size; no dialog is the root window yet.
    wtab.wWinWidth = width;
    wtab.wWinHeight = height;
    wtab.bDlgRoot = 0;

    // 8. Combination with a dialog.
    if (dialog != 0) {
        std::int32_t dw = 0, dh = 0;
        bool resizable = false;
        const std::int32_t status =
            yydialogprobe(dialog, temp, dw, dh, resizable);
        if (status != 0) {
            dialog = status;
        } else {
            wtab.bDlgRoot = 1;
            width = dw;
            height = dh;
            if (!resizable) {
                flags |= WinFixedSize;
                flags &= ~(WinMaxBox | WinMaximised);
            }
        }
    }

    // 9. The probes are done: the temporary window goes and the menu is loaded.
    os_destroy_window(temp);
    wtab.wWindow[0] = 0;
    const OsHandle hmenu = menu != 0 ? yymnload(menu) : 0;

    // 10. Frame size for the wanted client size.
    const std::uint32_t style = frame_style(flags);
    const std::uint32_t ex = (flags & WinTopmost) ? static_cast<std::uint32_t>(OS_WS_EX_TOPMOST) : 0u;
    OsRect fr{0, 0, width, height};
    os_adjust_window_rect(fr, style, false, ex);
    os_adjust_window_rect(fr, kClientStyle, hmenu != 0, 0);
    std::int32_t fw = fr.width(), fh = fr.height();

    // 11. Position.
    const OsDisplayInfo d = os_display_info();
    const bool xc = x == CentredPosition, yc = y == CentredPosition;
    wtab.wWinX = xc ? (d.width - fw) / 2 : x;
    wtab.wWinY = yc ? (d.height - fh) / 2 : y;

    // 12. The frame.
    const OsHandle frame =
        os_create_window(ex, "QUINDAROLEX", title ? title : "", style, wtab.wWinX, wtab.wWinY, fw, fh, 0, hmenu, 0);
    wtab.wWindow[0] = frame;
    const bool maximised = (flags & WinMaximised) != 0;
    if (frame) {
        // 13. Menu companions.
        if (hmenu) {
            wtab.hMenuRoot[0] = hmenu;
            yymenuloadrc(hmenu, menu);
            wtab.hAccel[0] = os_load_accelerators(menu);
            std::string_view prompts;
            wtab.hQDXMenuString[0] = os_resource_data(MenuPromptType, menu, prompts) ? menu : 0;
            OsRect r;
            os_get_window_rect(frame, r);
            wtab.wWinX = r.left;
            wtab.wWinY = r.top;
        }
        // 14 to 17. Tool bars, status bar, growth of the frame and the client window.
        yyframeparts(0, frame, flags, toolbars, width, xc, yc, wtab.wWinX, wtab.wWinY, fw, fh,
                     OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_WS_CLIPCHILDREN, true);
        // 18.
        if (!wtab.wWindow[0] || !wtab.hClient[0]) abort_window("Failed to create window - aborting.");
    }

    // 19. Combined dialog.
    OsHandle dlgwin = 0;
    if (wtab.bDlgRoot && frame) dlgwin = yycombinedialog(0, frame, dialog, !(flags & WinHidden));

    // 20. Show.
    auto send_max_size = [&] {
        OsRect r;
        os_get_client_rect(frame, r);
        os_send_message(frame, OSM_SIZE, OS_SIZE_MAXIMIZED, os_make_lparam(r.width(), r.height()));
    };
    if (flags & WinHidden) {
        wtab.wHideRoot = 1;
        os_show_window(frame, OS_SW_HIDE);
        if (maximised) send_max_size();
    } else {
        wtab.wHideRoot = 0;
        if (maximised) {
            os_show_window(frame, OS_SW_SHOWMAXIMIZED);
            send_max_size();
        } else {
            os_show_window(frame, OS_SW_SHOWNORMAL);
        }
        os_validate_rect(wtab.hClient[0], nullptr);
        if (dlgwin) yydialogrepaint(dlgwin);
    }

    // 21. Device context and window-text colours.
    wtab.wDC = os_get_dc(wtab.hClient[0]);
    os_set_bk_mode(wtab.wDC, OS_TRANSPARENT);
    os_set_text_align(wtab.wDC, OS_TA_BASELINE);
    wtab.gDC = wtab.wDC;
    OsRect cr;
    os_get_client_rect(wtab.hClient[0], cr);
    wtab.wWinWidth = cr.width();
    wtab.wWinHeight = cr.height();
    width = cr.width();
    height = cr.height();
    wtab.wForeCol = 0;
    wtab.wBackCol = 15;
    wtab.wUnderline = 0;
    for (std::size_t i = 0; i < WindowTextColours.size(); ++i) wtab.wColor[i] = static_cast<std::int32_t>(WindowTextColours[i]);
    wtab.wColor[16] = static_cast<std::int32_t>(os_sys_colour(OS_COLOR_WINDOWTEXT));
    wtab.wColor[17] = static_cast<std::int32_t>(os_sys_colour(OS_COLOR_WINDOW));
    wtab.gRegion = 0;
    wtab.gFont = 0;
    wmsg.TimerEnabled = 0;

    // 22. The screen palette of a 256-colour display.
    if (wtab.wScreenCols == 256) {
        static constexpr std::uint8_t graded16[16][3] = {
            {255, 255, 255}, {0, 0, 191}, {0, 191, 0},   {0, 191, 191}, {191, 0, 0},   {191, 0, 191},
            {191, 191, 0},   {64, 64, 64}, {191, 191, 191}, {0, 0, 255},  {0, 255, 0},   {0, 255, 255},
            {255, 0, 0},     {255, 0, 255}, {255, 255, 0}, {0, 0, 0}};
        wtab.ngColours = palette;
        std::vector<std::uint32_t> pal(static_cast<std::size_t>(palette + 18));
        for (std::int32_t i = 0; i < palette; ++i) {
            std::uint32_t r, g, b;
            if (palette == 16) {
                r = graded16[i][0];
                g = graded16[i][1];
                b = graded16[i][2];
            } else {
                // A grey ramp; the screen device overwrites these with the graphics palette.
                r = g = b = static_cast<std::uint32_t>(255 - i * 255 / (palette - 1));
            }
            pal[static_cast<std::size_t>(i)] = r | (g << 8) | (b << 16);
        }
        for (std::size_t i = 0; i < 16; ++i) pal[static_cast<std::size_t>(palette) + i] = WindowTextColours[i];
        pal[static_cast<std::size_t>(palette) + 16] = static_cast<std::uint32_t>(wtab.wColor[16]);
        pal[static_cast<std::size_t>(palette) + 17] = static_cast<std::uint32_t>(wtab.wColor[17]);
        wtab.gLogPal = pal;
        wtab.gPal256 = os_create_palette(pal);
    }

    // 23. Pattern bitmap and the pen state.
    if (!wtab.gBitmap) wtab.gBitmap = os_create_compatible_bitmap(wtab.gDC, 8, 8);
    yywinsetup();

    // 24. Gradients and mail take the library's own paths (docs/platform.md).
    wtab.pGradientFill = 0;
    wtab.pMAPISendMail = 0;

    // 25. The clipboard format of memory metafiles.
    if (!wtab.cgmFormat) wtab.cgmFormat = os_register_clipboard_format("Quindarolex CGM");

    // 26. No special drawing target and no deferred message.
    wtab.hGraphicsBitmap = wtab.hGraphicsField = wtab.hGraphicsMetafile = 0;
    for (auto& e : wmsg.QDXMessages) e.type = 0;

    // 27. The client has the focus unless the window is hidden.
    if (!(flags & WinHidden)) os_set_focus(wtab.hClient[0]);
    wtab.hWinCur = wtab.wWindow[0];
}

void windowopen2(std::int32_t flags, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                 std::int32_t menu, const std::array<std::int32_t, 4>& toolbars, std::int32_t dialog,
                 std::string_view title, std::int32_t palette) {
    // Only one root window.
    if (quinda.window_open) return;
    // The display's size and colours, when start-up has not asked yet; 80 per cent of it by default.
    if (wtab.wScreenWidth == 0) {
        std::int32_t w = 0, h = 0, c = 0, p = 0;
        yygetdisplayinfo(w, h, c, p);
    }
    if (width < 1) width = wtab.wScreenWidth * 80 / 100;
    if (height < 1) height = wtab.wScreenHeight * 80 / 100;
    if (palette != 16 && palette != 32 && palette != 64 && palette != 128) palette = 16;
    quinda.window_size = {width, height};
    // The frame, its client, menu, tool bars and a combined dialog.
    const std::string t = txt_c(title);
    std::int32_t dlg = dialog;
    yycreaterootwindow(x, y, width, height, flags, menu, toolbars, palette, dlg, t.c_str());
    // The real client size (a combined dialog may have fixed it).
    quinda.window_size = {width, height};
    // A dialog that cannot be combined is reported; one that can becomes current.
    if (dialog != 0) {
        if (dlg == -4)
            yyerror(1088, "WindowOpen");
        else if (dlg == -2)
            yyerror(1045, "WindowOpen");
        else if (dlg == -1)
            yyerror(1007, "WindowOpen");
        else
            yydialogmakecurrent(dialog);
    }
    // On a 256-colour display the palette size asked for becomes the default one.
    if (wtab.wScreenCols == 256) quinda.default_palette_size = palette;
    // The root window is the current window.
    quinda.current_slot = 0;
    wtab.wIndex = 0;
    quinda.open_flags[0] = flags;
    quinda.window_open = 1;
    // Window text, the default palette and the graphics state.
    yywintextopen();
    yypali();
    igrinit(" ");
}

void windowopen1(const WindowOpenRecord& rec, std::int32_t palette) {
    const std::int32_t x = rec.x < 0 ? CentredPosition : rec.x;
    const std::int32_t y = rec.y < 0 ? CentredPosition : rec.y;
    const std::int32_t w = rec.width <= 0 ? -1 : rec.width;
    const std::int32_t h = rec.height <= 0 ? -1 : rec.height;
    windowopen2(rec.flags, x, y, w, h, rec.menu, {}, 0, std::string_view(rec.title).substr(0, 80), palette);
}
