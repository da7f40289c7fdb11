#include "platform/testinput/os_user.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <deque>

#include "platform/os_app.h"
#include "platform/os_codepage_qt.h"
#include "platform/os_menu.h"
#include "platform/os_window_p.h"

using namespace osw;

namespace {

// A text as a person reads it: without the mnemonic marks.
std::string plain(const QString& s) {
    QString t = s;
    t.remove(QLatin1Char('&'));
    return os_from_qstring(t.trimmed());
}

Qt::MouseButton qt_button(std::int32_t b) {
    return b == 2 ? Qt::MiddleButton : b == 3 ? Qt::RightButton : Qt::LeftButton;
}

// Where a person aims at a client point of w: its top-level window and the
// place in it.
bool aim(OsWindow w, std::int32_t x, std::int32_t y, QWindow*& top, QPoint& at) {
    WinRec* r = rec(w);
    if (!r || !r->widget || !r->widget->isVisible()) return false;
    QWidget* t = r->widget->window();
    top = t->windowHandle();
    at = r->widget->mapTo(t, client_origin_in_widget(*r) + QPoint(x, y));
    return top != nullptr;
}

// A press on a window that is not active activates it first, as the
// window manager does.
void activate(QWindow* top) {
    if (!top || QGuiApplication::focusWindow() == top) return;
    top->requestActivate();
    QCoreApplication::processEvents();
}

// The same for a point of a toolkit widget.
void click_widget(QWidget* w, QPoint local) {
    QWidget* t = w->window();
    if (QWindow* h = t->windowHandle()) QTest::mouseClick(h, Qt::LeftButton, {}, w->mapTo(t, local));
}

// The window that gets a key: the one the toolkit gave the focus, else the
// shown popup or modal dialog, else our active window.
QWindow* key_window() {
    if (QWidget* p = QApplication::activePopupWidget()) return p->window()->windowHandle();
    if (QWindow* w = QGuiApplication::focusWindow()) return w;
    if (QWidget* m = QApplication::activeModalWidget()) return m->window()->windowHandle();
    if (WinRec* r = rec(st().active); r && r->widget) return r->widget->window()->windowHandle();
    return nullptr;
}

void send_key(int key, const QString& text, Qt::KeyboardModifiers mods) {
    QWindow* w = key_window();
    if (!w) return;
    QPointer<QWindow> guard(w);
    QTest::sendKeyEvent(QTest::Press, w, static_cast<Qt::Key>(key), text, mods);
    if (guard) QTest::sendKeyEvent(QTest::Release, w, static_cast<Qt::Key>(key), text, mods);
}

// The rest of a menu path: taken item by item as the menus open.
std::vector<std::string>& menu_rest() {
    static std::vector<std::string> rest;
    return rest;
}

QMessageBox* message_box() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }
QFileDialog* file_dialog() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }

struct Session {
    std::deque<OsUserStep> steps;
    QPointer<QTimer> timer;
    int patience_ms = 0;
    std::function<void(const std::string&)> stuck;
    qint64 last = 0;
    bool busy = false;
};

Session& session() {
    static Session s;
    return s;
}

// Opens the menu that waits for its next item, one item per poll.
bool menu_step() {
    auto& rest = menu_rest();
    if (rest.empty()) return true;
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (!menu || !menu->isVisible()) return false;
    for (QAction* a : menu->actions()) {
        if (a->isSeparator() || plain(a->text()) != rest.front()) continue;
        const QRect g = menu->actionGeometry(a);
        if (g.isEmpty()) return false;
        rest.erase(rest.begin());
        click_widget(menu, g.center());
        return rest.empty();
    }
    return false;
}

void poll() {
    Session& s = session();
    if (s.busy) return;
    s.busy = true;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    bool moved = false;
    if (!menu_rest().empty()) {
        moved = menu_step();
        if (moved) s.last = now;
    } else if (!s.steps.empty()) {
        OsUserStep& step = s.steps.front();
        if ((!step.idle || os_waiting_for_input()) && step.act()) {
            s.steps.pop_front();
            s.last = now;
            moved = true;
        }
    }
    if (!moved && (!s.steps.empty() || !menu_rest().empty()) && now - s.last > s.patience_ms && s.stuck) {
        const std::string what = !menu_rest().empty() ? "the menu item " + menu_rest().front()
                                                      : s.steps.front().what;
        s.stuck(what);
    }
    s.busy = false;
}

}  // namespace

void os_user_begin() {
    os_app_gui();
    os_app_set_user_driven(true);
}

void os_user_end() {
    os_user_session_end();
    menu_rest().clear();
    os_app_set_user_driven(false);
}

void os_user_key(std::int32_t vk, std::uint32_t mods) {
    ToolkitKey k;
    if (toolkit_key(vk, mods, {}, k)) send_key(k.key, k.text, k.mods);
}

void os_user_type(std::string_view text) {
    for (const char c : text) {
        const bool upper = c >= 'A' && c <= 'Z';
        send_key(QTest::asciiToKey(c), os_qstring(std::string(1, c)), upper ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

void os_user_move(OsWindow w, std::int32_t x, std::int32_t y) {
    QWindow* top = nullptr;
    QPoint at;
    if (aim(w, x, y, top, at)) QTest::mouseMove(top, at);
}

void os_user_press(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t button) {
    QWindow* top = nullptr;
    QPoint at;
    if (!aim(w, x, y, top, at)) return;
    activate(top);
    QTest::mouseMove(top, at);
    QTest::mousePress(top, qt_button(button), {}, at);
}

void os_user_release(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t button) {
    QWindow* top = nullptr;
    QPoint at;
    if (aim(w, x, y, top, at)) QTest::mouseRelease(top, qt_button(button), {}, at);
}

void os_user_click(OsWindow w, std::int32_t x, std::int32_t y, std::int32_t button) {
    QWindow* top = nullptr;
    QPoint at;
    if (!aim(w, x, y, top, at)) return;
    activate(top);
    QTest::mouseMove(top, at);
    QTest::mouseClick(top, qt_button(button), {}, at);
}

void os_user_drag(OsWindow w, std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1) {
    QWindow* top = nullptr;
    QPoint a, b;
    if (!aim(w, x0, y0, top, a) || !aim(w, x1, y1, top, b)) return;
    activate(top);
    // A hand comes to the start point before it presses.
    QTest::mouseMove(top, a - QPoint(6, 6));
    QTest::mouseMove(top, a - QPoint(3, 3));
    QTest::mouseMove(top, a);
    QTest::mousePress(top, Qt::LeftButton, {}, a);
    constexpr int Steps = 8;
    for (int i = 1; i <= Steps; ++i) QTest::mouseMove(top, a + (b - a) * i / Steps);
    QTest::mouseRelease(top, Qt::LeftButton, {}, b);
}

void os_user_click_window(OsWindow w) {
    OsRect r;
    if (os_get_client_rect(w, r)) os_user_click(w, r.width() / 2, r.height() / 2);
}

void os_user_close(OsWindow top) {
    WinRec* r = rec(top);
    if (!r || !r->widget || r->child()) return;
    // The platform window reports the close box through the window-system
    // interface, as the window manager's request does.
    if (QWindow* h = r->widget->windowHandle()) h->close();
}

bool os_user_menu(OsWindow frame, const std::vector<std::string>& path) {
    WinRec* r = rec(frame);
    const OsMenu bar = static_cast<OsMenu>(os_get_menu(frame));
    if (!r || !r->widget || path.empty() || !bar) return false;
    const int n = os_menu_item_count(bar);
    for (int i = 0; i < n; ++i) {
        std::string text;
        if (!os_get_menu_item_text(bar, static_cast<std::uint32_t>(i), OS_MF_BYPOSITION, text)) continue;
        if (plain(os_qstring(text)) != path.front()) continue;
        OsRect box;
        if (!os_menu_bar_item_rect(frame, i, box)) return false;
        menu_rest().assign(path.begin() + 1, path.end());
        QWindow* top = r->widget->window()->windowHandle();
        const QPoint at = r->widget->mapTo(r->widget->window(), QPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
        QTest::mouseMove(top, at);
        QTest::mouseClick(top, Qt::LeftButton, {}, at);
        return true;
    }
    return false;
}

bool os_user_menu_pending() { return !menu_rest().empty(); }

bool os_user_toolbar(OsWindow toolbar, int index) {
    OsRect box;
    if (!os_toolbar_button_rect(toolbar, index, box)) return false;
    os_user_click(toolbar, (box.left + box.right) / 2, (box.top + box.bottom) / 2);
    return true;
}

bool os_user_message_box_up(std::string* text, std::string* caption) {
    QMessageBox* box = message_box();
    if (!box || !box->isVisible()) return false;
    if (text) *text = os_from_qstring(box->text());
    if (caption) *caption = os_from_qstring(box->windowTitle());
    return true;
}

bool os_user_answer_message_box(std::string_view button) {
    QMessageBox* box = message_box();
    if (!box || !box->isVisible()) return false;
    for (QAbstractButton* b : box->buttons()) {
        if (plain(b->text()) != button || !b->isVisible()) continue;
        click_widget(b, b->rect().center());
        return true;
    }
    return false;
}

bool os_user_file_dialog_up(std::string* accept_text, std::string* title) {
    QFileDialog* fd = file_dialog();
    if (!fd || !fd->isVisible()) return false;
    if (accept_text) {
        accept_text->clear();
        if (auto* bb = fd->findChild<QDialogButtonBox*>())
            for (QAbstractButton* b : bb->buttons())
                if (bb->buttonRole(b) == QDialogButtonBox::AcceptRole) *accept_text = plain(b->text());
    }
    if (title) *title = os_from_qstring(fd->windowTitle());
    return true;
}

bool os_user_answer_file_dialog(std::string_view name) {
    QFileDialog* fd = file_dialog();
    if (!fd || !fd->isVisible()) return false;
    auto* edit = fd->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit || !edit->isVisible()) return false;
    click_widget(edit, edit->rect().center());
    send_key(Qt::Key_A, QString(QChar(1)), Qt::ControlModifier);
    send_key(Qt::Key_Delete, {}, Qt::NoModifier);
    os_user_type(name);
    send_key(Qt::Key_Return, QStringLiteral("\r"), Qt::NoModifier);
    return true;
}

bool os_user_modal_up(std::string* title) {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return false;
    if (title) *title = os_from_qstring(m->windowTitle());
    return true;
}

bool os_user_press_button(std::string_view text) {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return false;
    for (QAbstractButton* b : m->findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || !b->isEnabled() || plain(b->text()) != text) continue;
        // A radio button or check box is hit on its mark and its text, not
        // on the room its row gives it beyond them.
        const bool marked = qobject_cast<QRadioButton*>(b) || qobject_cast<QCheckBox*>(b);
        click_widget(b, marked ? QPoint(std::min(10, b->width() / 2), b->height() / 2) : b->rect().center());
        return true;
    }
    return false;
}

namespace {

QComboBox* labelled_list(std::string_view label) {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return nullptr;
    for (QLabel* l : m->findChildren<QLabel*>()) {
        std::string t = plain(l->text());
        if (!t.empty() && t.back() == ':') t.pop_back();
        auto* box = qobject_cast<QComboBox*>(l->buddy());
        if (t == label && box && box->isVisible()) return box;
    }
    return nullptr;
}

}  // namespace

bool os_user_choose(std::string_view label, std::string_view item) {
    QComboBox* box = labelled_list(label);
    if (!box || !box->isEnabled()) return false;
    const int row = box->findText(os_qstring(std::string(item)), Qt::MatchStartsWith);
    if (row < 0) return false;
    click_widget(box, box->rect().center());
    QAbstractItemView* view = box->view();
    if (!view || !view->isVisible()) return false;
    const QModelIndex i = view->model()->index(row, box->modelColumn(), view->rootIndex());
    view->scrollTo(i);
    QCoreApplication::processEvents();
    click_widget(view->viewport(), view->visualRect(i).center());
    return true;
}

std::string os_user_choice(std::string_view label) {
    QComboBox* box = labelled_list(label);
    return box ? os_from_qstring(box->currentText()) : std::string();
}

bool os_user_checked(std::string_view button) {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return false;
    for (QAbstractButton* b : m->findChildren<QAbstractButton*>())
        if (b->isVisible() && plain(b->text()) == button) return b->isChecked();
    return false;
}

bool os_user_cancel_dialog() {
    QWidget* m = QApplication::activeModalWidget();
    if (!m || !m->isVisible()) return false;
    send_key(Qt::Key_Escape, QString(QChar(27)), Qt::NoModifier);
    return true;
}

bool os_user_grab_screen(const std::string& utf8_file) {
    QList<QWidget*> shown;
    QRect all;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) {
            shown.push_back(w);
            all = all.united(w->geometry());
        }
    if (shown.isEmpty()) return false;
    // Windows that nothing owns lie below the ones they own (our dialogs),
    // and the toolkit's dialogs and menus come over all of ours.
    auto rank = [](QWidget* w) {
        if (qobject_cast<QMenu*>(w)) return 3;
        for (auto& [h, r] : st().windows)
            if (r->widget == w) return r->owner ? 1 : 0;
        return 2;
    };
    std::stable_sort(shown.begin(), shown.end(), [&](QWidget* a, QWidget* b) { return rank(a) < rank(b); });
    QImage screen(all.size(), QImage::Format_RGB32);
    screen.fill(Qt::black);
    QPainter p(&screen);
    for (QWidget* w : shown) p.drawPixmap(w->geometry().topLeft() - all.topLeft(), w->grab());
    p.end();
    return screen.save(QString::fromUtf8(utf8_file.c_str()), "PNG");
}

void os_user_session(std::vector<OsUserStep> steps, int patience_ms, std::function<void(const std::string&)> stuck) {
    Session& s = session();
    os_user_session_end();
    s.steps.assign(std::make_move_iterator(steps.begin()), std::make_move_iterator(steps.end()));
    s.patience_ms = patience_ms;
    s.stuck = std::move(stuck);
    s.last = QDateTime::currentMSecsSinceEpoch();
    auto* t = new QTimer(QCoreApplication::instance());
    t->setInterval(5);
    QObject::connect(t, &QTimer::timeout, [] { poll(); });
    t->start();
    s.timer = t;
}

std::size_t os_user_steps_left() { return session().steps.size(); }

void os_user_session_end() {
    Session& s = session();
    if (s.timer) {
        s.timer->stop();
        s.timer->deleteLater();
    }
    s.timer = nullptr;
    s.steps.clear();
}
