// The commands of a grid window: the save prompt, Save and Save As, Open,
// Save As HTML, Print, Find, Goto, Sort, and row insertion and deletion.
// Each talks to the user through the program's small dialogs and message
// boxes and then calls the public grid routine on the window's grid.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/grid/grid_files.h"
#include "lib/grid/grid_window.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/errors.h"
#include "lib/window/fetch.h"
#include "lib/window/messages.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"
#include "platform/os_file.h"

namespace {

constexpr const char* DefaultFilter = "CSV Files|*.csv|All Files|*.*|";
constexpr const char* HtmlFilter = "HTML Files|*.htm;*.html|All Files|*.*|";
constexpr const char* GridTitle = "Quindarolex Grid Editor";

// Message-box buttons, icons and answers.
enum : std::int32_t { BoxOk = 0, BoxYesNo = 3, BoxYesNoCancel = 4 };
enum : std::int32_t { IconStop = 1, IconExclamation = 3, IconInformation = 4 };
enum : std::int32_t { AnswerCancel = 0, AnswerYes = 1, AnswerNo = 2, AnswerNone = -1 };

// The answer of a box; AnswerNone when it could not be shown.
std::int32_t box(std::int32_t buttons, std::int32_t icon, std::int32_t default_answer, std::string_view text,
                 std::string_view title) {
    dialog_state.last_result = AnswerNone;
    WMessageBox(buttons, icon, default_answer, text, title);
    return dialog_state.last_result;
}
void tell(std::int32_t icon, std::string_view text, std::string_view title) { box(BoxOk, icon, 1, text, title); }

std::string c_text(const char* s, std::size_t n) { return std::string(s, strnlen(s, n)); }
void put_c(char* dst, std::size_t n, std::string_view src) {
    const std::size_t k = std::min(n - 1, src.size());
    std::memcpy(dst, src.data(), k);
    dst[k] = '\0';
}

// The command's surroundings: the window and dialog that were current come
// back at the end, and the last error from before the command unless the
// command leaves its own.
class Command {
public:
    explicit Command(std::int32_t slot) : window_(wtab.wIndex), dialog_(dialog_state.current_id) {
        if (wtab.wIndex != slot) yywinsel(slot, 0);
        saved_ = infoerror(1);
    }
    ~Command() {
        if (valid_slot(window_) && wtab.wWindow[ix(window_)] && wtab.wIndex != window_) yywinsel(window_, 0);
        if (dialog_ != 0 && dialog_ != dialog_state.current_id && yydialogfind(dialog_) >= 0) WDialogSelect(dialog_);
    }
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;
    void restore_error() const { yyseterror(saved_); }

private:
    std::int32_t window_, dialog_, saved_ = 0;
};

// The outcome of a save: 1 when written (the caller's error back) or when
// the file was written and only its data reported; 0, after saying so,
// when it could not be opened or written.
std::int32_t saved(const Command& cmd) {
    const int e = infoerror(1);
    if (e == 0) {
        cmd.restore_error();
        return 1;
    }
    if (e == 1 || e == 2) tell(IconExclamation, e == 1 ? "Error opening file" : "Error writing file", "File Error");
    yyseterror(e);
    return e == 1 || e == 2 ? 0 : 1;
}

// Loads one of the program's dialogs; false (after saying so) when it is missing.
bool load_dialog(std::int32_t id) {
    WDialogLoad(id, {}, -1);
    if (infoerror(1) == 0) return true;
    tell(IconStop, "Unable to load required dialog", "Error");
    return false;
}

// Shows the current dialog next to the window and waits for one of its push
// buttons; the button's id.
class NearWindow {
public:
    // The grid window's own picture is left out of the snapshots: it goes
    // on drawing while the dialog is up.
    NearWindow(std::int32_t slot) : slot_(slot) {
        std::int32_t status = 0;
        yygetwindowbitmap(1, slot_, status);
        yyshowcd(0, DialogSemiModeless, slot_);
    }
    ~NearWindow() {
        std::int32_t status = 0;
        yygetwindowbitmap(0, slot_, status);
    }
    NearWindow(const NearWindow&) = delete;
    NearWindow& operator=(const NearWindow&) = delete;
    std::int32_t button() const {
        for (;;) {
            std::int32_t type = 0;
            WindowMessage m;
            wmessage(type, m);
            if (type == MsgPushButton) return m.VALUE1;
        }
    }

private:
    std::int32_t slot_;
};

// The file dialog of Open, Save and Save As: false when cancelled.
bool pick_file(bool save, std::int32_t& file_type, char* file_name, const char* filter) {
    const std::string f = filter && filter[0] ? std::string(filter) : std::string(DefaultFilter);
    std::string name = txt_fixed(c_text(file_name, 260), 259);
    WSelectFile(f, save ? (FileSave | FilePrompt | FileAddExtension) : (FileMustExist | FileAddExtension), name, "",
                &file_type);
    if (dialog_state.last_result != 1) return false;
    put_c(file_name, 260, txt_trim(name));
    return true;
}

void backup(std::string_view name) { IOsCopyFile(name, std::string(name) + ".bak"); }

std::int32_t grid_info(std::int32_t code) {
    std::int32_t ref = 0, value = 0;
    yygridgetinfo(ref, code, value);
    return value;
}

std::int32_t column_type(std::int32_t column) {
    std::int32_t ref = 0, type = 0;
    yygridcelltype(ref, column, type);
    return type;
}

// Every cell of a row emptied: menus at their first option, the rest undefined.
void empty_row(std::int32_t row, std::int32_t move_labels) {
    const std::int32_t columns = grid_info(1);
    for (std::int32_t c = 1; c <= columns; ++c) {
        if (column_type(c - 1) == 11) WGridPutCellOption(0, c, row, 1);
        else WGridClearCell(0, c, row);
    }
    if (move_labels == 1) WGridLabelRow(0, row, "");
}

}  // namespace

// ---- save prompt, save, open -----------------------------------------------------------
void yygridwinsaveprompt(std::int32_t slot, std::int32_t unsaved, std::int32_t& result, std::int32_t& file_type,
                         std::int32_t backup_flag, char* file_name, const char* filter) {
    if (unsaved != 1) {
        result = 1;
        return;
    }
    const std::string name = c_text(file_name, 260);
    const std::string text =
        name.empty() ? std::string("Do you want to save changes?") : "Do you want to save changes to " + name + "?";
    switch (box(BoxYesNoCancel, IconExclamation, AnswerYes, text, GridTitle)) {
    case AnswerYes: yygridwinsave(slot, 0, result, file_type, backup_flag, file_name, filter); break;
    case AnswerNo: result = 1; break;
    default: result = 0; break;   // Cancel, or a box that could not be shown
    }
}

void yygridwinsave(std::int32_t slot, std::int32_t mode, std::int32_t& result, std::int32_t& file_type,
                   std::int32_t backup_flag, char* file_name, const char* filter) {
    result = 0;
    if ((mode == 1 || !file_name[0]) && !pick_file(true, file_type, file_name, filter)) return;
    Command cmd(slot);
    const std::string name = c_text(file_name, 260);
    // A failed copy (a new file) has been reported, does not stop the save and
    // stays the last error: the save then reports done with it.
    if (backup_flag == 1) backup(name);
    WGridSave(0, name);
    result = saved(cmd);
}

void yygridwinload(std::int32_t slot, std::int32_t mode, std::int32_t add_rows, std::int32_t& result,
                   std::int32_t& file_type, char* file_name, const char* filter) {
    result = 0;
    std::string name = c_text(file_name, 260);
    if (mode == 1) {
        char picked[260] = {};
        put_c(picked, sizeof picked, name);
        if (!pick_file(false, file_type, picked, filter)) return;
        name = c_text(picked, sizeof picked);
    }
    Command cmd(slot);
    WGridLoad(0, name, add_rows);
    const int e = infoerror(1);
    switch (e) {
    case 1: tell(IconExclamation, "Error opening file", "File Error"); break;
    case 2: tell(IconExclamation, "Error reading file", "File Error"); break;
    case 11:
    case 12:
        tell(IconExclamation, "Non-numeric data found for numeric cell", "Data Error");
        result = 1;
        break;
    case 1009:
        tell(IconExclamation, "Out of range value found for numeric cell", "Data Error");
        result = 1;
        break;
    case 1054:
        tell(IconExclamation, "File contains too many rows/columns", "Data Error");
        result = 1;
        break;
    case 1055:
        tell(IconExclamation, "Non-matching data found for menu cell", "Data Error");
        result = 1;
        break;
    default: result = 1; break;
    }
    cmd.restore_error();
    WGridSetCell(0, 1, 1);
    cmd.restore_error();
    if (result == 1) put_c(file_name, 260, name);
}

// ---- HTML ----------------------------------------------------------------------------------
void yygridwinsavehtml(std::int32_t slot, std::int32_t row1, std::int32_t row2, std::int32_t col1, std::int32_t col2,
                       std::int32_t& result, std::int32_t backup_flag, const char* file_name) {
    result = 0;
    Command cmd(slot);
    if (!load_dialog(GridHtmlDialog)) return cmd.restore_error();
    // The grid's name with its extension, if any, made ".htm".
    std::string name = c_text(file_name, 260);
    if (!name.empty()) {
        const std::size_t slash = name.find_last_of('/');
        const std::size_t dot = name.find_last_of('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) name.resize(dot);
        name += ".htm";
    }
    GridWindowChoices& k = grid_window_choices;
    WDialogPutString(1002, name);
    WDialogPutRadioButton(k.html_table_only ? 1006 : 1005);
    WDialogPutRadioButton(k.html_yes_no ? 1009 : 1008);
    WDialogPutCheckBox(1010, k.html_centre);
    WDialogPutCheckBox(1011, k.html_colours);
    WDialogPutString(1013, k.html_title);
    WDialogPutInteger(1015, k.html_border);
    const bool selection = row1 != -1;
    WDialogPutRadioButton(selection ? 1018 : 1017);
    WDialogFieldState(1018, selection ? FieldEnabled : FieldDisabled);
    bool ok = false;
    std::string browsed;
    {
        NearWindow near(slot);
        for (;;) {
            const std::int32_t b = near.button();
            if (b == 2) break;
            if (b == 1003) {
                std::string pick(259, ' ');
                std::string current(259, ' ');
                WDialogGetString(1002, current);
                txt_set(pick, txt_trim(current));
                WSelectFile(HtmlFilter, FileSave | FilePrompt | FileAddExtension, pick);
                if (dialog_state.last_result == 1) {
                    browsed = std::string(txt_trim(pick));
                    WDialogPutString(1002, browsed);
                }
                continue;
            }
            if (b != 1) continue;
            std::string typed(259, ' ');
            WDialogGetString(1002, typed);
            typed = std::string(txt_trim(typed));
            if (typed.find_first_not_of(' ') == std::string::npos) {
                tell(IconExclamation, "You must enter a filename", "Select File");
                WDialogSetField(1002);
                continue;
            }
            if (typed != browsed && os_path_kind(typed) != OsPathKind::Absent &&
                box(BoxYesNo, IconExclamation, AnswerNo, typed + " already exists\rDo you want to replace it?",
                    "Select File") != AnswerYes) {
                WDialogSetField(1002);
                continue;
            }
            name = typed;
            std::int32_t pos = 1;
            WDialogGetRadioButton(1005, pos);
            k.html_table_only = pos == 2 ? 1 : 0;
            WDialogGetRadioButton(1008, pos);
            k.html_yes_no = pos == 2 ? 1 : 0;
            WDialogGetCheckBox(1010, k.html_centre);
            WDialogGetCheckBox(1011, k.html_colours);
            std::string title(1023, ' ');
            WDialogGetString(1013, title);
            k.html_title = std::string(txt_trim(title));
            WDialogGetInteger(1015, k.html_border);
            WDialogGetRadioButton(1017, pos);
            ok = true;
            if (pos != 2) row1 = -1;
            break;
        }
    }
    WDialogUnload();
    if (!ok) return cmd.restore_error();
    infoerror(1);
    if (backup_flag == 1) backup(name);   // as Save: a failed copy stays the last error
    const std::int32_t flags = (k.html_table_only ? GHF_TABLEONLY : 0) | (k.html_centre == 1 ? GHF_CENTRE : 0) |
                               (k.html_yes_no ? GHF_YESNO : 0) | (k.html_colours == 1 ? 0 : GHF_NOCOLOURS);
    if (row1 != -1)
        WGridSaveHTML(0, name, col1 + 1, col2 + 1, row1 + 1, row2 + 1, flags, k.html_title, k.html_border);
    else
        WGridSaveHTML(0, name, {}, {}, {}, {}, flags, k.html_title, k.html_border);
    result = saved(cmd);
}

// ---- print -----------------------------------------------------------------------------------
void yygridwinprint(std::int32_t slot, std::int32_t row1, std::int32_t row2, std::int32_t col1, std::int32_t col2,
                    std::int32_t& result) {
    result = 0;
    settle_printer_query();
    if (hcstate.PrinterAvailable == 0) {
        tell(IconStop, "No printer installed", "Error");
        return;
    }
    Command cmd(slot);
    if (!load_dialog(GridPrintDialog)) return cmd.restore_error();
    std::int32_t rows = 0, cols = 0, repeat = 0, text = 0, back = 0, scale = 100;
    yygridprintgetopt(rows, cols, repeat, text, back, scale, 2);
    WDialogPutCheckBox(1002, rows);
    WDialogPutCheckBox(1003, cols);
    WDialogPutRadioButton(repeat ? 1006 : 1005);
    WDialogPutRadioButton(!text ? 1008 : (back ? 1010 : 1009));
    WDialogPutInteger(1012, scale);
    {
        NearWindow near(slot);
        for (;;) {
            const std::int32_t b = near.button();
            if (b == 1014) {
                yygridprintsetup(-1, 2);
                continue;
            }
            if (b == 1 || b == 2) {
                result = b == 1 ? 1 : 0;
                break;
            }
        }
    }
    if (result == 1) {
        std::int32_t pos = 1;
        WDialogGetCheckBox(1002, rows);
        WDialogGetCheckBox(1003, cols);
        WDialogGetRadioButton(1005, pos);
        repeat = pos == 2 ? 1 : 0;
        WDialogGetRadioButton(1008, pos);
        text = pos >= 2 ? 1 : 0;
        back = pos == 3 ? 1 : 0;
        WDialogGetInteger(1012, scale);
        yygridprintsetopt(rows, cols, repeat, text, back, scale, 2);
        WDialogUnload();
        yygridprint(0, result, row1, row2, col1, col2, 2, "");
    } else {
        WDialogUnload();
    }
    cmd.restore_error();
}

// ---- find -------------------------------------------------------------------------------------
void yygridwinfind(std::int32_t slot, std::int32_t command, std::int32_t& match_case, std::int32_t& numbers,
                   char* find_text) {
    Command cmd(slot);
    const std::int32_t columns = grid_info(1);
    bool texts = false, figures = false;
    for (std::int32_t c = 0; c < columns; ++c) {
        const std::int32_t t = column_type(c);
        if (t == 4) texts = true;
        else if (t >= 5 && t <= 7) figures = true;
    }
    if (!texts && !figures) {
        tell(IconExclamation, "Grid contains no searchable columns", "Find");
        return cmd.restore_error();
    }
    if (!texts) numbers = 1;
    std::string text = c_text(find_text, 1024);
    if (command == 1) {
        if (!load_dialog(GridFindDialog)) return cmd.restore_error();
        WDialogPutString(1002, text);
        WDialogPutCheckBox(1003, match_case);
        WDialogPutCheckBox(1004, numbers);
        WDialogFieldState(1004, texts && figures ? FieldEnabled : FieldHidden);
        bool search = false;
        {
            NearWindow near(slot);
            for (;;) {
                const std::int32_t b = near.button();
                if (b == 2) break;
                if (b != 1) continue;
                std::string typed(1023, ' ');
                WDialogGetString(1002, typed);
                if (txt_blank(typed)) {
                    windowbell(" ");
                    continue;
                }
                text = std::string(txt_trim(typed)).substr(0, 1023);
                WDialogGetCheckBox(1003, match_case);
                WDialogGetCheckBox(1004, numbers);
                search = true;
                break;
            }
        }
        WDialogUnload();
        put_c(find_text, 1024, text);
        if (!search) return cmd.restore_error();
    }
    std::int32_t found = 0;
    infoerror(1);
    WGridFind(0, text, 1 + (match_case == 1 ? 0 : 2) + (numbers == 1 ? 4 : 0), &found);
    if (found == 0) tell(IconInformation, "End of grid reached", "Find");
    put_c(find_text, 1024, text);
    cmd.restore_error();
}

// ---- goto ----------------------------------------------------------------------------------
void yygridwingoto(std::int32_t slot, std::int32_t target) {
    Command cmd(slot);
    if (!load_dialog(target == 1 ? GridGotoCellDialog : GridGotoDialog)) return cmd.restore_error();
    const std::int32_t columns = grid_info(1), rows = grid_info(3);
    const std::int32_t column = grid_info(4), row = grid_info(5);
    if (target == 1) {
        WDialogRangeInteger(1002, 1, columns);
        WDialogPutInteger(1002, column);
        WDialogRangeInteger(1004, 1, rows);
        WDialogPutInteger(1004, row);
    } else {
        WDialogTitle(target == 2 ? "Goto Row" : "Goto Column");
        WDialogPutString(1001, target == 2 ? "&Row" : "&Column");
        WDialogRangeInteger(1002, 1, target == 2 ? rows : columns);
        WDialogPutInteger(1002, target == 2 ? row : column);
    }
    WDialogShow(-1, -1, 0, DialogModal);
    if (dialog_state.exit_button == 1) {
        std::int32_t c = column, r = row;
        if (target == 1) {
            WDialogGetInteger(1002, c);
            WDialogGetInteger(1004, r);
        } else {
            WDialogGetInteger(1002, target == 2 ? r : c);
        }
        WGridSetCell(0, c, r);
    }
    WDialogUnload();
    cmd.restore_error();
}

// ---- sort ----------------------------------------------------------------------------------
void yygridwinsort(std::int32_t slot, std::int32_t move_labels, std::int32_t& result) {
    result = 0;
    Command cmd(slot);
    const std::int32_t columns = grid_info(1);
    std::vector<std::string> captions;
    for (std::int32_t c = 1; c <= columns; ++c) {
        std::int32_t ref = 0;
        std::string caption;
        yygridgetcolumnlabel(ref, c, caption, 51);
        if (txt_blank(caption)) caption = "Column " + std::to_string(c);
        captions.push_back(std::string(txt_trim(caption)));
    }
    if (!load_dialog(GridSortDialog)) return cmd.restore_error();
    GridWindowChoices& k = grid_window_choices;
    WDialogPutMenu(1002, captions, static_cast<std::int32_t>(captions.size()), grid_info(4));
    WDialogPutRadioButton(k.sort_descending ? 1005 : 1004);
    WDialogPutCheckBox(1006, k.sort_match_case);
    WDialogShow(-1, -1, 0, DialogModal);
    if (dialog_state.exit_button == 1) {
        result = 1;
        std::int32_t column = 1, pos = 1;
        WDialogGetMenu(1002, column);
        WDialogGetRadioButton(1004, pos);
        k.sort_descending = pos == 2 ? 1 : 0;
        WDialogGetCheckBox(1006, k.sort_match_case);
        // The sort asks for a current dialog, so it runs before the unload.
        const std::int32_t flags = k.sort_descending + (k.sort_match_case == 1 ? 0 : 2) + (move_labels == 1 ? 4 : 0);
        WGridSort(0, column, flags, 1, grid_info(3));
    }
    WDialogUnload();
    cmd.restore_error();
}

// ---- rows ----------------------------------------------------------------------------------
void yygridwininsertrow(std::int32_t slot, std::int32_t move_labels, std::int32_t add_rows, std::int32_t position) {
    Command cmd(slot);
    const std::int32_t r = grid_info(5), n = grid_info(3);
    if (r == n && position == 1) {
        if (add_rows == 1) {
            WGridRows(0, n + 1);
            if (grid_info(3) == n + 1) empty_row(n + 1, move_labels);
        }
    } else {
        WGridInsertRows(0, r + position, 1, add_rows, move_labels);
    }
    cmd.restore_error();
}

void yygridwindeleterow(std::int32_t slot, std::int32_t move_labels, std::int32_t add_rows) {
    Command cmd(slot);
    const std::int32_t r = grid_info(5), n = grid_info(3);
    if (n == 1 && add_rows == 1) empty_row(1, move_labels);
    else WGridDeleteRows(0, r, 1, add_rows, move_labels);
    cmd.restore_error();
}
