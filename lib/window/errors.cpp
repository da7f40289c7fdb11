#include "lib/window/errors.h"

#include "lib/window/quinda_state.h"

void yyerror(int code, std::string_view) { quinda.last_error = code; }
void yyseterror(int code) { quinda.last_error = code; }
void idebuglevel(int level) {
    if (level >= 0 && level <= 4) quinda.report_mode = level;
}
int infoerror(int item) {
    int v = 0;
    switch (item) {
        case 1: v = quinda.last_error; quinda.last_error = 0; break;
        case 2: v = quinda.io_status; quinda.io_status = 0; break;
        case 3: v = quinda.os_status; quinda.os_status = 0; break;
        case 4: v = quinda.report_mode; break;
        case 5: v = quinda.status_kind; break;
        default: break;
    }
    return v;
}
