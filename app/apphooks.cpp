#include "app/apphooks.h"

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/window/fetch.h"

namespace {

// The id of a push button of the current dialog, -1 for any other message.
int button_of(std::int32_t type, const WindowMessage& m) {
    return type == MsgPushButton && m.WIN == dialog_state.current_id ? m.VALUE1 : -1;
}

}  // namespace

void app_unload_dialog(int dialog) {
    if (yydialogfind(dialog) <= 0) return;
    WDialogSelect(dialog);
    WDialogUnload();
}

void app_radio_position(int field, int& position) {
    int p = 0;
    WDialogGetRadioButton(field, p);
    if (p >= 1) position = p;
}

int app_wait_message() {
    // Only a push button of the dialog on the screen answers: a click in the
    // map or a key that happens to carry the same number is passed over.
    for (;;) {
        // Without a dialog there is nothing that could answer: as Cancel.
        if (!yycurrentdialog()) return 2;
        std::int32_t type = 0;
        WindowMessage m;
        wmessage(type, m);
        const int id = button_of(type, m);
        if (id >= 0) return id;
    }
}

int app_peek_message() {
    if (!yycurrentdialog()) return 1;
    std::int32_t type = 0;
    WindowMessage m;
    wmessagepeek(type, m);
    return button_of(type, m);
}

void app_select_colour(int& colour) { WSelectColour(colour); }

