#pragma once
// The dialog manager: the table of loaded dialogs, the current dialog, the
// per-dialog record and the life of a dialog (load, select, show in one of
// three modes, hide, unload); the dialog procedure that turns the user's
// actions into library messages; the modal show on a second instance of
// the template; the message box; and the services that act on a whole
// dialog. Public routines report through yyerror and return normally; back
// ends (yy...) return a status in their first argument and never report.
#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "lib/window/quinda_state.h"

// ---- records and tables -------------------------------------------------------------
constexpr int MaxDialogs = 100;

// Items of the per-dialog record, by number.
enum DialogItem : int {
    DlgId = 0,
    DlgShown = 2,
    DlgCurrentField = 3,
    DlgPreviousField = 4,
    DlgCurrentTab = 5,
    DlgPreviousTab = 6,
    DlgMode = 7,
    DlgOwner = 8,
    DlgReenable = 9,
    DlgLastChanged = 10,
    DlgGraphicsSource = 11,
    DlgGraphicsArea = 12,
    DlgMouseButton = 13,
    DlgFlag = 14,
    DlgCombined = 15,
    DlgLastActive = 16,
    DlgResizeField = 17,
    DlgMinWidth = 18,
    DlgMinHeight = 19,
};

// 20 integers, zeroed when made, kept as the dialog window's user data.
struct DialogRecord {
    std::array<std::int32_t, 20> item{};
};

enum DialogMode : std::int32_t { DialogModal = 1, DialogModeless = 2, DialogSemiModeless = 3 };

struct DialogTable {
    std::array<OsHandle, MaxDialogs + 1> hDialogList{};  // slot 0: the modal copy
    std::int32_t nDialogs = 0;
    std::int32_t iDlgCur = 0;
    OsHandle hDlgCur = 0;
    std::int32_t iDlgAct = 0;
    std::int32_t nSemi = 0;
    // Pending show values and the creating flag.
    std::int32_t pending_focus = 0, pending_x = 0, pending_y = 0;
    bool creating = false;
    // Snapshots of dialogs by table slot.
    std::array<std::int32_t, MaxDialogs + 1> snapshot{};
    std::array<std::int32_t, MaxDialogs + 1> snapshot_count{};
    // Numeric validation and colour brush.
    OsHandle hBadVal = 0, hBadTab = 0;
    std::int32_t iBadTab = 0, StoreVal = 0, iSelStart = 0, iUndef = 0;
    // Set by the grid control while it suspends the check of numeric fields.
    std::int32_t bOverride = 0;
    // 1: tree insertions refuse an item id that is there already.
    std::int32_t iTreeCheck = 0;
    std::int32_t hBrushDlg = 0;
    // The restore copy of a numeric field, the validation-busy flag and the
    // push button's re-entry flag.
    std::string saved_text;
    double saved_value = 0.0;
    bool validating = false;
    bool button_reentry = true;
    // The class atoms the dialog manager fills.
    std::int32_t atomDialog = 0, atomList = 0, atomCombo = 0, atomProgress = 0, atomUpDown = 0, atomHeader = 0,
                 atomScrollbar = 0, atomButton = 0, atomStatic = 0, atomEdit = 0, atomTrackbar = 0, atomTab = 0,
                 atomTree = 0;
    // INTEGEREDIT, INTEGERSPIN, REALEDIT, REALSPIN, DOUBLEEDIT, DOUBLESPIN.
    std::array<std::int32_t, 6> atomNumeric{};
};
extern DialogTable dlgtab;

// The five words kept for the public routines and the information queries.
struct DialogState {
    std::int32_t current_id = 0;
    std::int32_t exit_button = 0;
    std::int32_t exit_field = 0;
    std::int32_t last_result = 0;
    std::int32_t last_modal = 0;
};
extern DialogState dialog_state;

// Table, state words and every dialog window back to their start. For tests.
void reset_dialog_state();

// The record of a dialog window, nullptr when it has none.
DialogRecord* yydialogrecord(OsHandle dialog);
// The window of the current dialog, 0 when none.
OsHandle yycurrentdialog();

// ---- public routines --------------------------------------------------------------------
using OptInt = std::optional<std::int32_t>;
void WDialogLoad(std::int32_t resource, OptInt dialog_id = {}, OptInt window = {});
void WDialogSelect(std::int32_t dialog_id);
void WDialogShow(OptInt x = {}, OptInt y = {}, OptInt focus = {}, OptInt mode = {});
void WDialogHide();
void WDialogUnload(OptInt keep_pages = {});
void WDialogTitle(std::optional<std::string_view> title = {}, OptInt icon = {});
void WDialogSetField(std::int32_t field, OptInt caret = {});
// buttons 0..5, icon 1..4, default button as the result of the wanted button.
void WMessageBox(std::int32_t buttons, std::int32_t icon, std::int32_t default_button, std::string_view text,
                 std::string_view caption);

// ---- back ends ------------------------------------------------------------------------------
void yydialogload(std::int32_t& resource, std::int32_t dialog_id, std::int32_t window);
void yydialogload2(std::int32_t& resource, std::int32_t dialog_id, std::int32_t window, std::int32_t combine);
std::int32_t yydialogfind(std::int32_t dialog_id);
void yydialogselect(std::int32_t& dialog_id);
void yydialogparent(std::int32_t& slot);
void yydialogshow(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::int32_t& mode,
                  std::int32_t focus, std::int32_t combine);
// yydialogshow without combining; after a modal show that ran, the exit
// button, the exit field and the last modal dialog are recorded.
void yydialogshowexit(std::int32_t x, std::int32_t y, std::int32_t cx, std::int32_t cy, std::int32_t& mode,
                      std::int32_t focus);
void yydialoghide(std::int32_t& index);
void yydialogunload(std::int32_t keep_pages, std::int32_t index);
void yydialogunload2(OsHandle dialog, std::int32_t keep_pages, std::int32_t index);
void yydialogcentre(OsHandle dialog);
OsHandle yyactivewindlg();
void yygetatoms();

// Companion text resource.
void yydialogqdx(OsHandle dialog, std::int32_t resource, std::int32_t index);
int strcmpqdx(const char* a, const char* b);

// The dialog procedure and its helpers.
std::intptr_t yydialogproc(OsHandle dialog, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp);
std::intptr_t yydialoginitialise(OsHandle dialog, DialogRecord* record);
std::intptr_t yyProcessColour(OsHandle dialog, std::uint32_t msg, OsHandle dc, OsHandle control);
bool yyismodaldialog(OsHandle window);
bool yyIsResizableDialog(OsHandle dialog);
void yyDialogCreateSizeGrip(OsHandle dialog);
bool yyCheckUserDrawn(OsHandle dialog);

// Modal display, disabling and snapshots.
void yydialogcopy(OsHandle dest, OsHandle source);
// The image a button or static shows, of whichever kind (OS_IMAGE_*); a
// handle of 0 when it shows none.
struct ControlImage {
    std::int32_t kind = 0;
    std::intptr_t handle = 0;
};
ControlImage control_image(OsHandle control);
void yyDisableDialogs(OsHandle spare, bool windows);
void yyEnableDialogs(OsHandle enable, bool windows);
// Snapshots of the shown windows (mode 1 take, other modes release), all but
// the window slot leave_out: a grid or editor window leaves out its own,
// every other caller none.
constexpr std::int32_t NoWindowLeftOut = -1;
void yygetwindowbitmap(std::int32_t mode, std::int32_t leave_out, std::int32_t& status);

// The frame of a message box or common dialog: owned by the active dialog or
// window, the other dialogs and visible windows disabled while it is up;
// afterwards an owner that is a child window gets the focus and an active
// title bar, and the focus goes back to the control that had it when that
// lies inside the owner, whatever kind of window the owner is.
class ModalFrame {
public:
    ModalFrame();
    ~ModalFrame();
    ModalFrame(const ModalFrame&) = delete;
    ModalFrame& operator=(const ModalFrame&) = delete;
    OsHandle owner() const { return owner_; }

private:
    OsHandle owner_, focus_;
};

// Message box.
void yymessagebox(std::int32_t buttons, std::int32_t icon, std::int32_t default_position, std::int32_t& result,
                  std::string_view text, std::string_view caption);

// Whole-dialog services.
void yydialogtitle(std::int32_t& icon, std::int32_t title_flag, std::string_view title);
void yydialogfocus(std::int32_t& field, std::int32_t caret);
void yyDialogSelectAll(OsHandle control);
void yydialogsize(std::int32_t width, std::int32_t height, std::int32_t& status);
void yydialogtabstops(std::int32_t& field, std::span<const std::int32_t> stops, std::int32_t count);
void yydialogundefined(std::int32_t value);
void yyresizefield(std::int32_t dialog_id, std::int32_t source, std::int32_t width, std::int32_t height);
