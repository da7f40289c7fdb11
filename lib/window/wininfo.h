#pragma once
// Window and display information, cursors, the bell, active titles, the
// lookup from a window to its slot and the release of drawing targets.
#include <cstdint>

#include "lib/window/quinda_state.h"
#include "platform/os_window.h"

// Items 1..14 about the current window; other items give the previous result.
std::int32_t winfowindow(std::int32_t item);

void yygetwindowpos(std::int32_t mode, std::int32_t& x, std::int32_t& y, std::int32_t& inside,
                    std::int32_t& parent);
// Offset of top-level placements (work-area coordinates) from the screen.
OsPoint yyplacementoffset();
// A frame's rectangle: its restored placement (screen coordinates for a
// top-level window) when restored is true, else its rectangle, in the
// parent's client coordinates for a child.
void yyframeplacement(OsHandle w, bool restored, OsRect& r);
void yygetclientpos(std::int32_t& x, std::int32_t& y);
void yygetminmaxstate(std::int32_t& state);
void yygetrestwinsize(std::int32_t& width, std::int32_t& height, std::int32_t& x, std::int32_t& y,
                      std::int32_t& inside, std::int32_t& parent);
void yygetwincolours(std::int32_t item, std::int32_t& colour);
void yygetmousebuttons(std::int32_t& n);
void yygetmousecursor(std::int32_t& number, std::int32_t mode, std::int32_t slot);
void yygetdialogtype(std::int32_t& type);
void yygetdisplayinfo(std::int32_t& width, std::int32_t& height, std::int32_t& colours, std::int32_t& palette);
void yychangecursor(std::int32_t number, std::int32_t mode, std::int32_t kind, std::int32_t slot);
void yysetcursorpos(std::int32_t x, std::int32_t y, std::int32_t mode);
std::int32_t yyAsciiToInt(const char* text);
void yyringbell();
void yyringbell2();
void yysetbell(std::int32_t on);
void yytitlecolour(OsHandle window);
std::int32_t yygetwindowindex(OsHandle window);
void yygrselectnone();
