// A block of a grid as an HTML page, read back by Python's html.parser,
// xmllint, pandoc and LibreOffice.
#include <cstdlib>
#include <sstream>
#include <vector>

#include "lib/grid/grid_files.h"
#include "lib/window/bytefile.h"
#include "platform/os_error.h"
#include "tests/grid/files_fixture.h"

namespace {

std::vector<std::string> lines_of(const std::string& bytes) {
    std::vector<std::string> out;
    std::istringstream in(bytes);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

using Lines = std::vector<std::string>;

// The page's text is Windows-1252, and it says so.
constexpr const char* kCharset = "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">";

class HtmlTest : public GridFilesTest {
protected:
    void SetUp() override {
        GridFilesTest::SetUp();
        put(1, 1, "a<b & c");
        WGridPutCellInteger(Files, 2, 1, 7);
        WGridPutCellCheckBox(Files, 5, 1, 1);
        WGridPutCellOption(Files, 6, 1, 2);
        put(1, 2, "");
        WGridPutCellCheckBox(Files, 5, 2, 2);   // indeterminate counts as unchecked
        WGridPutCellOption(Files, 6, 2, 0);
        err();
    }
    std::string file() const { return dir.file("grid.htm"); }
    Lines page() const { return lines_of(read_file(file())); }
};

TEST_F(HtmlTest, ThePageLineByLine) {
    // Text colour red 255, green 128, blue 0 on cell (1, 1); background on the column of counts.
    std::int32_t s = Files;
    yygridcolourcell(s, 0, 0, 255, 128, 0, -1, 0, 0);
    s = Files;
    yygridcolourcolumn(s, 1, -1, 0, 0, 0, 0, 255);
    WGridSaveHTML(Files, file(), 1, 2, 1, 2, {}, "Wells  ", 2, 0x0080FF);
    EXPECT_EQ(err(), 0);
    const Lines want = {
        "<html>", "<head>", kCharset, "<title>Wells</title>", "</head>", "<body bgcolor=#ff8000>", "<h2>Wells</h2>",
        "<table border=2 cellpadding=5>",
        "<tr>", "<td></td>", "<td align=center>", "Text", "</td>", "<td align=center>", "Count", "</td>", "</tr>",
        "<tr>", "<td align=left>", "First", "</td>",
        "<td align=left>", "<font color=#ff8000>", "a&lt;b &amp; c", "</font>", "</td>",
        "<td align=left bgcolor=#0000ff>", "7", "</td>", "</tr>",
        "<tr>", "<td align=left>", "Second", "</td>",
        "<td align=left>", "", "</td>",
        "<td align=left bgcolor=#0000ff>", "", "</td>", "</tr>",
        "</table>", "</body>", "</html>"};
    EXPECT_EQ(page(), want);
    // Columns of every kind: alignments of their controls, check boxes and menus.
    WGridSaveHTML(Files, file(), 3, 6, 1, 2, GHF_TABLEONLY | GHF_NOCOLOURS);
    const Lines cells = {
        "<table border=0 cellpadding=5>",
        "<tr>", "<td></td>", "<td align=center>", "Depth", "</td>", "<td align=center>", "Head", "</td>",
        "<td align=center>", "", "</td>", "<td align=center>", "plain", "</td>", "</tr>",
        "<tr>", "<td align=left>", "First", "</td>", "<td align=right>", "", "</td>", "<td align=center>", "", "</td>",
        "<td align=center>", "<font face=\"Symbol\">&middot;</font>", "</td>", "<td align=left>", "say &quot;hi&quot;", "</td>",
        "</tr>",
        "<tr>", "<td align=left>", "Second", "</td>", "<td align=right>", "", "</td>", "<td align=center>", "", "</td>",
        "<td align=center>", "&nbsp;", "</td>", "<td align=left>", " ", "</td>", "</tr>",
        "</table>"};
    EXPECT_EQ(page(), cells);
}

TEST_F(HtmlTest, FlagsTitlesAndEmptyBlocks) {
    struct Case {
        const char* what;
        GridOptInt c1, c2, r1, r2, flags;
        std::optional<std::string_view> title;
        GridOptInt border;
        Lines head;   // the first lines
        Lines tail;   // the last lines
    };
    const Case cases[] = {
        {"table only with a title, centred", 5, 5, 1, 1, GHF_TABLEONLY | GHF_CENTRE | GHF_YESNO, "T", -3,
         {"<center>", "<h2>T</h2>", "<table border=0 cellpadding=5>"},
         {"<td align=center>", "Y", "</td>", "</tr>", "</table>", "</center>"}},
        {"an all-blank title: empty title element, no heading", 5, 5, 2, 2, GHF_YESNO, "   ", {},
         {"<html>", "<head>", kCharset, "<title></title>", "</head>", "<body>", "<table border=0 cellpadding=5>"},
         {"N", "</td>", "</tr>", "</table>", "</body>", "</html>"}},
        {"no rows: the header row only", 1, 2, 5, 4, GHF_TABLEONLY, {}, 1,
         {"<table border=1 cellpadding=5>", "<tr>", "<td></td>"},
         {"Count", "</td>", "</tr>", "</table>"}},
        {"no columns: rows of labels", 3, 2, 1, 1, GHF_TABLEONLY, {}, {},
         {"<table border=0 cellpadding=5>", "<tr>", "<td></td>", "</tr>", "<tr>", "<td align=left>", "First"},
         {"</td>", "</tr>", "</table>"}},
        {"a colour past 24 bits keeps its low 24", 1, 1, 1, 1, {}, {}, {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WGridSaveHTML(Files, file(), c.c1, c.c2, c.r1, c.r2, c.flags, c.title, c.border);
        EXPECT_EQ(err(), 0);
        const Lines got = page();
        ASSERT_GE(got.size(), c.head.size() + c.tail.size());
        EXPECT_EQ(Lines(got.begin(), got.begin() + static_cast<std::ptrdiff_t>(c.head.size())), c.head);
        EXPECT_EQ(Lines(got.end() - static_cast<std::ptrdiff_t>(c.tail.size()), got.end()), c.tail);
    }
    WGridSaveHTML(Files, file(), 1, 1, 1, 1, {}, {}, {}, 0x7F0080FF);
    EXPECT_EQ(page()[4], "<body bgcolor=#ff8000>");
    // A grid without headers: no header row, no label cells.
    WDialogUnload();
    ASSERT_EQ(load(8902), 0);
    WGridSaveHTML(Files, file(), 1, 1, 1, 1, GHF_TABLEONLY);
    EXPECT_EQ(page(), (Lines{"<table border=0 cellpadding=5>", "<tr>", "<td align=left>", "", "</td>", "</tr>", "</table>"}));
}

// Texts with the characters of markup and with accented letters, read back
// by independent readers: every cell's text as it is, nothing taken for a
// tag or an entity, the Windows-1252 letters as they are meant.
TEST_F(HtmlTest, ReadersFindTheCellTexts) {
    put(1, 1, "W-04 <deep>");
    put(1, 2, "Caf\xe9 K&D \"q\" 'a' \x80" "5 &amp;");
    WGridSaveHTML(Files, file(), 1, 2, 1, 2, {}, "Wells & <pumps>", 1);
    ASSERT_EQ(err(), 0);
    // The cells as UTF-8, header row first.
    const Lines cells = {"", "Text", "Count", "First", "W-04 <deep>", "7", "Second",
                         "Caf\xc3\xa9 K&D \"q\" 'a' \xe2\x82\xac" "5 &amp;", ""};
    const auto all_found = [&](const std::string& what, const std::string& read) {
        for (const std::string& c : cells)
            if (!c.empty()) EXPECT_NE(read.find(c), std::string::npos) << what << ": " << c << "\n" << read;
    };
    if (have_reader("xmllint")) {
        // No complaint at all: no unknown tag, no broken entity.
        EXPECT_EQ(command_output("xmllint --html --noout '" + file() + "' 2>&1"), "");
    }
    if (have_reader("pandoc")) all_found("pandoc", command_output("pandoc -f html -t plain '" + file() + "' 2>/dev/null"));
    if (have_reader("soffice")) {
        const std::string prof = "-env:UserInstallation=file://" + dir.file("profile");
        command_output("cd '" + dir.path().string() + "' && soffice " + prof +
                       " --headless --infilter=HTML --convert-to 'txt:Text (encoded):UTF8' grid.htm >/dev/null 2>&1");
        all_found("LibreOffice", read_file(dir.file("grid.txt")));
    }
    if (std::system("python3 -c 'import html.parser' >/dev/null 2>&1") != 0) GTEST_SKIP() << "python3 is not installed";
    // The data of the table cells, as the parser sees them, one per line.
    const std::string script = dir.file("cells.py");
    write_file(script, R"(import sys
from html.parser import HTMLParser
class P(HTMLParser):
    def __init__(self):
        super().__init__(); self.cells = []; self.depth = 0; self.title = ''; self.in_title = False
    def handle_starttag(self, tag, attrs):
        if tag == 'td': self.depth += 1; self.cells.append('')
        if tag == 'title': self.in_title = True
    def handle_endtag(self, tag):
        if tag == 'td': self.depth -= 1
        if tag == 'title': self.in_title = False
    def handle_data(self, data):
        if self.depth: self.cells[-1] += data.strip()
        if self.in_title: self.title += data
p = P(); p.feed(open(sys.argv[1], encoding='cp1252').read())
open(sys.argv[2], 'w', encoding='utf-8').write(p.title + '\n' + '\n'.join(p.cells) + '\n')
)");
    ASSERT_EQ(std::system(("python3 '" + script + "' '" + file() + "' '" + dir.file("cells.txt") + "'").c_str()), 0);
    Lines want = {"Wells & <pumps>"};
    want.insert(want.end(), cells.begin(), cells.end());
    EXPECT_EQ(lines_of(read_file(dir.file("cells.txt"))), want);
}

TEST_F(HtmlTest, FailuresReportOnceAndLeaveTheOldFile) {
    write_file(file(), "old page");
    WGridSaveHTML(8999, file());
    EXPECT_EQ(err(), 1006);
    WGridSaveHTML(Files, dir.file("missing/dir/x.htm"));
    EXPECT_EQ(err(), 1);
    EXPECT_EQ(infoerror(2), OS_ERROR_PATH_NOT_FOUND);
    // The unit taken is left closed after every way out.
    EXPECT_FALSE(yyunitopened(quinda.LFNGEN));
    EXPECT_EQ(read_file(file()), "old page");
    WDialogUnload();
    WGridSaveHTML(Files, file());
    EXPECT_EQ(err(), 1005);
    EXPECT_EQ(read_file(file()), "old page");
}

}  // namespace
