#pragma once
// The library's state record, fields owned by the windows-and-services
// subsystem, and the per-slot window table of the platform side. Other
// subsystems keep their groups in their own headers.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Window slots: 0 is the root window, 1..50 children, split panes and
// converted windows.
constexpr int MaxChildWindows = 50;
constexpr int WindowSlots = MaxChildWindows + 1;
constexpr int EditBuffersPerWindow = 20;

// Platform handles are small non-zero integers; 0 is none.
using OsHandle = std::int32_t;

// Values returned for undefined dialog and grid fields.
struct UndefinedValue {
    std::int32_t integer = -999;
    float real = -999.0f;
    double dbl = -999.0;
};

// One stored editor buffer. FILENAME and DATA are owned and allocated only
// when a name or a text has been stored.
struct EditBufEntry {
    std::int32_t text_length = 0;
    // Editor information values 2, 4, 29, 1, 3 and 9 at the time of storing;
    // the fourth is the saved state (1 = no unsaved changes).
    std::array<std::int32_t, 6> values{};
    std::int32_t name_present = 0;
    std::int32_t text_present = 0;
    std::string FILENAME;             // 260 characters once allocated
    std::vector<std::uint8_t> DATA;   // text_length bytes once allocated

    void release() { *this = EditBufEntry{}; }
};

// 51 windows x 20 buffers, allocated once by winitialise.
struct EditBufTable {
    std::vector<EditBufEntry> entries;

    bool allocated() const { return !entries.empty(); }
    void allocate() { entries.assign(static_cast<std::size_t>(WindowSlots * EditBuffersPerWindow), {}); }
    // window 0..50, buffer 1..20; nullptr when out of range or not allocated.
    EditBufEntry* at(int window, int buffer);
    // Releases the 20 entries of one window (the window closed).
    void release_window(int window);
    void release_all();
};

// The window font as the program describes it.
struct WindowFontDescription {
    std::int32_t family = 0;         // 0..6
    std::int32_t bold = 0;
    std::int32_t italic = 0;
    // Requested character size in pixels; after creation the font's real
    // average character width and height.
    std::int32_t width = 0;
    std::int32_t height = 0;
    // The size as the program gave it, in window units.
    std::int32_t width_units = 0;
    std::int32_t height_units = 0;
};

// Window-text state: tag character, colours, underline, font description and
// the five values (family, bold, italic, width, height) of the last created
// window font.
struct WindowTextState {
    char tag = ' ';                  // blank: no tags
    std::int32_t fore_colour = 0;    // 0..16 into wColor
    std::int32_t back_colour = 0;    // 0..15 or 17 into wColor
    std::int32_t underline = 0;
    WindowFontDescription font;
    std::array<std::int32_t, 5> last_font{-1, -1, -1, -1, -1};
};

struct LibraryState {
    EditBufTable EDITBUF;

    // Error and status words.
    std::int32_t last_error = 0;
    std::int32_t io_status = 0;
    std::int32_t os_status = 0;
    std::int32_t report_mode = 0;   // ErrorReportMode 0..4
    std::int32_t status_kind = 0;   // 0 nothing, 1 run-time text-file status, 2 OS code

    // Display information.
    std::int32_t screen_width = 0;
    std::int32_t screen_height = 0;
    std::int32_t screen_colours = 0;
    std::int32_t default_palette_size = 0;

    // Window bookkeeping.
    std::array<std::int32_t, WindowSlots> open_flags{};
    std::int32_t once_flag = 0;     // -9999 once winitialise has run
    std::array<std::int32_t, 2> window_size{};
    std::int32_t current_slot = 0;
    std::int32_t window_open = 0;
    std::int32_t bell = 0;

    std::int32_t locale_decimal_switch = 0;
    UndefinedValue undefined;

    std::int32_t LFNGEN = 0;
    std::int32_t LFNPLOT = 0;
    char separator = ' ';
    char decimal_char = ' ';
    std::string CHARSET = std::string(260, ' ');
    std::string CHARDIR = std::string(260, ' ');
    std::string LibraryHomeDirectory = std::string(260, ' ');
    std::string system_directory = std::string(260, ' ');

    WindowTextState window_text;
};

extern LibraryState quinda;

constexpr std::int32_t OnceFlagDone = -9999;
constexpr std::int32_t DefaultLFNGEN = 40;
constexpr std::int32_t DefaultLFNPLOT = 42;
// The library builds paths with this separator.
constexpr char DirectorySeparator = '/';

// One entry of a window's tooltip table: a button's command id (0 = free)
// and its text of at most 79 characters.
struct TooltipEntry {
    std::int32_t id = 0;
    std::string text;
};
constexpr std::size_t TooltipTextMax = 79;

// A slot number in the range of the per-slot arrays (0 the root window), and
// as an index into them once its range is checked.
constexpr bool valid_slot(std::int32_t slot) { return slot >= 0 && slot <= MaxChildWindows; }
constexpr std::size_t ix(std::int32_t slot) { return static_cast<std::size_t>(slot); }

// The per-slot arrays of the platform side.
struct WindowTable {
    std::array<OsHandle, WindowSlots> wWindow{};      // frame; 0 = slot free
    std::array<OsHandle, WindowSlots> hClient{};
    std::array<OsHandle, WindowSlots> wMessLine{};    // status bar (control id 999)
    std::array<OsHandle, WindowSlots> hMenuRoot{};
    std::array<OsHandle, WindowSlots> hAccel{};
    std::array<OsHandle, WindowSlots> hQDXMenuString{};
    std::array<std::int32_t, WindowSlots> nMenuString{};
    std::array<std::array<OsHandle, 4>, WindowSlots> hToolbar{};  // top, left, right, bottom
    std::array<std::int32_t, WindowSlots> nTooltip{};
    std::array<std::vector<TooltipEntry>, WindowSlots> pTooltip{};
    std::array<OsHandle, WindowSlots> hPrevious{};
    struct Rect { std::int32_t left = -999, top = 0, right = 0, bottom = 0; };
    std::array<Rect, WindowSlots> wChildRect{};       // left -999 = unset
    std::array<OsHandle, WindowSlots> hCursorWin{};
    std::array<std::int32_t, WindowSlots> iCursorWin{};
    std::array<OsHandle, WindowSlots> hImage{};
    std::array<std::int32_t, WindowSlots> nImage{};
    std::array<OsHandle, WindowSlots> wDevice{};
    std::array<std::int32_t, 255> partlist{};
    std::array<std::array<std::int32_t, WindowSlots>, 255> uStatusBorder{};

    std::int32_t wIndex = 0;
    OsHandle wDC = 0;
    OsHandle hWinCur = 0;
    OsHandle hLastSemi = 0;
    std::int32_t wHideRoot = 0;
    std::int32_t bDlgRoot = 0;
    OsHandle wCursor = 0;
    std::int32_t iCursor = 0;
    OsHandle wInstance = 0;
    std::int32_t wScreenWidth = 0, wScreenHeight = 0, wScreenCols = 0, wScreenDPI = 0;
    std::int32_t WinNT = 0, WinVer = 0;
    std::int32_t wWinWidth = 0, wWinHeight = 0, wWinX = 0, wWinY = 0;
    std::int32_t wForeCol = 0, wBackCol = 0, wUnderline = 0;
    std::array<std::int32_t, 18> wColor{};
    std::int32_t atomRoot = 0, atomChild = 0, atomClient = 0, atomSplitH = 0, atomSplitV = 0;
    // Drawing objects of the screen side, made when the root window opens.
    OsHandle gDC = 0, gBitmap = 0, gRegion = 0, gFont = 0, gFontOld = 0, gPen = 0, gPenOld = 0, gPal256 = 0;
    std::vector<std::uint32_t> gLogPal;   // entries of the 256-colour screen palette
    std::int32_t ngColours = 0;           // default palette size
    // Special drawing targets; 0 while drawing goes to the current window.
    OsHandle hGraphicsBitmap = 0, hGraphicsField = 0, hGraphicsMetafile = 0;
    std::uint32_t cgmFormat = 0;          // clipboard format "Quindarolex CGM"
    std::uint32_t uFindMsgString = 0;     // registered "commdlg_FindReplace"
    std::int32_t iVerRTF = 0;             // rich-edit version found
    std::int32_t pGradientFill = 0;       // 1 when the system's gradient fill is available
    std::int32_t pMAPISendMail = 0;       // 1 when the system's mail entry is available
    std::int32_t atomBitmap = 0;          // class of the bitmap viewer
    std::int32_t wBlitOn = 0;             // snapshots shown while a modal phase runs
    // Memory bitmaps by slot 0..19 (bitmap number - 1): handle (0 = free)
    // and pixel size, and the raster operation of transfers, 0 copy, 1 or,
    // 2 and, 3 exclusive or.
    std::array<OsHandle, 20> hBitmap{};
    std::array<std::int32_t, 20> BitmapWidth{};
    std::array<std::int32_t, 20> BitmapHeight{};
    std::int32_t BitmapBlitMode = 0;
    std::array<OsHandle, 20> hMetafile{};
    std::array<OsHandle, 20> MetafileDC{};

    // The printer chosen by the page set-up dialog or taken as the default:
    // device, driver and port names (at most 259, 31 and 259 characters),
    // and whether they hold a printer.
    std::string lpPrintType, lpPrintDriver, lpPrintPort;
    std::int32_t GotPrName = 0;
    std::int32_t PageDlgShown = 0;   // the page set-up dialog stored a printer
    // Page set-up choices applied to every printer device context made;
    // -1 (99999 for media and dither) = unset.
    struct PageSetupChoices {
        std::int16_t prSize = -1, prLength = -1, prWidth = -1, prScale = -1, prSource = -1, prQuality = -1,
                     prColor = -1, prDuplex = -1, prYRes = -1, prTTOption = -1, prCollate = -1;
        std::int32_t prMedia = 99999, prDither = 99999;
    } page_setup;
    // The printer context of the current job, its clip region and window
    // origin in printer pixels; the metafile being recorded and its region.
    OsHandle gPrDC = 0, gPrRegion = 0;
    std::array<std::int32_t, 2> origin{};
    OsHandle gwmfDC = 0, gwmfRegion = 0;

    // Slot rules.
    bool slot_valid(int slot) const { return slot >= 0 && slot <= MaxChildWindows && wWindow[static_cast<std::size_t>(slot)] != 0; }
    // Lowest free child slot 1..50, or -1 when all 50 are taken.
    int lowest_free_child() const;
};

extern WindowTable wtab;

// Special records a frame window may carry as its user data; the first word
// is the WindowKind.
enum WindowKind : std::int32_t {
    WindowKindEditor = 1,
    WindowKindBitmapViewer = 2,
    WindowKindDialog = 3,
    WindowKindGrid = 4,
    WindowKindSplit = 5,
};

// Window combined with a dialog (kind 3): eight words.
struct WindowKind3Record {
    std::array<std::int32_t, 8> w{};
    WindowKind3Record() { w[0] = WindowKindDialog; }
    std::int32_t& dialog_handle() { return w[5]; }
    std::int32_t& frame_width() { return w[6]; }
    std::int32_t& frame_height() { return w[7]; }
};

// Split window (kind 5): 19 words, on the frame and on its split bar.
struct SplitWindowRecord {
    std::array<std::int32_t, 19> w{};
    SplitWindowRecord() { w[0] = WindowKindSplit; }
    std::int32_t& bar_handle() { return w[5]; }
    std::int32_t& slot() { return w[6]; }
    std::int32_t& pane1_slot() { return w[7]; }
    std::int32_t& pane2_slot() { return w[8]; }
    std::int32_t& flags() { return w[9]; }          // bit 1: panes above each other
    std::int32_t& pane1_flags() { return w[10]; }
    std::int32_t& pane2_flags() { return w[11]; }
    std::int32_t& pane1_extent() { return w[12]; }
    std::int32_t& pane2_extent() { return w[13]; }
    std::int32_t& bar_moving() { return w[14]; }
    std::int32_t& split_width() { return w[15]; }
    std::int32_t& split_height() { return w[16]; }
    std::int32_t& pane1_frame() { return w[17]; }
    std::int32_t& sizing() { return w[18]; }
};

// The fixed defaults that winitialise writes regardless of the environment:
// units, separator, character set, undefined markers, an empty EDITBUF.
void quinda_state_defaults();

// Back to the state of a freshly started process followed by the fixed
// defaults; the window table emptied. For tests.
void reset_window_state();
