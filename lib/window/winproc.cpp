// Window procedures of frames and client windows, and the interpreter that
// turns one event into the pending library message.
#include "lib/grid/window_kinds.h"
#include "lib/window/messages.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/dialog.h"

#include "lib/window/menus.h"
#include "lib/window/splitwin.h"
#include "lib/window/window_hooks.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"

MessageState wmsg;
WindowHooks window_hooks;

void reset_message_state() {
    os_window_reset();
    wmsg = MessageState{};
    window_hooks = WindowHooks{};
    reset_menu_state();
    os_menu_set_responder({});
}

namespace {

// Mouse coordinates as 16-bit words; a captured pointer left of or above the
// window comes back negative.
void mouse_xy(std::intptr_t lp) {
    std::int32_t x = os_loword(static_cast<std::uintptr_t>(lp));
    std::int32_t y = os_hiword(static_cast<std::uintptr_t>(lp));
    if (x > wtab.wScreenWidth) x -= 65536;
    if (y > wtab.wScreenHeight) y -= 65536;
    wmsg.wMessageX = x;
    wmsg.wMessageY = y;
}

bool is_bitmap_viewer(OsHandle w) { return wtab.atomBitmap != 0 && os_window_class_atom(w) == wtab.atomBitmap; }

// Split frame or frame combined with a dialog.
bool parent_is_special(OsHandle client) {
    const std::int32_t k = yyspecialkind(os_get_parent(client));
    return k == WindowKindSplit || k == WindowKindDialog;
}

void show_and_raise(OsHandle frame) {
    os_set_window_pos(frame, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_SHOWWINDOW);
}

// Shared by frames and client windows: non-client clicks.
std::intptr_t nc_button(OsHandle frame, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    if (msg == OSM_NCLBUTTONDOWN) wmsg.hWinMenuClick = frame;
    if (static_cast<std::int32_t>(wp) != OS_HTMINBUTTON) {
        const std::int32_t b = msg == OSM_NCLBUTTONDOWN ? 1 : (msg == OSM_NCMBUTTONDOWN ? 2 : 3);
        yyinterpretmessage(MsgFrameClick, b, wp, lp, frame);
    }
    show_and_raise(frame);
    yytitlecolour(frame);
    return os_def_window_proc(frame, msg, wp, lp);
}

// Minimised windows inside a client area line up along its bottom edge.
void arrange_iconic(OsHandle client) {
    OsRect cr;
    if (!os_get_client_rect(client, cr)) return;
    std::int32_t x = 0;
    for (OsHandle c : os_child_windows(client)) {
        if (!os_is_iconic(c)) continue;
        OsRect r;
        os_get_window_rect(c, r);
        os_set_window_pos(c, 0, x, cr.bottom - r.height(), 0, 0, OS_SWP_NOSIZE | OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        x += r.width();
    }
}

void defer_paint_resize(OsHandle hwnd, std::uint32_t msg) {
    if (wmsg.wValidMessage != 0 || wmsg.bExpectPaintResize != 0 || wtab.wBlitOn != 0) return;
    if (!os_is_window_visible(hwnd) || wmsg.wMessageType <= 0 || parent_is_special(hwnd)) return;
    const std::int32_t slot = yygetwindowindex(hwnd);
    if (!valid_slot(slot)) return;
    QDXEntry& e = wmsg.QDXMessages[ix(slot)];
    if (msg == OSM_PAINT && e.type == MsgResize) return;  // an expose never replaces a resize
    e = pending_message();
    e.type = msg == OSM_SIZE ? MsgResize : MsgExpose;
    e.win = slot;
}

}  // namespace

QDXEntry pending_message() {
    return {wmsg.wMessageType, wmsg.wMessageValue1, wmsg.wMessageValue2, wmsg.wMessageValue3, wmsg.wMessageValue4,
            wmsg.wMessageX,    wmsg.wMessageY,      wmsg.wMessageWin,    wmsg.wMessageTime};
}

std::int32_t* yyspecialrecord(OsHandle frame) {
    if (!frame) return nullptr;
    return reinterpret_cast<std::int32_t*>(os_get_window_user(frame));
}

std::int32_t yyspecialkind(OsHandle frame) {
    const std::int32_t* r = yyspecialrecord(frame);
    return r ? r[0] : 0;
}

// ---- interpreter --------------------------------------------------------------

std::int32_t yyinterpretkey(std::int32_t vk, std::int32_t modifier) {
    const std::int32_t arrow = modifier == 40 ? 8 : (modifier == 20 ? 4 : 0);
    switch (vk) {
    case OS_VK_UP: return modifier == 20 ? SpecialKeyCode::ShiftUp : SpecialKeyCode::Up + arrow;
    case OS_VK_DOWN: return modifier == 20 ? SpecialKeyCode::ShiftDown : SpecialKeyCode::Down + arrow;
    case OS_VK_RIGHT: return SpecialKeyCode::Right + arrow;
    case OS_VK_LEFT: return SpecialKeyCode::Left + arrow;
    case OS_VK_PRIOR: return SpecialKeyCode::PageUp;
    case OS_VK_NEXT: return SpecialKeyCode::PageDown;
    case OS_VK_HOME: return SpecialKeyCode::Home;
    case OS_VK_END:
    case OS_VK_SELECT: return SpecialKeyCode::End;
    case OS_VK_INSERT: return SpecialKeyCode::Insert;
    case OS_VK_DELETE: return SpecialKeyCode::Delete;
    case OS_VK_TAB: return modifier == 20 ? SpecialKeyCode::ShiftTab : vk;
    case OS_VK_CLEAR: return SpecialKeyCode::Keypad0 + 5;
    case OS_VK_SUBTRACT: return SpecialKeyCode::KeypadMinus;
    case OS_VK_DECIMAL: return SpecialKeyCode::KeypadPoint;
    case OS_VK_ADD:
    case OS_VK_SEPARATOR: return SpecialKeyCode::KeypadPlus;
    case OS_VK_DIVIDE: return SpecialKeyCode::KeypadDivide;
    case OS_VK_MULTIPLY: return SpecialKeyCode::KeypadMultiply;
    case OS_VK_SNAPSHOT: return SpecialKeyCode::PrintScreen;
    default: break;
    }
    if (vk >= OS_VK_NUMPAD0 && vk <= OS_VK_NUMPAD0 + 9) return SpecialKeyCode::Keypad0 + (vk - OS_VK_NUMPAD0);
    if (vk >= OS_VK_F1 && vk < OS_VK_F1 + 20) {
        const std::int32_t n = vk - OS_VK_F1;
        if (modifier == 40) return SpecialKeyCode::CtrlF1 + n;
        if (modifier == 20) return SpecialKeyCode::ShiftF1 + n;
        return SpecialKeyCode::F1 + n;
    }
    return vk;
}

std::int32_t yymousemodifiers(std::uint32_t flags) {
    std::int32_t m = 0;
    if (flags & OS_MK_CONTROL) m |= MouseCtrl;
    if (flags & OS_MK_SHIFT) m |= MouseShift;
    if (flags & OS_MK_LBUTTON) m |= MouseLeftHeld;
    if (flags & OS_MK_MBUTTON) m |= MouseMiddleHeld;
    if (flags & OS_MK_RBUTTON) m |= MouseRightHeld;
    return m;
}

void yyenablemessage(std::int32_t type, std::int32_t flag) {
    if (type < 1 || type > 16) return;
    wmsg.wMessageEnabled[ix(type - 1)] = flag;
}

std::int32_t yyinfomessage(std::int32_t type, std::int32_t& out) {
    out = (type < 1 || type > 16) ? 0 : wmsg.wMessageEnabled[ix(type - 1)];
    return out;
}

void yyinterpretmessage(std::int32_t type, std::int32_t button, std::uintptr_t wParam, std::intptr_t lParam,
                        OsHandle window) {
    std::int32_t entry = -1;
    if (type >= 1 && type <= 100)
        entry = type - 1;
    else if (type >= 101 && type <= 116)
        entry = type - 101;
    if (entry < 0 || entry > 15) return;  // no such type: nothing is produced
    if (wmsg.wMessageEnabled[ix(entry)] == 0) return;
    if (type == MsgExpose && wmsg.wMessageType == MsgResize && wmsg.wValidMessage == 0) return;

    const bool hidden = !os_is_window_visible(window);
    DialogEventInfo dlg;
    const bool dialog_type = type == MsgPushButton || type == MsgFieldChanged || type == MsgTabChanged || type > 100;
    if (dialog_type) yydialogeventinfo(window, dlg);

    // A field change that arrives while a fetch already holds a complete
    // message waits in its own entry, so neither is lost.
    if (type == MsgFieldChanged && wmsg.wValidMessage == 0 && wmsg.bInWMessage) {
        QDXEntry& e = wmsg.QDXMessages[QDXFieldEntry];
        e.type = MsgFieldChanged;
        e.value1 = dlg.previous_field;
        e.value2 = dlg.current_field;
        e.value3 = 0;
        e.value4 = -1;
        e.x = dlg.previous_changed;
        e.y = static_cast<std::int32_t>(lParam);
        e.win = dlg.dialog_id;
        e.time = os_get_message_time();
        yydialogsetlastchanged(window, static_cast<std::int32_t>(lParam));
        return;
    }
    const bool hidden_resize = (type == MsgResize || type == 108) && hidden && wParam != OS_SIZE_MINIMIZED;
    if (!hidden_resize) {
        wmsg.wMessageType = type > 100 ? type - 100 : type;
        wmsg.wMessageWin = yygetwindowindex(window);
        wmsg.wMessageTime = os_get_message_time();
    }

    switch (type) {
    case MsgKey: {
        OsPoint p;
        os_get_cursor_pos(p);
        os_screen_to_client(window, p);
        wmsg.wMessageX = p.x;
        wmsg.wMessageY = p.y;
        if (button == 1) {
            std::int32_t v = static_cast<std::int32_t>(wParam);
            std::int32_t mod = 0;
            if (v > 0x2000) {
                v -= 0x2000;
                mod = 40;
            } else if (v > 0x1000) {
                v -= 0x1000;
                mod = 20;
            }
            wmsg.wMessageValue1 = yyinterpretkey(v, mod);
        } else {
            wmsg.wMessageValue1 = static_cast<std::int32_t>(wParam);
        }
        wmsg.wMessageValue2 = -1;
        wmsg.wMessageValue3 = is_bitmap_viewer(window) ? 2 : 0;
        wmsg.wMessageValue4 = -1;
        break;
    }
    case MsgMenu:
        wmsg.wMessageValue1 = os_loword(wParam);
        wmsg.wMessageValue2 = wmsg.wMessageValue3 = wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    case MsgPushButton:
        wmsg.wMessageWin = dlg.dialog_id;
        wmsg.wMessageValue1 = static_cast<std::int32_t>(wParam);
        wmsg.wMessageValue2 = dlg.previous_field;
        wmsg.wMessageValue3 = wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    case MsgMouseDown:
    case MsgMouseUp:
    case MsgDoubleClick:
    case MsgMouseMove:
        mouse_xy(lParam);
        wmsg.wMessageValue1 = type == MsgMouseMove ? -1 : button;
        wmsg.wMessageValue2 = yymousemodifiers(static_cast<std::uint32_t>(wParam & 0xFFFF));
        wmsg.wMessageValue3 = is_bitmap_viewer(window) ? 2 : 0;
        wmsg.wMessageValue4 = -1;
        break;
    case MsgExpose: {
        OsRect u;
        os_get_update_rect(window, u, true);
        wmsg.wMessageX = u.left;
        wmsg.wMessageY = u.top;
        wmsg.wMessageValue1 = u.width();
        wmsg.wMessageValue2 = u.height();
        wmsg.wMessageValue3 = 0;
        wmsg.wMessageValue4 = -1;
        break;
    }
    case MsgResize: {
        if (wParam == OS_SIZE_MINIMIZED) return;
        const std::int32_t w = os_loword(static_cast<std::uintptr_t>(lParam));
        const std::int32_t h = os_hiword(static_cast<std::uintptr_t>(lParam));
        wtab.wWinWidth = w;
        wtab.wWinHeight = h;
        if (hidden) {
            if (wtab.wDC != 0) yyresize(yygetwindowindex(window), w, h);
            return;
        }
        wmsg.wMessageValue1 = w;
        wmsg.wMessageValue2 = h;
        wmsg.wMessageValue3 = 0;
        wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    }
    case MsgClose:
    case MsgEditReturn:
        wmsg.wMessageValue1 = wmsg.wMessageValue2 = wmsg.wMessageValue3 = wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    case MsgFieldChanged:
        wmsg.wMessageWin = dlg.dialog_id;
        if (wmsg.bSetFromCell == 1) wmsg.wMessageX = dlg.previous_changed;
        wmsg.wMessageY = static_cast<std::int32_t>(lParam);
        wmsg.bSetFromCell = 0;
        wmsg.wMessageValue1 = dlg.previous_field;
        wmsg.wMessageValue2 = dlg.current_field;
        wmsg.wMessageValue3 = 0;
        wmsg.wMessageValue4 = -1;
        yydialogsetlastchanged(window, static_cast<std::int32_t>(lParam));
        break;
    case MsgTabChanged:
        wmsg.wMessageWin = dlg.dialog_id;
        wmsg.wMessageValue1 = dlg.previous_tab;
        wmsg.wMessageValue2 = dlg.current_tab;
        wmsg.wMessageValue3 = wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    case MsgFrameClick:
        wmsg.wMessageValue1 = button;
        wmsg.wMessageValue2 = wmsg.wMessageValue3 = wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    case MsgTimer:
        wmsg.wMessageValue1 = static_cast<std::int32_t>(wParam);
        wmsg.wMessageValue2 = wmsg.wMessageValue3 = wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    case MsgBitmapScroll:
        wmsg.wMessageValue1 = static_cast<std::int32_t>(wParam);
        wmsg.wMessageValue2 = static_cast<std::int32_t>(lParam);
        wmsg.wMessageValue3 = 2;
        wmsg.wMessageValue4 = -1;
        wmsg.wMessageX = wmsg.wMessageY = 0;
        break;
    case 104:
    case 105:
    case 106:
    case 116:
        wmsg.wMessageWin = dlg.dialog_id;
        wmsg.wMessageValue1 = type == 106 ? -1 : dlg.mouse_button;
        wmsg.wMessageValue2 = yymousemodifiers(static_cast<std::uint32_t>(wParam & 0xFFFF));
        wmsg.wMessageValue3 = 1;
        wmsg.wMessageValue4 = dlg.graphics_field;
        mouse_xy(lParam);
        break;
    case 107:
        wmsg.wMessageWin = dlg.dialog_id;
        wmsg.wMessageValue1 = wmsg.wMessageValue2 = -1;
        wmsg.wMessageValue3 = 1;
        wmsg.wMessageValue4 = dlg.graphics_field;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    case 108: {
        if (wParam == OS_SIZE_MINIMIZED) return;
        const std::int32_t w = os_loword(static_cast<std::uintptr_t>(lParam));
        const std::int32_t h = os_hiword(static_cast<std::uintptr_t>(lParam));
        if (hidden) {
            yyresizefield(dlg.dialog_id, dlg.graphics_field, w, h);
            return;
        }
        wmsg.wMessageWin = dlg.dialog_id;
        wmsg.wMessageValue1 = w;
        wmsg.wMessageValue2 = h;
        wmsg.wMessageValue3 = 1;
        wmsg.wMessageValue4 = dlg.graphics_field;
        wmsg.wMessageX = wmsg.wMessageY = -1;
        break;
    }
    default:
        return;  // 17..103 and 109..115 produce nothing
    }
    wmsg.wValidMessage = 0;
}

// ---- timers, waiting and small queries -----------------------------------------

std::intptr_t yysettimer(std::int32_t ms, std::int32_t id, std::int32_t target) {
    const auto tid = static_cast<std::uintptr_t>(id);
    if (ms > 0) {
        const OsHandle w = target == 1 ? wtab.hClient[0] : wtab.wWindow[0];
        return static_cast<std::intptr_t>(os_set_timer(w, tid, static_cast<std::uint32_t>(ms)));
    }
    os_kill_timer(wtab.hClient[0], tid);
    os_kill_timer(wtab.wWindow[0], tid);
    return 0;
}

void yywait(std::int32_t n) {
    const std::int64_t ms = static_cast<std::int64_t>(n) * 10;
    if (ms <= 0 || ms > 0x7FFFFFFF) return;
    if (!os_set_timer(wtab.hClient[0], 999, static_cast<std::uint32_t>(ms))) return;
    wmsg.TimerEnabled = 1;
    while (wmsg.TimerEnabled) {
        if (!os_is_window(wtab.hClient[0])) {
            wmsg.TimerEnabled = 0;
            break;
        }
        OsMsg m;
        if (!os_get_message(m)) {
            os_post_quit_message(static_cast<std::int32_t>(m.wParam));  // leave the quit for the main loop
            wmsg.TimerEnabled = 0;
            break;
        }
        os_translate_message(m);
        os_dispatch_message(m);
    }
}

void yydrawablesize(std::int32_t kind, std::int32_t id, std::int32_t& width, std::int32_t& height) {
    width = height = 0;
    if (kind == 1) {
        if (!valid_slot(id)) return;
        OsRect r;
        if (os_get_client_rect(wtab.hClient[ix(id)], r)) {
            width = r.width();
            height = r.height();
        }
    } else if (kind == 3) {
        yydialogfieldsize(id, width, height);
    }
}

OsHandle yyGetPromptWindow(std::int32_t slot) {
    for (int guard = 0; valid_slot(slot) && guard <= MaxChildWindows; ++guard) {
        if (wtab.wMessLine[ix(slot)]) return wtab.wMessLine[ix(slot)];
        const OsHandle frame = wtab.wWindow[ix(slot)];
        if (!frame || !(os_get_style(frame) & OS_WS_CHILD)) return 0;
        slot = yygetwindowindex(os_get_parent(frame));
    }
    return 0;
}

std::int32_t yycurrenttime(std::int32_t& out) {
    out = static_cast<std::int32_t>(os_tick_count() & 0x7FFFFFFFu);
    return out;
}

// ---- frame layout ----------------------------------------------------------------

void yylayoutframe(std::int32_t slot) {
    if (!valid_slot(slot)) return;
    const OsHandle frame = wtab.wWindow[ix(slot)];
    OsRect cr;
    if (!os_get_client_rect(frame, cr)) return;
    std::int32_t top = 0, bottom = cr.bottom, left = 0, right = cr.right;
    if (OsHandle sb = wtab.wMessLine[ix(slot)]) {
        os_send_message(sb, OSM_SIZE, 0, os_make_lparam(cr.right, cr.bottom));
        OsRect r;
        if (os_get_window_rect(sb, r)) bottom -= r.height();
    }
    const auto& tb = wtab.hToolbar[ix(slot)];
    if (tb[0]) {
        os_send_message(tb[0], OSM_TB_AUTOSIZE, 0, 0);
        OsRect r;
        os_get_window_rect(tb[0], r);
        os_move_window(tb[0], 0, 0, cr.right, r.height(), true);
        top += r.height();
    }
    if (tb[3]) {
        OsRect r;
        os_get_window_rect(tb[3], r);
        os_move_window(tb[3], 0, bottom - r.height(), cr.right, r.height(), true);
        bottom -= r.height();
    }
    if (tb[1]) {
        const auto w = static_cast<std::int32_t>(os_get_window_user(tb[1]));
        os_move_window(tb[1], 0, top, w, bottom - top, true);
        left += w;
    }
    if (tb[2]) {
        const auto w = static_cast<std::int32_t>(os_get_window_user(tb[2]));
        os_move_window(tb[2], right - w, top, w, bottom - top, true);
        right -= w;
    }
    if (OsHandle c = wtab.hClient[ix(slot)])
        os_move_window(c, left, top, std::max(0, right - left), std::max(0, bottom - top), true);
}

// ---- frame procedure ---------------------------------------------------------------

std::intptr_t yyWndProc(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const std::int32_t slot = yygetwindowindex(hwnd);
    const bool child_frame = (os_get_style(hwnd) & OS_WS_CHILD) != 0;
    const std::int32_t kind = yyspecialkind(hwnd);
    switch (msg) {
    case OSM_DESTROY:
        if (valid_slot(slot)) yyreleasemenus(slot);
        return 0;
    case OSM_SIZE: {
        if (child_frame && valid_slot(slot)) {
            auto& cr = wtab.wChildRect[ix(slot)];
            if (wp == OS_SIZE_MAXIMIZED && cr.left == -999) {
                OsPlacement p;
                os_get_window_placement(hwnd, p);
                cr = {p.normal.left, p.normal.top, p.normal.right, p.normal.bottom};
            } else if (wp == OS_SIZE_RESTORED && cr.left != -999) {
                OsPlacement p;
                os_get_window_placement(hwnd, p);
                p.normal = {cr.left, cr.top, cr.right, cr.bottom};
                p.show = OS_SW_SHOWNORMAL;
                cr.left = -999;
                os_set_window_placement(hwnd, p);
            }
        }
        if (wp != OS_SIZE_MINIMIZED) {
            yylayoutframe(slot);
            if (kind == WindowKindSplit) {
                OsRect r;
                os_get_window_rect(hwnd, r);
                std::int32_t* rec = yyspecialrecord(hwnd);
                rec[15] = r.width();
                rec[16] = r.height();
            }
        } else if (child_frame) {
            os_send_message(hwnd, OSM_NCACTIVATE, 0, 0);
            const OsHandle pf = os_get_parent(os_get_parent(hwnd));
            if (pf) os_send_message(pf, OSM_NCACTIVATE, 1, 0);
        }
        return 0;
    }
    case OSM_ACTIVATE:
        if (os_loword(wp) != OS_WA_INACTIVE) yytitlecolour(hwnd);
        return os_def_window_proc(hwnd, msg, wp, lp);
    case OSM_SETFOCUS:
        if (valid_slot(slot) && wtab.hClient[ix(slot)]) os_set_focus(wtab.hClient[ix(slot)]);
        return 0;
    case OSM_CLOSE:
        if (kind == WindowKindSplit && !yyCloseCheck(slot)) return 0;
        yyinterpretmessage(MsgClose, 0, wp, lp, hwnd);
        return 0;  // the program decides; the window stays
    case OSM_ACTIVATEAPP:
        if (wp == 0) yytitlecolour(0);
        return 0;  // a palette of our own needs no realising on this platform
    case OSM_GETMINMAXINFO:
        if (kind == WindowKindSplit) {
            yysplitminmax(hwnd, lp);
        } else if (kind == WindowKindDialog) {
            std::int32_t* rec = yyspecialrecord(hwnd);
            if (yyIsResizableDialog(rec[5])) {
                auto* mm = reinterpret_cast<OsMinMaxInfo*>(lp);
                if (mm) mm->min_track = {rec[6], rec[7]};
            }
        }
        return 0;
    case OSM_NOTIFY:
        return yytooltipnotify(hwnd, wp, lp);
    case OSM_NCHITTEST:
        if (const std::intptr_t r = yysplithittest(hwnd, lp); r != -1) return r;
        return os_def_window_proc(hwnd, msg, wp, lp);
    case OSM_NCLBUTTONDOWN:
    case OSM_NCRBUTTONDOWN:
    case OSM_NCMBUTTONDOWN:
        return nc_button(hwnd, msg, wp, lp);
    case OSM_NCLBUTTONUP:
        wmsg.hWinMenuClick = 0;
        return 0;
    case OSM_SYSCHAR:
        if (child_frame && wp != '-') {
            const OsHandle pf = os_get_parent(os_get_parent(hwnd));
            if (pf) return os_send_message(pf, msg, wp, lp);
        }
        return os_def_window_proc(hwnd, msg, wp, lp);
    case OSM_COMMAND: {
        const std::int32_t code = os_hiword(wp);
        if (code != 0 && code != 1) return os_def_window_proc(hwnd, msg, wp, lp);
        OsHandle target = hwnd;
        if (lp == 0 && kind == WindowKindSplit) {
            // Down through nested splits to the active pane.
            std::int32_t pane = yysplitactivepane(slot);
            for (int guard = 0; guard < MaxChildWindows && valid_slot(pane); ++guard) {
                const std::int32_t inner = yysplitactivepane(pane);
                if (!valid_slot(inner)) break;
                pane = inner;
            }
            if (valid_slot(pane) && wtab.wWindow[ix(pane)]) target = wtab.wWindow[ix(pane)];
        }
        const std::int32_t tk = yyspecialkind(target);
        if (tk == WindowKindEditor || tk == WindowKindGrid)
            yyspecialmessage(target, msg, wp, lp);
        else
            yyinterpretmessage(MsgMenu, 0, wp, lp, target);
        if (lp != 0 && valid_slot(slot))
            for (OsHandle tb : wtab.hToolbar[ix(slot)])
                if (tb && tb == static_cast<OsHandle>(lp)) os_invalidate_rect(tb, nullptr, true);
        return 0;
    }
    case OSM_TIMER:
        os_kill_timer(hwnd, wp);
        yyinterpretmessage(MsgTimer, 0, wp, lp, hwnd);
        return 0;
    case OSM_INITMENUPOPUP:
        if (kind == WindowKindSplit) {
            const std::int32_t pane = yysplitactivepane(slot);
            if (valid_slot(pane)) {
                const OsHandle pf = wtab.wWindow[ix(pane)];
                const std::int32_t pk = yyspecialkind(pf);
                if (pk == WindowKindEditor || pk == WindowKindGrid) yyspecialmessage(pf, msg, wp, lp);
            }
        }
        return 0;
    case OSM_MENUSELECT:
    case OSM_ENTERMENULOOP:
    case OSM_EXITMENULOOP:
        if (msg == OSM_EXITMENULOOP) wmsg.hWinMenuClick = 0;
        yymenuprompthandler(hwnd, msg, wp, lp);
        return 0;
    case OSM_LBUTTONDOWN:
    case OSM_RBUTTONDOWN:
    case OSM_MBUTTONDOWN:
        show_and_raise(hwnd);
        yytitlecolour(hwnd);
        return 0;
    case OSM_EXITSIZEMOVE:
        if (slot > 0 && child_frame && os_is_iconic(hwnd)) arrange_iconic(os_get_parent(hwnd));
        return 0;
    case OSM_PALETTECHANGED:
        if (valid_slot(slot) && wtab.hClient[ix(slot)]) os_send_message(wtab.hClient[ix(slot)], msg, wp, lp);
        return 0;
    case OSM_MCINOTIFY:
        for (auto& d : wtab.wDevice)
            if (d != 0 && d == static_cast<OsHandle>(lp)) d = 0;
        return 0;
    default:
        return os_def_window_proc(hwnd, msg, wp, lp);
    }
}

// ---- client procedure -------------------------------------------------------------

namespace {

std::intptr_t client_key(OsHandle hwnd, std::uintptr_t wp, std::intptr_t lp) {
    const auto vk = static_cast<std::int32_t>(wp);
    OsMsg ch;
    if (os_peek_message(ch, hwnd, OSM_CHAR, OSM_CHAR, OS_PM_NOREMOVE) && ch.hwnd == hwnd) {
        // Only the character this key made, which comes next, is taken.
        os_peek_message(ch, hwnd, OSM_CHAR, OSM_CHAR, OS_PM_REMOVE);
        if (vk >= 96 && vk <= 111)
            yyinterpretmessage(MsgKey, 1, wp, lp, hwnd);
        else if (os_get_key_state(OS_VK_SHIFT) < 0 && ch.wParam == 9)
            yyinterpretmessage(MsgKey, 1, 9 + 0x1000, lp, hwnd);
        else
            yyinterpretmessage(MsgKey, 0, ch.wParam, lp, hwnd);
        return 0;
    }
    if ((vk >= 16 && vk <= 20) || vk == 144 || vk == 145) return 0;
    std::uintptr_t v = wp;
    if (os_get_key_state(OS_VK_CONTROL) < 0)
        v += 0x2000;
    else if (os_get_key_state(OS_VK_SHIFT) < 0)
        v += 0x1000;
    yyinterpretmessage(MsgKey, 1, v, lp, hwnd);
    return 0;
}

std::intptr_t client_proc(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const std::int32_t slot = yygetwindowindex(hwnd);
    const OsHandle frame = os_get_parent(hwnd);
    const std::int32_t pkind = yyspecialkind(frame);
    switch (msg) {
    case OSM_KEYDOWN:
        return client_key(hwnd, wp, lp);
    case OSM_CHAR:
        yyinterpretmessage(MsgKey, 0, wp, lp, hwnd);
        return 0;
    case OSM_LBUTTONDOWN:
    case OSM_MBUTTONDOWN:
    case OSM_RBUTTONDOWN:
    case OSM_LBUTTONDBLCLK:
    case OSM_MBUTTONDBLCLK:
    case OSM_RBUTTONDBLCLK: {
        os_set_capture(hwnd);
        const bool dbl = msg == OSM_LBUTTONDBLCLK || msg == OSM_MBUTTONDBLCLK || msg == OSM_RBUTTONDBLCLK;
        const std::int32_t b = (msg == OSM_LBUTTONDOWN || msg == OSM_LBUTTONDBLCLK)   ? 1
                               : (msg == OSM_MBUTTONDOWN || msg == OSM_MBUTTONDBLCLK) ? 2
                                                                                      : 3;
        if (dbl && wmsg.wMessageEnabled[MsgDoubleClick - 1])
            yyinterpretmessage(MsgDoubleClick, b, wp, lp, hwnd);
        else
            yyinterpretmessage(MsgMouseDown, b, wp, lp, hwnd);
        if (frame) {
            show_and_raise(frame);
            yytitlecolour(frame);
        }
        return 0;
    }
    case OSM_LBUTTONUP:
    case OSM_MBUTTONUP:
    case OSM_RBUTTONUP: {
        os_release_capture();
        const std::int32_t b = msg == OSM_LBUTTONUP ? 1 : (msg == OSM_MBUTTONUP ? 2 : 3);
        yyinterpretmessage(MsgMouseUp, b, wp, lp, hwnd);
        return 0;
    }
    case OSM_MOUSEMOVE:
        yyinterpretmessage(MsgMouseMove, 0, wp, lp, hwnd);
        return 0;
    case OSM_MOUSEWHEEL: {
        const auto delta = static_cast<std::int16_t>(os_hiword(wp));
        yyinterpretmessage(MsgMouseDown, delta < 0 ? 5 : 4, wp, lp, hwnd);
        return 0;
    }
    case OSM_SIZE: {
        if (pkind == WindowKindSplit) {
            yysplitlayout(hwnd);
            os_validate_rect(hwnd, nullptr);
            return 0;
        }
        if (pkind == WindowKindDialog) {
            const std::int32_t* rec = yyspecialrecord(frame);
            os_move_window(rec[5], 0, 0, os_loword(static_cast<std::uintptr_t>(lp)),
                           os_hiword(static_cast<std::uintptr_t>(lp)), true);
            os_validate_rect(hwnd, nullptr);
            return 0;
        }
        arrange_iconic(hwnd);
        if (frame && (os_get_style(frame) & OS_WS_CHILD)) arrange_iconic(os_get_parent(frame));
        os_invalidate_rect(hwnd, nullptr, true);
        os_update_window(hwnd);
        yyinterpretmessage(MsgResize, 0, wp, lp, hwnd);
        for (OsHandle c : os_child_windows(hwnd)) {
            if (!os_is_zoomed(c)) continue;
            OsRect r{0, 0, os_loword(static_cast<std::uintptr_t>(lp)), os_hiword(static_cast<std::uintptr_t>(lp))};
            os_adjust_window_rect(r, os_get_style(c), false, os_get_ex_style(c));
            os_set_window_pos(c, 0, r.left, r.top, r.width(), r.height(), OS_SWP_NOZORDER | OS_SWP_NOACTIVATE);
        }
        return 0;
    }
    case OSM_ACTIVATE:
        if (os_loword(wp) != OS_WA_INACTIVE && frame) yytitlecolour(frame);
        return os_def_window_proc(hwnd, msg, wp, lp);
    case OSM_SETFOCUS: {
        if (!frame) return 0;
        wtab.hWinCur = frame;
        yydialogclearcurrent();
        if (slot != 0 || os_is_window_visible(frame))
            os_set_window_pos(frame, OS_HWND_TOP, 0, 0, 0, 0, OS_SWP_NOMOVE | OS_SWP_NOSIZE | OS_SWP_NOACTIVATE);
        yysplitpanefocus(slot);
        if (pkind == WindowKindDialog) {
            const std::int32_t* rec = yyspecialrecord(frame);
            const OsHandle dlg = rec[5];
            const OsHandle f = os_get_focus();
            if (dlg && f != dlg && !os_is_child(dlg, f)) {
                const std::int32_t keep = wmsg.wMessageEnabled[MsgFieldChanged - 1];
                wmsg.wMessageEnabled[MsgFieldChanged - 1] = 0;
                yydialogtofront(dlg);
                wmsg.wMessageEnabled[MsgFieldChanged - 1] = keep;
            }
        } else if (pkind == WindowKindSplit) {
            const std::int32_t pane = yysplitactivepane(slot);
            if (valid_slot(pane) && wtab.hClient[ix(pane)] && wtab.hClient[ix(pane)] != hwnd)
                os_set_focus(wtab.hClient[ix(pane)]);
        }
        return 0;
    }
    case OSM_PAINT:
        if (wtab.wBlitOn) {
            yypaintsnapshot(hwnd);
            os_validate_rect(hwnd, nullptr);
            return 0;
        }
        if (pkind != WindowKindSplit && pkind != WindowKindDialog) yyinterpretmessage(MsgExpose, 0, wp, lp, hwnd);
        return os_def_window_proc(hwnd, msg, wp, lp);
    case OSM_SETCURSOR: {
        OsHandle cur = valid_slot(slot) && wtab.hCursorWin[ix(slot)] ? wtab.hCursorWin[ix(slot)] : wtab.wCursor;
        if (cur && os_loword(static_cast<std::uintptr_t>(lp)) == OS_HTCLIENT) {
            if (pkind == 0 || pkind == WindowKindBitmapViewer) os_set_cursor(cur);
            return 1;
        }
        return os_def_window_proc(hwnd, msg, wp, lp);
    }
    case OSM_NCLBUTTONDOWN:
    case OSM_NCRBUTTONDOWN:
    case OSM_NCMBUTTONDOWN:
        return frame ? nc_button(frame, msg, wp, lp) : 0;
    case OSM_SYSCHAR:
    case OSM_MENUSELECT:
    case OSM_ENTERMENULOOP:
    case OSM_EXITMENULOOP:
        return frame ? os_send_message(frame, msg, wp, lp) : 0;
    case OSM_COMMAND: {
        const std::int32_t code = os_hiword(wp);
        if (code == 0 || code == 1) {
            yyinterpretmessage(MsgMenu, 0, wp, lp, hwnd);
            return 0;
        }
        return os_def_window_proc(hwnd, msg, wp, lp);
    }
    case OSM_TIMER:
        if (wp == 999 && wmsg.TimerEnabled) {
            wmsg.TimerEnabled = 0;
            os_kill_timer(hwnd, 999);
        } else {
            yyinterpretmessage(MsgTimer, 0, wp, lp, hwnd);
        }
        return 0;
    case OSM_PALETTECHANGED:
        return 0;  // nothing to realise again on this platform
    default:
        return os_def_window_proc(hwnd, msg, wp, lp);
    }
}

}  // namespace

std::intptr_t yyWndProcClient(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp) {
    const std::intptr_t r = client_proc(hwnd, msg, wp, lp);
    if (msg == OSM_PAINT || msg == OSM_SIZE) defer_paint_resize(hwnd, msg);
    return r;
}
