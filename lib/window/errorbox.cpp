#include "lib/window/errorbox.h"

#include <string>

#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "platform/os_msgbox.h"

MessageBoxFn message_box_hook = message_box_basic;
MessageBoxResultFn message_box_result_hook = message_box_basic_result;
MessageBoxBasicState message_box_basic_state;

void yywmessagebox(int buttons, int icon, int default_button, std::string_view text, std::string_view title) {
    (message_box_hook ? message_box_hook : message_box_basic)(buttons, icon, default_button, text, title);
}

int yywmessageboxresult() { return (message_box_result_hook ? message_box_result_hook : message_box_basic_result)(); }

namespace {

// The default button, given as the result of the wanted button, as a
// position among the set's buttons.
unsigned default_style(int buttons, int wanted) {
    int pos = 1;
    switch (buttons) {
        case 1: case 2: case 3: pos = wanted == 1 ? 1 : 2; break;
        case 4: pos = wanted == 1 ? 1 : wanted == 2 ? 2 : 3; break;
        case 5: pos = wanted == 1 ? 2 : wanted == 2 ? 1 : 3; break;
        default: pos = 1; break;
    }
    return pos == 2 ? OS_MB_DEFBUTTON2 : pos == 3 ? OS_MB_DEFBUTTON3 : OS_MB_DEFBUTTON1;
}

unsigned button_style(int buttons) {
    switch (buttons) {
        case 1: return OS_MB_OKCANCEL;
        case 2: return OS_MB_RETRYCANCEL;
        case 3: return OS_MB_YESNO;
        case 4: return OS_MB_YESNOCANCEL;
        case 5: return OS_MB_ABORTRETRYIGNORE;
        default: return OS_MB_OK;
    }
}

unsigned icon_style(int icon) {
    switch (icon) {
        case 1: return OS_MB_ICONSTOP;
        case 2: return OS_MB_ICONQUESTION;
        case 3: return OS_MB_ICONEXCLAMATION;
        case 4: return OS_MB_ICONINFORMATION;
        default: return 0;
    }
}

}  // namespace

void message_box_basic(int buttons, int icon, int default_button, std::string_view text, std::string_view title) {
    const unsigned style = button_style(buttons) | icon_style(icon) | default_style(buttons, default_button);
    int result = -1;
    switch (os_message_box(txt_c(text), txt_c(title), style)) {
        case OS_IDOK: case OS_IDYES: case OS_IDRETRY: result = 1; break;
        case OS_IDCANCEL: case OS_IDIGNORE: result = 0; break;
        case OS_IDNO: case OS_IDABORT: result = 2; break;
        default: break;
    }
    if (result < 0) {
        yyerror(1004, "WMessageBox");
        return;
    }
    message_box_basic_state.last_result = result;
}

int message_box_basic_result() { return message_box_basic_state.last_result; }
