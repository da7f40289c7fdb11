#pragma once
// What a real machine would decide: screen, fonts, dialog units, printer,
// clock. Everything below the library that depends on the machine reads it
// from here, so tests can fix it and stay deterministic.
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

struct OsConfig {
    int screen_width = 1024;        // pixels
    int screen_height = 768;
    int dpi = 96;                   // logical pixels per inch, both axes
    // The screen's size in millimetres; 0: from the pixels and dpi.
    int screen_mm_width = 0;
    int screen_mm_height = 0;
    int colour_bits = 24;           // bits per pixel of the display
    std::string gui_font_face = "Arial";   // default dialog and control font
    int gui_font_height = 11;       // pixels of the em: a cell of 13 with its leading
    int dialog_base_x = 6;          // average character width of the dialog font
    int dialog_base_y = 13;         // character height of the dialog font
    // Frame metrics used for window arithmetic; a window manager may draw its
    // own decorations, but sizes the library computes stay these.
    int caption_height = 19;        // title bar
    int small_caption_height = 15;  // title bar of a tool window
    int sizing_border = 4;          // border of a sizable frame, each side
    int fixed_border = 3;           // border of a fixed frame with a caption
    int thin_border = 1;            // plain border
    int menu_height = 19;           // one row of menu bar
    int status_bar_height = 20;     // status bar with the default font
    int scroll_bar_size = 17;       // width of a vertical, height of a horizontal scroll bar
    int mouse_buttons = 3;
    // The default printer's entry "name,driver,port" (os_printer.h); empty:
    // no system printer, the PDF printer stands in. The machine's is learnt
    // when first needed (os_app_printer_name).
    std::string printer_name;
    std::string print_directory;    // where PDF jobs go; empty: the current directory
    char locale_decimal = '.';      // decimal character of the user's locale
    int measurement_system = 2;     // the user locale's measures: 1 imperial, 2 metric
    std::string user_name = "user";
    std::string computer_name = "localhost";
    // File of the registry store (os_registry.h); empty: kept in memory.
    std::string settings_store;
    // Clock: milliseconds since an arbitrary start, and the wall clock.
    std::function<std::int64_t()> tick_ms;
    std::function<std::time_t()> now;
    bool deterministic = false;     // true for the test profile
};

// The configuration in force. Starts as the machine's own (read from Qt and
// POSIX by os_app_start) or as the test profile once a test installs it.
OsConfig& os_config();

// Fixed machine used by every test: 1024x768 at 96 DPI, 24-bit colour,
// clock frozen at 2024-01-02 03:04:05 UTC with a tick that advances 10 ms a read.
OsConfig os_config_test_profile();

// Install a profile.
void os_config_set(const OsConfig& cfg);

// Number of colours of the display (2^bits, capped where the library needs an int).
int os_screen_colours();
