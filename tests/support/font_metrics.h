#pragma once
// The text metrics of a font made from a logical font, measured in a
// memory device context.
#include "platform/os_dc.h"
#include "platform/os_gdi.h"

inline OsTextMetric font_metrics(OsObject font) {
    const OsDC dc = os_create_compatible_dc(0);
    const OsObject old = os_select_object(dc, font);
    OsTextMetric tm;
    os_get_text_metrics(dc, tm);
    os_select_object(dc, old);
    os_delete_dc(dc);
    return tm;
}

inline OsTextMetric font_metrics(const OsLogFont& lf) {
    const OsObject f = os_create_font(lf);
    const OsTextMetric tm = font_metrics(f);
    os_delete_object(f);
    return tm;
}
