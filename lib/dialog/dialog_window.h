#pragma once
// What the window layer asks of the dialog manager: dialogs combined with
// windows, the dialog keyboard, the facts of dialog events, snapshots of
// client windows, and the dialog globals at shutdown.
#include <cstdint>

#include "lib/window/quinda_state.h"
#include "lib/window/window_hooks.h"

struct OsMsg;

// Probes a dialog resource for combination with a window: 0 usable, -1 not a
// dialog resource, -4 cannot be created, -2 wrong style (no child style). On
// 0, width and height are its window size and resizable tells whether it
// has a resize field.
std::int32_t yydialogprobe(std::int32_t id, OsHandle owner, std::int32_t& width, std::int32_t& height,
                           bool& resizable);
// Loads the dialog into a slot's client (shown modeless at 0, 0 unless show
// is false) and returns its window, 0 when it cannot be loaded.
OsHandle yydialogcombine(std::int32_t id, std::int32_t slot, bool show);
void yydialogsetcombined(OsHandle dialog, OsHandle frame);
// Makes a loaded dialog current without a report.
void yydialogmakecurrent(std::int32_t id);
void yydialogrepaint(OsHandle dialog);
// Hides and unloads a dialog given by its window.
void yydialogunloadwindow(OsHandle dialog);
// Detaches tab pages, destroys and forgets every loaded dialog, clears the globals.
void yydialogshutdown();
void yydialogclearstate();
// No dialog has the keyboard any more (a window got the focus).
void yydialogclearcurrent();
// Brings a combined dialog forward and gives it the focus.
void yydialogtofront(OsHandle dialog);
std::int32_t yydialogtypeof();
// The dialog whose keyboard handling a fetched message goes through.
OsHandle yydialogkeyboardwindow();
bool yydialogeventinfo(OsHandle window, DialogEventInfo& info);
void yydialogsetlastchanged(OsHandle window, std::int32_t value);
void yydialogtitles(OsHandle active);
void yypaintsnapshot(OsHandle client);
std::int32_t yydialogidof(OsHandle dialog);
OsHandle yydialogcombinedframe(OsHandle dialog);
bool yydialogrootaccelerators(OsHandle dialog);
bool yydialogkeyboard(OsHandle dialog, const OsMsg& m);
// The id of the current dialog, 0 when none.
int yycurrentdialogid();
// Client size of a field of the current dialog (0: the dialog itself); 0 x 0 when none.
void yydialogfieldsize(std::int32_t field, std::int32_t& width, std::int32_t& height);
// The cursor of a graphics field of the current dialog: its number, false
// when the field has none; set one (shown at once when the pointer is over
// the field and show is set); forget those of every field.
bool yyfieldcursor(std::int32_t field, std::int32_t& number);
void yysetfieldcursor(std::int32_t field, OsHandle cursor, std::int32_t number, bool show);
void yyclearfieldcursors();
// Moves the pointer to a pixel position in the selected graphics field (or
// the current dialog).
void yysetfieldcursorpos(std::int32_t x, std::int32_t y);
