#pragma once
// The pending library message, the message types, key codes and mouse
// modifier bits, the enable table and the table of deferred expose and
// resize messages; the interpreter that builds the pending message from one
// event and the window procedures of frames and client windows.
#include <array>
#include <cstdint>

#include "lib/window/quinda_state.h"

enum MessageType : std::int32_t {
    MsgKey = 1,
    MsgMenu = 2,
    MsgPushButton = 3,
    MsgMouseDown = 4,
    MsgMouseUp = 5,
    MsgMouseMove = 6,
    MsgExpose = 7,
    MsgResize = 8,
    MsgClose = 9,
    MsgFieldChanged = 10,
    MsgTabChanged = 11,
    MsgFrameClick = 12,
    MsgTimer = 13,
    MsgEditReturn = 14,
    MsgBitmapScroll = 15,
    MsgDoubleClick = 16,
};

// Special key codes (VALUE1 of key messages above 255).
namespace SpecialKeyCode {
constexpr std::int32_t Up = 258, Down = 259, Right = 260, Left = 261;
constexpr std::int32_t ShiftRight = 264, ShiftLeft = 265;
constexpr std::int32_t CtrlUp = 266, CtrlDown = 267, CtrlRight = 268, CtrlLeft = 269;
constexpr std::int32_t PageUp = 262, PageDown = 263;
// Shift+Up and Shift+Down have codes of their own, apart from Page Up and Page Down.
constexpr std::int32_t ShiftUp = 275, ShiftDown = 276;
constexpr std::int32_t Home = 270, End = 271, Insert = 272, Delete = 273, ShiftTab = 274;
constexpr std::int32_t Keypad0 = 280, KeypadMinus = 290, KeypadPoint = 291, KeypadPlus = 292;
constexpr std::int32_t KeypadDivide = 293, KeypadMultiply = 294, PrintScreen = 300;
constexpr std::int32_t F1 = 301, ShiftF1 = 321, CtrlF1 = 341;
}  // namespace SpecialKeyCode

// MouseModifiers bits.
enum MouseModifiers : std::int32_t {
    MouseCtrl = 1,
    MouseShift = 2,
    MouseLeftHeld = 4,
    MouseMiddleHeld = 8,
    MouseRightHeld = 16,
};

// The record wmessage fills: window slot, four values, position, four
// world-unit reals and the time in milliseconds.
struct WindowMessage {
    std::int32_t WIN = 0;
    std::int32_t VALUE1 = 0, VALUE2 = 0, VALUE3 = 0, VALUE4 = 0;
    std::int32_t X = 0, Y = 0;
    float GX2 = 0.0f, GY2 = 0.0f, GX = 0.0f, GY = 0.0f;
    std::int32_t TIME = 0;
};

// One deferred message: type, VALUE1..VALUE4, X, Y, WIN, TIME.
struct QDXEntry {
    std::int32_t type = 0;
    std::int32_t value1 = 0, value2 = 0, value3 = 0, value4 = 0;
    std::int32_t x = 0, y = 0;
    std::int32_t win = 0;
    std::int32_t time = 0;
};

constexpr std::array<std::int32_t, 16> wMessageDefault{1, 1, 1, 1, 0, 0, 1, 1, 1, 0, 0, 0, 1, 1, 0, 0};
constexpr int QDXFieldEntry = 51;

struct MessageState {
    std::int32_t wMessageType = 0;
    std::int32_t wMessageValue1 = 0, wMessageValue2 = 0, wMessageValue3 = 0, wMessageValue4 = 0;
    std::int32_t wValidMessage = 0;
    std::int32_t wMessageX = 0, wMessageY = 0;
    std::int32_t wMessageWin = 0;
    std::int32_t wMessageTime = 0;
    std::int32_t bInWMessage = 0;
    std::int32_t bExpectPaintResize = 0;
    std::int32_t bSetFromCell = 0;
    std::int32_t TimerEnabled = 0;
    std::array<std::int32_t, 16> wMessageEnabled = wMessageDefault;
    std::array<QDXEntry, 52> QDXMessages{};
    OsHandle hWinMenuClick = 0;
    // While set, the system timer message 0x118 (wParam 0xFFF6) is not dispatched.
    std::int32_t block118 = 0;
};

extern MessageState wmsg;

// The pending message (type, values, position, window, time) as an entry.
QDXEntry pending_message();

// Pending message, enable table and deferred entries back to their start;
// every platform window destroyed and the plug-in hooks emptied. For tests.
void reset_message_state();

// Builds the pending message from one event (see the type table).
void yyinterpretmessage(std::int32_t type, std::int32_t button, std::uintptr_t wParam, std::intptr_t lParam,
                        OsHandle window);
// Key code of a virtual key with modifier 0, 20 (Shift) or 40 (Ctrl).
std::int32_t yyinterpretkey(std::int32_t vk, std::int32_t modifier);
// MouseModifiers from a mouse message's key-state flags.
std::int32_t yymousemodifiers(std::uint32_t flags);
void yyenablemessage(std::int32_t type, std::int32_t flag);
std::int32_t yyinfomessage(std::int32_t type, std::int32_t& out);
std::intptr_t yysettimer(std::int32_t ms, std::int32_t id, std::int32_t target);
void yywait(std::int32_t n);
void yydrawablesize(std::int32_t kind, std::int32_t id, std::int32_t& width, std::int32_t& height);
OsHandle yyGetPromptWindow(std::int32_t slot);
std::int32_t yycurrenttime(std::int32_t& out);

std::intptr_t yyWndProc(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);
std::intptr_t yyWndProcClient(OsHandle hwnd, std::uint32_t msg, std::uintptr_t wParam, std::intptr_t lParam);

// The special record a frame carries (first word its WindowKind), nullptr when none.
std::int32_t* yyspecialrecord(OsHandle frame);
// WindowKind of a frame's special record, 0 when none.
std::int32_t yyspecialkind(OsHandle frame);
// Lays out a slot's frame: status bar, tool bars and the client window.
void yylayoutframe(std::int32_t slot);
