// Message fetch and event post-processing.
#include "lib/grid/window_kinds.h"
#include "lib/window/fetch.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/dialog.h"

#include "lib/graphics/areas.h"
#include "lib/graphics/bitmapview.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/window_hooks.h"
#include "lib/window/wintext.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "platform/os_menu.h"
#include "platform/os_window.h"

namespace {

constexpr std::uint32_t SystemTimer = 0x118;
constexpr std::uintptr_t CaretTimer = 0xFFF6;

// A fetched message has the fields of a deferred one.
using Fetched = QDXEntry;

// Saved state of a temporary switch of the drawable in yyevent.
struct EventSwitch {
    std::int32_t kind = 0, id = 0, dialog = 0;
    std::int32_t saved_dialog = 0;
    float origin_x = 0.0f, origin_y = 0.0f, scale_x = 0.0f, scale_y = 0.0f;
    std::int32_t window_width = 0, window_height = 0;
    std::int32_t y_origin = 0;
    std::int32_t width = 0, height = 0;
};
EventSwitch event_switch;

OsPoint client_size(std::int32_t slot) {
    OsRect r;
    if (!valid_slot(slot) || !os_get_client_rect(wtab.hClient[ix(slot)], r)) return {0, 0};
    return {r.width(), r.height()};
}

// The nearest slot from `slot` outwards whose frame has a menu; slot 0 is
// the last resort.
std::int32_t menu_frame_slot(std::int32_t slot) {
    for (int guard = 0; valid_slot(slot) && guard <= MaxChildWindows; ++guard) {
        if (wtab.hMenuRoot[ix(slot)]) return slot;
        const OsHandle f = wtab.wWindow[ix(slot)];
        if (!f || !(os_get_style(f) & OS_WS_CHILD)) break;
        slot = yygetwindowindex(os_get_parent(f));
    }
    return 0;
}

// For a window combined with a dialog: its slot when it has a menu, else
// the first enclosing split window that has one; -1 when none.
std::int32_t combined_menu_slot(std::int32_t slot) {
    if (!valid_slot(slot)) return -1;
    if (wtab.hMenuRoot[ix(slot)]) return slot;
    OsHandle f = wtab.wWindow[ix(slot)];
    for (int guard = 0; f && (os_get_style(f) & OS_WS_CHILD) && guard <= MaxChildWindows; ++guard) {
        const std::int32_t up = yygetwindowindex(os_get_parent(f));
        if (!valid_slot(up)) break;
        f = wtab.wWindow[ix(up)];
        if (yyspecialkind(f) == WindowKindSplit && wtab.hMenuRoot[ix(up)]) return up;
    }
    return -1;
}

bool accelerate(std::int32_t table_slot, OsHandle frame, const OsMsg& m) {
    return valid_slot(table_slot) && wtab.hAccel[ix(table_slot)] &&
           os_translate_accelerator(frame, wtab.hAccel[ix(table_slot)], m);
}

// The keyboard steps for one retrieved message, ending in its dispatch.
void keyboard_and_dispatch(const OsMsg& m) {
    // 1. A current dialog.
    const OsHandle dlg = yydialogkeyboardwindow();
    if (dlg) {
        bool done = false;
        const OsHandle combined = yydialogcombinedframe(dlg);
        if (combined) {
            const std::int32_t t = combined_menu_slot(yygetwindowindex(combined));
            if (t >= 0) done = accelerate(t, wtab.wWindow[ix(t)], m);
        } else if (yydialogrootaccelerators(dlg)) {
            done = accelerate(0, wtab.wWindow[0], m);
        }
        if (!done) done = yydialogkeyboard(dlg, m);
        if (done) return;
    }
    // 2. An editor or grid window around the message's window, or owning
    // it (the editor's find dialog).
    OsHandle w = m.hwnd;
    for (int up = 0; w && up <= 3; ++up, w = os_get_parent(w) ? os_get_parent(w) : os_get_owner(w)) {
        if (wtab.atomChild == 0 || os_window_class_atom(w) != wtab.atomChild) continue;
        const std::int32_t kind = yyspecialkind(w);
        if (kind != WindowKindEditor && kind != WindowKindGrid) continue;
        if (yyspecialkeyboard(w, m)) return;
        os_translate_message(m);
        os_dispatch_message(m);
        return;
    }
    // 3. Accelerators of the nearest frame with a menu; the command goes to
    // the frame of the slot where the message arose.
    const std::int32_t slot = yygetwindowindex(m.hwnd);
    if (valid_slot(slot) && accelerate(menu_frame_slot(slot), wtab.wWindow[ix(slot)], m)) return;
    // 4. Everything else is translated and dispatched; paints and sizes are marked as expected meanwhile.
    os_translate_message(m);
    const bool paint_or_size = m.message == OSM_PAINT || m.message == OSM_SIZE;
    if (paint_or_size) wmsg.bExpectPaintResize = 1;
    dispatch_unless_held_back(m);
    if (paint_or_size) wmsg.bExpectPaintResize = 0;
}

}  // namespace

void dispatch_unless_held_back(const OsMsg& m) {
    if (!(m.message == SystemTimer && m.wParam == CaretTimer && wmsg.block118)) os_dispatch_message(m);
}

namespace {

// Both fetch routines; false for an empty queue in the non-blocking one.
bool fetch(bool blocking, Fetched& f) {
    // 1. A fetch is under way and nothing is pending yet.
    wmsg.bInWMessage = 1;
    wmsg.wMessageType = 0;
    // 2. Deferred window entries first.
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
        QDXEntry& e = wmsg.QDXMessages[ix(s)];
        if (e.type <= 0 || !wtab.hClient[ix(s)] || !os_is_window(wtab.hClient[ix(s)])) continue;
        f = e;
        f.win = s;
        if (e.type == MsgExpose) {
            const OsPoint cs = client_size(s);
            f.x = f.y = 0;
            f.value1 = cs.x;
            f.value2 = cs.y;
            f.value3 = 0;
        }
        e.type = 0;
        wmsg.bInWMessage = 0;
        return true;
    }
    // 3. The deferred field change.
    if (QDXEntry& e = wmsg.QDXMessages[QDXFieldEntry]; e.type > 0) {
        f = e;
        e.type = 0;
        wmsg.bInWMessage = 0;
        wmsg.wMessageType = 0;
        return true;
    }
    // 4. The message loop.
    wmsg.bSetFromCell = 1;
    wmsg.wValidMessage = 1;
    while (wmsg.wValidMessage == 1) {
        OsMsg m;
        if (blocking) {
            os_get_message(m);
        } else if (!os_peek_message(m, 0, 0, 0, OS_PM_REMOVE)) {
            wmsg.bInWMessage = 0;
            wmsg.wMessageType = 0;
            return false;
        }
        keyboard_and_dispatch(m);
    }
    // 6. The message the loop completed; it supersedes a deferred resize or expose of its window.
    f = pending_message();
    const bool window_event = f.type == MsgResize || (f.type == MsgExpose && f.value3 == 0);
    if (window_event && valid_slot(f.win)) {
        QDXEntry& e = wmsg.QDXMessages[ix(f.win)];
        if (e.type == MsgExpose && f.type == MsgExpose) {
            const OsPoint cs = client_size(f.win);
            f.x = f.y = 0;
            f.value1 = cs.x;
            f.value2 = cs.y;
        }
        e.type = 0;  // this message supersedes the deferred one
    }
    // 7. The fetch is over.
    wmsg.bInWMessage = 0;
    wmsg.wMessageType = 0;
    return true;
}

void copy_out(const Fetched& f, std::int32_t& type, std::int32_t& value1, std::int32_t& value2, std::int32_t& value3,
              std::int32_t& value4, std::int32_t& x, std::int32_t& y, std::int32_t& win, std::int32_t& time) {
    type = f.type;
    value1 = f.value1;
    value2 = f.value2;
    value3 = f.value3;
    value4 = f.value4;
    x = f.x;
    y = f.y;
    win = f.win;
    time = f.time;
}

// World coordinates of a pixel centre of the event's drawable.
void pixel_to_world(const WindowMessage& m, float px, float py, float& wx, float& wy) {
    if (m.VALUE3 == 2)
        yybvi2e(px, py, wx, wy, m.WIN);
    else
        yyi2e(px, py, wx, wy);
}

}  // namespace

void yydispatchnextmessage(std::int32_t& type, std::int32_t& value1, std::int32_t& value2, std::int32_t& value3,
                           std::int32_t& value4, std::int32_t& x, std::int32_t& y, std::int32_t& win,
                           std::int32_t& time) {
    Fetched f;
    fetch(true, f);
    copy_out(f, type, value1, value2, value3, value4, x, y, win, time);
}

void yydispatchpeekmessage(std::int32_t& type, std::int32_t& value1, std::int32_t& value2, std::int32_t& value3,
                           std::int32_t& value4, std::int32_t& x, std::int32_t& y, std::int32_t& win,
                           std::int32_t& time) {
    Fetched f;
    if (!fetch(false, f)) f = {-1, -1, -1, -1, -1, -1, -1, -1, -1};
    copy_out(f, type, value1, value2, value3, value4, x, y, win, time);
}

void yyevent(std::int32_t type, WindowMessage& m) {
    GraphicsState& g = gstate;
    if (type == MsgBitmapScroll) {
        const float px = static_cast<float>(m.X) + 0.5f;
        const float py = static_cast<float>(g.height_max - m.Y) + 0.5f;
        yybvi2e(px, py, m.GX, m.GY, m.WIN);
        return;
    }
    const bool converted = type == MsgKey || type == MsgMouseDown || type == MsgMouseUp || type == MsgMouseMove ||
                           type == MsgExpose || type == MsgResize || type == MsgDoubleClick;
    if (!converted || m.WIN == -1) return;

    // 3. The event's drawable.
    const bool in_dialog = m.VALUE3 == 1;
    const std::int32_t kind = in_dialog ? 3 : 1;
    const std::int32_t id = in_dialog ? m.VALUE4 : m.WIN;
    const std::int32_t dialog = in_dialog ? m.WIN : 0;
    const std::int32_t current_dialog = yycurrentdialogid();
    const bool current = kind == g.DrawableType && id == g.drawable_id && (!in_dialog || dialog == current_dialog);

    // 4. A temporary switch to it.
    EventSwitch& sw = event_switch;
    bool dialog_changed = false;
    if (!current) {
        sw.kind = kind;
        sw.id = id;
        sw.dialog = dialog;
        sw.saved_dialog = current_dialog;
        sw.origin_x = g.wx1;
        sw.origin_y = g.wy1;
        sw.scale_x = g.sx;
        sw.scale_y = g.sy;
        sw.window_width = quinda.window_size[0];
        sw.window_height = quinda.window_size[1];
        sw.y_origin = g.height_max;
        if (in_dialog && dialog != current_dialog) {
            yydialogmakecurrent(dialog);
            dialog_changed = true;
        }
        yydrawablesize(kind, id, sw.width, sw.height);
        const float ew = static_cast<float>(sw.width - 0.01), eh = static_cast<float>(sw.height - 0.01);
        g.wx1 = ew * g.x1;
        g.wy1 = eh * g.y1;
        g.sx = (ew * g.x2 - g.wx1) / g.unit_range_x;
        g.sy = (eh * g.y2 - g.wy1) / g.unit_range_y;
        quinda.window_size = {sw.width, sw.height};
        g.height_max = sw.height - 1;
    }
    // 5. The drawable and its world coordinates by message type.
    switch (type) {
    case MsgExpose:
        // A dialog field's expose carries no position; it stays as it came.
        if (in_dialog && m.X == -1) break;
        pixel_to_world(m, static_cast<float>(m.X) + 0.5f, static_cast<float>(g.height_max - m.Y) + 0.5f, m.GX, m.GY);
        yyi2e(static_cast<float>(m.VALUE1) + 0.5f, static_cast<float>(m.VALUE2) + 0.5f, m.GX2, m.GY2);
        if (!in_dialog) {
            std::int32_t fx = 0, fy = 0;
            windowunitsfrompixels(m.X + m.VALUE1 - 1, m.Y + m.VALUE2 - 1, fx, fy);
            windowunitsfrompixels(m.X, m.Y, m.X, m.Y);
            m.VALUE1 = fx - m.X;
            m.VALUE2 = fy - m.Y;
        }
        break;
    case MsgResize:
        if (!in_dialog) {
            if (m.WIN == quinda.current_slot) {
                quinda.window_size = {m.VALUE1, m.VALUE2};
                if (current) {
                    yyfntsiz();
                    yyresn(1, m.WIN, m.VALUE1, m.VALUE2);
                }
            }
        } else if (current) {
            yyresn(3, m.VALUE4, m.VALUE1, m.VALUE2);
        }
        break;
    default:
        pixel_to_world(m, static_cast<float>(m.X) + 0.5f, static_cast<float>(g.height_max - m.Y) + 0.5f, m.GX, m.GY);
        if (!in_dialog) windowunitsfrompixels(m.X, m.Y, m.X, m.Y);
        break;
    }

    // 6. Back to the current drawable.
    if (!current) {
        if (dialog_changed) yydialogmakecurrent(sw.saved_dialog);
        g.wx1 = sw.origin_x;
        g.wy1 = sw.origin_y;
        g.sx = sw.scale_x;
        g.sy = sw.scale_y;
        const bool resized_current = type == MsgResize && !in_dialog && m.WIN == quinda.current_slot;
        if (!resized_current) quinda.window_size = {sw.window_width, sw.window_height};
        g.height_max = sw.y_origin;
    }
}

void wmessage(std::int32_t& type, WindowMessage& m) {
    yydispatchnextmessage(type, m.VALUE1, m.VALUE2, m.VALUE3, m.VALUE4, m.X, m.Y, m.WIN, m.TIME);
    yyevent(type, m);
}

void wmessagepeek(std::int32_t& type, WindowMessage& m) {
    yydispatchpeekmessage(type, m.VALUE1, m.VALUE2, m.VALUE3, m.VALUE4, m.X, m.Y, m.WIN, m.TIME);
    if (type != -1) yyevent(type, m);
}

void wmessageenable(std::int32_t type, std::int32_t flag) { yyenablemessage(type, flag); }
