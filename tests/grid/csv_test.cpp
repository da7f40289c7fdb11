// Grid cells to and from comma-separated files, checked against Python's
// csv module as an independent reader and writer.
#include <signal.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "lib/grid/grid_files.h"
#include "tests/grid/files_fixture.h"

namespace {

using Row = std::vector<std::string>;
using Rows = std::vector<Row>;

std::string hex(const std::string& s) {
    static const char* d = "0123456789abcdef";
    std::string out = "x";   // never empty, so empty fields survive the split
    for (unsigned char c : s) {
        out += d[c >> 4];
        out += d[c & 15];
    }
    return out;
}

// Rows as lines of hex-coded fields, the form the Python helpers read and write.
void write_hex_rows(const std::string& file, const Rows& rows) {
    std::ofstream o(file, std::ios::binary);
    for (const Row& r : rows) {
        for (std::size_t i = 0; i < r.size(); ++i) o << (i ? " " : "") << hex(r[i]);
        o << "\n";
    }
}

bool have_python() { return std::system("python3 -c 'import csv' >/dev/null 2>&1") == 0; }

// Runs a Python program on the arguments; its exit code.
int python(const TempDir& dir, const std::string& program, const std::string& args) {
    const std::string script = dir.file("helper.py");
    write_file(script, program);
    return std::system(("python3 '" + script + "' " + args).c_str());
}

// Reads a CSV file with csv.reader (cp1252, newline "") and compares it with
// the expected rows; prints the difference and exits 1 when they differ.
const char* const ReadAndCompare = R"(import csv, sys
def unhex(t):
    return bytes.fromhex(t[1:]).decode('cp1252')
with open(sys.argv[2], encoding='cp1252', newline='') as f:
    want = [[unhex(t) for t in line.split(' ')] for line in f.read().split('\n') if line]
with open(sys.argv[1], encoding='cp1252', newline='') as f:
    got = list(csv.reader(f))
if got != want:
    print('csv.reader:', got)
    print('expected:  ', want)
    sys.exit(1)
)";

// Writes the rows with csv.writer (cp1252, newline "").
const char* const WriteRows = R"(import csv, sys
def unhex(t):
    return bytes.fromhex(t[1:]).decode('cp1252')
with open(sys.argv[2], encoding='cp1252', newline='') as f:
    rows = [[unhex(t) for t in line.split(' ')] for line in f.read().split('\n') if line]
with open(sys.argv[1], 'w', encoding='cp1252', newline='') as f:
    csv.writer(f).writerows(rows)
)";

class CsvTest : public GridFilesTest {
protected:
    std::string file(const std::string& n = "grid.csv") const { return dir.file(n); }
    // What a cell shows: its display text, "Yes"/"No" for a check box, the
    // option's text for a menu; trailing blanks kept.
    std::string shown(int col, int row) {
        std::int32_t s = Files, type = 0;
        yygridcelltype(s, col - 1, type);
        std::string t;
        if (type == 9) {
            std::int32_t v = 0;
            yygridgetcellcheck(s, col - 1, row - 1, v);
            return v == 1 ? "Yes" : "No";
        }
        if (type == 11) {
            std::int32_t o = 0;
            yygridgetcellmenu(s, col - 1, row - 1, o);
            if (o) yygridgetmenustring(s, col - 1, o, t, 1000);
            return t;
        }
        yygridgetcellstring(s, col - 1, row - 1, t, 200000);
        return t;
    }
    Rows shown_rows(int rows, int cols = 7) {
        Rows out;
        for (int r = 1; r <= rows; ++r) {
            Row row;
            for (int c = 1; c <= cols; ++c) row.push_back(shown(c, r));
            out.push_back(row);
        }
        return out;
    }
    // The whole grid after loading the bytes (the last error in *error).
    Rows load_bytes(const std::string& bytes, int rows = 6, int* error = nullptr, GridOptInt flag = {}) {
        write_file(file("in.csv"), bytes);
        err();
        WGridLoad(Files, file("in.csv"), flag);
        const int e = err();
        if (error) *error = e;
        return shown_rows(rows);
    }
    void fill_sample() {
        put(1, 1, "He said \"go\", then left  ");
        WGridPutCellInteger(Files, 2, 1, -42);
        WGridPutCellReal(Files, 3, 1, 3.25f);
        WGridPutCellDouble(Files, 4, 1, 1234.5678);
        WGridPutCellCheckBox(Files, 5, 1, 1);
        WGridPutCellOption(Files, 6, 1, 2);
        put(7, 1, "x");
        put(1, 2, "  leading, and \xe9\xe8\xfc\x80");   // Windows-1252 letters and the euro sign
        WGridPutCellInteger(Files, 2, 2, 0);
        WGridPutCellCheckBox(Files, 5, 2, 0);
        WGridPutCellOption(Files, 6, 2, 3);
        put(1, 3, "");
        WGridPutCellOption(Files, 6, 3, 1);
        put(1, 4, "\"\"");
        WGridPutCellDouble(Files, 4, 4, -1.0e-30);
        // Row 5 has no option selected; rows 5 and 6 keep undefined numbers.
        WGridPutCellOption(Files, 6, 5, 0);
        err();
    }
};

TEST_F(CsvTest, SavedFilesAreReadByPythonAsTheDisplayTexts) {
    fill_sample();
    WGridSave(Files, file());
    EXPECT_EQ(err(), 0);
    const std::string bytes = read_file(file());
    // The writer's own form: every text quoted, numbers bare, CR LF after each line.
    EXPECT_EQ(bytes.substr(0, bytes.find("\r\n") + 2),
              "\"He said \"\"go\"\", then left  \",-42,3.25," + shown(4, 1) + ",Yes,\"say \"\"hi\"\"\",\"x\"\r\n");
    EXPECT_NE(bytes.find("\r\n\"\",,,,No,,\"\"\r\n"), std::string::npos) << bytes;   // row 5: nothing defined
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    if (!have_python()) GTEST_SKIP() << "python3 is not installed";
    write_hex_rows(file("want.txt"), shown_rows(6));
    EXPECT_EQ(python(dir, ReadAndCompare, "'" + file() + "' '" + file("want.txt") + "'"), 0);
}

TEST_F(CsvTest, FilesOfPythonsWriterLoadAsWritten) {
    if (!have_python()) GTEST_SKIP() << "python3 is not installed";
    const Rows rows = {
        {"plain", "17", "2.50", "-3.0000E+00", "Yes", "a,b", "short"},
        {"with \"quotes\" and, commas", "-1000", "-0.75", "1.0000E+10", "No", "say \"hi\"", ""},
        {"  leading blanks", "0", "", "", "YES", "plain", "\xe4\xf6"},
        {"", "", "1.00", "2.5000E-03", "no", "", "e\x80"},
    };
    write_hex_rows(file("rows.txt"), rows);
    ASSERT_EQ(python(dir, WriteRows, "'" + file() + "' '" + file("rows.txt") + "'"), 0);
    err();
    WGridLoad(Files, file());
    // The empty number fields report 10 (no substring), the empty menu field 1055;
    // the last field that failed decides.
    EXPECT_EQ(err(), 1055);
    Rows want = rows;
    want[2][4] = "Yes";
    want[3][4] = "No";
    want[3][5] = "plain";   // no match: the first option
    const Rows got = shown_rows(4);
    for (std::size_t r = 0; r < want.size(); ++r)
        for (std::size_t c = 0; c < 7; ++c) {
            if (c == 3 && !want[r][c].empty()) continue;   // doubles compared by value below
            EXPECT_EQ(got[r][c], want[r][c]) << "row " << r + 1 << " column " << c + 1;
        }
    double v = 0.0;
    WGridGetCellDouble(Files, 4, 2, v);
    EXPECT_DOUBLE_EQ(v, 1.0e10);
    WGridGetCellDouble(Files, 4, 4, v);
    EXPECT_DOUBLE_EQ(v, 2.5e-3);
    // The rows below the file are cleared (a cleared menu shows its first option).
    EXPECT_EQ(shown_rows(6)[4], (Row{"", "", "", "", "No", "plain", ""}));
}

TEST_F(CsvTest, TheReadersGrammar) {
    struct Case {
        const char* what;
        std::string bytes;
        Row row1;          // columns 1, 5, 6, 7 of row 1
        Row row2;          // column 1 of row 2 (and 5, 6, 7)
        int error;
    };
    // Menus untouched by a file show "plain": the set-up and clearing select the first option.
    const Case cases[] = {
        {"quotes undoubled, comma inside quotes", "\"a \"\"b\"\", c\",,,,yes,\"A,B\",\"x\"\r\n",
         {"a \"b\", c", "Yes", "a,b", "x"}, {"", "No", "plain", ""}, 10},
        {"first and last character of a quoted field go", "x\"y\"z,,,,YeS,plain\r\n", {"\"y\"", "Yes", "plain", ""},
         {"", "No", "plain", ""}, 10},
        // The second line's comma follows an odd number of quotes: one field to the line end.
        {"an LF inside quotes ends the line", "\"ab\ncd\",,,,Yes\n", {"a", "No", "plain", ""},
         {"d\",,,,Ye", "No", "plain", ""}, 0},
        {"CR alone does not end a line", "\"a\"\r\"b\"\r", {"a\"\r\"b", "No", "plain", ""}, {"", "No", "plain", ""}, 0},
        {"trailing blanks go inside quotes too, leading ones stay", "\"  ab  \",,,,\"yes \",\"plain\"\r\n",
         {"  ab", "Yes", "plain", ""}, {"", "No", "plain", ""}, 10},
        {"a blank after the closing quote is the character dropped", "\"ab\" ,,,, yes,plain\r\n",
         {"ab\"", "No", "plain", ""}, {"", "No", "plain", ""}, 10},
        {"not yes", "a,,,,Y\nb,,,,1\nc,,,,true\nd,,,,\n", {"a", "No", "plain", ""}, {"b", "No", "plain", ""}, 10},
        {"a last line without line end", "one\r\ntwo,,,,yes,\"a,b\",\"tail\"", {"one", "No", "plain", ""},
         {"two", "Yes", "a,b", "tail"}, 10},
        {"a text cut to its column's length; an empty menu field matches nothing", ",,,,,,\"1234567890\"\r\n",
         {"", "No", "plain", "123456"}, {"", "No", "plain", ""}, 1055},
        {"menu letter case ignored; no match takes the first option", "a,,,,,\"A,B\"\nb,,,,,zz\n",
         {"a", "No", "a,b", ""}, {"b", "No", "plain", ""}, 1055},
        {"blanks only after the last line end", "a\r\n   ", {"a", "No", "plain", ""}, {"", "No", "plain", ""}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        yyGridClear(grid(Files), 0);
        int e = 0;
        const Rows g = load_bytes(c.bytes, 6, &e);
        EXPECT_EQ((Row{g[0][0], g[0][4], g[0][5], g[0][6]}), c.row1);
        EXPECT_EQ((Row{g[1][0], g[1][4], g[1][5], g[1][6]}), c.row2);
        EXPECT_EQ(e, c.error);
    }
}

TEST_F(CsvTest, NumbersThatFailStayUndefinedAndTheLastFailureIsReported) {
    struct Case {
        const char* field;   // into column 2 (integer, range -1000..1000)
        const char* shown;
        int error;
    };
    const Case cases[] = {{"12", "12", 0}, {"", "", 10}, {"1x", "", 12}, {"5000", "", 1009}, {"  -7", "-7", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        WGridPutCellInteger(Files, 2, 1, 99);
        yyseterror(77);   // a failure before the load stays when nothing fails
        write_file(file("in.csv"), std::string("t,") + c.field + "\r\n");
        WGridLoad(Files, file("in.csv"));
        EXPECT_EQ(infoerror(1), c.error ? c.error : 77);
        EXPECT_EQ(shown(2, 1), c.shown);
    }
}

TEST_F(CsvTest, ShortLinesAndShortFilesClearWhatTheyDoNotFill) {
    for (int r = 1; r <= 6; ++r) {
        put(1, r, "old");
        WGridPutCellInteger(Files, 2, r, r);
        WGridPutCellOption(Files, 6, r, 3);
    }
    int e = 0;
    Rows g = load_bytes("new\r\n", 6, &e);
    // Right of a short line menus keep their selection; below the last line
    // everything is cleared, menus included.
    EXPECT_EQ(g[0], (Row{"new", "", "", "", "No", "a,b", ""}));
    for (int r = 1; r < 6; ++r) EXPECT_EQ(g[static_cast<std::size_t>(r)], (Row{"", "", "", "", "No", "plain", ""}));
    put(1, 2, "x");
    g = load_bytes("", 6, &e);
    EXPECT_EQ(g[1][0], "");
    EXPECT_EQ(e, 0);
}

TEST_F(CsvTest, TooManyRowsOrColumnsStopTheLoad) {
    WGridRows(Files, 3);
    std::string four_lines = "a\nb\nc\nd\n";
    struct Case {
        const char* what;
        std::string bytes;
        GridOptInt flag;
        int rows_after;
        Row column1;   // rows 1..6 of column 1 (rows past those in use read as "")
        int error;
    };
    const Case cases[] = {
        {"more lines than rows in use", four_lines, {}, 3, {"a", "b", "c", "", "", ""}, 1054},
        {"growing up to the rows allocated", four_lines, 1, 4, {"a", "b", "c", "d", "", ""}, 0},
        {"growing stops at the rows allocated", "1\n2\n3\n4\n5\n6\n7\n8\n", 1, 6, {"1", "2", "3", "4", "5", "6"}, 1054},
        {"a line with an extra field clears its row and those below", "a\nb,,,,,,,extra\nc\n", {}, 3,
         {"a", "", "", "", "", ""}, 1054},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WGridRows(Files, 3);
        yyGridClear(grid(Files), 0);
        for (int r = 1; r <= 3; ++r) put(1, r, "old");
        int e = 0;
        load_bytes(c.bytes, 6, &e, c.flag);
        EXPECT_EQ(e, c.error);
        EXPECT_EQ(data(Files).nRows, c.rows_after);
        Row col;
        for (int r = 1; r <= 6; ++r) col.push_back(r <= data(Files).nRows ? shown(1, r) : std::string());
        EXPECT_EQ(col, c.column1);
    }
    // Growth only with the flag equal to 1.
    WGridRows(Files, 3);
    int e = 0;
    load_bytes(four_lines, 6, &e, 2);
    EXPECT_EQ(data(Files).nRows, 3);
}

TEST_F(CsvTest, LongFieldsAndFieldsAcrossReadPieces) {
    // A field of 70,000 bytes (longer than one read) comes whole into a
    // column that takes 100,000 characters, and the fields after it load.
    std::string big(70000, 'q');
    big[69999] = 'Z';
    int e = 0;
    Rows g = load_bytes("\"" + big + "\",5\r\nnext,6\r\n", 6, &e);
    EXPECT_EQ(g[0][0], big);
    EXPECT_EQ(g[0][1], "5");
    EXPECT_EQ(g[1][0], "next");
    EXPECT_EQ(e, 0);
    // Fields across the seams of reads, blanks at the seam kept.
    for (int seam : {64995, 64999, 65000, 65001}) {
        SCOPED_TRACE(seam);
        std::string pad(static_cast<std::size_t>(seam - 10), 'p');
        std::string line1 = "\"" + pad + "\"\r\n";   // ends 10 bytes before the seam... roughly
        std::string field = "ab   " + std::string(12, ' ') + "cd";   // blanks around the seam
        const std::string bytes = line1 + "\"" + field + "\",7\r\n";
        g = load_bytes(bytes, 6, &e);
        EXPECT_EQ(g[0][0], pad);
        EXPECT_EQ(g[1][0], field);
        EXPECT_EQ(g[1][1], "7");
        EXPECT_EQ(e, 0);
    }
    // A file of many pieces loads every line.
    std::string many;
    for (int r = 1; r <= 6; ++r) many += "\"" + std::string(40000, static_cast<char>('a' + r)) + "\"," + std::to_string(r) + "\r\n";
    g = load_bytes(many, 6, &e);
    for (int r = 1; r <= 6; ++r) {
        EXPECT_EQ(g[static_cast<std::size_t>(r - 1)][0], std::string(40000, static_cast<char>('a' + r)));
        EXPECT_EQ(g[static_cast<std::size_t>(r - 1)][1], std::to_string(r));
    }
    // Saving a long text is not cut either.
    put(1, 1, big);
    WGridSave(Files, file(), 1, 1, 1, 1);
    EXPECT_EQ(read_file(file()), "\"" + big + "\"\r\n");
}

TEST_F(CsvTest, BlocksBoundsAndDecimalCommas) {
    fill_sample();
    struct Case {
        const char* what;
        GridOptInt c1, c2, r1, r2;
        std::string bytes;
    };
    const Case cases[] = {
        {"one cell", 2, 2, 1, 1, "-42\r\n"},
        {"bounds held to the grid", -5, 3, 0, 2, "\"He said \"\"go\"\", then left  \",-42,3.25\r\n\"  leading, and \xe9\xe8\xfc\x80\",0,\r\n"},
        {"columns past the last cut", 6, 99, 3, 3, "\"plain\",\"\"\r\n"},
        {"first column after the last", 3, 2, 1, 6, ""},
        {"first row after the last", 1, 7, 4, 3, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        write_file(file(), "old contents");
        WGridSave(Files, file(), c.c1, c.c2, c.r1, c.r2);
        EXPECT_EQ(err(), 0);
        EXPECT_EQ(read_file(file()), c.bytes);
    }
    // A real being typed with a decimal comma goes out quoted, so that it
    // stays one field and loads back.
    WGridSetCell(Files, 3, 5);
    os_set_window_text(data(Files).hEditor, "2,5");
    WGridSave(Files, file(), 3, 4, 5, 5);
    EXPECT_EQ(read_file(file()), "\"2,5\",\r\n");
}

TEST_F(CsvTest, FailuresReportAndLeaveTheOldFile) {
    fill_sample();
    write_file(file(), "old contents");
    // No grid under the field; no dialog at all; a file that cannot be made.
    WGridSave(8999, file());
    EXPECT_EQ(err(), 1006);
    WGridLoad(8999, file());
    EXPECT_EQ(err(), 1006);
    WGridSave(Files, dir.file("no/such/dir/x.csv"));
    EXPECT_EQ(err(), 1);
    WGridLoad(Files, dir.file("missing.csv"));
    EXPECT_EQ(err(), 1);
    EXPECT_EQ(shown(1, 1), "He said \"go\", then left  ");   // untouched by the failed load
    // A write that fails half-way (the file-size limit) leaves the old file
    // and no temporary file beside it.
    std::string long_text(100000, 'w');
    put(1, 1, long_text);
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    auto* previous = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    WGridSave(Files, file());
    const int e = err();
    setrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, previous);
    EXPECT_EQ(e, 2);
    EXPECT_EQ(read_file(file()), "old contents");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator()), 1);
    // A link is followed: the file it names gets the new contents.
    put(1, 1, "linked");
    std::filesystem::create_symlink(file(), file("link.csv"));
    WGridSave(Files, file("link.csv"), 1, 1, 1, 1);
    EXPECT_EQ(read_file(file()), "\"linked\"\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(file("link.csv")));
    // Without a current dialog a field id other than 0 is 1005.
    WDialogUnload();
    WGridSave(Files, file());
    EXPECT_EQ(err(), 1005);
    WGridLoad(Files, file());
    EXPECT_EQ(err(), 1005);
}

TEST(QuotesTest, ExpandAndCompressInPlace) {
    struct Case {
        std::string in, expanded, compressed;
    };
    const Case cases[] = {
        {"no quotes  ", "no quotes  ", "no quotes  "},
        {"a\"b\"   ", "a\"\"b\"\" ", "a\"b\"   "},
        {"\"\"\"\"  ", "\"\"\"\"\"\"\"\"", "\"\"    "},
        {"\"", "\"\"", "\""},
        {"x\"\"\"y ", "x\"\"\"\"\"\"y", "x\"\"y  "},
        {"", "", ""},
        {"   ", "   ", "   "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        std::string e = c.in;
        yyexpandquotes(e);
        EXPECT_EQ(e, c.expanded);
        std::string k = c.in;
        yycompressquotes(k);
        EXPECT_EQ(k, c.compressed);
    }
    // Compressing undoes expanding, up to the blanks the growth took.
    std::string t = "say \"hi\" to \"\"them\"\"";
    std::string u = t;
    yyexpandquotes(u);
    yycompressquotes(u);
    EXPECT_EQ(u.substr(0, t.size()), t);
}

}  // namespace
