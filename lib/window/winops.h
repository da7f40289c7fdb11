#pragma once
// Operations on the current window: selecting the current slot, title and
// icon, the status bar's parts, borders and texts, clearing, conversions
// between pixels and window units (0..9999 on both axes of the client
// area), size changes, the bell, and moving, sizing, raising, reverting and
// scrolling.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "lib/window/quinda_state.h"

constexpr std::int32_t WindowUnits = 9999;
constexpr std::int32_t KeepValue = -999999;   // x, y, width or height left as they are
constexpr std::size_t StatusTextMax = 511;    // texts are re-laid out through a 512-byte buffer

void windowselect(std::int32_t slot);
// Reports 1003 under "YYWINSEL" for a bad slot; flag is the graphics flag
// word for the size propagation.
void yywinsel(std::int32_t slot, std::int32_t flag);
// Switches the window device context; slot becomes -1 when bad.
void yywindowselect(std::int32_t& width, std::int32_t& height, std::int32_t& slot);

// Caption and icon of the current frame; icon id 0 is "icon1", -1 keeps the icon.
void windowtitle(std::optional<std::string_view> title = std::nullopt, std::optional<std::int32_t> icon = std::nullopt);
inline void WindowTitle(std::optional<std::string_view> title = std::nullopt,
                        std::optional<std::int32_t> icon = std::nullopt) {
    windowtitle(title, icon);
}
// icon: in the id (-1 none), out -2 when it did not load.
void yywindowtitle(std::int32_t& icon, std::int32_t settitle, const char* text);

// Border codes: 0 none, 1 sunken (default), 2 raised.
void windowstatusbarparts(std::int32_t nparts, std::span<const std::int32_t> widths,
                          std::optional<std::span<const std::int32_t>> borders = std::nullopt);
void yysetstatuspart(std::int32_t part, std::int32_t edge, std::int32_t border);
void yysetstatusbar(std::int32_t nparts);
void windowoutstatusbar(std::int32_t part, std::string_view text);
void yysetstatustext(std::int32_t part, const char* text);

void windowclear(std::optional<std::int32_t> x1 = std::nullopt, std::optional<std::int32_t> y1 = std::nullopt,
                 std::optional<std::int32_t> x2 = std::nullopt, std::optional<std::int32_t> y2 = std::nullopt,
                 std::optional<std::int32_t> colour = std::nullopt);
void windowcleararea(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2);
// Fills pixels x1..x2, y1..y2; colour -1 is the window background colour.
void yycleararea(std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t colour);

// The colour a packed RGB shows on this screen: on a 256-colour screen the
// nearest colour of the screen palette, otherwise the colour itself.
std::uint32_t yyscreencolour(std::uint32_t rgb);

void windowunitstopixels(std::int32_t x, std::int32_t y, std::int32_t& px, std::int32_t& py);
void windowunitsfrompixels(std::int32_t px, std::int32_t py, std::int32_t& x, std::int32_t& y);
// The same for a client area of the given pixel size.
void yyunitsfrompixels(std::int32_t px, std::int32_t py, std::int32_t width, std::int32_t height, std::int32_t& x,
                       std::int32_t& y);

void yyresize(std::int32_t slot, std::int32_t width, std::int32_t height);
void windowbell(std::string_view text);

// Show states: -1 as it is, 0 minimised, 1 visible, 2 maximised, 3 hidden.
void yywindowsizepos(std::int32_t x, std::int32_t y, std::int32_t& width, std::int32_t& height, std::int32_t show);
void yywindowraise();
// status: 1 empty slot, 2 no special record, 0 reverted.
void yywindowrevert(std::int32_t& dialog, std::int32_t flags, std::int32_t& status);
void yyscrollarea(std::int32_t dx, std::int32_t dy, std::int32_t colour);
void yyedittest(std::int32_t& kind);

// Releases what converting a window made, by its kind: the record of a
// bitmap viewer (its frame gets the library's procedure back); the menus,
// windows, font and files of an editor or grid window.
void yyspecialrelease(OsHandle frame, std::int32_t kind);
