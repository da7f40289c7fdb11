// Closing the library's windows and releasing what the window layer holds.
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/winclose.h"
#include "lib/dialog/dialog_window.h"
#include "lib/dialog/dialog.h"

#include "lib/window/messages.h"
#include "lib/window/quinda_state.h"
#include "lib/graphics/gdi.h"
#include "lib/grid/editor.h"
#include "lib/window/window_hooks.h"
#include "platform/os_dc.h"
#include "platform/os_gdi.h"
#include "platform/os_window.h"

namespace {

void drop_object(OsHandle& h) {
    if (h) os_delete_object(h);
    h = 0;
}

}  // namespace

// No sound device can be opened on this platform, so there is nothing to
// stop; the slot simply forgets any device it names.
void yyclosemcidevice(std::int32_t slot) {
    if (slot >= 0 && slot <= MaxChildWindows) wtab.wDevice[ix(slot)] = 0;
}

void yyshutdown() {
    // 1. Drawing objects.
    drop_object(wtab.gBitmap);
    drop_object(wtab.gRegion);
    yywinselectprevious();
    drop_object(wtab.gFont);
    drop_object(wtab.gPen);
    drop_object(wtab.gPal256);
    wtab.gLogPal.clear();
    // 2. Memory bitmaps; one that is the drawing surface is let go by its
    // device context first, so that it can be deleted too.
    if (wtab.hGraphicsBitmap) {
        os_delete_dc(wtab.gDC);
        wtab.gDC = 0;
        wtab.hGraphicsBitmap = 0;
    }
    for (auto& b : wtab.hBitmap) drop_object(b);
    wtab.BitmapWidth = {};
    wtab.BitmapHeight = {};
    // 3. Special records of combined and split windows.
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) {
        const OsHandle f = wtab.wWindow[ix(s)];
        std::int32_t* rec = yyspecialrecord(f);
        if (!rec) continue;
        if (rec[0] == WindowKindEditor) {
            yyeditdetach(f);
        } else if (rec[0] == WindowKindDialog) {
            if (rec[5]) yydialogunloadwindow(rec[5]);
            os_set_window_user(f, 0);
            delete reinterpret_cast<WindowKind3Record*>(rec);
        } else if (rec[0] == WindowKindSplit) {
            const OsHandle bar = rec[5];
            os_set_window_user(f, 0);
            if (bar) {
                os_set_window_user(bar, 0);
                os_destroy_window(bar);
            }
            delete reinterpret_cast<SplitWindowRecord*>(rec);
        }
    }
    // 4, 5. Dialogs and their globals.
    yydialogshutdown();
    wtab.hWinCur = 0;
    wtab.hLastSemi = 0;
    // 6. The system gradient fill and mail entry.
    wtab.pGradientFill = 0;
    wtab.pMAPISendMail = 0;
    // 7. Sound devices.
    for (std::int32_t s = 0; s <= MaxChildWindows; ++s) yyclosemcidevice(s);
    // 8. The window device context; the graphics one goes with it when they are the same.
    if (wtab.wDC) {
        os_release_dc(os_dc_window(wtab.wDC), wtab.wDC);
        if (wtab.gDC == wtab.wDC) wtab.gDC = 0;
    }
    wtab.wDC = 0;
    // 9. Windows, children before the root.
    for (std::int32_t s = MaxChildWindows; s >= 0; --s) {
        if (wtab.wWindow[ix(s)] && os_is_window(wtab.wWindow[ix(s)])) os_destroy_window(wtab.wWindow[ix(s)]);
        wtab.wWindow[ix(s)] = 0;
        wtab.hClient[ix(s)] = 0;
        wtab.wMessLine[ix(s)] = 0;
        wtab.hCursorWin[ix(s)] = 0;
    }
    wtab.wIndex = 0;
    for (auto& tb : wtab.hToolbar) tb = {};
    // 10, 11. Message switches back to their defaults, no special drawing target.
    wmsg.wMessageEnabled = wMessageDefault;
    wtab.hGraphicsBitmap = wtab.hGraphicsField = wtab.hGraphicsMetafile = 0;
}

void windowclose() {
    igrhardcopy("S");
    if (window_hooks.destroy_metafiles) window_hooks.destroy_metafiles();
    yyshutdown();
    quinda.open_flags[0] = -1;
    quinda.window_open = 0;
    yydialogclearstate();
    if (quinda.EDITBUF.allocated()) {
        for (auto& e : quinda.EDITBUF.entries) {
            e.FILENAME.clear();
            e.FILENAME.shrink_to_fit();
            e.DATA.clear();
            e.DATA.shrink_to_fit();
            e.text_length = 0;
            for (std::size_t k = 1; k <= 4; ++k) e.values[k] = 0;
            e.name_present = 0;
            e.text_present = 0;
        }
    }
}
