#pragma once
// The message box the error reporter shows in report mode 4: the dialog
// manager's WMessageBox.
#include <string_view>

// buttons: 0 OK, 1 OK and Cancel, 2 Retry and Cancel, 3 Yes and No,
// 4 Yes, No and Cancel, 5 Abort, Retry and Ignore (others: OK).
// icon: 1 stop, 2 question, 3 exclamation, 4 information (others: none).
// default_button: the result value of the button that answers Enter.
// A box that cannot be shown reports error 1004 under "WMessageBox" and
// leaves the last result as it was.
void yywmessagebox(int buttons, int icon, int default_button, std::string_view text, std::string_view title);
// The result of the last box: 1 OK, Yes or Retry; 0 Cancel or Ignore;
// 2 No or Abort; 0 before any box.
int yywmessageboxresult();
