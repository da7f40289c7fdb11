// The font dialog over the toolkit's font dialog.
#include "platform/os_fontdlg.h"

#include <QFontDialog>

#include <cmath>

#include "platform/os_codepage_qt.h"
#include "platform/os_config.h"
#include "platform/os_window_p.h"

namespace {
OsFontDialogResponder g_responder;
}

void os_font_dialog_set_responder(OsFontDialogResponder responder) { g_responder = std::move(responder); }

bool os_choose_font(OsChooseFont& q) {
    const int dpi = std::max(1, os_config().dpi);
    bool ok = false;
    if (g_responder) {
        ok = g_responder(q);
    } else {
        QFont f(os_qstring(q.font.face));
        const int px = std::abs(q.font.height);
        if (px > 0) f.setPointSizeF(px * 72.0 / dpi);
        f.setBold(q.font.weight >= 600);
        f.setItalic(q.font.italic);
        f.setUnderline(q.font.underline);
        f.setStrikeOut(q.font.strike_out);
        const QFont chosen = QFontDialog::getFont(&ok, f, osw::toolkit_dialog_owner(), QStringLiteral("Font"), QFontDialog::DontUseNativeDialog);
        if (ok) {
            q.font.face = os_from_qstring(chosen.family());
            q.font.height = -static_cast<std::int32_t>(std::lround(chosen.pointSizeF() * dpi / 72.0));
            q.font.weight = chosen.bold() ? 700 : 400;
            q.font.italic = chosen.italic();
            q.font.underline = chosen.underline();
            q.font.strike_out = chosen.strikeOut();
        }
    }
    // The size in tenths of a point follows the chosen height.
    if (ok) q.point_size = q.font.height != 0 ? static_cast<std::int32_t>(std::lround(std::abs(q.font.height) * 720.0 / dpi)) : 120;
    return ok;
}
