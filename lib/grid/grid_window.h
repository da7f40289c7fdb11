#pragma once
// Grid windows: a child window turned into a small spreadsheet editor on a
// copy of a grid field of the current dialog, with File, Edit and Search
// menus, a tool bar, a status-bar read-out of the current cell and the
// commands behind them.
#include <cstdint>
#include <string>
#include <string_view>

#include "lib/grid/grid.h"
#include "lib/window/quinda_state.h"

// The record of a grid window, kept in the frame's user data; the window
// layer reads kind (word 0) and hGrid (word 5).
struct GridWindowData {
    std::int32_t kind = WindowKindGrid;
    OsHandle hToolbarTop = 0, hToolbarLeft = 0, hToolbarRight = 0, hToolbarBottom = 0;
    OsHandle hGrid = 0;
    OsHandle hGridToolbar = 0;
    OsHandle hTooltips = 0;
    OsHandle hStatusBar = 0;
    OsHandle hMenu = 0;
    OsHandle hFileMenu = 0, hEditMenu = 0, hSearchMenu = 0;
    OsHandle hGridAccel = 0;
    OsHandle hUserAccel = 0;
    std::int32_t iMode = 2;
    std::int32_t bMoveRowLabels = 0;
    std::int32_t bAddRows = 0;
    char szFileName[260] = {};
    char szBaseTitle[1024] = {};
    char szFindText[1024] = {};
    char szExtraText[1024] = {};
    char szFilter[1001] = {};
    std::int32_t iFileType = 1;
    std::int32_t bFindMatchCase = 0, bFindNumbers = 0;
    std::int32_t bEndModal = 0;
    std::int32_t bCanNew = 0;
    std::int32_t bReadOnly = 0;
    std::int32_t bCanOpen = 0, bCanSave = 0, bCanSaveAs = 0, bCanSaveHtml = 0, bCanPrint = 0, bCanFind = 0,
                 bCanEditRows = 0;
    std::int32_t iIgnoreDisabled = 0;
    std::int32_t bBackup = 0;
    std::int32_t iLastCell = 0x40001;
    // Set while yygridedit2 runs a modal window's loop: the loop then owns
    // the record past the frame. A modal window closed without that loop
    // frees its record with the frame.
    std::int32_t bInModalLoop = 0;
};

enum GridWindowFlags : std::int32_t {
    GWF_NOTOOLBAR = 0x20,
    GWF_NONEWOPEN = 0x100,
    GWF_NOSAVEAS = 0x200,
    GWF_NOPRINT = 0x400,
    GWF_MOVELABELS = 0x800,
    GWF_NOFIND = 0x1000,
    GWF_NOSAVE = 0x2000,
    GWF_BACKUP = 0x20000,
    GWF_NOHTML = 0x40000,
    GWF_IGNOREDISABLED = 0x80000,
    GWF_ADDROWS = 0x100000,
    GWF_NOROWEDIT = 0x200000,
    GWF_NOMENU = 0x800000,
};

enum GridWindowStatus : std::int32_t {
    GridWindowDone = 0,
    GridWindowIsRoot = 1,
    GridWindowModalMenu = 2,
    GridWindowNoMenu = 3,
    GridWindowMenuInside = 4,
    GridWindowModeInside = 5,
    GridWindowNoMemory = 6,
    GridWindowConverted = 8,
    GridWindowNoField = 11,
    GridWindowHasChildren = 12,
};

// Menu and tool-bar command ids of a grid window.
enum GridWindowCommand : std::int32_t {
    GridWinFileMenu = 32100,
    GridWinNew = 32101,
    GridWinOpen = 32102,
    GridWinSave = 32103,
    GridWinSaveAs = 32104,
    GridWinPrint = 32105,
    GridWinPrintSelection = 32106,
    GridWinExit = 32107,
    GridWinSaveHtml = 32108,
    GridWinEditMenu = 32120,
    GridWinCut = 32122,
    GridWinCopy = 32123,
    GridWinPaste = 32124,
    GridWinDelete = 32125,
    GridWinSelectAll = 32126,
    GridWinSort = 32127,
    GridWinInsertBefore = 32128,
    GridWinInsertAfter = 32129,
    GridWinDeleteRow = 32130,
    GridWinSearchMenu = 32140,
    GridWinFind = 32141,
    GridWinFindNext = 32142,
    GridWinGotoCell = 32144,
    GridWinGotoRow = 32145,
    GridWinGotoColumn = 32146,
};

// Resources a program supplies for its grid windows.
constexpr std::int32_t GridAccelResource = 32103;
enum : std::int32_t {
    GridFindDialog = 32106,
    GridGotoCellDialog = 32107,
    GridGotoDialog = 32108,
    GridSortDialog = 32109,
    GridPrintDialog = 32112,
    GridHtmlDialog = 32114,
};

// The record of a frame that is a grid window, nullptr otherwise.
GridWindowData* yygridwindata(OsHandle frame);

// ---- conversion ----------------------------------------------------------------------
void yygridedit(std::int32_t& status, std::int32_t field, std::int32_t& mode, std::int32_t menu_id,
                std::int32_t flags, std::int32_t file_type, std::string_view file_name, std::string_view filter);
void yygridedit2();
// Opens a grid window on a grid field of the current dialog in the current
// child window (yygridedit, then yygridedit2) and reports the conversion's
// status as a library error under "WGridEdit".
void WGridEdit(std::int32_t field, std::int32_t mode = 2, std::int32_t menu_id = 0, std::int32_t flags = 0,
               std::int32_t file_type = -1, std::string_view file_name = {}, std::string_view filter = {});
void yyGridTitle(OsHandle frame);
// 1 when a grid window may close (its save prompt, when it can save, said go on).
std::int32_t yygridwinmayclose(OsHandle frame);
OsHandle yyGridGetEditCell(const GridData& g);
void yyGridWinSize(GridWindowData& r);

// ---- commands (slot of the window; results 1 done, 0 not done) -----------------------
void yygridwinsaveprompt(std::int32_t slot, std::int32_t unsaved, std::int32_t& result, std::int32_t& file_type,
                         std::int32_t backup, char* file_name, const char* filter);
void yygridwinsave(std::int32_t slot, std::int32_t mode, std::int32_t& result, std::int32_t& file_type,
                   std::int32_t backup, char* file_name, const char* filter);
void yygridwinload(std::int32_t slot, std::int32_t mode, std::int32_t add_rows, std::int32_t& result,
                   std::int32_t& file_type, char* file_name, const char* filter = nullptr);
void yygridwinsavehtml(std::int32_t slot, std::int32_t row1, std::int32_t row2, std::int32_t col1, std::int32_t col2,
                       std::int32_t& result, std::int32_t backup, const char* file_name);
void yygridwinprint(std::int32_t slot, std::int32_t row1, std::int32_t row2, std::int32_t col1, std::int32_t col2,
                    std::int32_t& result);
void yygridwinfind(std::int32_t slot, std::int32_t command, std::int32_t& match_case, std::int32_t& numbers,
                   char* find_text);
void yygridwingoto(std::int32_t slot, std::int32_t target);
void yygridwinsort(std::int32_t slot, std::int32_t move_labels, std::int32_t& result);
void yygridwininsertrow(std::int32_t slot, std::int32_t move_labels, std::int32_t add_rows, std::int32_t position);
void yygridwindeleterow(std::int32_t slot, std::int32_t move_labels, std::int32_t add_rows);

// The choices the commands keep between calls, for all grid windows.
struct GridWindowChoices {
    std::int32_t sort_descending = 0, sort_match_case = 0;
    std::int32_t html_table_only = 0, html_yes_no = 0, html_centre = 0, html_colours = 1;
    std::string html_title;
    std::int32_t html_border = 1;
    // The font every grid window shares (OSM_SETFONT / OSM_GETFONT).
    OsHandle font = 0;
};
extern GridWindowChoices grid_window_choices;
void reset_grid_window_choices();
