#include "platform/os_app.h"

#include <QApplication>
#include <QFont>
#include <QGuiApplication>
#include <QPrinterInfo>
#include <QScreen>
#include <cstdlib>

#include "platform/os_codepage.h"
#include "platform/os_config.h"

namespace {

std::vector<std::string> g_args{"zeltramo"};
std::vector<char*> g_qt_argv;
int g_qt_argc = 0;
// Never destroyed: Qt's own statics may already be gone when the process's
// destructors run, and tearing the application down then crashes the exit.
QApplication* g_app = nullptr;
bool g_headless = false;
bool g_printer_asked = false;
int g_printer_name_asks = 0;

bool has_display() {
    const char* x = std::getenv("DISPLAY");
    const char* w = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (w && *w);
}

}  // namespace

void os_app_start(int argc, char** argv) {
    g_args.clear();
    for (int i = 0; i < argc; ++i) g_args.emplace_back(argv[i] ? argv[i] : "");
    if (g_args.empty()) g_args.emplace_back("zeltramo");
}

const std::vector<std::string>& os_app_args() { return g_args; }

bool os_app_gui() {
    if (g_app) return true;
    if (QCoreApplication::instance()) return true;
    const char* forced = std::getenv("QT_QPA_PLATFORM");
    if (!(forced && *forced) && !has_display()) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const char* plat = std::getenv("QT_QPA_PLATFORM");
    g_headless = plat && std::string(plat) == "offscreen";
    // Qt keeps references to argc/argv for the application's lifetime.
    g_qt_argv.clear();
    g_qt_argv.push_back(const_cast<char*>(g_args[0].c_str()));
    g_qt_argv.push_back(nullptr);
    g_qt_argc = 1;
    g_app = new QApplication(g_qt_argc, g_qt_argv.data());
    // A deterministic profile keeps what it says; otherwise learn the machine.
    OsConfig& cfg = os_config();
    if (!cfg.deterministic) {
        if (QScreen* s = QGuiApplication::primaryScreen()) {
            cfg.screen_width = s->geometry().width();
            cfg.screen_height = s->geometry().height();
            cfg.dpi = static_cast<int>(s->logicalDotsPerInch() + 0.5);
            cfg.colour_bits = s->depth();
        }
    }
    return true;
}

bool os_app_headless() { return g_headless; }

const std::string& os_app_printer_name() {
    ++g_printer_name_asks;
    OsConfig& cfg = os_config();
    // A deterministic profile keeps what it says.
    if (g_app && !g_printer_asked && !cfg.deterministic) {
        g_printer_asked = true;
        // The system's default printer, as its "Device" entry; none leaves
        // the PDF printer as the default.
        const QString printer = QPrinterInfo::defaultPrinterName();
        if (!printer.isEmpty()) {
            const std::string name = os_utf8_to_cp1252(printer.toStdString());
            cfg.printer_name = name + ",CUPS," + name;
        }
    }
    return cfg.printer_name;
}

int os_app_printer_name_asks() { return g_printer_name_asks; }

namespace {
bool g_user_driven = false;
}

void os_app_set_user_driven(bool on) { g_user_driven = on; }

bool os_app_interactive() { return !g_headless || g_user_driven; }

bool os_app_display_expected() {
    const char* plat = std::getenv("QT_QPA_PLATFORM");
    if (plat && *plat) return std::string(plat) != "offscreen";
    return has_display();
}

std::string os_command_line() {
    std::string line;
    for (std::size_t i = 0; i < g_args.size(); ++i) {
        const std::string& a = g_args[i];
        if (i > 0) line += ' ';
        const bool quote = a.empty() || (a.find(' ') != std::string::npos && a.find('"') == std::string::npos);
        if (quote) line += '"';
        line += a;
        if (quote) line += '"';
    }
    return os_utf8_to_cp1252(line);
}
