// The information queries about dialogs and their fields. Neither reports
// an error: what cannot be answered repeats the previous answer.
#include "lib/dialog/fields.h"
#include "lib/dialog/dialog_window.h"
#include "lib/window/wininfo.h"
#include "lib/window/winops.h"
#include "platform/os_dialog.h"

namespace {

std::int32_t previous_dialog_answer = 0;
std::int32_t previous_field_answer = 0;

// Position (codes 6, 7) or size (8, 9) of the current dialog.
bool dialog_geometry(std::int32_t code, std::int32_t& answer) {
    const OsHandle d = yycurrentdialog();
    if (!d || dialog_state.current_id == 0) return false;
    OsRect r;
    os_get_window_rect(d, r);
    const bool child = (os_get_style(d) & OS_WS_CHILD) != 0;
    if (os_is_iconic(d)) {
        OsPlacement pl;
        if (os_get_window_placement(d, pl)) {
            r = pl.normal;
            if (!child) {
                const OsPoint o = yyplacementoffset();
                r = {r.left + o.x, r.top + o.y, r.right + o.x, r.bottom + o.y};
            }
        }
    } else if (child) {
        OsPoint tl{r.left, r.top};
        os_screen_to_client(os_get_parent(d), tl);
        r = {tl.x, tl.y, tl.x + r.width(), tl.y + r.height()};
    }
    std::int32_t a = r.left, b = r.top;
    if (code >= 8) a = r.width(), b = r.height();
    if (child) {
        // In the graphics units of the window the dialog lies in.
        const std::int32_t slot = yygetwindowindex(os_get_parent(d));
        if (slot >= 0) {
            const std::int32_t saved = quinda.current_slot;
            yywinsel(slot, 0);
            std::int32_t x = 0, y = 0;
            windowunitsfrompixels(a, b, x, y);
            a = x;
            b = y;
            yywinsel(saved, 0);
        }
    }
    answer = (code == 6 || code == 8) ? a : b;
    return true;
}

}  // namespace

std::int32_t winfodialog(std::int32_t code) {
    std::int32_t answer = previous_dialog_answer;
    switch (code) {
    case 1: answer = dialog_state.exit_button; break;
    case 2: answer = dialog_state.exit_field; break;
    case 3: answer = dialog_state.current_id; break;
    case 4: answer = dialog_state.last_result; break;
    case 5: answer = dialog_state.last_modal; break;
    case 6: case 7: case 8: case 9:
        // Without a current dialog: the previous answer, as for any other
        // question that has none.
        dialog_geometry(code, answer);
        break;
    case 10: answer = yydialogtypeof(); break;
    default: break;
    }
    previous_dialog_answer = answer;
    return answer;
}

void yywinfodialog(std::int32_t code, std::int32_t& value) {
    const DialogRecord* r = yydialogrecord(yycurrentdialog());
    if (code == 1) value = r ? r->item[DlgCurrentField] : 0;
    else if (code == 2) value = r ? r->item[DlgPreviousField] : 0;
    else if (code == 3) value = dlgtab.iDlgAct;
    else value = 0;
}

std::int32_t winfodialogfield(std::int32_t field, std::int32_t code) {
    // 1., 2.
    std::int32_t answer = previous_field_answer;
    if (dialog_state.current_id == 0 || !yycurrentdialog()) return answer;
    // 3.
    std::int32_t x = 0, y = 0, w = 0, h = 0;
    if (code <= 4) {
        std::int32_t s = field;
        yygetfieldinfo(s, x, y, w, h, 1);
        if (s == -1) return answer;
    }
    // 4.
    std::int32_t s = field;
    switch (code) {
    case 1: answer = x; break;
    case 2: answer = y; break;
    case 3: answer = w; break;
    case 4: answer = h; break;
    case 5: {
        std::int32_t type = 0;
        yygetfieldtype(s, type);
        answer = s == -1 ? 0 : type;
        break;
    }
    case 6: {
        std::int32_t state = 0;
        yygetfieldstate(s, state);
        if (s != -1) answer = state;
        break;
    }
    case 7: case 8: {
        std::int32_t lo = 0, hi = 0;
        yygettrackrange(s, lo, hi);
        if (s != -1) answer = code == 7 ? lo : hi;
        break;
    }
    default: break;
    }
    // 5.
    previous_field_answer = answer;
    return answer;
}

void reset_dialog_info() {
    previous_dialog_answer = 0;
    previous_field_answer = 0;
}
