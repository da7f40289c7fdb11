// Child windows: opening into the lowest free slot, and closing with
// everything that lives in them.
#include "lib/window/childwin.h"

#include <algorithm>
#include <string>

#include "lib/dialog/dialog.h"
#include "lib/dialog/dialog_window.h"
#include "lib/graphics/gdi.h"
#include "lib/window/errors.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "lib/window/splitwin.h"
#include "lib/window/text.h"
#include "lib/window/winclose.h"
#include "lib/grid/editor.h"
#include "lib/window/window_hooks.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "platform/os_dc.h"
#include "platform/os_menu.h"
#include "platform/os_resource.h"
#include "platform/os_window.h"

namespace {

bool child_slot(std::int32_t s) { return s >= 1 && s <= MaxChildWindows; }

constexpr std::uint32_t kClientStyle = OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_CLIPSIBLINGS | OS_WS_CLIPCHILDREN;

// A semi-modeless dialog is up: new windows start disabled.
bool semi_modeless_shown() { return wtab.hLastSemi != 0 && os_is_window_visible(wtab.hLastSemi); }

// w lies inside frame or is owned by it, directly or through other windows.
bool descends_from(OsHandle w, OsHandle frame) {
    for (int guard = 0; w && guard < 1000; ++guard) {
        const OsHandle up = os_get_parent(w) ? os_get_parent(w) : os_get_owner(w);
        if (up == frame) return true;
        w = up;
    }
    return false;
}

// Forgets a slot that goes with another window: its special record, its
// menus, its handles.
void forget_slot(std::int32_t s, std::int32_t& dialog) {
    const OsHandle f = wtab.wWindow[ix(s)];
    yysplitdetach(f);
    yyuncombinedialog(f, dialog);
    yyreleasemenus(s);
    yyclearslot(s);
}

// Dialogs of a closing frame: those inside it or owned by it go, last
// loaded first; those that would give the focus back to it, or are owned
// by it, name its previous window instead.
void closing_dialogs(OsHandle frame, OsHandle previous) {
    for (std::int32_t s = dlgtab.nDialogs; s >= 1; --s) {
        const OsHandle d = dlgtab.hDialogList[ix(s)];
        if (d && (os_is_child(frame, d) || descends_from(d, frame))) yydialogunloadwindow(d);
    }
    for (std::int32_t s = 0; s <= dlgtab.nDialogs; ++s)
        if (DialogRecord* r = yydialogrecord(dlgtab.hDialogList[ix(s)]))
            for (int item : {DlgOwner, DlgReenable})
                if (r->item[ix(item)] == frame) r->item[ix(item)] = previous;
}

}  // namespace

std::int32_t yychilddialogcheck(std::int32_t id, OsHandle owner, std::int32_t& width, std::int32_t& height,
                                bool& resizable) {
    if (yydialogfind(id) >= 1) return -5;
    if (dlgtab.nDialogs >= MaxDialogs) return -3;
    return yydialogprobe(id, owner, width, height, resizable);
}

std::uint32_t yychildstyle(std::int32_t flags, bool inside) {
    std::uint32_t s = OS_WS_CAPTION | OS_WS_CLIPCHILDREN;
    s |= inside ? (OS_WS_CHILD | OS_WS_CLIPSIBLINGS) : OS_WS_POPUP;
    if (flags & WinSysMenu) s |= OS_WS_SYSMENU;
    if (flags & WinMinBox) s |= OS_WS_MINIMIZEBOX;
    if (flags & WinMaxBox) s |= OS_WS_MAXIMIZEBOX;
    if (flags & WinMaximised) s |= OS_WS_MAXIMIZE;
    if (!(flags & WinFixedSize)) s |= OS_WS_THICKFRAME;
    if (semi_modeless_shown()) s |= OS_WS_DISABLED;
    return s;
}

void yyslotmenu(std::int32_t slot, OsHandle menu, std::int32_t id) {
    if (!menu) return;
    wtab.hMenuRoot[ix(slot)] = menu;
    yymenuloadrc(menu, id);
    wtab.hAccel[ix(slot)] = os_load_accelerators(id);
    std::string_view prompts;
    wtab.hQDXMenuString[ix(slot)] = os_resource_data(MenuPromptType, id, prompts) ? id : 0;
}

void yyreleaseslotdc(std::int32_t slot) {
    if (slot != wtab.wIndex || !wtab.wDC) return;
    if (wtab.gDC == wtab.wDC) {
        yywinselectprevious();
        wtab.gDC = 0;
    }
    os_release_dc(os_dc_window(wtab.wDC), wtab.wDC);
    wtab.wDC = 0;
}

void yyclearslot(std::int32_t s) {
    const std::size_t i = ix(s);
    wtab.wWindow[i] = wtab.hClient[i] = wtab.wMessLine[i] = 0;
    wtab.hMenuRoot[i] = wtab.hAccel[i] = wtab.hQDXMenuString[i] = 0;
    wtab.hToolbar[i] = {};
    wtab.hCursorWin[i] = 0;
    wtab.iCursorWin[i] = 0;
    wtab.hPrevious[i] = 0;
    wtab.wChildRect[i].left = -999;
    // A later window in this slot starts with empty editor buffers.
    quinda.EDITBUF.release_window(s);
}

std::int32_t yygetnextfree() { return wtab.lowest_free_child(); }

void yywindowcheckinside(std::int32_t& parent) {
    parent = -1;
    const std::int32_t s = wtab.wIndex;
    if (s < 0 || s > MaxChildWindows) return;
    const OsHandle f = wtab.wWindow[ix(s)];
    if (!f || !(os_get_style(f) & OS_WS_CHILD)) return;
    parent = yygetwindowindex(os_get_parent(f));
}

void yyopenchild(std::int32_t x, std::int32_t y, std::int32_t& width, std::int32_t& height, std::int32_t& child,
                 std::int32_t flags, std::int32_t menu, const std::array<std::int32_t, 4>& toolbars,
                 std::int32_t& dialog, std::int32_t parent, const char* title) {
    // 1. A free slot.
    const std::int32_t slot = yygetnextfree();
    if (slot < 0) {
        child = -1;
        return;
    }
    const bool inside = (flags & WinInside) != 0;
    // 2. The parent of an inside child.
    if (parent < 0 || parent > MaxChildWindows) {
        child = -5;
        return;
    }
    const OsHandle pframe = wtab.wWindow[ix(parent)];
    if (inside) {
        if (!pframe || !wtab.hClient[ix(parent)]) {
            child = -5;
            return;
        }
        if (!os_is_window_visible(pframe)) {
            child = -2;
            return;
        }
        const std::int32_t k = yyspecialkind(pframe);
        if (k == WindowKindDialog) {
            child = -3;
            return;
        }
        if (k != 0) {
            child = -4;
            return;
        }
    }
    // 3. The dialog to combine.
    bool combined = false;
    if (dialog != 0) {
        std::int32_t dw = 0, dh = 0;
        bool resizable = false;
        const std::int32_t status = yychilddialogcheck(dialog, pframe, dw, dh, resizable);
        if (status != 0) {
            dialog = status;
        } else {
            combined = true;
            width = dw;
            height = dh;
            if (!resizable) {
                flags |= WinFixedSize;
                flags &= ~(WinMaxBox | WinMaximised);
            }
        }
    }
    // 4. Styles, menu and the frame's size.
    std::uint32_t style = yychildstyle(flags, inside);
    const std::uint32_t ex = (flags & WinToolWindow) ? static_cast<std::uint32_t>(OS_WS_EX_TOOLWINDOW)
                                                     : static_cast<std::uint32_t>(OS_WS_EX_APPWINDOW);
    const std::uint32_t ex_all = ex | ((flags & WinTopmost) ? static_cast<std::uint32_t>(OS_WS_EX_TOPMOST) : 0u);
    const OsHandle hmenu = !inside && menu != 0 ? yymnload(menu) : 0;
    OsRect fr{0, 0, width, height};
    os_adjust_window_rect(fr, kClientStyle, hmenu != 0, 0);
    os_adjust_window_rect(fr, style, false, ex);
    std::int32_t fw = fr.width(), fh = fr.height();
    // 5. Centring: on the screen, or in the parent's client area.
    const bool xc = x == CentredPosition, yc = y == CentredPosition;
    std::int32_t aw = wtab.wScreenWidth, ah = wtab.wScreenHeight;
    if (inside) {
        OsRect pr;
        os_get_client_rect(wtab.hClient[ix(parent)], pr);
        aw = pr.width();
        ah = pr.height();
    }
    if (xc) x = (aw - fw) / 2;
    if (yc) y = (ah - fh) / 2;
    // 6. The window the child was opened from.
    wtab.hPrevious[ix(slot)] = yyactivewindlg();
    // 7. The frame.
    const OsHandle owner = (flags & WinOwned) ? pframe : 0;
    const OsHandle frame = os_create_window(ex_all, "QUINCHILD", title ? title : "", style, x, y, fw, fh,
                                            inside ? wtab.hClient[ix(parent)] : owner, hmenu, 0);
    wtab.wWindow[ix(slot)] = frame;
    const bool maximised = (flags & WinMaximised) != 0;
    if (frame) {
        yyslotmenu(slot, hmenu, menu);
        wtab.wChildRect[ix(slot)].left = -999;
        // 8. Tool bars, status bar, growth and the client window.
        yyframeparts(slot, frame, flags, toolbars, width, xc && !maximised, yc && !maximised, x, y, fw, fh,
                     OS_WS_CHILD | OS_WS_VISIBLE, true);
    } else if (hmenu) {
        os_destroy_menu(hmenu);
    }
    // 11. Without a frame or a client the slot stays free.
    if (!frame || !wtab.hClient[ix(slot)]) {
        if (frame) os_destroy_window(frame);
        wtab.wWindow[ix(slot)] = wtab.hClient[ix(slot)] = 0;
        wtab.hPrevious[ix(slot)] = 0;
        child = -1;
        return;
    }
    // 9. The combined dialog.
    OsHandle dlgwin = 0;
    if (combined) dlgwin = yycombinedialog(slot, frame, dialog, !(flags & WinHidden));
    // 10. Show.
    const OsHandle client = wtab.hClient[ix(slot)];
    if (flags & WinHidden) {
        if (maximised) {
            OsRect r;
            os_get_client_rect(frame, r);
            os_send_message(frame, OSM_SIZE, OS_SIZE_MAXIMIZED, os_make_lparam(r.width(), r.height()));
        }
    } else {
        os_show_window(frame, maximised ? OS_SW_SHOWMAXIMIZED : OS_SW_SHOWNORMAL);
        os_bring_window_to_top(frame);
        os_validate_rect(client, nullptr);
        if (dlgwin) yydialogrepaint(dlgwin);
        wtab.wChildRect[ix(slot)].left = -999;
        os_set_focus(client);
        yytitlecolour(frame);
    }
    OsRect cr;
    os_get_client_rect(client, cr);
    width = cr.width();
    height = cr.height();
    child = slot;
}

void windowopenchild2(std::int32_t& child, std::int32_t flags, std::int32_t x, std::int32_t y, std::int32_t width,
                      std::int32_t height, std::int32_t menu, const std::array<std::int32_t, 4>& toolbars,
                      std::int32_t dialog, std::string_view title, std::int32_t parent) {
    constexpr std::string_view kName = "WindowOpenChild";
    // 1.
    const auto kept = quinda.window_size;
    // 2. Sizes and position.
    if (flags & WinInside) {
        if (parent < 0 || parent > MaxChildWindows || !wtab.slot_valid(parent)) {
            // Refused before anything is selected.
            child = -1;
            yyerror(1003, kName);
            return;
        }
        windowselect(parent);
        OsRect pr;
        os_get_client_rect(wtab.hClient[ix(parent)], pr);
        const std::int32_t pw = pr.width(), ph = pr.height();
        if (x != CentredPosition) x = x * (pw - 1) / WindowUnits;
        if (y != CentredPosition) y = y * (ph - 1) / WindowUnits;
        width = (width <= 0 ? 8000 : width) * pw / WindowUnits;
        height = (height <= 0 ? 8000 : height) * ph / WindowUnits;
    } else {
        if (width < 1) width = wtab.wScreenWidth * 80 / 100;
        if (height < 1) height = wtab.wScreenHeight * 80 / 100;
    }
    // 3.
    const std::string t = txt_c(title);
    std::int32_t dlg = dialog;
    yyopenchild(x, y, width, height, child, flags, menu, toolbars, dlg, parent, t.c_str());
    // 4. Failures.
    if (child < 0) {
        quinda.window_size = kept;
        switch (child) {
        case -5: yyerror(1003, kName); break;
        case -4: yyerror(1056, kName); break;
        case -3: yyerror(1046, kName); break;
        case -2: yyerror(1016, kName); break;
        default: break;
        }
        child = -1;
        return;
    }
    // 5. The new child is current.
    windowselect(child);
    quinda.open_flags[ix(child)] = flags;
    if (dialog > 0 && dlg == dialog) {
        yydialogmakecurrent(dialog);
    } else if (dialog != 0) {
        switch (dlg) {
        case -5: yyerror(1091, kName); break;
        case -4: yyerror(1088, kName); break;
        case -3: yyerror(1087, kName); break;
        case -2: yyerror(1045, kName); break;
        case -1: yyerror(1007, kName); break;
        default: break;
        }
    }
}

void windowopenchild1(const WindowOpenRecord& rec, std::int32_t& child) {
    const std::int32_t x = rec.x < 0 ? CentredPosition : rec.x;
    const std::int32_t y = rec.y < 0 ? CentredPosition : rec.y;
    const std::int32_t w = rec.width <= 0 ? -1 : rec.width;
    const std::int32_t h = rec.height <= 0 ? -1 : rec.height;
    windowopenchild2(child, rec.flags, x, y, w, h, rec.menu, {}, 0, std::string_view(rec.title).substr(0, 80), 0);
}

// ---- closing ----------------------------------------------------------------

void yyCloseChild3(std::int32_t slot, std::int32_t& dialog) {
    const OsHandle frame = wtab.wWindow[ix(slot)];
    if (!frame) return;
    // 1. Its sound device.
    yyclosemcidevice(slot);
    // 2. The window device context of the current slot.
    yyreleaseslotdc(slot);
    // 3. Its combined dialog.
    yyuncombinedialog(frame, dialog);
    // 4. Windows inside it or owned by it go with it.
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s)
        if (s != slot && wtab.wWindow[ix(s)] && descends_from(wtab.wWindow[ix(s)], frame)) forget_slot(s, dialog);
    // 5. Dialogs inside it or owned by it; dialogs that refer to it take its previous window.
    const OsHandle previous = wtab.hPrevious[ix(slot)];
    closing_dialogs(frame, previous);
    // 6. Windows opened from it now come from its previous window.
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s)
        if (s != slot && wtab.wWindow[ix(s)] && wtab.hPrevious[ix(s)] == frame) wtab.hPrevious[ix(s)] = previous;
    // 7. Its own split.
    if (yyspecialkind(frame) == WindowKindSplit) yysplitdetach(frame);
    // An editor lets go of its held files and its record.
    if (yyspecialkind(frame) == WindowKindEditor) yyeditdetach(frame);
    // 8. Its windows and its slot.
    if (wtab.hClient[ix(slot)]) os_destroy_window(wtab.hClient[ix(slot)]);
    os_destroy_window(frame);   // its menus go on the way (yyreleasemenus)
    if (wtab.hWinCur == frame) wtab.hWinCur = wtab.wWindow[0];
    if (wtab.hLastSemi == frame) wtab.hLastSemi = 0;
    yyclearslot(slot);
}

void yyCloseChild2(std::int32_t slot, std::int32_t& dialog) {
    const OsHandle frame = wtab.wWindow[ix(slot)];
    if (!frame) return;
    if (yyspecialkind(frame) == WindowKindSplit) yysplitclosepanes(slot, dialog);
    yyCloseChild3(slot, dialog);
}

void yyclosechild(std::int32_t& child, std::int32_t& dialog) {
    if (!child_slot(child) || !wtab.wWindow[ix(child)]) {
        child = -1;
        return;
    }
    const std::int32_t split = yysplitofpane(child);
    if (split >= 0)
        yysplitundo(split, dialog);
    else
        yyCloseChild2(child, dialog);
}

void windowclosechild(std::int32_t child) {
    std::int32_t c = child;
    yyclosechild(c, dialog_state.current_id);
    if (c == -1) {
        yyerror(1003, "WindowCloseChild");
        return;
    }
    // The current window went: the root window is current again.
    const std::int32_t cur = wtab.wIndex;
    if (cur < 0 || cur > MaxChildWindows || !wtab.wWindow[ix(cur)] || !wtab.wDC) {
        quinda.open_flags[ix(child)] = -1;
        windowselect(0);
    }
    quinda.EDITBUF.release_window(child);
}
