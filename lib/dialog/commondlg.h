#pragma once
// The common dialogs: file, colour, folder and page set-up, each run as a
// modal phase over the library's windows, and the placing of the library's
// small dialogs next to a window.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/os_commondlg.h"

// FileDialogFlags: the flags argument of WSelectFile.
enum FileDialogFlags : std::int32_t {
    FileSave = 1,            // save dialog, else open
    FilePrompt = 2,          // open: offer to create; save: ask before overwriting
    FilePathMayBeMissing = 4,
    FileKeepDirectory = 8,   // after OK the directory chosen from stays current
    FileMultiple = 16,       // open only
    FileAddExtension = 32,
    FileMustExist = 128,     // open only; wins over FilePrompt
};

// FolderDialogFlags of yyselectdir.
enum FolderDialogFlags : std::int32_t {
    FolderAcceptMissing = 4,
    FolderOfferCreate = 64,
};

// What the common dialogs keep between calls. The result of the file and
// colour dialogs goes to the dialog manager's state (last result, exit field).
struct CommonDialogState {
    // The colour dialog's 16 custom colours, taken once from the default colours.
    bool custom_taken = false;
    std::array<std::uint32_t, 16> custom{};
    // Page set-up: the printer settings kept since the last confirmed set-up.
    bool have_printer = false;
    std::int32_t units = -1;                 // units of the last call
    // (Whether one was confirmed, the printer's names and the choices the
    // printer opening applies are the window layer's printer globals.)
    OsPageSetup printer;
    // Folder selection: the caller's buffer and its length, title and flags.
    struct {
        std::string* buffer = nullptr;
        std::int32_t length = 0;
        std::string title;
        std::int32_t flags = 0;
    } DirSelect;
};
extern CommonDialogState commondlg;

// Back to the state of a fresh start. For tests.
void reset_common_dialogs();

// ---- file ------------------------------------------------------------------

// filter: pairs of description and pattern, every element ended by the
// text's last character. name: the file name in and out; its size is the
// room the caller has. filter_index: 1-based, in and out.
void WSelectFile(std::string_view filter, std::int32_t flags, std::string& name, std::string_view title = {},
                 std::int32_t* filter_index = nullptr);
// filter_id -1 the filter text, 0 no filter, above 0 a string resource;
// snapshot 1 paints the windows behind from snapshots while it is up.
void yywsfile(std::int32_t filter_id, std::string_view filter, std::int32_t flags, std::string& name,
              std::string_view title, std::int32_t& filter_index, std::int32_t snapshot);
// The system call: buffer holds the initial name and has the caller's room;
// on result 1 it holds the choice.
void yygetfiledialog(std::int32_t filter_id, std::int32_t& filter_index, bool save, bool prompt,
                     bool path_may_be_missing, bool multiple, bool extension, bool must_exist,
                     std::int32_t& result, std::int32_t& extended_error, std::string_view title,
                     std::string& buffer, std::string_view directory, std::string_view filter);
// Splits path (in: the whole, out: the directory) and name at the last "/".
void yysplitp(std::string& path, std::string& name);

// ---- colour ----------------------------------------------------------------

void WSelectColour(std::int32_t& colour);
void yygetrgbdialog(std::int32_t& red, std::int32_t& green, std::int32_t& blue, std::int32_t& result,
                    std::int32_t& extended_error);

// ---- page set-up -----------------------------------------------------------

// Lengths in thousandths of an inch (units below 2) or hundredths of a millimetre.
void yyprintdialog(std::int32_t& paper_width, std::int32_t& paper_height, std::int32_t& width, std::int32_t& height,
                   std::int32_t& left, std::int32_t& top, std::int32_t& orientation, std::int32_t& copies,
                   std::int32_t units, std::int32_t& colours, std::int32_t& result);
// The user locale's measures: 1 inches, 2 millimetres.
void yygetmeasure(std::int32_t& units);
// The printer was read again: the next page set-up starts from its defaults.
void yypagedlgreset();

// ---- folder ----------------------------------------------------------------

// title_flag 1: title is the caption, else "Select Directory". result 1 a
// folder was chosen, 2 cancelled; the buffer (its size the length) holds
// the last path taken.
void yyselectdir(std::int32_t title_flag, std::int32_t& result, std::int32_t flags, std::string& directory,
                 std::string_view title, std::int32_t length);
// The path the selection shows goes to the caller's buffer.
void yyBrowseCallbackProc1(const std::string& path);
// OK was pressed with a typed path: true when the browser may end.
bool yyBrowseCallbackProc2(std::string& path);

// ---- placing ---------------------------------------------------------------

// Screen position of a window slot's client origin; slot -1 finds the
// window from the active dialog or the current window.
void yygetwindlgpos(std::int32_t slot, std::int32_t width, std::int32_t height, std::int32_t& x, std::int32_t& y);
// Shows the current dialog at the client origin of a window (yygetwindlgpos)
// with a focus field and a show mode. A modal show leaves its exit button
// in the dialog information, as WDialogShow does.
void yyshowcd(std::int32_t focus, std::int32_t mode, std::int32_t slot);
