// The options entry of the Windows printer, the image print options and
// the window dump that reads them. The page set-up and the snapshots are
// scripted; the printer is the PDF printer of the test machine. The
// library's own set-up dialogs: setup_dialogs_test.cpp.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/screen.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/hardcopy/metafiles.h"
#include "lib/dialog/commondlg.h"
#include "lib/hardcopy/pending.h"
#include "lib/window/errors.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "lib/window/startup.h"
#include "lib/window/text.h"
#include "platform/os_app.h"
#include "platform/os_gdi.h"
#include "platform/os_commondlg.h"
#include "platform/os_config.h"
#include "tests/support/graphics_test.h"

namespace {

bool have_gs() { return std::system("command -v gs >/dev/null 2>&1") == 0; }

// What the scripted routines saw and answer.
struct Script {
    std::vector<std::string> calls;
    // width, height, left, top, orientation, copies and the dialog's units
    // (0 inches, 1 millimetres) the page set-up was shown with
    std::vector<std::int32_t> dialog_in;
    std::vector<std::int32_t> dialog_out;   // the same order, then the colours; empty: cancelled
    std::int32_t snapshot_status = 0;
};
Script script;

void install_script() {
    HardcopyPending& p = hardcopy_pending;
    p.yygetwindowbitmap = [](std::int32_t mode, std::int32_t, std::int32_t& status) {
        script.calls.push_back("snapshot " + std::to_string(mode));
        status = mode == 1 ? script.snapshot_status : 0;
    };
    os_common_dialog_set_responder([](const OsCommonDialogRequest& rq) {
        OsCommonDialogAnswer a;
        if (rq.kind != OsCommonDialogKind::PageSetup) return a;
        script.calls.push_back("page set-up");
        const OsPageSetup& s = rq.page;
        script.dialog_in = {s.paper_width - s.left - s.right, s.paper_height - s.top - s.bottom, s.left, s.top,
                            s.orientation, s.copies, s.units};
        a.ok = !script.dialog_out.empty();
        if (a.ok) {
            const auto& d = script.dialog_out;
            a.page = s;
            a.page.left = d[2], a.page.top = d[3];
            a.page.right = s.paper_width - d[0] - d[2], a.page.bottom = s.paper_height - d[1] - d[3];
            a.page.orientation = d[4], a.page.copies = d[5], a.page.colours = d[7];
        }
        return a;
    });
}

class HardcopySetup : public GraphicsTest {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        // Where inches are used the PDF printer's paper is Letter, whose
        // sizes these cases hold.
        os_config().measurement_system = 1;
        script = Script{};
        install_script();
        igrinit();
        hcstate.PrinterAvailable = 1;
        infoerror(1);
    }
};

TEST_F(HardcopySetup, NoDriverAnsweredYet) {
    gstate.hc.active_driver = 0;
    igrhardcopy("probe.out");   // a start probes, which answers nothing else
    igrhardcopy("S");
    gstate.hc.active_driver = 0;
    WHardcopyOptions(1);
    EXPECT_EQ(infoerror(1), 46);
    EXPECT_TRUE(script.calls.empty());
}

TEST_F(HardcopySetup, WindowsPrinterWithoutAPrinter) {
    hcstate.PrinterAvailable = 0;
    WHardcopyOptions(1);
    EXPECT_EQ(infoerror(1), 63);
    EXPECT_EQ(script.calls, (std::vector<std::string>{"snapshot 1", "snapshot 0"}));
}

TEST_F(HardcopySetup, PageSetUpInThousandthsOfAnInchAndBack) {
    for (auto [code, value] : {std::pair{1, 595}, {2, 842}, {3, 36}, {4, 18}, {5, 0}, {8, 2}})
        gstate.hc.options.set(code, value);
    gstate.hc.colour_count = 256;
    script.dialog_out = {8263, 11694, 500, 250, 1, 3, 0, 2};
    WHardcopyOptions(1);
    EXPECT_EQ(script.dialog_in, (std::vector<std::int32_t>{8263, 11694, 500, 250, 0, 2, 0}));
    EXPECT_EQ(hardcopy_pending.dialog_result(), 1);
    const std::pair<int, int> expected[] = {{1, 595}, {2, 842}, {3, 36}, {4, 18}, {5, 1}, {8, 3}, {7, 1}};
    for (auto [code, value] : expected) EXPECT_EQ(gstate.hc.options.get(code), value) << code;
    EXPECT_EQ(gstate.hc.colour_count, 2);

    // A colour printer afterwards clears option 7; the same colour count
    // again leaves it.
    script.dialog_out[7] = 16;
    WHardcopyOptions(1);
    EXPECT_EQ(gstate.hc.options.get(7), 0);
    gstate.hc.options.set(7, 5);
    WHardcopyOptions(1);
    EXPECT_EQ(gstate.hc.options.get(7), 5);

    // Millimetres: hundredths of a millimetre per point.
    WHardcopyOptions(-3);
    EXPECT_EQ(script.dialog_in[0], 20990);   // 595 points
    EXPECT_EQ(script.dialog_in[6], 1);

    // Cancelled: nothing changes.
    script.dialog_out.clear();
    const HardcopyOptionTable before = gstate.hc.options;
    WHardcopyOptions(0);
    EXPECT_EQ(hardcopy_pending.dialog_result(), 0);
    EXPECT_EQ(gstate.hc.options.slots, before.slots);
}

TEST_F(HardcopySetup, ImagePrintDevices) {
    struct Case {
        std::optional<int> driver;
        int printer_model;
        int device;
        std::vector<std::int32_t> page;   // codes 1..5 and 8
        int limit;                        // code 24
        std::string name;
        bool query;
    };
    const std::vector<Case> cases = {
        {std::nullopt, 28, 10, {648, 468, 72, 72, 1, 1}, 2, "", true},
        {0, 28, 10, {648, 468, 72, 72, 1, 1}, 2, "", true},
        {3, 13, 10, {648, 468, 72, 72, 1, 1}, 1, "", true},
        {10, 28, 10, {648, 468, 72, 72, 1, 1}, 2, "", true},
        {2, 28, 2, {756, 540, 42, -20, 1, 1}, 2, "zerizazo.ps", false},
        {4, 28, 4, {576, 432, 100, 70, 1, 1}, 2, "zerizazo.prn", false},
        {4, 5, 4, {576, 432, 0, 0, 0, 1}, 0, "zerizazo.prn", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.driver.value_or(-1));
        iprinter(c.printer_model);
        hcstate.PaperLong = hcstate.PaperShort = 0;
        hcstate.PrinterAvailable = 7;   // kept when there is no query
        txt_set(hcstate.PrintImageFileName, "");
        igrprintimageselect(c.driver);
        const ImagePrintTable& t = hcstate.ImagePrintOptions;
        EXPECT_EQ(t.ImagePrintDriver, c.device);
        EXPECT_EQ((std::vector<std::int32_t>{t.get(1), t.get(2), t.get(3), t.get(4), t.get(5), t.get(8)}), c.page);
        EXPECT_EQ((std::vector<std::int32_t>{t.get(6), t.get(7), t.get(13), t.get(19), t.get(20), t.get(24)}),
                  (std::vector<std::int32_t>{0, 1, 0, 3, 0, c.limit}));
        EXPECT_EQ(hcstate.PrinterAvailable, c.query ? 1 : 7);
        EXPECT_EQ(txt_c(hcstate.PrintImageFileName), c.name);
        EXPECT_EQ(std::make_pair(hcstate.PaperLong, hcstate.PaperShort),
                  c.query ? std::make_pair(792, 612) : std::make_pair(0, 0));
    }
    // A failed query: the machine's printer is not there.
    os_config().printer_name = "Absent printer,CUPS,lp";
    wtab.GotPrName = 0;
    igrprintimageselect();
    EXPECT_EQ(hcstate.PrinterAvailable, 0);
    EXPECT_EQ(hcstate.ImagePrintOptions.get(1), 0);
    // WInfoFilename item 1 is the print-image name.
    igrprintimageselect(2);
    std::string name(20, 'x');
    WInfoFilename(1, name);
    EXPECT_EQ(txt_c(name), "zerizazo.ps");
}

TEST_F(HardcopySetup, WindowDumpPrintsTheImagePage) {
    TempDir dir(true);
    txt_set(DriverText, "dump");
    hcstate.PrinterAvailable = 0;
    yygapi(OpEndPage);
    EXPECT_EQ(infoerror(1), 1);
    EXPECT_FALSE(std::filesystem::exists("dump.pdf"));
    // The window's picture is a memory surface here.
    wtab.gDC = os_create_compatible_dc(0);
    os_select_object(wtab.gDC, os_create_compatible_bitmap(wtab.gDC, 400, 300));
    // A white picture with a red block over its left half.
    os_select_object(wtab.gDC, os_create_solid_brush(0xFFFFFF));
    os_rectangle(wtab.gDC, -1, -1, 401, 301);
    os_select_object(wtab.gDC, os_create_solid_brush(0x0000FF));
    os_rectangle(wtab.gDC, -1, -1, 200, 301);
    igrprintimageselect();   // the printer query finds the printer
    igrprintimageselect(2);
    EXPECT_EQ(hcstate.PrinterAvailable, 1);
    yygapi(OpEndPage);
    EXPECT_EQ(infoerror(1), 0);
    ASSERT_GT(std::filesystem::file_size("dump.pdf"), 0u);
    // Drawn by ghostscript, the page shows the picture: red on the left of
    // the picture, white on its right, and nothing on the rest of the page.
    if (!have_gs()) GTEST_SKIP() << "ghostscript is not installed";
    ASSERT_EQ(std::system("gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ppmraw -r20 -sOutputFile=dump.ppm dump.pdf"), 0);
    const std::string ppm = read_file("dump.ppm");
    // The header: "P6", width, height, maximum, each perhaps after comment lines.
    std::size_t start = 0;
    std::vector<int> header;
    while (header.size() < 4 && start < ppm.size()) {
        const std::size_t end = ppm.find('\n', start);
        if (end == std::string::npos) break;
        const std::string line = ppm.substr(start, end - start);
        start = end + 1;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word) header.push_back(word == "P6" ? 6 : std::atoi(word.c_str()));
    }
    ASSERT_EQ(header.size(), 4u) << ppm.substr(0, 80);
    const int w = header[1], h = header[2];
    ASSERT_EQ(ppm.size(), start + static_cast<std::size_t>(3 * w * h));
    long red = 0, dark = 0;
    for (std::size_t i = start; i + 2 < ppm.size(); i += 3) {
        const int r = static_cast<unsigned char>(ppm[i]), g = static_cast<unsigned char>(ppm[i + 1]),
                  b = static_cast<unsigned char>(ppm[i + 2]);
        if (r > 200 && g < 60 && b < 60) ++red;
        else if (r + g + b < 600) ++dark;
    }
    EXPECT_GT(red, static_cast<long>(w) * h / 50) << "the picture is not on the page";
    EXPECT_LT(dark, static_cast<long>(w) * h / 100) << "the page holds more than the picture";
}

}  // namespace

namespace {

// The printer's words as the library's readers see them.
struct PrinterWords {
    std::int32_t available = 0, paper_long = 0, paper_short = 0, image_driver = 0;
    std::array<std::int32_t, 24> image_codes{};
    std::string type, driver, port;
    std::int32_t got_name = 0, dialog_shown = 0, size = 0, media = 0;
    bool operator==(const PrinterWords&) const = default;
};

PrinterWords printer_words() {
    const WindowTable::PageSetupChoices& c = wtab.page_setup;
    return {hcstate.PrinterAvailable, hcstate.PaperLong, hcstate.PaperShort,
            hcstate.ImagePrintOptions.ImagePrintDriver, hcstate.ImagePrintOptions.codes,
            wtab.lpPrintType, wtab.lpPrintDriver, wtab.lpPrintPort, wtab.GotPrName, wtab.PageDlgShown, c.prSize,
            c.prMedia};
}

class StartPrinter : public QuindaTest {
protected:
    // A fresh process's start on a machine whose default printer's entry is
    // PRINTER (empty: the PDF printer).
    static void start(const std::string& printer) {
        reset_all_state();
        os_config().measurement_system = 1;
        os_config().printer_name = printer;
        winitialise(" ");
        igrinit();
    }
    TempDir dir{true};
    ScopedEnv quinda_{"QUINDA", std::nullopt};
    ScopedEnv varn_{"VARN", std::nullopt};
    ScopedEnv init_{"QUININIT", std::nullopt};
};

std::string file_bytes(const std::string& name) {
    std::ifstream f(name, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

// The start chooses the Windows printer for image prints without asking the
// machine for its printer; the first thing that needs the printer asks, and
// everything read afterwards is what the start's own query would have left.
TEST_F(StartPrinter, AskedOnlyWhenFirstNeededWithTheValuesOfAnAskingStart) {
    struct Action {
        const char* what;
        std::function<std::string()> run;   // what it made, to compare
    };
    auto print = [](int driver, const char* file) {
        igrhardcopyselect(1, driver);
        if (driver == DriverWindowsMetafile) igrhardcopyoptions(27, 2);
        IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
        igrhardcopy(file, "job");
        igrjoin(0.1f, 0.1f, 0.9f, 0.9f);
        igrhardcopy("S");
        return std::to_string(infoerror(1)) + " " + file_bytes(file);
    };
    const std::vector<Action> actions = {
        {"the printer's words read", [] { settle_printer_query(); return std::string(); }},
        {"the Windows printer chosen",
         [] {
             igrhardcopyselect(1, DriverWindowsPrinter);
             std::string o;
             for (int code : {1, 2, 3, 4, 5, 7, 8}) o += std::to_string(gstate.hc.options.get(code)) + " ";
             return o + std::to_string(gstate.hc.colour_count);
         }},
        {"a print", [&] { return print(DriverWindowsPrinter, "job.pdf").substr(0, 2); }},
        {"its page set-up, cancelled",
         [] {
             igrhardcopyselect(1, DriverWindowsPrinter);
             os_common_dialog_set_responder([](const OsCommonDialogRequest&) { return OsCommonDialogAnswer{}; });
             WHardcopyOptions(0);
             os_common_dialog_set_responder({});
             return std::to_string(hardcopy_pending.dialog_result());
         }},
        {"image prints on PostScript", [] { igrprintimageselect(2); return std::string(); }},
        {"an enhanced metafile", [&] { return print(DriverWindowsMetafile, "pic.emf"); }},
        {"a memory metafile",
         [] {
             int w = 0, h = 0;
             yymetafilecreate(0, 756, 540, w, h);
             return std::to_string(w) + " " + std::to_string(h);
         }},
    };
    for (const std::string printer : {"", "Absent printer,CUPS,lp"}) {
        for (const Action& a : actions) {
            SCOPED_TRACE(std::string(a.what) + " on '" + printer + "'");
            // The start as it was: the printer asked at once, by the image
            // print choice and by the hardcopy device's initialisation.
            const int eager_before = os_app_printer_name_asks();
            start(printer);
            settle_printer_query();
            const int eager_start = os_app_printer_name_asks() - eager_before;
            const std::string asked_made = a.run();
            const int eager_asks = os_app_printer_name_asks() - eager_before;
            const PrinterWords asked = printer_words();
            EXPECT_EQ(eager_start, 1);

            const int before = os_app_printer_name_asks();
            start(printer);
            EXPECT_EQ(os_app_printer_name_asks(), before);
            EXPECT_EQ(hcstate.ImagePrintOptions.ImagePrintDriver, DriverWindowsPrinter);
            EXPECT_EQ(hcstate.printer_query_pending, PendingImagePrinter | PendingPrinterPage);
            EXPECT_EQ(a.run(), asked_made);
            EXPECT_EQ(os_app_printer_name_asks() - before, eager_asks);
            EXPECT_EQ(hcstate.printer_query_pending, 0);
            EXPECT_EQ(printer_words(), asked);
        }
    }
}
