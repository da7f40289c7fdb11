// A modeller's first hour with the sample model, driven through the real
// windows: menus, dialogs, keys, clicks, file dialogs and close boxes. After
// each step the files written and the program's state are checked, and the
// files are read by the programs that read them elsewhere.
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/mainstate.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_dialog.h"
#include "platform/os_window.h"
#include "tests/app/person_support.h"

namespace {

using Steps = std::vector<OsUserStep>;

// Head of aquifer 2 in the Options dialog.
constexpr int HeadOfAquifer2 = 1020;

std::string status(int part) { return AppWindowTest::status_text(part); }

// The share of a rectangle of the map's pixels that are black.
double black_share(int x0, int y0, int x1, int y1) {
    int black = 0, all = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x, ++all)
            if ((os_surface_pixel(wtab.hClient[0], x, y) & 0xFFFFFF) == 0) ++black;
    return all ? static_cast<double>(black) / all : 0.0;
}

// The pixels written into the strip above the map (where prompts and
// notices go), left of where the profile window lies.
int strip_marks() {
    OsRect r{};
    os_get_client_rect(wtab.hClient[0], r);
    const std::int64_t back = os_surface_pixel(wtab.hClient[0], 2, 2);
    int marked = 0;
    for (int y = 0; y < r.bottom / 20; ++y)
        for (int x = 0; x < r.right / 2; ++x) marked += os_surface_pixel(wtab.hClient[0], x, y) != back;
    return marked;
}

class FirstHourTest : public PersonTest {
protected:
    // The batch conversion of a settings file in a copy of the samples; the
    // directory it ran in.
    static std::string batch(const std::string& ini) {
        const std::string d = std::filesystem::current_path().string() + "/batch";
        std::filesystem::create_directories(d);
        for (const auto& f : std::filesystem::directory_iterator(std::string(QUINDA_SOURCE_DIR) + "/samples"))
            std::filesystem::copy_file(f.path(), d + "/" + f.path().filename().string(),
                                       std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(ini, d + "/run.ini");
        const std::string cmd = "cd '" + d + "' && QT_QPA_PLATFORM=offscreen '" + ZELTRAMO_PROGRAM +
                                "' run.ini >/dev/null 2>stderr.txt";
        const int st = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(st) && WEXITSTATUS(st) == 0) << read_file(d + "/stderr.txt");
        return d;
    }
};

}  // namespace

TEST_F(FirstHourTest, TheSampleModelFromStartToEnd) {
    // The first session: the grids.
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        menu({"Options"}),
        click_field(102, HeadOfAquifer2),
        click_field(102, 1),
        check("only the head of aquifer 2 is active", [] {
            for (int k = 0; k < 52; ++k) EXPECT_EQ(dat5.opton(k) == 'j', k == 6) << k;
        }),
        menu({"Grid", "Surfer"}),
        click_field(101, 1),
        menu({"Calculation"}),
        check("the grid is calculated", [] {
            EXPECT_EQ(mainstate.showcontour, 1);
            EXPECT_NE(status(3).find("head 2nd aquifer"), std::string::npos) << status(3);
        }),
        grab("surfer-calculated"),
        menu({"Save", "2File"}),
        file("first.grd", "Save"),
        answer_if_asked("replace it", "Yes"),
        check("gdalinfo reads the Surfer grid", [] {
            ASSERT_FALSE(read_file("first.grd").empty());
            if (!have_program("gdalinfo")) GTEST_SKIP() << "gdalinfo is not installed";
            const std::string info = run_command("gdalinfo first.grd");
            EXPECT_NE(info.find("Driver: GSAG"), std::string::npos) << info;
            EXPECT_NE(info.find("Size is " + std::to_string(dat8.nx) + ", " + std::to_string(dat8.ny)),
                      std::string::npos) << info;
        }),
        menu({"Grid", "MODFLOW"}),
        type_field(104, 1047, "demo.delr"),
        type_field(104, 1048, "demo.delc"),
        type_field(104, 1049, "154990.89"),
        type_field(104, 1050, "462991.47"),
        click_field(104, 1),
        menu({"Calculation"}),
        grab("modflow-calculated"),
        menu({"Save", "2File"}),
        file("first.mf", "Save"),
        answer_if_asked("replace it", "Yes"),
        check("the MODFLOW matrix", [] { EXPECT_FALSE(read_file("first.mf").empty()); }),
        menu({"End"}),
    });
    ASSERT_EQ(exits, std::vector<int>{0});

    // The same conversion in batch, from the settings the session left.
    {
        const std::string d = batch("zeltramo.ini");
        // The grid the batch run wrote: the one file there that is neither
        // a sample nor a settings file.
        std::string written;
        for (const auto& f : std::filesystem::directory_iterator(d)) {
            const std::string n = f.path().filename().string();
            if (!std::filesystem::exists(std::string(QUINDA_SOURCE_DIR) + "/samples/" + n) && n != "run.ini" &&
                n != "stderr.txt")
                written = f.path().string();
        }
        const std::string by_batch = read_file(written), by_hand = read_file("first.mf");
        EXPECT_TRUE(!by_hand.empty() && by_batch == by_hand)
            << "the batch run wrote " << by_batch.size() << " bytes, the session " << by_hand.size()
            << "; the settings:\n" << read_file("zeltramo.ini");
    }

    // The second session: the settings come back, then the rest of the hour.
    restart();
    Dat9 view;
    run(Steps{
        answer("Read default settings from ini file?", "Yes"),
        check("the MODFLOW grid came back whole", [] {
            EXPECT_EQ(dat18.gridtype, GridModflow);
            EXPECT_FLOAT_EQ(dat8.gx0, 154990.89f);
            EXPECT_FLOAT_EQ(dat8.gy0, 462991.47f);
            EXPECT_EQ(dat5.opton(6), 'j');
        }),
        menu({"Profile", "Graphical"}),
        idle("draw the profile line", [] { os_user_drag(map(), 150, 400, 500, 150); }),
        check("the profile window and its results file", [] {
            EXPECT_EQ(mainstate.profwin, 1);
            const std::string res = read_file(txt_c(mainstate.profname));
            ASSERT_FALSE(res.empty()) << txt_c(mainstate.profname);
            // The heads keep their decimals.
            EXPECT_TRUE(std::regex_search(res, std::regex("[0-9]\\.[0-9][0-9] *\r?\n"))) << res.substr(0, 400);
        }),
        grab("profile"),
        menu({"Plot", "Nodal areas"}),
        click_map(300, 250),
        check("the nearest node's area", [] {
            EXPECT_EQ(mainstate.shownodal, 1);
            EXPECT_TRUE(std::regex_search(status(4), std::regex("nodal area: +[0-9]+ +[1-9][0-9]*"))) << status(4);
        }),
        menu({"Plot", "Nodal areas"}),
        menu({"Intersect"}),
        type_field(108, 1101, "demo.ung"),
        type_field(108, 1105, "demo.att"),
        click_field(108, 1),
        check("the river parameter files", [] {
            EXPECT_EQ(mainstate.showriver, 1);
            EXPECT_FALSE(read_file("zeltramo.wat").empty());
        }),
        grab("intersect"),
        menu({"Flowlines"}),
        type_field(110, 1109, "demo.flw"),
        type_field(110, 1110, "flow.dxf"),
        click_field(110, 1056),
        click_field(110, 1003),
        check("ezdxf reads the flowlines", [] {
            ASSERT_FALSE(read_file("flow.dxf").empty());
            EXPECT_EQ(map_bln.mapon(4), 0) << "the flowlines switched a map layer on";
            if (!have_program("/usr/bin/python3") || run_command("/usr/bin/python3 -c 'import ezdxf'").find("Error") != std::string::npos)
                GTEST_SKIP() << "python3-ezdxf is not installed";
            const std::string out = run_command(
                "/usr/bin/python3 -c \"import ezdxf; d = ezdxf.readfile('flow.dxf'); print('entities', len(d.modelspace()))\"");
            EXPECT_TRUE(std::regex_search(out, std::regex("entities [1-9]"))) << out;
        }),
        grab("flowlines"),
        check("the map is not covered by filled shapes", [] {
            EXPECT_LT(black_share(100, 100, 600, 500), 0.05);
        }),
        check("the progress line is gone once the work is done", [] { EXPECT_EQ(strip_marks(), 0); }),
        menu({"Plot", "BLN map"}),
        idle("layer 4 off", [] {
            const OsWindow box = dialog_field(112, 1083);
            ASSERT_NE(box, 0);
            if (os_send_message(box, BM_GETCHECK, 0, 0) != 0) os_user_click_window(box);
        }),
        click_field(112, 1),
        check("layer 4 is off", [] { EXPECT_EQ(map_bln.mapon(4), 0); }),
        key(OS_VK_ADD, OS_IN_KEYPAD),
        key(OS_VK_ADD, OS_IN_KEYPAD),
        key(OS_VK_SUBTRACT, OS_IN_KEYPAD),
        grab("zoomed"),
        menu({"Make WMF"}),
        file("first.wmf", "Save"),
        answer_if_asked("replace it", "Yes"),
        check("wmf2svg reads the metafile", [] {
            ASSERT_FALSE(read_file("first.wmf").empty());
            if (!have_program("wmf2svg")) GTEST_SKIP() << "wmf2svg is not installed";
            const std::string svg = run_command("wmf2svg first.wmf");
            EXPECT_NE(svg.find("<svg"), std::string::npos) << svg.substr(0, 300);
        }),
        idle("remember the view", [&view] { view = dat9; }),
        menu({"Print"}),
        toolkit_dialog("", "OK"),
        check("the page is in a PDF file that the user is told of, and the view is the screen's again", [&view] {
            EXPECT_EQ(dat9.vxmin, view.vxmin);
            EXPECT_EQ(dat9.vymin, view.vymin);
            EXPECT_EQ(dat9.vxmax, view.vxmax);
            EXPECT_EQ(dat9.vymax, view.vymax);
            ASSERT_FALSE(read_file("Zeltramo Print.pdf").empty());
            EXPECT_GT(strip_marks(), 20) << "no word of where the page went";
            if (!have_program("pdfinfo")) GTEST_SKIP() << "pdfinfo is not installed";
            const std::string info = run_command("pdfinfo 'Zeltramo Print.pdf'");
            EXPECT_TRUE(std::regex_search(info, std::regex("Pages: +1\n"))) << info;
            // The paper the page set-up offers here (metric measures).
            EXPECT_NE(info.find("(A4)"), std::string::npos) << info;
        }),
        menu({"Print"}),
        toolkit_dialog("", "OK"),
        check("a second print keeps the first", [] {
            EXPECT_FALSE(read_file("Zeltramo Print.pdf").empty());
            EXPECT_FALSE(read_file("Zeltramo Print (2).pdf").empty());
        }),
        menu({"Profile", "Graphical"}),
        idle("draw the profile line again", [] { os_user_drag(map(), 150, 150, 500, 400); }),
        check("the profile window is open", [] { EXPECT_EQ(mainstate.profwin, 1); }),
        close_main(),
        check("the first close request closed the profile window only", [] {
            EXPECT_EQ(mainstate.profwin, 0);
            EXPECT_EQ(mainstate.ended, false);
        }),
        close_main(),
    });
    EXPECT_EQ(exits, std::vector<int>{0});
}
