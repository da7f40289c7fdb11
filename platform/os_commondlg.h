#pragma once
// Common dialogs of the platform layer: open and save file, colour, folder
// and page set-up. Each runs as a modal phase: over Qt's own dialogs
// (non-native, so they look and behave the same on every desktop) or, in
// tests and without a display, through a responder that sees the request
// and answers it as a user would. The checks a file or folder dialog makes
// of an answer (must exist, create and overwrite questions) are made here
// for both, through the message box, and a refused answer asks again.
//
// Texts are library text (Windows-1252); file names cross to the system as
// UTF-8 as everywhere in the layer.
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class OsCommonDialogKind { Open, Save, Colour, Folder, PageSetup };

// File dialog flags (the values the library was written against).
constexpr unsigned OS_OFN_OVERWRITEPROMPT = 0x2;
constexpr unsigned OS_OFN_HIDEREADONLY = 0x4;
constexpr unsigned OS_OFN_ALLOWMULTISELECT = 0x200;
constexpr unsigned OS_OFN_PATHMUSTEXIST = 0x800;
constexpr unsigned OS_OFN_FILEMUSTEXIST = 0x1000;
constexpr unsigned OS_OFN_CREATEPROMPT = 0x2000;
constexpr unsigned OS_OFN_EXPLORER = 0x80000;

// Extended errors of the common dialogs; 0 is a plain cancel.
constexpr std::uint32_t OS_CDERR_DIALOGFAILURE = 0xFFFF;
constexpr std::uint32_t OS_FNERR_INVALIDFILENAME = 0x3002;
constexpr std::uint32_t OS_FNERR_BUFFERTOOSMALL = 0x3003;
constexpr std::uint32_t OS_PDERR_NODEFAULTPRN = 0x1008;

struct OsFileFilter {
    std::string description;
    std::string pattern;   // patterns separated by ";"
};

// A page set-up, in thousandths of an inch (units 0) or hundredths of a
// millimetre (units 1).
struct OsPageSetup {
    int units = 1;
    int paper_width = 0, paper_height = 0;    // as oriented
    int left = 0, top = 0, right = 0, bottom = 0;
    int orientation = 0;                      // 0 portrait, 1 landscape
    int copies = 1;
    int paper_code = 0;                       // numeric paper code (docs/platform.md)
    std::string driver, device, port;         // driver, printer and port names
    int colours = 0;                          // colours the printer shows
    // Printer settings of the page, as the printer opening reads them.
    int prLength = 0, prWidth = 0;            // paper length and width, tenths of a millimetre
    int prScale = 100, prSource = 0, prQuality = 0, prSize = 0, prColor = 0, prDuplex = 1, prYRes = 0,
        prTTOption = 0, prCollate = 0, prMedia = 0, prDither = 0;
};

struct OsCommonDialogRequest {
    OsCommonDialogKind kind = OsCommonDialogKind::Open;
    std::string title;
    int round = 1;                            // 2, 3, ... when asked again after a refused answer
    // File dialogs.
    std::vector<OsFileFilter> filters;
    int filter_index = 1;                     // 1-based; 0 without filters
    unsigned flags = 0;                       // OS_OFN_*
    bool add_extension = false;               // append the chosen filter's extension to a bare name
    std::string directory;                    // initial directory (folder: the caller's path)
    std::string name;                         // proposed file name
    std::size_t buffer_length = 0;            // room for the result, terminators included
    // Colour dialog.
    std::uint32_t colour = 0;                 // packed RGB
    std::array<std::uint32_t, 16> custom{};
    // Page set-up.
    OsPageSetup page;
};

struct OsCommonDialogAnswer {
    bool ok = false;
    std::uint32_t error = 0;                  // extended error when not ok; 0 a plain cancel
    // File dialogs: the chosen names, each a full path or a name in
    // `directory`, the directory the user was in, the filter chosen.
    std::vector<std::string> files;
    std::string directory;                    // folder dialog: the typed or chosen path
    int filter_index = 0;
    std::uint32_t colour = 0;
    std::array<std::uint32_t, 16> custom{};
    OsPageSetup page;
};

using OsCommonDialogResponder = std::function<OsCommonDialogAnswer(const OsCommonDialogRequest&)>;

// Installs a responder (an empty function removes it).
void os_common_dialog_set_responder(OsCommonDialogResponder responder);
// The next dialog shown for real (even offscreen) is drawn, written to this
// PNG file and cancelled. For looking at the dialogs in tests.
void os_common_dialog_grab_next(const std::string& utf8_png);

// Open or save dialog. On OK the result is the full path of the file or,
// with several files chosen, the directory followed by the names, each
// ended by a NUL; the current directory becomes the directory the user
// chose from. filter_index comes back as the filter chosen. false: error
// holds the extended error (0 a plain cancel).
bool os_file_dialog(const OsCommonDialogRequest& request, std::string& result, int& filter_index,
                    std::uint32_t& error);

// Colour dialog, fully opened: colour and custom colours in and out.
bool os_colour_dialog(std::uint32_t& colour, std::array<std::uint32_t, 16>& custom, std::uint32_t& error);

// Folder dialog with a typed path. accept sees the path of every OK and
// answers whether the dialog may end (it may show messages and change
// the path); with allow_missing the dialog itself lets a path that does
// not exist through to it. path holds the last accepted path. 1 OK, 2
// cancelled.
int os_folder_dialog(const std::string& title, std::string& path, bool allow_missing,
                     const std::function<bool(std::string& path)>& accept);

// The default printer's page set-up in setup.units, without showing
// anything: the configured printer, or the PDF printer that stands in when
// there is none.
bool os_page_setup_defaults(OsPageSetup& setup);
// Shows the page set-up starting from setup; OK fills it with the choice.
bool os_page_setup_dialog(OsPageSetup& setup, std::uint32_t& error);
