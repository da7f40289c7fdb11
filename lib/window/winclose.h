#pragma once
// Closing the library's windows: everything the window layer holds is
// released and a new root window may be opened.

void windowclose();
void yyshutdown();
#include <cstdint>
// Stops and closes the sound device playing for a slot.
void yyclosemcidevice(std::int32_t slot);
