#pragma once
// Drawing services that the model reader and the settings start need but
// that belong to parts of the program not built yet: clearing the window,
// the logo, the screen query and the line routines of the map view. Each is
// a hook that does nothing (the screen query answers the library's default
// ratio) until the owning part installs its routine.

struct AppDrawHooks {
    // windowcleararea over the whole window (0, 0 to 9999, 9999).
    void (*clear_window)() = nullptr;
    // The program's logo.
    void (*logo)() = nullptr;
    // infogrscreen(item): item 32 is 100 times the width-to-height ratio of
    // the current drawable.
    int (*infogrscreen)(int item) = nullptr;
    // Line drawing in world units.
    void (*igrmoveto)(float x, float y) = nullptr;
    void (*igrlineto)(float x, float y) = nullptr;
};

extern AppDrawHooks app_draw_hooks;

// The calls through the hooks; each does nothing while its hook is not set.
void app_clear_window();
void app_logo();
int app_infogrscreen(int item);
void app_moveto(float x, float y);
void app_lineto(float x, float y);

// Puts every hook back to "not set". Used by tests.
void reset_app_draw_hooks();
