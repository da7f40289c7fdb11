// The editor's font: the choices a program gives by number and size.
#include <cmath>

#include "lib/grid/editor.h"
#include "platform/os_config.h"
#include "platform/os_dc.h"
#include "platform/os_gdi.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"

namespace {
bool stock_font(OsHandle f) {
    return f == os_get_stock_object(OS_SYSTEM_FONT) || f == os_get_stock_object(OS_SYSTEM_FIXED_FONT);
}
}  // namespace

void yyEditCreateFont(EditorWindowData& r, std::int32_t choice, std::int32_t size) {
    const int dpi = os_config().dpi;
    std::int32_t height = 0;
    if (size != 0) height = -static_cast<std::int32_t>(std::lround(size * dpi / 72.0));
    else if (!(wtab.iVerRTF < 2 && wtab.WinVer < 5)) height = -static_cast<std::int32_t>(std::lround(12 * dpi / 72.0));
    OsLogFont lf;
    lf.height = height;
    lf.weight = 400;
    lf.out_precision = OS_OUT_TT_PRECIS;
    switch (choice) {
    case 1: r.hFont = os_get_stock_object(OS_SYSTEM_FIXED_FONT); break;
    case 2: case 3: case 4: {
        static const char* const faces[] = {"Times New Roman", "Arial", "Courier New"};
        static const std::int32_t families[] = {OS_FF_ROMAN, OS_FF_SWISS, OS_FF_MODERN};
        lf.face = faces[choice - 2];
        lf.pitch_and_family = OS_VARIABLE_PITCH | families[choice - 2];
        r.hFont = os_create_font(lf);
        break;
    }
    case 7: case 8: case 9: case 10: {
        // Fixed sizes; the face is served by DejaVu Sans Mono here.
        static const std::int32_t points[] = {10, 11, 13, 14};
        lf.height = -static_cast<std::int32_t>(std::lround(points[choice - 7] * dpi / 72.0));
        lf.face = "Lucida Console";
        lf.pitch_and_family = OS_FIXED_PITCH | OS_FF_MODERN;
        r.hFont = os_create_font(lf);
        break;
    }
    default: r.hFont = os_get_stock_object(OS_SYSTEM_FONT); break;
    }
    const OsDC dc = os_create_compatible_dc(0);
    const OsObject old = os_select_object(dc, r.hFont);
    OsTextMetric tm;
    os_get_text_metrics(dc, tm);
    os_select_object(dc, old);
    os_delete_dc(dc);
    r.nLineHeight = tm.height;
    r.nCharHeight = tm.height - tm.internal_leading;
    r.iFontOption = choice;
    r.iFontSize = size;
}

void yyeditfont(std::int32_t choice, std::int32_t size, std::int32_t& status) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = 1;
        return;
    }
    const OsHandle old = r->hFont;
    yyEditCreateFont(*r, choice == -1 ? r->iFontOption : choice, size == -1 ? r->iFontSize : size);
    os_send_message(r->hRichEdit, OSM_SETFONT, static_cast<std::uintptr_t>(r->hFont), 1);
    if (old && old != r->hFont && !stock_font(old)) os_delete_object(old);
    status = 0;
}
