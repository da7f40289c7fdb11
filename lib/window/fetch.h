#pragma once
// The program's event loop interface: wait for the next library message,
// take one if there is one, switch message types on and off. Behind them
// the fetch runs the platform's message loop with the library's keyboard
// rules (dialog keys, editor and grid keys, accelerators of the nearest
// frame with a menu) until a window procedure completes a message, and the
// post-processing adds window units and world coordinates measured in the
// drawable where the event happened.
#include <cstdint>

#include "lib/window/messages.h"

struct OsMsg;

// Waits for a message; always returns one.
void wmessage(std::int32_t& type, WindowMessage& message);
// The next message when one is available, else type -1 with WIN, VALUE1..4,
// X, Y and TIME all -1 (the reals unchanged).
void wmessagepeek(std::int32_t& type, WindowMessage& message);
// Flag 1 switches a MessageType on, 0 off.
void wmessageenable(std::int32_t type, std::int32_t flag);

void yydispatchnextmessage(std::int32_t& type, std::int32_t& value1, std::int32_t& value2, std::int32_t& value3,
                           std::int32_t& value4, std::int32_t& x, std::int32_t& y, std::int32_t& win,
                           std::int32_t& time);
void yydispatchpeekmessage(std::int32_t& type, std::int32_t& value1, std::int32_t& value2, std::int32_t& value3,
                           std::int32_t& value4, std::int32_t& x, std::int32_t& y, std::int32_t& win,
                           std::int32_t& time);
// Completes a fetched record: world coordinates and window units.
void yyevent(std::int32_t type, WindowMessage& message);
// Dispatches a message taken by a modal loop of the library, except the
// system's caret timer while block118 holds it back.
void dispatch_unless_held_back(const OsMsg& m);
