// The common dialogs over the platform's dialogs, with the library's own
// conventions: filter texts, flags, the initial directory taken from the
// file name, the current directory restored afterwards.
#include "lib/dialog/commondlg.h"

#include <algorithm>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/dialog/dialog.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "lib/window/wininfo.h"
#include "platform/os_config.h"
#include "platform/os_file.h"
#include "platform/os_msgbox.h"
#include "platform/os_resource.h"
#include "platform/os_window.h"

CommonDialogState commondlg;

void reset_common_dialogs() {
    commondlg = CommonDialogState{};
    os_common_dialog_set_responder({});
}

namespace {

constexpr std::size_t TitleMax = 256;
constexpr std::size_t FilterMax = 1000;
constexpr std::size_t ResourceFilterMax = 1001;
constexpr std::size_t TypedPathMax = 259;

// Snapshots of the shown windows while a dialog is up; an error is reported
// under the routine's name and does not stop the dialog.
void snapshots(std::int32_t mode, std::string_view name) {
    std::int32_t status = 0;
    yygetwindowbitmap(mode, -1, status);
    if (status != 0) yyerror(status, name);
}

// Splits a filter text at its last character into description-pattern pairs.
std::vector<OsFileFilter> filter_pairs(std::string_view text) {
    std::vector<OsFileFilter> out;
    if (text.empty()) return out;
    const char sep = text.back();
    std::vector<std::string> parts;
    std::string cur;
    for (char c : text) {
        if (c == sep) {
            parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) out.push_back({parts[i], parts[i + 1]});
    return out;
}

std::string current_directory() {
    std::string dir;
    int status = 0, too_small = 0;
    yydirn(dir, status, too_small, static_cast<int>(MaxPath) + 1);
    return dir;
}

}  // namespace

// ---- file ------------------------------------------------------------------

void yysplitp(std::string& path, std::string& name) {
    // Left-justified and without trailing blanks.
    std::string_view p(path);
    const std::size_t first = p.find_first_not_of(' ');
    const std::string whole = first == std::string_view::npos ? std::string() : std::string(txt_trim(p.substr(first)));
    const std::size_t n = whole.size();
    std::string dir, file;
    if (n >= 2 && whole.compare(n - 2, 2, "..") == 0) {
        dir = whole;
    } else {
        const std::size_t k = whole.rfind('/');
        if (k == std::string::npos) {
            file = whole;
        } else if (k == n - 1) {
            // "/" stays the root; "/data/" is the directory "/data".
            dir = whole.find('/') < k ? whole.substr(0, k) : whole;
        } else {
            file = whole.substr(k + 1);
            // A name in the root keeps the root as its directory.
            dir = k == 0 ? std::string("/") : whole.substr(0, k);
        }
    }
    txt_set(path, dir);
    txt_set(name, file);
}

void yygetfiledialog(std::int32_t filter_id, std::int32_t& filter_index, bool save, bool prompt,
                     bool path_may_be_missing, bool multiple, bool extension, bool must_exist,
                     std::int32_t& result, std::int32_t& extended_error, std::string_view title,
                     std::string& buffer, std::string_view directory, std::string_view filter) {
    std::string text;
    if (filter_id == -1) {
        text = std::string(filter);
    } else if (filter_id > 0) {
        os_resource_string(filter_id, text);
        if (text.size() > ResourceFilterMax) text.resize(ResourceFilterMax);
    }
    OsCommonDialogRequest rq;
    rq.kind = save ? OsCommonDialogKind::Save : OsCommonDialogKind::Open;
    rq.title = std::string(title);
    rq.filters = filter_pairs(text);
    rq.filter_index = rq.filters.empty() ? 0 : filter_index;
    rq.flags = OS_OFN_HIDEREADONLY;
    if (!path_may_be_missing) rq.flags |= OS_OFN_PATHMUSTEXIST;
    if (!save) {
        if (must_exist) rq.flags |= OS_OFN_FILEMUSTEXIST;
        else if (prompt) rq.flags |= OS_OFN_CREATEPROMPT;
        if (multiple) rq.flags |= OS_OFN_EXPLORER | OS_OFN_ALLOWMULTISELECT;
    } else if (prompt) {
        rq.flags |= OS_OFN_OVERWRITEPROMPT;
    }
    rq.add_extension = extension;
    rq.directory = std::string(directory);
    rq.name = buffer.substr(0, buffer.find('\0'));
    rq.buffer_length = buffer.size();
    std::string chosen;
    int index = rq.filter_index;
    std::uint32_t error = 0;
    bool ok = false;
    {
        ModalFrame frame;
        ok = os_file_dialog(rq, chosen, index, error);
    }
    if (ok) {
        result = 1;
        extended_error = 0;
        filter_index = rq.filters.empty() ? 0 : index;
        buffer = chosen;
    } else {
        result = 0;
        extended_error = static_cast<std::int32_t>(error);
    }
}

void yywsfile(std::int32_t filter_id, std::string_view filter, std::int32_t flags, std::string& name,
              std::string_view title, std::int32_t& filter_index, std::int32_t snapshot) {
    if (snapshot == 1) snapshots(1, "WSelectFile");
    const bool save = (flags & FileSave) != 0;
    // The directory and the proposed name, from the first 256 characters.
    std::string dir = name.substr(0, std::min<std::size_t>(name.size(), 256));
    std::string file(dir.size(), ' ');
    yysplitp(dir, file);
    std::string buffer(name.size(), '\0');
    const std::string proposed = txt_c(file);
    std::copy_n(proposed.begin(), std::min(proposed.size(), buffer.size()), buffer.begin());
    buffer.resize(name.size());
    const std::string cwd = current_directory();
    std::string initial = txt_c(dir).substr(0, 256);
    if (initial.empty()) initial = cwd;
    std::string caption = std::string(txt_trim(title.substr(0, std::min<std::size_t>(title.size(), TitleMax))));
    if (caption.empty()) caption = "Select File";

    std::int32_t result = 0, error = 0;
    // A name wider than the caller's variable cannot be handed back: the
    // buffer is the variable's size, so the dialog refuses it.
    std::string chosen = buffer;
    yygetfiledialog(filter_id, filter_index, save, (flags & FilePrompt) != 0, (flags & FilePathMayBeMissing) != 0,
                    !save && (flags & FileMultiple) != 0, (flags & FileAddExtension) != 0,
                    (flags & FileMustExist) != 0, result, error, caption, chosen, initial, filter);
    if (result == 1)
        txt_set(name, chosen);
    else if (error > 0)
        yyerror(1004, "WSelectFile");
    if (!((flags & FileKeepDirectory) && result == 1)) {
        int status = 0;
        yydirc(cwd, status);
    }
    if (snapshot == 1) snapshots(0, "WSelectFile");
    dialog_state.exit_field = 0;
    dialog_state.last_result = result;
}

void WSelectFile(std::string_view filter, std::int32_t flags, std::string& name, std::string_view title,
                 std::int32_t* filter_index) {
    std::string_view f = txt_trim(filter);
    if (f.size() > FilterMax) f = f.substr(0, FilterMax);
    std::int32_t index = filter_index ? *filter_index : 1;
    yywsfile(-1, f, flags, name, title.substr(0, std::min<std::size_t>(title.size(), TitleMax)), index, 1);
    if (filter_index) *filter_index = index;
}

// ---- colour ----------------------------------------------------------------

void yygetrgbdialog(std::int32_t& red, std::int32_t& green, std::int32_t& blue, std::int32_t& result,
                    std::int32_t& extended_error) {
    if (!commondlg.custom_taken) {
        for (std::size_t i = 0; i < commondlg.custom.size(); ++i)
            commondlg.custom[i] = static_cast<std::uint32_t>(wtab.wColor[i]) & 0xFFFFFF;
        commondlg.custom_taken = true;
    }
    auto mod256 = [](std::int32_t v) { return static_cast<std::uint32_t>(((v % 256) + 256) % 256); };
    std::uint32_t colour = mod256(red) | (mod256(green) << 8) | (mod256(blue) << 16);
    std::uint32_t error = 0;
    bool ok = false;
    {
        ModalFrame frame;
        ok = os_colour_dialog(colour, commondlg.custom, error);
    }
    if (ok) {
        red = static_cast<std::int32_t>(colour & 0xFF);
        green = static_cast<std::int32_t>((colour >> 8) & 0xFF);
        blue = static_cast<std::int32_t>((colour >> 16) & 0xFF);
        result = 1;
        extended_error = 0;
    } else {
        result = 0;
        extended_error = static_cast<std::int32_t>(error);
    }
}

void WSelectColour(std::int32_t& colour) {
    snapshots(1, "WSelectColour");
    std::int32_t r = 0, g = 0, b = 0;
    wrgbsplit(colour, &r, &g, &b);
    std::int32_t result = 0, error = 0;
    yygetrgbdialog(r, g, b, result, error);
    if (result == 1)
        colour = wrgb(r, g, b);
    else if (error > 0)
        yyerror(1004, "WSelectColour");
    snapshots(0, "WSelectColour");
    dialog_state.exit_field = 0;
    dialog_state.last_result = result;
}

// ---- page set-up -----------------------------------------------------------

void yygetmeasure(std::int32_t& units) { units = os_config().measurement_system == 1 ? 1 : 2; }

void yypagedlgreset() { wtab.PageDlgShown = 0; }

namespace {

// A length from one set of units to the other (0 thousandths of an inch, 1 hundredths of a millimetre).
std::int32_t convert_units(std::int32_t v, int from, int to) {
    if (from == to) return v;
    const double mm = from == 0 ? v * 25.4 / 1000.0 : v / 100.0;
    return static_cast<std::int32_t>(to == 0 ? mm / 25.4 * 1000.0 + 0.5 : mm * 100.0 + 0.5);
}

void convert_setup(OsPageSetup& s, int to) {
    for (int* v : {&s.paper_width, &s.paper_height, &s.left, &s.top, &s.right, &s.bottom})
        *v = convert_units(*v, s.units, to);
    s.units = to;
}

}  // namespace

void yyprintdialog(std::int32_t& paper_width, std::int32_t& paper_height, std::int32_t& width, std::int32_t& height,
                   std::int32_t& left, std::int32_t& top, std::int32_t& orientation, std::int32_t& copies,
                   std::int32_t units, std::int32_t& colours, std::int32_t& result) {
    const int u = units < 2 ? 0 : 1;
    // 6. The active dialog is the same afterwards, whatever the dialog did.
    struct KeepActive {
        OsHandle kept = dlgtab.hDlgCur;
        ~KeepActive() { dlgtab.hDlgCur = kept; }
    } keep_active;
    // 1. The default printer's settings, or those confirmed last.
    if (wtab.PageDlgShown == 0 || !commondlg.have_printer) {
        commondlg.have_printer = false;
        OsPageSetup s;
        s.units = u;
        if (!os_page_setup_defaults(s)) {
            result = 0;
            return;
        }
        commondlg.printer = s;
        commondlg.have_printer = true;
    } else if (commondlg.units != u) {
        // New units: the kept paper restated, nothing shown.
        convert_setup(commondlg.printer, u);
    }
    commondlg.units = u;
    OsPageSetup s = commondlg.printer;
    if (s.units != u) convert_setup(s, u);
    // 2. Orientation and copies as given.
    const std::int32_t orient = orientation == 1 ? 1 : 0;
    if (s.orientation != orient) {
        std::swap(s.paper_width, s.paper_height);
        s.orientation = orient;
    }
    s.copies = copies;
    // 3. Margins from the printable size.
    s.left = left;
    s.top = top;
    s.right = s.paper_width - width - left;
    s.bottom = s.paper_height - height - top;
    // 4. The dialog.
    std::uint32_t error = 0;
    bool ok = false;
    {
        ModalFrame frame;
        ok = os_page_setup_dialog(s, error);
    }
    if (!ok) {
        result = 0;
        return;
    }
    // 5. Confirmed: kept, returned and copied for the printer opening.
    commondlg.printer = s;
    paper_width = s.paper_width;
    paper_height = s.paper_height;
    width = s.paper_width - s.left - s.right;
    height = s.paper_height - s.top - s.bottom;
    left = s.left;
    top = s.top;
    orientation = s.orientation;
    copies = s.copies;
    // The job opened next prints on this printer with these choices.
    auto& c = wtab.page_setup;
    auto word = [](int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); };
    c.prLength = word(s.prLength);
    c.prWidth = word(s.prWidth);
    c.prScale = word(s.prScale);
    c.prSource = word(s.prSource);
    c.prQuality = word(s.prQuality);
    c.prSize = word(s.prSize);
    c.prColor = word(s.prColor);
    c.prDuplex = word(s.prDuplex);
    c.prYRes = word(s.prYRes);
    c.prTTOption = word(s.prTTOption);
    c.prCollate = word(s.prCollate);
    c.prMedia = s.prMedia;
    c.prDither = s.prDither;
    wtab.lpPrintDriver = s.driver.substr(0, 31);
    wtab.lpPrintType = s.device.substr(0, 259);
    wtab.lpPrintPort = s.port.substr(0, 259);
    wtab.PageDlgShown = 1;
    if (s.colours > 0) colours = s.colours;
    result = 1;
}

// ---- folder ----------------------------------------------------------------

void yyBrowseCallbackProc1(const std::string& path) {
    if (commondlg.DirSelect.buffer) txt_set(*commondlg.DirSelect.buffer, path);
}

bool yyBrowseCallbackProc2(std::string& typed) {
    auto& ds = commondlg.DirSelect;
    if (typed.size() > TypedPathMax) typed.resize(TypedPathMax);
    auto invalid = [](const char* text) {
        os_message_box(text, "Invalid Directory", OS_MB_OK | OS_MB_ICONEXCLAMATION);
        return false;
    };
    // A path that does not fit the caller's buffer would come back cut: not a path the caller can use.
    if (static_cast<std::int32_t>(typed.size()) > ds.length)
        return invalid("The specified path is not a valid directory name.\nSpecify a valid directory.");
    yyBrowseCallbackProc1(typed);
    OsFileInfo info;
    const bool there = os_file_info(typed, info) == 0;
    if (!there) {
        if (ds.flags & FolderOfferCreate) {
            if (os_message_box("The specified directory does not exist.\nDo you wish to create it?", "Create Directory?",
                               OS_MB_YESNO | OS_MB_ICONQUESTION) != OS_IDYES)
                return false;
            int status = 0;
            yydirm(typed, status);
            if (status != 0) {
                os_message_box("An error occurred creating\nthe specified directory.", "Error",
                               OS_MB_OK | OS_MB_ICONEXCLAMATION);
                return false;
            }
            return true;
        }
        if (ds.flags & FolderAcceptMissing) return true;
        return invalid("The specified directory does not exist.\nSpecify a valid directory.");
    }
    if (!(info.attributes & 0x10))
        return invalid("The specified path is not a valid directory name.\nSpecify a valid directory.");
    return true;
}

void yyselectdir(std::int32_t title_flag, std::int32_t& result, std::int32_t flags, std::string& directory,
                 std::string_view title, std::int32_t length) {
    auto& ds = commondlg.DirSelect;
    ds.buffer = &directory;
    ds.length = std::min<std::int32_t>(length, static_cast<std::int32_t>(directory.size()));
    ds.title = title_flag == 1 ? txt_c(title) : std::string("Select Directory");
    ds.flags = flags;
    std::string path = txt_c(directory);
    {
        ModalFrame frame;
        const bool allow_missing = (flags & (FolderAcceptMissing | FolderOfferCreate)) != 0;
        result = os_folder_dialog(ds.title, path, allow_missing, yyBrowseCallbackProc2) == 1 ? 1 : 2;
    }
    ds.buffer = nullptr;
}

// ---- placing ---------------------------------------------------------------

void yygetwindlgpos(std::int32_t slot, std::int32_t, std::int32_t, std::int32_t& x, std::int32_t& y) {
    OsHandle w = 0;
    if (slot >= 0 && slot <= MaxChildWindows) {
        w = wtab.hClient[static_cast<std::size_t>(slot)];
    } else {
        w = dlgtab.hDlgCur ? dlgtab.hDlgCur : wtab.hWinCur;
        // Up through frames inside client areas: the frame and its parent client at a time.
        while (w && (os_get_style(w) & OS_WS_CHILD)) w = os_get_parent(os_get_parent(w));
    }
    OsPoint p{0, 0};
    os_client_to_screen(w, p);
    x = p.x;
    y = p.y;
}

void yyshowcd(std::int32_t focus, std::int32_t mode, std::int32_t slot) {
    std::int32_t x = 0, y = 0;
    yygetwindlgpos(slot, 0, 0, x, y);
    std::int32_t m = mode;
    yydialogshowexit(x, y, x, y, m, focus);
}
