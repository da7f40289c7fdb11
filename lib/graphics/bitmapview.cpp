// The bitmap viewer.
#include "lib/graphics/bitmapview.h"

#include "lib/window/messages.h"

BitmapViewerData* yybitmapviewerrecord(OsHandle window) {
    std::int32_t* rec = yyspecialrecord(window);
    if (!rec || rec[0] != WindowKindBitmapViewer) return nullptr;
    return reinterpret_cast<BitmapViewerData*>(rec);
}

void yybitmapviewerreplaced(OsHandle old, std::int32_t slot) {
    for (std::int32_t s = 1; s <= MaxChildWindows; ++s) {
        BitmapViewerData* v = yybitmapviewerrecord(wtab.wWindow[ix(s)]);
        if (!v || v->bitmap() != old) continue;
        v->bitmap() = wtab.hBitmap[ix(slot)];
        v->width() = wtab.BitmapWidth[ix(slot)];
        v->height() = wtab.BitmapHeight[ix(slot)];
    }
}
