// The common dialogs, answered by the platform's responder: what each asks
// the dialog, and what the library makes of the answer.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_commondlg.h"
#include "platform/os_config.h"
#include "platform/os_msgbox.h"
#include "platform/os_printer.h"
#include "tests/support/png_picture.h"
#include "tests/support/quinda_test.h"

namespace fs = std::filesystem;

namespace {

class CommonDialogTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        os_common_dialog_set_responder([this](const OsCommonDialogRequest& rq) {
            requests.push_back(rq);
            return answers.empty() ? OsCommonDialogAnswer{} : next(rq);
        });
        os_message_box_set_responder([this](const OsMessageBoxRequest& rq) {
            boxes.push_back(rq);
            return box_answer;
        });
        infoerror(1);
    }
    void TearDown() override { os_message_box_set_responder({}); }

    OsCommonDialogAnswer next(const OsCommonDialogRequest&) {
        OsCommonDialogAnswer a = answers.front();
        if (answers.size() > 1) answers.erase(answers.begin());
        return a;
    }
    static OsCommonDialogAnswer choose(std::string dir, std::vector<std::string> files, int filter = 1) {
        OsCommonDialogAnswer a;
        a.ok = true;
        a.directory = std::move(dir);
        a.files = std::move(files);
        a.filter_index = filter;
        return a;
    }
    static std::string cwd() { return fs::current_path().string(); }

    std::vector<OsCommonDialogRequest> requests;
    std::vector<OsCommonDialogAnswer> answers;
    std::vector<OsMessageBoxRequest> boxes;
    int box_answer = OS_IDYES;
};

void touch(const fs::path& p) { std::ofstream(p) << "x"; }

}  // namespace

TEST(SplitPath, LastSlashOnly) {
    struct Case {
        const char* path;
        const char* dir;
        const char* name;
    };
    const Case cases[] = {
        {"/data/a.grd", "/data", "a.grd"},
        {"  /data/a.grd", "/data", "a.grd"},   // left-justified first
        {"a.grd", "", "a.grd"},
        {"/", "/", ""},                         // the root stays the root
        {"/data/", "/data", ""},
        {"/a.grd", "/", "a.grd"},               // a name in the root keeps the root
        {"/data/..", "/data/..", ""},           // ending in ".." is all directory
        {"..", "..", ""},
        {"C:\\data\\a.grd", "", "C:\\data\\a.grd"},   // "\" and ":" are ordinary characters
        {"", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string path = txt_fixed(c.path, 40), name(20, ' ');
        yysplitp(path, name);
        EXPECT_EQ(txt_c(path), c.dir);
        EXPECT_EQ(txt_c(name), c.name);
        EXPECT_EQ(path.size(), 40u);
    }
}

TEST_F(CommonDialogTest, DirectoryAndNameProposedAndTheCurrentDirectoryRestored) {
    TempDir here(true), there;
    touch(there.path() / "b.grd");
    const std::string start = cwd();

    // A directory and a name: opens there with the name proposed; the answer
    // comes from another directory; without bit 8 the old directory is back.
    answers = {choose(there.path().string(), {"b.grd"})};
    std::string name = txt_fixed("/tmp/a.grd", 80);
    WSelectFile("Grids|*.grd|", 0, name, "Open grid");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].directory, "/tmp");
    EXPECT_EQ(requests[0].name, "a.grd");
    EXPECT_EQ(requests[0].title, "Open grid");
    EXPECT_EQ(requests[0].kind, OsCommonDialogKind::Open);
    EXPECT_EQ(txt_c(name), (there.path() / "b.grd").string());
    EXPECT_EQ(name.size(), 80u);
    EXPECT_EQ(dialog_state.last_result, 1);
    EXPECT_EQ(cwd(), start);

    // A bare name: the current directory; bit 8 keeps the directory chosen from.
    requests.clear();
    name = txt_fixed("c.grd", 80);
    WSelectFile("Grids|*.grd|", 8, name);
    EXPECT_EQ(requests[0].directory, start);
    EXPECT_EQ(requests[0].name, "c.grd");
    EXPECT_EQ(requests[0].title, "Select File");
    EXPECT_EQ(fs::canonical(cwd()), fs::canonical(there.path()));

    // Cancel: always the old directory, the name as it was, nothing reported.
    fs::current_path(start);
    answers.clear();
    name = txt_fixed("c.grd", 80);
    WSelectFile("Grids|*.grd|", 8, name);
    EXPECT_EQ(cwd(), start);
    EXPECT_EQ(txt_c(name), "c.grd");
    EXPECT_EQ(dialog_state.last_result, 0);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(CommonDialogTest, FiltersAndTheIndexChosen) {
    TempDir here(true);
    touch("m.dxf");
    answers = {choose(cwd(), {"m.dxf"}, 2)};
    std::string name(80, ' ');
    std::int32_t index = 1;
    WSelectFile("Maps (*.bln)|*.bln|Drawings|*.dxf;*.DXF|   ", 0, name, {}, &index);
    ASSERT_EQ(requests[0].filters.size(), 2u);
    EXPECT_EQ(requests[0].filters[0].description, "Maps (*.bln)");
    EXPECT_EQ(requests[0].filters[1].pattern, "*.dxf;*.DXF");
    EXPECT_EQ(requests[0].filter_index, 1);
    EXPECT_EQ(index, 2);

    // No filter: index 0 comes back.
    answers = {choose(cwd(), {"m.dxf"}, 3)};
    WSelectFile("", 0, name, {}, &index);
    EXPECT_TRUE(requests[1].filters.empty());
    EXPECT_EQ(index, 0);

    // Bit 32: a bare name gets the chosen filter's extension.
    answers = {choose(cwd(), {"new"}, 1)};
    index = 1;
    WSelectFile("Maps|*.bln|", 1 | 32, name, {}, &index);
    EXPECT_EQ(txt_c(name), cwd() + "/new.bln");
}

TEST_F(CommonDialogTest, QuestionsAndChecksOfTheAnswer) {
    TempDir here(true);
    touch("old.grd");
    struct Case {
        const char* what;
        std::int32_t flags;
        const char* file;
        int box;                 // answer to every question
        unsigned request_flags;  // flags the dialog is asked with
        std::size_t boxes;       // questions or messages shown
        const char* box_text;    // part of the first one
        bool chosen;
    };
    const Case cases[] = {
        {"save asks before overwriting", 1 | 2, "old.grd", OS_IDYES,
         OS_OFN_OVERWRITEPROMPT | OS_OFN_PATHMUSTEXIST | OS_OFN_HIDEREADONLY, 1, "already exists", true},
        {"save with the answer no asks again", 1 | 2, "old.grd", OS_IDNO, 0, 16, "already exists", false},
        {"save of a new file asks nothing", 1 | 2, "new.grd", OS_IDYES, 0, 0, "", true},
        {"open offers to create", 2, "new.grd", OS_IDYES,
         OS_OFN_CREATEPROMPT | OS_OFN_PATHMUSTEXIST | OS_OFN_HIDEREADONLY, 1, "Do you want to create it?", true},
        {"must exist wins over create", 2 | 128, "new.grd", OS_IDYES,
         OS_OFN_FILEMUSTEXIST | OS_OFN_PATHMUSTEXIST | OS_OFN_HIDEREADONLY, 16, "File not found", false},
        {"must exist with an existing file", 2 | 128, "old.grd", OS_IDYES, 0, 0, "", true},
        {"the path must exist", 0, "nodir/x.grd", OS_IDYES, 0, 16, "Path does not exist", false},
        {"bit 4: the path need not exist", 4, "nodir/x.grd", OS_IDYES, OS_OFN_HIDEREADONLY, 0, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        requests.clear();
        boxes.clear();
        box_answer = c.box;
        answers = {choose(cwd(), {c.file})};
        std::string name = txt_fixed("start", 80);
        WSelectFile("Grids|*.grd|", c.flags, name);
        if (c.request_flags) {
            EXPECT_EQ(requests[0].flags, c.request_flags);
        }
        EXPECT_EQ(boxes.size(), c.boxes);
        if (c.boxes) {
            EXPECT_NE(boxes[0].text.find(c.box_text), std::string::npos) << boxes[0].text;
        }
        EXPECT_EQ(txt_c(name), c.chosen ? cwd() + "/" + c.file : std::string("start"));
        // A refused answer is asked again; a user who never gives a good one has cancelled.
        if (c.boxes > 1) {
            EXPECT_EQ(requests.back().round, 16);
        }
        EXPECT_EQ(infoerror(1), 0);
    }
}

TEST_F(CommonDialogTest, SeveralFilesAndAChoiceThatDoesNotFit) {
    TempDir here(true);
    for (const char* f : {"a.grd", "b.grd", "c.grd"}) touch(f);
    answers = {choose(cwd(), {"a.grd", "b.grd", "c.grd"})};
    std::string name(120, ' ');
    WSelectFile("Grids|*.grd|", 16, name);
    EXPECT_TRUE(requests[0].flags & OS_OFN_ALLOWMULTISELECT);
    const std::string expected = cwd() + std::string("\0a.grd\0b.grd\0c.grd\0", 19);
    EXPECT_EQ(name.substr(0, expected.size()), expected);

    // Bit 16 on a save dialog: one file.
    answers = {choose(cwd(), {"a.grd", "b.grd"})};
    WSelectFile("Grids|*.grd|", 1 | 16, name);
    EXPECT_FALSE(requests[1].flags & OS_OFN_ALLOWMULTISELECT);
    EXPECT_EQ(txt_c(name), cwd() + "/a.grd");

    // A choice wider than the caller's variable is refused, never cut.
    std::string small = txt_fixed("keep", 8);
    answers = {choose(cwd(), {"a.grd"})};
    WSelectFile("Grids|*.grd|", 0, small);
    EXPECT_EQ(small, txt_fixed("keep", 8));
    EXPECT_EQ(dialog_state.last_result, 0);
    EXPECT_EQ(infoerror(1), 1004);
}

TEST_F(CommonDialogTest, NameEndingInTwoFullStopsIsTheDirectory) {
    std::string name = txt_fixed("/usr/lib/..", 80);
    WSelectFile("", 0, name);
    EXPECT_EQ(requests[0].directory, "/usr/lib/..");
    EXPECT_EQ(requests[0].name, "");
}

TEST_F(CommonDialogTest, ColourStartsFromTheGivenAndKeepsCustomColours) {
    for (std::size_t i = 0; i < 16; ++i) wtab.wColor[i] = static_cast<std::int32_t>(0x010101 * i);
    std::int32_t colour = 255;
    WSelectColour(colour);   // cancelled
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].kind, OsCommonDialogKind::Colour);
    EXPECT_EQ(requests[0].colour, 0x0000FFu);   // red
    EXPECT_EQ(requests[0].custom[3], 0x030303u);
    EXPECT_EQ(colour, 255);
    EXPECT_EQ(infoerror(1), 0);
    EXPECT_EQ(dialog_state.last_result, 0);

    // The user changes a custom colour and picks green; the default colours
    // change later, but the custom colours are the ones kept.
    OsCommonDialogAnswer a;
    a.ok = true;
    a.colour = 0x00FF00;
    a.custom = requests[0].custom;
    a.custom[0] = 0x123456;
    answers = {a};
    WSelectColour(colour);
    EXPECT_EQ(colour, 0x00FF00);
    EXPECT_EQ(dialog_state.last_result, 1);
    wtab.wColor[0] = 0x777777;
    answers.clear();
    WSelectColour(colour);
    EXPECT_EQ(requests[2].custom[0], 0x123456u);
    EXPECT_EQ(requests[2].colour, 0x00FF00u);

    // A failing dialog reports 1004 and leaves the colour.
    OsCommonDialogAnswer failed;
    failed.error = OS_CDERR_DIALOGFAILURE;
    answers = {failed};
    WSelectColour(colour);
    EXPECT_EQ(infoerror(1), 1004);
    EXPECT_EQ(colour, 0x00FF00);
}

TEST_F(CommonDialogTest, PageSetUpStartsFromTheDefaultThenFromTheLastConfirmed) {
    // The PDF printer stands in; metric measures give it A4 with 10 mm margins.
    std::int32_t pw = 0, ph = 0, w = 19000, h = 27700, l = 1000, t = 1000, o = 0, c = 1, colours = 0, result = 0;
    yyprintdialog(pw, ph, w, h, l, t, o, c, 2, colours, result);   // cancelled
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].page.paper_width, 21000);
    EXPECT_EQ(requests[0].page.paper_height, 29700);
    EXPECT_EQ(requests[0].page.right, 1000);
    EXPECT_EQ(requests[0].page.paper_code, 9);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(pw, 0);   // cancel changes nothing
    EXPECT_EQ(w, 19000);
    EXPECT_EQ(wtab.PageDlgShown, 0);
    EXPECT_EQ(wtab.page_setup.prSize, -1);

    // Landscape asked: the paper turns. The user confirms Letter, 2 copies.
    OsCommonDialogAnswer a;
    a.ok = true;
    a.page = requests[0].page;
    a.page.paper_width = 27940, a.page.paper_height = 21590, a.page.paper_code = 1;
    a.page.left = a.page.top = a.page.right = a.page.bottom = 500;
    a.page.orientation = 1, a.page.copies = 2, a.page.colours = 16777216;
    a.page.prSize = 1, a.page.prWidth = 2159, a.page.prLength = 2794;
    answers = {a};
    o = 1;
    yyprintdialog(pw, ph, w, h, l, t, o, c, 2, colours, result);
    EXPECT_EQ(requests[1].page.paper_width, 29700);
    EXPECT_EQ(requests[1].page.orientation, 1);
    EXPECT_EQ(result, 1);
    EXPECT_EQ((std::vector<std::int32_t>{pw, ph, w, h, l, t, o, c, colours}),
              (std::vector<std::int32_t>{27940, 21590, 26940, 20590, 500, 500, 1, 2, 16777216}));
    // The printer opening of the next job takes the printer and paper chosen.
    EXPECT_EQ(wtab.PageDlgShown, 1);
    EXPECT_EQ(wtab.page_setup.prSize, 1);
    EXPECT_EQ(wtab.page_setup.prWidth, 2159);
    EXPECT_EQ(wtab.lpPrintType, OsPdfPrinterName);

    // The second call starts from the confirmed Letter; a change of units
    // restates it without a further question, then shows it in inches.
    answers.clear();
    yyprintdialog(pw, ph, w, h, l, t, o, c, 1, colours, result);
    EXPECT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].page.units, 0);
    EXPECT_EQ(requests[2].page.paper_width, 11000);
    EXPECT_EQ(requests[2].page.paper_height, 8500);
    EXPECT_EQ(result, 0);

    // The printer read again: the default printer once more.
    yypagedlgreset();
    yyprintdialog(pw, ph, w, h, l, t, o, c, 2, colours, result);
    EXPECT_EQ(requests[3].page.paper_code, 9);
}

TEST_F(CommonDialogTest, MeasuresOfTheLocale) {
    std::int32_t units = 0;
    yygetmeasure(units);
    EXPECT_EQ(units, 2);   // the test machine is metric
    os_config().measurement_system = 1;
    yygetmeasure(units);
    EXPECT_EQ(units, 1);
}

TEST_F(CommonDialogTest, FolderWithATypedPath) {
    TempDir here(true);
    touch("plain");
    auto typed = [](std::string path) {
        OsCommonDialogAnswer a;
        a.ok = true;
        a.directory = std::move(path);
        return a;
    };
    struct Case {
        const char* what;
        std::int32_t flags;
        std::vector<std::string> paths;   // typed in turn
        int box;
        std::vector<std::string> captions;
        std::int32_t result;
        const char* buffer;
        bool created;
    };
    const Case cases[] = {
        {"flag 64 asks and creates", 64, {"made"}, OS_IDYES, {"Create Directory?"}, 1, "made", true},
        {"flag 64 answered no stays open", 64, {"made", "."}, OS_IDNO, {"Create Directory?"}, 1, ".", false},
        {"without flags a missing path is invalid", 0, {"missing", "."}, OS_IDOK, {"Invalid Directory"}, 1, ".", false},
        {"flag 4 accepts a missing path", 4, {"missing"}, OS_IDOK, {}, 1, "missing", false},
        {"a file is no directory", 4, {"plain", "."}, OS_IDOK, {"Invalid Directory"}, 1, ".", false},
        {"a path wider than the buffer", 4, {std::string(30, 'x'), "."}, OS_IDOK, {"Invalid Directory"}, 1, ".", false},
        {"flag 64 where it cannot be made", 64, {"plain/sub", "."}, OS_IDYES, {"Create Directory?", "Error"}, 1, ".", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        requests.clear();
        boxes.clear();
        box_answer = c.box;
        answers.clear();
        for (const auto& p : c.paths) answers.push_back(typed(p));
        std::string dir = txt_fixed(".", 20);
        std::int32_t result = 0;
        yyselectdir(1, result, c.flags, dir, "Output folder", 20);
        EXPECT_EQ(requests[0].title, "Output folder");
        EXPECT_EQ(requests[0].kind, OsCommonDialogKind::Folder);
        EXPECT_EQ(requests.size(), c.paths.size());
        std::vector<std::string> captions;
        for (const auto& b : boxes) captions.push_back(b.caption);
        EXPECT_EQ(captions, c.captions);
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(txt_c(dir), c.buffer);
        EXPECT_EQ(fs::is_directory("made"), c.created);
        fs::remove("made");
    }
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0].text, "The specified directory does not exist.\nDo you wish to create it?");
    EXPECT_EQ(boxes[0].style, OS_MB_YESNO | OS_MB_ICONQUESTION);
    EXPECT_EQ(boxes[1].text, "An error occurred creating\nthe specified directory.");

    // Cancelled; no title given.
    requests.clear();
    answers.clear();
    std::string dir = txt_fixed(".", 20);
    std::int32_t result = 0;
    yyselectdir(0, result, 0, dir, "ignored", 20);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(requests[0].title, "Select Directory");
}

namespace {

// Pixels that differ between two pictures of the same size; -1 for sizes that differ.
long differing(const PngPicture& a, const PngPicture& b) {
    if (a.width != b.width || a.height != b.height) return -1;
    long n = 0;
    for (std::size_t i = 0; i < a.px.size(); ++i) n += a.px[i] != b.px[i];
    return n;
}

// The picture of the next real dialog, shown by SHOW; kept under
// QUINDA_KEEP_GRAB when that names a directory.
PngPicture grab(const fs::path& dir, const std::string& name, const std::function<void()>& show) {
    const char* keep = std::getenv("QUINDA_KEEP_GRAB");
    const std::string png = keep && *keep ? std::string(keep) + "/" + name : (dir / name).string();
    os_common_dialog_grab_next(png);
    show();
    return read_png_picture(png);
}

}  // namespace

// The real file dialog lists the directory it opens in: a directory of
// files and an empty one give pictures of the same size that differ in the
// listing.
TEST_F(CommonDialogTest, RealFileDialogDrawn) {
    os_common_dialog_set_responder({});
    TempDir here(true);
    fs::create_directories("full");
    fs::create_directories("empty");
    for (int i = 0; i < 12; ++i) touch(fs::path("full") / ("model" + std::to_string(i) + ".fem"));
    PngPicture pics[2];
    for (int k = 0; k < 2; ++k) {
        pics[k] = grab(here.path(), k ? "file_dialog_empty.png" : "file_dialog.png", [&] {
            std::string name = txt_fixed(k ? "empty/model.fem" : "full/model.fem", 80);
            WSelectFile("FEM files|*.fem|All files|*|", 0, name, "Open model");
        });
        EXPECT_EQ(dialog_state.last_result, 0);   // drawn and cancelled
        EXPECT_EQ(infoerror(1), 0);
    }
    ASSERT_GT(pics[0].width, 200);
    ASSERT_GT(pics[0].height, 150);
    EXPECT_GT(differing(pics[0], pics[1]), 500);
}

// The colour dialog opens on the colour given: a wide patch of it, and
// little of the other; the folder dialog shows the folders it lists; the page
// set-up draws the page in the orientation given.
TEST_F(CommonDialogTest, RealColourFolderAndPageSetUpDrawn) {
    os_common_dialog_set_responder({});
    TempDir here(true);
    const std::int32_t red = 255, blue = 0xFF0000;
    PngPicture colour[2];
    for (int k = 0; k < 2; ++k) {
        colour[k] = grab(here.path(), k ? "colour_dialog_blue.png" : "colour_dialog.png", [&] {
            std::int32_t c = k ? blue : red;
            WSelectColour(c);
            EXPECT_EQ(c, k ? blue : red);
        });
    }
    EXPECT_GT(colour[0].count(red), 400u);
    EXPECT_GT(colour[1].count(blue), 400u);
    EXPECT_LT(colour[0].count(blue), colour[1].count(blue) / 4);
    EXPECT_LT(colour[1].count(red), colour[0].count(red) / 4);

    fs::create_directories("with/sub");
    fs::create_directories("without");
    for (int i = 0; i < 10; ++i) fs::create_directories("with/sub/folder" + std::to_string(i));
    PngPicture folder[2];
    for (int k = 0; k < 2; ++k) {
        folder[k] = grab(here.path(), k ? "folder_dialog_empty.png" : "folder_dialog.png", [&] {
            std::string dir = txt_fixed((here.path() / (k ? "without" : "with/sub")).string(), 200);
            std::int32_t result = 0;
            yyselectdir(1, result, 64, dir, "Output folder", 200);
            EXPECT_EQ(result, 2);
        });
    }
    EXPECT_GT(differing(folder[0], folder[1]), 500);

    PngPicture page[2];
    for (int k = 0; k < 2; ++k) {
        page[k] = grab(here.path(), k ? "page_dialog_landscape.png" : "page_dialog.png", [&] {
            std::int32_t pw = 0, ph = 0, w = 19000, h = 27700, l = 1000, t = 1000, o = k, c = 1, colours = 0, result = 0;
            yyprintdialog(pw, ph, w, h, l, t, o, c, 2, colours, result);
            EXPECT_EQ(result, 0);
        });
    }
    EXPECT_GT(differing(page[0], page[1]), 200);
    EXPECT_EQ(infoerror(1), 0);
}
