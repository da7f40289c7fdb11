#pragma once
// The spreadsheet grid control: a dialog field of typed columns whose cells
// the grid keeps in its own storage. The records of one grid, its window
// classes and private messages, the cell interface below the public routines
// (0-based indices, a status left in the first argument) and the public
// routines themselves (1-based, library error numbers).
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/window/quinda_state.h"
#include "platform/os_commondlg.h"
#include "platform/os_dc.h"
#include "platform/os_window.h"

// ---- records ------------------------------------------------------------------------
enum GridStyle : std::uint32_t {
    GS_SELNOTIFY = 0x20,
    GS_EDITNOTIFY = 0x40,
    GS_NOROWLABELTEXT = 0x80,
    GS_NOFITHEIGHT = 0x100,
    GS_COLUMNHEADER = 0x200,
    GS_ROWHEADERS = 0x400,
    GS_READONLY = 0x800,
    GS_ENTERDOWN = 0x1000,
    GS_TABCELLS = 0x4000,
    GS_WRAPROWS = 0x8000,
};

enum GridColumnType : std::int32_t {
    GridText = 0,
    GridInteger = 1,
    GridReal = 2,
    GridDouble = 3,
    GridCheckBox = 4,
    GridMenu = 5,
};

// Bits of a cell's state byte.
enum CellState : std::uint8_t { CellDisabled = 1, CellDefined = 2, CellNonBlank = 4 };

// Per-cell colours: flag bit 1 text colour set, bit 2 background set.
struct CellColour {
    std::uint8_t flags = 0;
    std::uint8_t text[3] = {0, 0, 0};
    std::uint8_t back[3] = {0, 0, 0};
};

// A cell as one integer: the 1-based row in the low 18 bits, the 1-based column above.
using PackedCell = std::int32_t;
constexpr std::int32_t GridMaxRows = (1 << 18) - 1;      // 262,143
constexpr std::int32_t GridMaxColumns = (1 << 13) - 1;   // 8,191
constexpr PackedCell pack_cell(std::int32_t column, std::int32_t row) { return ((column + 1) << 18) + (row + 1); }

// Kind (VALUE3) of a grid's MessageType 10 message.
enum GridNotifyKind : std::int32_t { GridNotifyCell = 0, GridNotifyEdit = 1, GridNotifySelection = 2 };

// One column: its type, width and the storage of its cells. Only the vector
// of the column's type is used; texts hold at most nMaxLength characters.
struct GridColumn {
    std::int32_t nWidth = 0;
    std::int32_t iType = GridText;
    std::int32_t nMaxLength = 0;
    std::vector<std::string> texts;
    std::vector<std::int32_t> ints;     // integer, check-box and menu cells
    std::vector<float> reals;
    std::vector<double> doubles;
    std::vector<std::uint8_t> pStates;
    std::vector<CellColour> pColours;   // empty until the first per-cell colour
    OsHandle hControl = 0;
};

// Columns and row labels of a grid; a dialog's modal copy shares them with
// the first instance, and they go with the last grid that uses them.
using GridColumns = std::vector<GridColumn>;
using GridLabels = std::vector<std::string>;   // at most 50 characters each

struct GridData {
    std::int32_t bInitialised = 0;
    std::int32_t nColumns = 0;
    std::int32_t nMaxFirstColumn = 0;
    std::int32_t nRowsAllocated = 0;
    std::int32_t nColumnsDeclared = 0;
    std::int32_t nRows = 0;
    std::int32_t nVisibleRows = 0;
    std::int32_t nRowHeaderSlots = 0;
    std::int32_t nRowHeaders = 0;
    std::int32_t nRowHeight = 0;
    std::int32_t iCurrentColumn = 0, iCurrentRow = 0;
    std::int32_t iFirstColumn = 0;
    std::int32_t iLastColumn = 0;
    std::int32_t iTopRow = 0;
    std::int32_t nRowLabelWidth = 0;
    std::int32_t nHeaderHeight = 0;
    std::int32_t idTemplate = 0;
    std::int32_t iSelFirstRow = -1, iSelLastRow = -1, iSelFirstColumn = -1, iSelLastColumn = -1;
    std::int32_t iAnchorColumn = -1, iAnchorRow = -1;
    std::int32_t nScrollFactor = 1;
    std::int32_t iPendingTopRow = 0;
    std::int32_t nWheelDelta = 0;
    std::int32_t nCreateHeight = 0;
    std::int32_t nFrameHeight = 0;
    std::shared_ptr<GridColumns> pColumns;
    OsHandle hCellArea = 0;
    OsHandle hEditor = 0;
    OsHandle hColumnHeader = 0;
    std::vector<OsHandle> phRowHeaders;
    OsHandle hEditTarget = 0;
    std::shared_ptr<GridLabels> pRowLabels;
    OsHandle hDroppedList = 0;
    std::int32_t bUnsaved = 0;
    std::int32_t bChanged = 0;
    std::int32_t bNoMouse = 0;
    OsHandle hFont = 0;

    GridColumn& column(std::int32_t c) { return (*pColumns)[static_cast<std::size_t>(c)]; }
};

// Private messages of a grid window.
enum : std::uint32_t {
    GM_BUILDCOLUMNS = 1025,
    GM_ROWLABELS = 1026,
    GM_SCROLLRANGES = 1027,
    GM_SETSIZE = 1028,
    GM_SETNOMOUSE = 1029,
};

// Shared state of the grid module.
struct GridState {
    std::int32_t atomGrid = 0, atomGridClient = 0;
    std::uint32_t GM_CELLCHANGE = 0;
    // Cells repaint as they change; bulk changes switch it off and on.
    bool bCellUpdate = true;
    // Set up the print option sets (grid printing): cleared at registration.
    std::int32_t print_options_ready = 0;
    // What the most recently closed modal grid window left behind.
    std::int32_t last_unsaved = 0, last_changed = 0;
    std::array<std::string, 3> last_texts;
    // Sort and find: grid, key column, columns, key type, descending, ignore case, move labels.
    std::array<std::int32_t, 7> GridSortBlock{};
};
extern GridState grid_state;
void reset_grid_state();

// ---- the control --------------------------------------------------------------------
void yygridregister();
// The records of a grid window, nullptr when it is none.
GridData* yygriddata(OsHandle grid);
std::intptr_t yygridwndproc(OsHandle grid, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yygridwndprocclient(OsHandle area, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yygridrowtemplateproc(OsHandle dialog, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yygridsubheader(OsHandle header, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
// Sets a grid up from its "[Grids]" line; the characters of text it used.
std::int32_t yygridinitialise(OsHandle grid, const char* text);
void yygridcopy(OsHandle dest, OsHandle source);
void yyGridClear(OsHandle grid, std::int32_t clear_options);
// A dialog-unit rectangle in pixels of the grid's font.
void YYMapDialogRect(OsHandle grid, OsRect& r);

// Repainting, selection and the in-place editor.
void yyGridRedrawCell(OsHandle grid, std::int32_t column, std::int32_t row, bool update);
void yygridcellredrawoff();
void yygridcellredrawon(std::int32_t ref);
void yygridupdatecell(OsHandle grid, std::int32_t column, std::int32_t row, bool focus, bool extend = false);
void yyGridSendScrollMessage(OsHandle grid, std::uint32_t msg, std::int32_t code, std::intptr_t lp, bool extend);
void yyGridUpdateRowLabels(OsHandle grid);
void yygridselectrange(OsHandle grid, std::int32_t row1, std::int32_t row2, std::int32_t col1, std::int32_t col2);
void yygridselectnone(OsHandle grid);
// 1 and the pixel rectangle of the visible part of the selection; 0 when none of it shows.
std::int32_t yygridgetselrect(OsHandle grid, OsRect& r);
void yyGridCreateCurrent(OsHandle grid);
void yyGridDestroyCurrent(OsHandle grid);
void yyGridUpdateCurrent(OsHandle grid);
void yyGridStoreCurrent(OsHandle grid);
// The text of a control, as the grid reads its editors.
std::string yyGridGetString(OsHandle control);
// The display text of a cell (the editor's for the current cell); mode 1
// gives check boxes as the check mark 0xFC and cross 0xFB, else "Yes"/"No".
std::string yyGridGetString(OsHandle grid, std::int32_t column, std::int32_t row, std::int32_t mode);
// A copy of the source bitmap in the destination with the button face turned highlight.
void yyHighlightBitmap(OsObject source, OsObject dest, OsObject scratch);
std::intptr_t yygridcellwndproc(OsHandle editor, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yygridspinwndproc(OsHandle updown, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);

// Clipboard of cells: kinds 0 no text, 1 one value, 2 a table.
std::int32_t yygridcheckclipboard();
void yygridclipcount(std::int32_t& rows, std::int32_t& columns);
std::int32_t yygridcancut(OsHandle grid);
std::int32_t yygridcanpaste(OsHandle grid);
std::int32_t yygridclipcopy(OsHandle grid);
void yygridclippaste(OsHandle grid);
void yygridclipdelete(OsHandle grid);

// Commands of the context menu and the grid window's Edit menu.
enum : std::int32_t {
    GridCmdCut = 32122, GridCmdCopy = 32123, GridCmdPaste = 32124, GridCmdDelete = 32125,
    GridCmdUndo = 32221, GridCmdTextCut = 32222, GridCmdTextCopy = 32223, GridCmdTextPaste = 32224,
    GridCmdTextDelete = 32225, GridCmdSelectAll = 32226,
};

// Printing: two option sets (1, and 2 for any other number), each with its
// own printer, paper and margins (in nUnits) and options.
struct GridPrintOptions {
    OsPageSetup psd;                            // printer, paper size and margins
    std::array<std::int32_t, 4> min_margins{};   // left, top, right, bottom: the printer's unprintable borders
    std::int32_t nUnits = 8;                     // 4 thousandths of an inch, 8 hundredths of a millimetre
    std::int32_t nLeft = 0, nRight = 0, nTop = 0, nBottom = 0;   // printable area, printer pixels
    std::int32_t nScale = 100;
    std::int32_t bRowLines = 1, bColumnLines = 1, bRepeatHeaders = 1, bTextColours = 1, bBackColours = 1;
};
// The option set of a number (1, else 2).
GridPrintOptions& grid_print_options(std::int32_t set);
void yyGridPrintInit();
void yygridprint(std::int32_t ref, std::int32_t& result, std::int32_t row1, std::int32_t row2, std::int32_t col1,
                 std::int32_t col2, std::int32_t set, std::string_view title);
void yyGridPrintRowLabels(OsHandle grid, std::int32_t range_first, std::int32_t page_first, std::int32_t page_last,
                          std::int32_t& x, std::int32_t pitch, std::int32_t text_height, std::int32_t ave_width,
                          OsHandle printer_dc, OsHandle screen_dc, std::int32_t set);
std::int32_t yygridprintsetup(std::int32_t units, std::int32_t set);
void yygridprintgetopt(std::int32_t& row_lines, std::int32_t& column_lines, std::int32_t& repeat_headers,
                       std::int32_t& text_colours, std::int32_t& back_colours, std::int32_t& scale, std::int32_t set);
void yygridprintsetopt(std::int32_t row_lines, std::int32_t column_lines, std::int32_t repeat_headers,
                       std::int32_t text_colours, std::int32_t back_colours, std::int32_t scale, std::int32_t set);
void yygridprintsetpossize(std::int32_t code, std::int32_t points, std::int32_t set);

// ---- cell interface (0-based; status in the first argument) -------------------------
OsHandle yygridfromref(std::int32_t ref);
void yygridgetcellstring(std::int32_t& ref, std::int32_t column, std::int32_t row, std::string& text, std::int32_t size);
void yygridgetcellvalue(std::int32_t& ref, std::int32_t column, std::int32_t row, double& value);
void yygridgetcellcheck(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t& value);
void yygridgetcellmenu(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t& option);
void yygridgetmenustring(std::int32_t& ref, std::int32_t column, std::int32_t option, std::string& text, std::int32_t size);
void yygridgetformat(std::int32_t& ref, std::int32_t column, std::string& text, std::int32_t size);
void yygridgetcolour(std::int32_t& ref, std::int32_t column, std::int32_t row, std::array<std::int32_t, 3>& text,
                     std::array<std::int32_t, 3>& back);
void yygridgetalign(std::int32_t& ref, std::int32_t column, std::int32_t& align);
void yygridgetlabels(std::int32_t& ref, std::int32_t& column_header, std::int32_t& row_width);
void yygridgetcolumnlabel(std::int32_t& ref, std::int32_t item, std::string& text, std::int32_t size);
void yygridgetrowlabel(std::int32_t& ref, std::int32_t row, std::string& text, std::int32_t size);
void yygridcelltype(std::int32_t& ref, std::int32_t column, std::int32_t& type);
void yygridcelllength(std::int32_t& ref, std::int32_t column, std::int32_t& length);
void yygridputcellstring(std::int32_t& ref, std::int32_t column, std::int32_t row, double value, std::string_view text,
                         std::string_view format, std::int32_t text_size, std::int32_t format_size);
void yygridputcellcheck(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t value);
void yygridputcelloption(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t option);
void yygridputmenustring(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t& not_found,
                         std::string_view text);
void yygridclearcell(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t mode);
void yygridputmenu(std::int32_t& ref, std::int32_t column, std::int32_t row, std::string_view text);
void yygridclearmenu(std::int32_t& ref, std::int32_t column, std::int32_t row);
void yygridlabelcolumn(std::int32_t& ref, std::int32_t item, std::string_view text, std::int32_t size);
void yygridlabelrow(std::int32_t& ref, std::int32_t row, std::string_view text, std::int32_t size);
void yygridcolourcell(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t tr, std::int32_t tg,
                      std::int32_t tb, std::int32_t br, std::int32_t bg, std::int32_t bb);
void yygridcolourcolumn(std::int32_t& ref, std::int32_t column, std::int32_t tr, std::int32_t tg, std::int32_t tb,
                        std::int32_t br, std::int32_t bg, std::int32_t bb);
void yygridrange(std::int32_t& ref, std::int32_t column, double min, double max);
void yygridrangecheck(std::int32_t& ref, std::int32_t column, double value);
void yygridrangecheck2(std::int32_t& status, OsHandle grid, std::int32_t column, double value);
void yygridspinstepi(std::int32_t& ref, std::int32_t column, std::int32_t small, std::int32_t large, std::int32_t option);
void yygridspinstepr(std::int32_t& ref, std::int32_t column, float small, float large);
void yygridspinstepd(std::int32_t& ref, std::int32_t column, double small, double large);
void yygridcellstate(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t state);
void yygridwindowstate(OsHandle editor, std::int32_t type, std::int32_t readonly, std::int32_t redraw);
void yygridgetinfo(std::int32_t& ref, std::int32_t code, std::int32_t& value);
void yygridgetinfostring(std::int32_t window, std::int32_t code, std::string& text, std::int32_t size);
void yygridcellfocus(std::int32_t& ref, std::int32_t column, std::int32_t row, std::int32_t caret);
void yygridclearselection(std::int32_t& ref);
void yygridsetselection(std::int32_t& ref, std::int32_t col1, std::int32_t row1, std::int32_t col2, std::int32_t row2);
void yygridsetrows(std::int32_t& ref, std::int32_t rows);
void yygridsetrows2(OsHandle grid, std::int32_t rows);
void yygridredefine(std::int32_t& ref, std::int32_t columns, const std::int32_t* positions);

// ---- public routines (1-based; library errors) --------------------------------------
using GridOptInt = std::optional<std::int32_t>;
void WGridSetCell(std::int32_t field, std::int32_t column, std::int32_t row, GridOptInt position = {});
void WGridRows(std::int32_t field, std::int32_t rows);
void WGridLabelRow(std::int32_t field, std::int32_t row, std::string_view label);
void WGridClearCell(std::int32_t field, std::int32_t column, std::int32_t row);
void WGridPutCellDouble(std::int32_t field, std::int32_t column, std::int32_t row, double value,
                        std::optional<std::string_view> format = {});
void WGridPutCellReal(std::int32_t field, std::int32_t column, std::int32_t row, float value,
                      std::optional<std::string_view> format = {});
void WGridPutCellInteger(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t value);
void WGridPutCellCheckBox(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t state);
void WGridPutCellOption(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t option);
void WGridGetCellDouble(std::int32_t field, std::int32_t column, std::int32_t row, double& value);
void WGridGetCellReal(std::int32_t field, std::int32_t column, std::int32_t row, float& value);
void WGridGetCellInteger(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t& value);
void WGridGetCellString(std::int32_t field, std::int32_t column, std::int32_t row, std::string& value);
void WGridGetCellCheckBox(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t& state);
void WGridGetCellMenu(std::int32_t field, std::int32_t column, std::int32_t row, std::int32_t& option);
void WGridInsertRows(std::int32_t field, std::int32_t row, GridOptInt count = {}, GridOptInt adjust = {},
                     GridOptInt labels = {});
void WGridDeleteRows(std::int32_t field, std::int32_t row, GridOptInt count = {}, GridOptInt adjust = {},
                     GridOptInt labels = {});

// Sort and find.
void WGridSort(std::int32_t field, std::int32_t column, GridOptInt flags = {}, GridOptInt row1 = {},
               GridOptInt row2 = {});
void yygridsort(std::int32_t lo, std::int32_t hi, std::int32_t key_length);
struct GridSortKey {
    std::string text;
    std::int32_t text_length = 0;
    std::int32_t ikey = 0;
    float rkey = 0.0f;
    double dkey = 0.0;
};
void yygridsortget(std::int32_t column, std::int32_t row, std::int32_t ignore_case, GridSortKey& key,
                   std::int32_t key_length);
void yygridsortswap(std::int32_t ref, std::int32_t a, std::int32_t b, std::int32_t move_labels);
void WGridFind(std::int32_t field, std::string_view text, GridOptInt flags = {}, std::int32_t* found = nullptr,
               GridOptInt col1 = {}, GridOptInt col2 = {}, GridOptInt row1 = {}, GridOptInt row2 = {});
void yygridfind(std::string_view text, std::int32_t from, std::int32_t to, std::int32_t length, std::int32_t& found);
