// Printing a grid on the PDF printer that stands in for the machine's, read
// back with poppler's pdftotext and pdfinfo; the option sets and their page
// set-up.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/os_commondlg.h"
#include "platform/os_config.h"
#include "tests/grid/grid_fixture.h"

namespace {

std::string shell(const std::string& command) {
    std::string out;
    if (FILE* p = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

// "<prefix><n><suffix>", built piece by piece.
std::string tagged(const char* prefix, int n, const char* suffix = "") {
    std::string t(prefix);
    t += std::to_string(n);
    t += suffix;
    return t;
}

bool have_poppler() { return shell("command -v pdftotext && command -v pdfinfo").find("pdfinfo") != std::string::npos; }

int pages(const std::string& pdf) {
    const std::string info = shell("pdfinfo '" + pdf + "'");
    const auto at = info.find("Pages:");
    return at == std::string::npos ? -1 : std::stoi(info.substr(at + 6));
}

class PrintTest : public GridTest {
protected:
    TempDir dir;
    ~PrintTest() override {
        if (const char* k = std::getenv("GRID_KEEP")) std::filesystem::copy(dir.path(), k, std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
    }
    void SetUp() override {
        GridTest::SetUp();
        os_config().print_directory = dir.path().string();
        os_config().printer_name.clear();
        os_common_dialog_set_responder({});
    }
    void TearDown() override {
        GridTest::TearDown();
        os_common_dialog_set_responder({});
    }
    std::string pdf(const std::string& name) const { return dir.file(name + ".pdf"); }
    std::string text(const std::string& name) const { return shell("pdftotext -layout '" + pdf(name) + "' -"); }
    std::int32_t print(std::int32_t r1, std::int32_t r2, std::int32_t c1, std::int32_t c2, std::int32_t set,
                       const std::string& title) {
        std::int32_t result = -1;
        yygridprint(Grid, result, r1, r2, c1, c2, set, title);
        return result;
    }
};

TEST_F(PrintTest, CellsCaptionsLabelsAndCheckMarksReachThePage) {
    if (!have_poppler()) GTEST_SKIP() << "poppler-utils not installed";
    ASSERT_EQ(load(8802), 0);
    std::int32_t s = Grid;
    yygridputcellstring(s, 0, 0, 0.0, "Welltop", "", 20, 0);
    yygridputcellstring(s, 1, 2, 0.0, "K17", "", 20, 0);
    WGridPutCellInteger(Grid, 3, 2, 4711);
    WGridPutCellCheckBox(Grid, 6, 1, 1);
    WGridPutCellOption(Grid, 8, 2, 2);
    yygridprintsetopt(1, 1, 1, 1, 1, 125, 1);
    ASSERT_EQ(print(0, 3, 0, 7, 1, "Wells"), 1);
    ASSERT_TRUE(std::filesystem::exists(pdf("Wells")));
    const std::string t = text("Wells");
    for (const char* want : {"Welltop", "K17", "4711", "Name", "Code", "Count", "Depth", "Third", "Fourth", "b",
                             "\xE2\x9C\x94", "\xE2\x9C\x98"})
        EXPECT_NE(t.find(want), std::string::npos) << want << " in\n" << t;
    // At 125 % the long label leaves no room for the last column: it goes
    // to a second page, which starts with the labels again.
    EXPECT_EQ(pages(pdf("Wells")), 2);
}

TEST_F(PrintTest, ARangeWiderThanThePageGoesOnOverFurtherPages) {
    if (!have_poppler()) GTEST_SKIP() << "poppler-utils not installed";
    ASSERT_EQ(load(8804), 0);
    ASSERT_EQ(print(0, 3, 0, 7, 1, "narrow"), 1);
    EXPECT_EQ(pages(pdf("narrow")), 1);
    yygridprintsetopt(1, 1, 1, 1, 1, 400, 1);
    ASSERT_EQ(print(0, 3, 0, 7, 1, "wide"), 1);
    const int wide = pages(pdf("wide"));
    EXPECT_GE(wide, 2);
    // Each of the further pages starts with the row labels again.
    const std::string t = text("wide");
    std::size_t n = 0;
    for (std::size_t at = t.find("L4"); at != std::string::npos; at = t.find("L4", at + 1)) ++n;
    EXPECT_EQ(static_cast<int>(n), wide);
}

TEST_F(PrintTest, OptionSetTwoFromADialogFieldIsAnUntitledGrid) {
    if (!have_poppler()) GTEST_SKIP() << "poppler-utils not installed";
    ASSERT_EQ(load(8801), 0);
    ASSERT_EQ(print(0, 2, 0, 2, 2, "Ignored"), 1);
    EXPECT_FALSE(std::filesystem::exists(pdf("Ignored")));
    ASSERT_TRUE(std::filesystem::exists(pdf("Untitled Grid")));
    EXPECT_NE(shell("pdfinfo '" + pdf("Untitled Grid") + "'").find("Untitled Grid"), std::string::npos);
    // Set 1 with an empty title takes the same name.
    std::filesystem::remove(pdf("Untitled Grid"));
    ASSERT_EQ(print(0, 0, 0, 0, 1, "   "), 1);
    EXPECT_TRUE(std::filesystem::exists(pdf("Untitled Grid")));
}

TEST_F(PrintTest, MarginsBeyondThePaperStillEnd) {
    ASSERT_EQ(load(8804), 0);
    yyGridPrintInit();
    struct Case {
        std::int32_t code, points;
    } cases[] = {{3, 2000}, {4, 2000}, {1, 100000}, {2, 100000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        grid_print_options(1) = grid_print_options(2);
        yygridprintsetpossize(c.code, c.points, 1);
        EXPECT_EQ(print(0, 19, 0, 7, 1, tagged("margins", c.code)), 1);
        EXPECT_TRUE(std::filesystem::exists(pdf(tagged("margins", c.code))));
    }
}

TEST_F(PrintTest, NoGridOrAnEmptyRangePrintsNothing) {
    ASSERT_EQ(load(8801), 0);
    std::int32_t result = -1;
    yygridprint(4711, result, 0, 1, 0, 1, 1, "none");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(print(5, 2, 0, 1, 1, "backwards"), 0);
    EXPECT_FALSE(std::filesystem::exists(pdf("backwards")));
}

TEST_F(PrintTest, OptionsAreOneOnlyForOne) {
    std::int32_t a, b, c, d, e, scale;
    yygridprintgetopt(a, b, c, d, e, scale, 2);
    EXPECT_EQ(a + b + c, 3);
    EXPECT_EQ(scale, 100);
    yygridprintsetopt(2, 1, 0, -1, 1, 150, 2);
    yygridprintgetopt(a, b, c, d, e, scale, 2);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 1);
    EXPECT_EQ(c, 0);
    EXPECT_EQ(d, 0);
    EXPECT_EQ(e, 1);
    EXPECT_EQ(scale, 150);
    // Set 1 is a set of its own; any number but 1 is set 2.
    yygridprintgetopt(a, b, c, d, e, scale, 1);
    EXPECT_EQ(scale, 100);
    yygridprintgetopt(a, b, c, d, e, scale, 7);
    EXPECT_EQ(scale, 150);
}

TEST_F(PrintTest, PageSetUpUnitsConvertAndFollowTheLocale) {
    int shown = 0;
    os_common_dialog_set_responder([&](const OsCommonDialogRequest& rq) {
        ++shown;
        OsCommonDialogAnswer a;
        a.ok = false;   // cancelled: only the unit conversion stays
        a.page = rq.page;
        return a;
    });
    yyGridPrintInit();
    GridPrintOptions& o = grid_print_options(1);
    o.nUnits = 8;
    o.psd.units = 1;
    o.psd.left = 2500;
    EXPECT_EQ(yygridprintsetup(1, 1), 0);
    EXPECT_EQ(o.nUnits, 4);
    EXPECT_EQ(o.psd.left, 984);
    EXPECT_EQ(yygridprintsetup(2, 1), 0);
    EXPECT_EQ(o.nUnits, 8);
    EXPECT_EQ(o.psd.left, 2499);
    // -1: the locale's measurement system.
    os_config().measurement_system = 1;
    yygridprintsetup(-1, 1);
    EXPECT_EQ(o.nUnits, 4);
    os_config().measurement_system = 2;
    yygridprintsetup(-1, 1);
    EXPECT_EQ(o.nUnits, 8);
    EXPECT_EQ(shown, 4);
    // Accepted: the minimum margins are the PDF printer's quarter inch.
    os_common_dialog_set_responder([&](const OsCommonDialogRequest& rq) {
        OsCommonDialogAnswer a;
        a.ok = true;
        a.page = rq.page;
        return a;
    });
    EXPECT_NE(yygridprintsetup(0, 1), 0);
    EXPECT_EQ(o.min_margins[0], 250);
    EXPECT_EQ(o.min_margins[1], 250);
}

TEST_F(PrintTest, PositionAndSizeCodes) {
    yyGridPrintInit();
    GridPrintOptions& o = grid_print_options(1);
    o.nUnits = 4;
    o.psd = OsPageSetup{};
    o.psd.paper_width = 8500;
    o.psd.paper_height = 11000;
    yygridprintsetpossize(3, 72, 1);    // left one inch
    yygridprintsetpossize(4, 36, 1);    // top half an inch
    yygridprintsetpossize(1, 288, 1);   // width four inches
    yygridprintsetpossize(2, 144, 1);   // height two inches
    EXPECT_EQ(o.psd.left, 1000);
    EXPECT_EQ(o.psd.top, 500);
    EXPECT_EQ(o.psd.right, 5000);
    EXPECT_EQ(o.psd.bottom, 2500);
    const OsPageSetup before = o.psd;
    for (std::int32_t bad : {0, 5, -1}) yygridprintsetpossize(5, bad, 1);
    EXPECT_EQ(o.psd.paper_width, before.paper_width);
    EXPECT_EQ(o.psd.orientation, before.orientation);
    // Landscape keeping the box (4: exchanged only when taller than wide).
    yygridprintsetpossize(5, 4, 1);
    EXPECT_EQ(o.psd.orientation, 1);
    EXPECT_EQ(o.psd.paper_width, 11000);
    EXPECT_EQ(o.psd.right, 5000);
    // Back to portrait with 3: the wide box turns.
    yygridprintsetpossize(5, 3, 1);
    EXPECT_EQ(o.psd.orientation, 0);
    EXPECT_EQ(o.psd.paper_width, 8500);
    EXPECT_EQ(o.psd.right, 1000 + 2000);
    EXPECT_EQ(o.psd.bottom, 500 + 4000);
}

}  // namespace

namespace {

TEST_F(PrintTest, WithoutRepeatedHeadersLaterBandsTakeOneRowMore) {
    if (!have_poppler()) GTEST_SKIP() << "poppler-utils not installed";
    ASSERT_EQ(load(8806), 0);
    std::int32_t s = Grid;
    for (int r = 0; r < 30; ++r) yygridputcellstring(s, 0, r, 0.0, tagged("r", r, "x"), "", 20, 0);
    yyGridPrintInit();
    // A short page: a few rows a band.
    grid_print_options(1).psd.top = grid_print_options(1).psd.paper_height - grid_print_options(1).psd.bottom -
                                    (grid_print_options(1).nUnits == 4 ? 1500 : 3800);
    const auto rows_on_page_two = [&](const std::string& name) {
        const std::string t = shell("pdftotext -layout -f 2 -l 2 '" + pdf(name) + "' -");
        int n = 0;
        for (int r = 0; r < 30; ++r)
            if (t.find(tagged("r", r, "x")) != std::string::npos) ++n;
        return n;
    };
    const auto captions = [&](const std::string& name) {
        const std::string t = text(name);
        int n = 0;
        for (std::size_t at = t.find("Name"); at != std::string::npos; at = t.find("Name", at + 1)) ++n;
        return n;
    };
    ASSERT_EQ(print(0, 29, 0, 0, 1, "repeat"), 1);
    yygridprintsetopt(1, 1, 0, 1, 1, 100, 1);
    ASSERT_EQ(print(0, 29, 0, 0, 1, "once"), 1);
    ASSERT_GE(pages(pdf("repeat")), 3);
    EXPECT_EQ(captions("repeat"), pages(pdf("repeat")));
    EXPECT_EQ(captions("once"), 1);
    EXPECT_EQ(rows_on_page_two("once"), rows_on_page_two("repeat") + 1);
}

}  // namespace
