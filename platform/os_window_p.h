#pragma once
// Internals shared by the window, message and status-bar parts of the
// platform layer. Qt types live here and nowhere above platform/.
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <array>
#include <deque>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/os_window.h"

namespace osw {

struct ClassRec {
    OsWndClass cls;
    std::int32_t atom = 0;
    bool builtin = false;
};

class OsWidget;

// One scroll bar of a window.
struct ScrollBar {
    std::int32_t min = 0, max = 100, page = 0, pos = 0;
};

// What a standard control keeps besides its window record; each control
// class derives its own.
struct ControlData {
    virtual ~ControlData() = default;
};

struct WinRec;
// Paints a window of a class that draws itself (controls).
using PaintFn = void (*)(WinRec&, QWidget*, QPainter&);

struct WinRec {
    OsWindow h = 0;
    std::int32_t atom = 0;
    std::string class_name;
    OsWndProc proc = nullptr;
    std::uint32_t class_style = 0;
    std::int64_t background = OS_NO_BRUSH;
    std::int32_t cursor = 0;
    std::uint32_t style = 0, ex_style = 0;
    OsWindow parent = 0;   // child windows
    // Place among its siblings (the z-order): children are listed, and the
    // keyboard walks them, in increasing order.
    std::uint64_t z = 0;
    OsWindow owner = 0;    // top-level windows
    std::int32_t id = 0;
    std::string title;
    std::intptr_t user = 0;
    std::int32_t menu = 0;
    OsRect rect;           // parent client coordinates (child) or screen (top level)
    std::int32_t state = 0;  // 0 normal, 1 minimised, 2 maximised
    OsRect normal;         // restored rectangle, same coordinates as rect
    bool has_update = false;
    OsRect update;
    QImage surface;
    // A repaint of the widget is asked for and has not happened yet: drawing
    // more on the surface needs no second request.
    bool repaint_asked = false;
    // Drawn through device contexts into its image, which its paint only
    // copies (a control or dialog selected as a drawing surface).
    bool retained = false;
    // Its procedure paints it on OSM_PAINT (a subclassed control); answering
    // 0 leaves the painting to the class.
    bool proc_paints = false;
    QPointer<OsWidget> widget;
    std::vector<QSize> expected_sizes;  // geometry we set, whose echo must not count as the user's
    bool destroying = false;
    std::unique_ptr<ControlData> control;  // standard controls and dialogs
    std::int32_t font = 0;                 // font object set on the window, 0 the dialog font
    // Status bar.
    std::vector<std::int32_t> parts{-1};
    std::vector<std::string> part_text{std::string()};
    std::vector<std::int32_t> part_style{0};
    bool simple = false;           // simple mode: one part, part 255
    std::string simple_text;
    std::int32_t simple_style = 0;

    std::array<ScrollBar, 2> scroll{};  // OS_SB_HORZ, OS_SB_VERT

    bool child() const { return (style & OS_WS_CHILD) != 0; }
};

struct Insets {
    std::int32_t l = 0, t = 0, r = 0, b = 0;
    std::int32_t menu = 0;  // part of t
};

struct Timer {
    OsWindow hwnd;
    std::uintptr_t id;
    std::uint32_t interval;
    std::int64_t due;
};

// A caption or border dragged inside a parent: the move/size loop.
struct Drag {
    OsWindow h = 0;
    std::int32_t hit = 0;
    OsPoint start;        // pointer on the screen when it began
    OsRect rect;          // window rectangle on the screen when it began
    OsMinMaxInfo limits;
};

struct State {
    std::map<std::string, ClassRec> classes;
    std::int32_t next_atom = 0xC000;
    std::map<OsWindow, std::unique_ptr<WinRec>> windows;
    OsWindow next_handle = 1;
    std::uint64_t next_z = 0;
    std::map<std::string, std::uint32_t> registered_names;
    std::uint32_t next_registered = 0xC000;
    std::deque<OsMsg> queue;
    std::vector<Timer> timers;
    OsWindow focus = 0, active = 0, capture = 0;
    bool app_active = true;
    OsPoint cursor_pos;
    std::int32_t cursor = 0;
    std::uint32_t keystate = 0;      // as of the last message taken
    std::uint32_t live_keystate = 0; // as the toolkit last reported it
    std::int32_t message_time = 0;
    std::int32_t beeps = 0;
    int handler_depth = 0;           // inside a toolkit event handler
    bool toolkit_sent = false;       // a toolkit event handler sent to a window procedure
    bool waiting = false;            // os_get_message waits: nothing is queued or due
    bool polled_empty = false;       // the last unfiltered peek found nothing
    bool quit = false;
    Drag drag;
    // Painters of the classes that draw themselves, by upper-case class name.
    std::map<std::string, PaintFn> painters;
    // Draws the menu bar of a frame; set by the menu model.
    void (*paint_menu_bar)(OsWindow, QPainter&, const QRect&) = nullptr;
    // A click on the menu bar of a frame (screen position); set by the menu model.
    void (*menu_bar_click)(OsWindow, OsPoint) = nullptr;
};

State& st();
WinRec* rec(OsWindow h);

// A key as the toolkit names it: an OS_VK_* code with OS_IN_* modifiers and
// the text the keyboard gives ("" derives it as a US keyboard would).
struct ToolkitKey {
    int key = 0;
    QString text;
    Qt::KeyboardModifiers mods;
};
bool toolkit_key(std::int32_t vk, std::uint32_t mods, std::string_view text, ToolkitKey& k);
Insets insets_of(std::uint32_t style, std::uint32_t ex_style, bool menu);
Insets insets_of(const WinRec& r);
OsPoint client_size(const WinRec& r);
// Client origin inside the window's widget.
QPoint client_origin_in_widget(const WinRec& r);
// Screen position of the client area's top-left corner.
OsPoint client_origin_on_screen(const WinRec& r);
void sync_widget(WinRec& r);
// The client size of a window may have changed from BEFORE (scroll bars
// shown or hidden): surface, widgets, repaint and OSM_SIZE follow.
void client_refit(OsWindow h, OsPoint before);
// Scroll bars (os_scroll.cpp): whether a bar shows, the room the shown ones
// take beside the client area, the bar under a point of the widget
// (OS_HTHSCROLL, OS_HTVSCROLL or 0), a click on a bar, and their drawing.
bool scroll_bar_shown(const WinRec& r, int bar);
void add_scroll_bars(const WinRec& r, Insets& in);
std::int32_t scroll_hit(const WinRec& r, QPoint local);
void scroll_click(OsWindow h, std::int32_t hit, OsPoint screen);
// While a thumb is dragged: the mouse moves it (OS_MOUSE_MOVE) and lets
// it go (OS_MOUSE_RELEASE); false when no thumb is dragged.
bool scroll_thumb_step(int kind, OsPoint screen);
void paint_scroll_bars(const WinRec& r, QPainter& p);
// The window system moved or sized a top-level widget: geometry is the
// widget's new rectangle on the screen.
void user_geometry(OsWindow h, const QRect& geometry);
void paint_statusbar(WinRec& r, QWidget* w, QPainter& p);
// Tool bars (class "ToolbarWindow32").
void paint_toolbar(WinRec& r, QWidget* w, QPainter& p);
std::intptr_t toolbar_proc(OsWindow, std::uint32_t, std::uintptr_t, std::intptr_t);
// Index of the button under a point of the bar, -1 when none.
int toolbar_button_at(OsWindow bar, QPoint local);
// The tooltip text of a button, asked of the bar's parent.
std::string toolbar_tooltip(OsWindow bar, int index);
void ensure_builtin_classes();
// A class by name, compared without regard to case; nullptr when none.
ClassRec* find_class(std::string_view name);
std::intptr_t statusbar_proc(OsWindow, std::uint32_t, std::uintptr_t, std::intptr_t);
void enqueue(const OsMsg& m);
// What lies under a screen point of a window by its geometry: client,
// caption and its buttons, sizing borders, menu bar.
std::int32_t geometric_hit(OsWindow h, OsPoint screen);
void drop_window_messages(OsWindow h);
std::uint32_t keystate_from_qt(Qt::KeyboardModifiers mods, Qt::MouseButtons buttons);
QColor qcolour(std::uint32_t colorref);

// The top-level window a window lives in (itself for a top-level window).
OsWindow top_level_of(OsWindow h);

// The widget a toolkit dialog (message box, file, colour, page set-up
// dialog) belongs to, so that the window manager keeps it above: our
// active top-level window, else any shown one; nullptr when none is shown.
QWidget* toolkit_dialog_owner();

class OsWidget : public QWidget {
public:
    OsWidget(OsWindow h, QWidget* parent, Qt::WindowFlags f);
    OsWindow handle() const { return h_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent*) override;
    void keyReleaseEvent(QKeyEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void mouseMoveEvent(QMouseEvent*) override;
    void wheelEvent(QWheelEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void moveEvent(QMoveEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void changeEvent(QEvent*) override;
    bool event(QEvent*) override;

private:
    void mouse(QMouseEvent* e, int kind);
    void key(QKeyEvent* e, bool down);
    OsWindow h_;
};

}  // namespace osw
