#pragma once
// Modal message box of the platform layer. Style flags and answer ids keep
// the values the library was written against; the box itself is a Qt
// message box. Tests (and the headless program) answer through a responder,
// so no box ever waits for a user who is not there.
#include <functional>
#include <string>

// Button sets (the low four bits of the style).
constexpr unsigned OS_MB_OK = 0x0;
constexpr unsigned OS_MB_OKCANCEL = 0x1;
constexpr unsigned OS_MB_ABORTRETRYIGNORE = 0x2;
constexpr unsigned OS_MB_YESNOCANCEL = 0x3;
constexpr unsigned OS_MB_YESNO = 0x4;
constexpr unsigned OS_MB_RETRYCANCEL = 0x5;
constexpr unsigned OS_MB_TYPEMASK = 0xF;
// Icons.
constexpr unsigned OS_MB_ICONSTOP = 0x10;
constexpr unsigned OS_MB_ICONQUESTION = 0x20;
constexpr unsigned OS_MB_ICONEXCLAMATION = 0x30;
constexpr unsigned OS_MB_ICONINFORMATION = 0x40;
constexpr unsigned OS_MB_ICONMASK = 0xF0;
// Default button: the first unless one of these says otherwise.
constexpr unsigned OS_MB_DEFBUTTON1 = 0x000;
constexpr unsigned OS_MB_DEFBUTTON2 = 0x100;
constexpr unsigned OS_MB_DEFBUTTON3 = 0x200;
constexpr unsigned OS_MB_DEFMASK = 0xF00;
// Modality: every box is modal for the whole program here.
constexpr unsigned OS_MB_APPLMODAL = 0x0000;
constexpr unsigned OS_MB_TASKMODAL = 0x2000;

// Answers; 0 means the box could not be shown.
constexpr int OS_IDOK = 1;
constexpr int OS_IDCANCEL = 2;
constexpr int OS_IDABORT = 3;
constexpr int OS_IDRETRY = 4;
constexpr int OS_IDIGNORE = 5;
constexpr int OS_IDYES = 6;
constexpr int OS_IDNO = 7;

// What a box was asked to show, as handed to a responder. Texts are the
// library's single-byte texts; a CR (with or without LF) breaks a line.
struct OsMessageBoxRequest {
    std::string text;
    std::string caption;
    unsigned style = 0;
};

// Answers a box instead of the user: returns one of the OS_ID* answers, or
// 0 to act as a box that could not be shown.
using OsMessageBoxResponder = std::function<int(const OsMessageBoxRequest&)>;

// Show a modal box and wait for the answer. With a responder installed the
// responder answers. Without one, a box is shown only on a real display;
// on the offscreen platform (no display, tests) it cannot be shown and the
// answer is 0.
int os_message_box(const std::string& text, const std::string& caption, unsigned style);

// Install a responder (an empty function removes it).
void os_message_box_set_responder(OsMessageBoxResponder responder);

// The button that answers Enter for a style: 1, 2 or 3; the first when the
// style names a button the set does not have.
int os_message_box_default_position(unsigned style);
