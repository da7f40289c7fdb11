#pragma once
// Internals shared by the standard controls and the dialog window: the
// control data of a window, the font a control draws with, notifications to
// the parent and the class registration each control file provides.
#include <QFont>
#include <QPainter>

#include <string>

#include "platform/os_dialog.h"
#include "platform/os_window_p.h"

namespace osw {

// The data of type T a window keeps, made on first use; nullptr for a bad window.
template <class T>
T* control_data(OsWindow w) {
    WinRec* r = rec(w);
    if (!r) return nullptr;
    if (!r->control) r->control = std::make_unique<T>();
    return dynamic_cast<T*>(r->control.get());
}

// The font a window draws its text with: the font object set on it, else the dialog font.
QFont control_font(const WinRec& r);
// Sends OSM_COMMAND with a notification code to the control's parent.
void notify_parent(OsWindow control, std::int32_t code);
// Registers a class that paints itself.
void register_control_class(const char* name, OsWndProc proc, PaintFn paint, std::uint32_t class_style = 0,
                            std::int64_t background = OS_NO_BRUSH);
// Library text to the toolkit's and back.
QString qtext(const std::string& s);
// Shared answers of every control: text, font, enabling repaint.
// Returns true when it answered (the result in out).
bool control_common(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp, std::intptr_t& out);
// The shared answers, else the default window procedure.
std::intptr_t control_default(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp);
// Repaint of a control's widget.
void control_repaint(OsWindow w);
// Colours of the parent's colour answer for this control (text, background)
// when the parent gives a brush; false when it leaves the system's colours.
bool control_colours(OsWindow w, std::uint32_t msg, std::uint32_t& text, std::uint32_t& back);

// The class registrations of the control files.
void register_button_class();
void register_static_class();
void register_edit_class();
void register_listbox_class();
void register_combobox_class();
void register_progress_class();
void register_trackbar_class();
void register_updown_class();
void register_scrollbar_class();
void register_tab_class();
void register_tree_class();
void register_header_class();
void register_dialog_class();

// The edit control's own procedure; a combo box keeps one as its edit part.
std::intptr_t edit_proc(OsWindow, std::uint32_t, std::uintptr_t, std::intptr_t);

}  // namespace osw
