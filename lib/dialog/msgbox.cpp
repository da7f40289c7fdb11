// The message box: the platform's box with the library's button sets,
// icons and default button, run as a modal phase of the library.
#include "lib/dialog/dialog.h"

#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "platform/os_dialog.h"
#include "platform/os_msgbox.h"

namespace {

// The default button, given as the result of the wanted button, as a position 1..3.
std::int32_t default_position(std::int32_t buttons, std::int32_t wanted) {
    switch (buttons) {
    case 0: return 1;
    case 1: case 2: case 3: return wanted == 1 ? 1 : 2;
    case 4: return wanted == 1 ? 1 : (wanted == 2 ? 2 : 3);
    case 5: return wanted == 1 ? 2 : (wanted == 2 ? 1 : 3);
    default: return 1;
    }
}

}  // namespace

void yymessagebox(std::int32_t buttons, std::int32_t icon, std::int32_t position, std::int32_t& result,
                  std::string_view text, std::string_view caption) {
    // 1.
    static constexpr unsigned sets[] = {OS_MB_OK, OS_MB_OKCANCEL, OS_MB_RETRYCANCEL, OS_MB_YESNO, OS_MB_YESNOCANCEL,
                                        OS_MB_ABORTRETRYIGNORE};
    unsigned style = buttons >= 0 && buttons <= 5 ? sets[buttons] : OS_MB_OK;
    static constexpr unsigned icons[] = {0, OS_MB_ICONSTOP, OS_MB_ICONQUESTION, OS_MB_ICONEXCLAMATION,
                                         OS_MB_ICONINFORMATION};
    if (icon >= 1 && icon <= 4) style |= icons[icon];
    if (position == 2) style |= OS_MB_DEFBUTTON2;
    else if (position == 3) style |= OS_MB_DEFBUTTON3;
    // 2. to 6.
    int answer = 0;
    {
        ModalFrame frame;
        answer = os_message_box(std::string(text), std::string(caption), style);
    }
    // 7.
    switch (answer) {
    case OS_IDOK: case OS_IDRETRY: case OS_IDYES: result = 1; break;
    case OS_IDCANCEL: case OS_IDIGNORE: result = 0; break;
    case OS_IDABORT: case OS_IDNO: result = 2; break;
    default: result = -1; break;
    }
}

void WMessageBox(std::int32_t buttons, std::int32_t icon, std::int32_t default_button, std::string_view text,
                 std::string_view caption) {
    const std::int32_t position = default_position(buttons, default_button);
    std::int32_t status = 0;
    yygetwindowbitmap(1, -1, status);
    if (status != 0) yyerror(status, "WMessageBox");
    std::int32_t result = -1;
    yymessagebox(buttons, icon, position, result, txt_trim(text), txt_trim(caption));
    yygetwindowbitmap(0, -1, status);
    dialog_state.exit_field = 0;
    if (result == -1) return yyerror(1004, "WMessageBox");
    dialog_state.last_result = result;
}

