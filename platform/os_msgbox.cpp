#include "platform/os_msgbox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QString>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/os_app.h"
#include "platform/os_codepage.h"
#include "platform/os_window_p.h"

namespace {

OsMessageBoxResponder g_responder;

// Library text to Qt text; CR LF and a lone CR become line breaks.
QString box_text(const std::string& s) {
    QString out;
    out.reserve(static_cast<qsizetype>(s.size()));
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '\r') {
            out.append(QChar(u'\n'));
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            out.append(QChar(static_cast<char16_t>(os_cp1252_to_unicode(c))));
        }
    }
    return out;
}

struct ButtonSpec {
    QMessageBox::StandardButton button;
    int answer;
};

std::vector<ButtonSpec> buttons_of(unsigned style) {
    switch (style & OS_MB_TYPEMASK) {
        case OS_MB_OKCANCEL: return {{QMessageBox::Ok, OS_IDOK}, {QMessageBox::Cancel, OS_IDCANCEL}};
        case OS_MB_ABORTRETRYIGNORE:
            return {{QMessageBox::Abort, OS_IDABORT}, {QMessageBox::Retry, OS_IDRETRY}, {QMessageBox::Ignore, OS_IDIGNORE}};
        case OS_MB_YESNOCANCEL:
            return {{QMessageBox::Yes, OS_IDYES}, {QMessageBox::No, OS_IDNO}, {QMessageBox::Cancel, OS_IDCANCEL}};
        case OS_MB_YESNO: return {{QMessageBox::Yes, OS_IDYES}, {QMessageBox::No, OS_IDNO}};
        case OS_MB_RETRYCANCEL: return {{QMessageBox::Retry, OS_IDRETRY}, {QMessageBox::Cancel, OS_IDCANCEL}};
        default: return {{QMessageBox::Ok, OS_IDOK}};
    }
}

QMessageBox::Icon icon_of(unsigned style) {
    switch (style & OS_MB_ICONMASK) {
        case OS_MB_ICONSTOP: return QMessageBox::Critical;
        case OS_MB_ICONQUESTION: return QMessageBox::Question;
        case OS_MB_ICONEXCLAMATION: return QMessageBox::Warning;
        case OS_MB_ICONINFORMATION: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}


}  // namespace

int os_message_box_default_position(unsigned style) {
    const auto count = static_cast<int>(buttons_of(style).size());
    int pos = 1;
    if ((style & OS_MB_DEFMASK) == OS_MB_DEFBUTTON2) pos = 2;
    if ((style & OS_MB_DEFMASK) == OS_MB_DEFBUTTON3) pos = 3;
    return pos <= count ? pos : 1;
}

void os_message_box_set_responder(OsMessageBoxResponder responder) { g_responder = std::move(responder); }

int os_message_box(const std::string& text, const std::string& caption, unsigned style) {
    if (g_responder) {
        const int answer = g_responder(OsMessageBoxRequest{text, caption, style});
        // Only answers the box can give count; anything else is a box that
        // was not shown.
        for (const auto& b : buttons_of(style))
            if (b.answer == answer) return answer;
        return 0;
    }
    // With no display no one can answer; the toolkit is not started for that.
    if (!QCoreApplication::instance() && !os_app_display_expected()) return 0;
    if (!os_app_gui() || !os_app_interactive()) return 0;

    QMessageBox box(icon_of(style), box_text(caption), box_text(text), QMessageBox::NoButton, osw::toolkit_dialog_owner());
    const auto specs = buttons_of(style);
    std::vector<std::pair<QPushButton*, int>> made;
    for (const auto& b : specs) made.emplace_back(box.addButton(b.button), b.answer);
    box.setDefaultButton(made[static_cast<std::size_t>(os_message_box_default_position(style) - 1)].first);
    // Escape answers Cancel where the set has it, else the single OK.
    for (const auto& [button, answer] : made)
        if (answer == OS_IDCANCEL || (specs.size() == 1 && answer == OS_IDOK)) box.setEscapeButton(button);
    box.exec();
    for (const auto& [button, answer] : made)
        if (box.clickedButton() == button) return answer;
    return 0;
}
