#include "lib/window/errorbox.h"

#include <string>

#include "lib/dialog/dialog.h"

void yywmessagebox(int buttons, int icon, int default_button, std::string_view text, std::string_view title) {
    WMessageBox(buttons, icon, default_button, text, title);
}

int yywmessageboxresult() { return dialog_state.last_result; }

