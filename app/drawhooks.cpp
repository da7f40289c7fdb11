#include "app/drawhooks.h"

AppDrawHooks app_draw_hooks;

void app_clear_window() {
    if (app_draw_hooks.clear_window) app_draw_hooks.clear_window();
}

void app_logo() {
    if (app_draw_hooks.logo) app_draw_hooks.logo();
}

int app_infogrscreen(int item) {
    if (app_draw_hooks.infogrscreen) return app_draw_hooks.infogrscreen(item);
    // The library's default drawable ratio until the real query exists.
    return item == 32 ? 132 : 0;
}

void app_moveto(float x, float y) {
    if (app_draw_hooks.igrmoveto) app_draw_hooks.igrmoveto(x, y);
}

void app_lineto(float x, float y) {
    if (app_draw_hooks.igrlineto) app_draw_hooks.igrlineto(x, y);
}

void reset_app_draw_hooks() { app_draw_hooks = AppDrawHooks{}; }
