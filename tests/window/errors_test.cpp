#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lib/window/errorbox.h"
#include "lib/dialog/dialog.h"
#include "lib/window/errors.h"
#include "lib/window/exitprog.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_msgbox.h"
#include "tests/support/quinda_test.h"

namespace {

struct ExitCall {
    std::string message;
    int code;
};
std::vector<ExitCall> exits;
void exit_double(std::string_view message, int code) { exits.push_back({std::string(message), code}); }

std::vector<std::string> status_lines;
int status_mode_seen = -1;
void status_double(std::string_view line) {
    status_lines.emplace_back(line);
    status_mode_seen = quinda.report_mode;
    // Errors raised while the report is delivered must not be reported.
    yyerror(1003, "windowselect");
}

std::vector<OsMessageBoxRequest> boxes;
std::vector<int> replies;
void script_box(std::vector<int> answers) {
    replies = std::move(answers);
    os_message_box_set_responder([](const OsMessageBoxRequest& r) {
        boxes.push_back(r);
        if (replies.empty()) return 0;
        const int a = replies.front();
        replies.erase(replies.begin());
        return a;
    });
}

class ErrorReportTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        exits.clear();
        status_lines.clear();
        status_mode_seen = -1;
        boxes.clear();
        replies.clear();
        exit_program_hook = exit_double;
    }
    void TearDown() override { os_message_box_set_responder({}); }
};

const std::string kText44 = "Invalid X and/or Y range in IGrArea/IGrViewport/IGrReplayArea";

}  // namespace

TEST_F(ErrorReportTest, ReportLineLayouts) {
    struct Case {
        int code;
        std::string name;
        int io, os, kind;
        std::string line;
    };
    const std::string n170(170, 'N');
    const std::string n175(175, 'N');
    const Case cases[] = {
        {44, "IGrArea", 0, 0, 0, "Routine:IGrArea Error=  44:" + kText44},
        {49, "YYPLYGON", 0, 0, 0, "Internal routine:YYPLYGON Error=  49:Fill too complex in IGrPolygonComplex"},
        {18, "yydbl2st", 0, 0, 0, "Internal routine:yydbl2st Error=  18:Numeric to string conversion error"},
        {27, "xximag", 0, 0, 0, "Internal routine:xximag Error=  27:Image file format not supported"},
        {27, "XXRAST", 0, 0, 0, "Internal routine:XXRAST Error=  27:Image file format not supported"},
        // Mixed-case pairs are public names.
        {10, "Yyfoo", 0, 0, 0, "Routine:Yyfoo Error=  10:No substring found"},
        {10, "XxBar", 0, 0, 0, "Routine:XxBar Error=  10:No substring found"},
        {10, "y", 0, 0, 0, "Routine:y Error=  10:No substring found"},
        // Trailing blanks of the name do not count.
        {10, "IFileOpen   ", 0, 0, 0, "Routine:IFileOpen Error=  10:No substring found"},
        // Numbers without a text end the line at the colon.
        {50, "IGrArea", 0, 0, 0, "Routine:IGrArea Error=  50:"},
        {9999, "A", 0, 0, 0, "Routine:A Error=9999:"},
        {-999, "A", 0, 0, 0, "Routine:A Error=-999:"},
        {10000, "A", 0, 0, 0, "Routine:A Error=****:"},
        {-1000, "A", 0, 0, 0, "Routine:A Error=****:"},
        // System texts: file errors only with an OS status kind.
        {1, "IFileOpen", 2, 0, 2,
         "Routine:IFileOpen Error=   1:Error opening file or device: The system cannot find the file specified."},
        {1, "IFileOpen", 2, 0, 1, "Routine:IFileOpen Error=   1:Error opening file or device"},
        {2, "IFileWrite", 5, 0, 2, "Routine:IFileWrite Error=   2:Error reading/writing file or device: Access is denied."},
        {3, "IFileClose", 5, 0, 2, "Routine:IFileClose Error=   3:Error closing file or device"},
        {13, "IOsCopyFile", 0, 32, 0,
         "Routine:IOsCopyFile Error=  13:Operating system error: The process cannot access the file because it is being used by another process."},
        {13, "IOsCopyFile", 0, 0, 0, "Routine:IOsCopyFile Error=  13:Operating system error:"},
        {1044, "yypngread", 0, -3, 0, "Internal routine:yypngread Error=1044:Zlib compression/decompression error: data error"},
        {1044, "yypngread", 0, 0, 0, "Internal routine:yypngread Error=1044:Zlib compression/decompression error:"},
        // Everything beyond 200 characters is cut.
        {44, n170, 0, 0, 0, "Routine:" + n170 + " Error=  44:Invalid X"},
        // No room for the system text after position 197.
        {13, n175, 0, 5, 0, "Routine:" + n175 + " Error=  13:Opera"},
    };
    for (const auto& c : cases) {
        quinda.io_status = c.io;
        quinda.os_status = c.os;
        quinda.status_kind = c.kind;
        const std::string line = yyerrorline(c.code, c.name);
        EXPECT_EQ(line.size(), 200u);
        EXPECT_EQ(txt_trim(line), c.line) << c.code << " " << c.name.substr(0, 20);
        ASSERT_LE(c.line.size(), 200u);
    }
}

TEST_F(ErrorReportTest, OverlongNamesAreCutAndTheNumberStaysInTheLine) {
    // A name that fills the line leaves no room for the template; the number
    // still goes into the four positions before the end.
    const std::string name(250, 'N');
    const std::string line = yyerrorline(44, name);
    EXPECT_EQ(line, "Routine:" + std::string(187, 'N') + "  44" + "N");
    const std::string internal = yyerrorline(44, "yy" + name);
    EXPECT_EQ(internal.size(), 200u);
    EXPECT_EQ(internal.substr(0, 19), "Internal routine:yy");
}

TEST_F(ErrorReportTest, ModeZeroOnlySetsTheLastError) {
    testing::internal::CaptureStdout();
    yyerror(44, "IGrArea");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(infoerror(1), 44);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(ErrorReportTest, ModeOneWritesOneLineToStandardOutput) {
    idebuglevel(1);
    testing::internal::CaptureStdout();
    yyerror(44, "IGrArea");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Routine:IGrArea Error=  44:" + kText44 + "\n");
    EXPECT_EQ(quinda.last_error, 44);
    EXPECT_EQ(quinda.report_mode, 1);
}

TEST_F(ErrorReportTest, ModeTwoWritesTheDebugFile) {
    TempDir dir(true);
    write_file(dir.file("debug"), "old contents\r\n");
    idebuglevel(2);
    yyerror(44, "IGrArea");
    yyerror(50, "YYX");
    EXPECT_EQ(read_file(dir.file("debug")),
              "Routine:IGrArea Error=  44:" + kText44 + "\r\nInternal routine:YYX Error=  50:\r\n");
    EXPECT_EQ(infoerror(1), 50);
}

TEST_F(ErrorReportTest, DebugFileFallsBackThroughItsThreeNames) {
    struct Case {
        std::vector<std::string> blocked;   // directories in the way
        std::string file;                   // where the line lands; empty: lost
    };
    const Case cases[] = {
        {{}, "debug"},
        {{"debug"}, "debug.txt"},
        {{"debug", "debug.txt"}, "debug.dat"},
        {{"debug", "debug.txt", "debug.dat"}, ""},
    };
    for (const auto& c : cases) {
        reset_error_services();
        TempDir dir(true);
        for (const auto& b : c.blocked) std::filesystem::create_directory(dir.file(b));
        idebug("first  ");
        yydebugi("count", -12);
        yydebugc("third");
        if (c.file.empty()) {
            EXPECT_EQ(debug_file.file, nullptr);
            EXPECT_TRUE(debug_file.opened_once);
        } else {
            EXPECT_EQ(read_file(dir.file(c.file)), "first  \r\ncount=-12\r\nthird\r\n") << c.file;
        }
        reset_error_services();
    }
}

TEST_F(ErrorReportTest, DebugFileIsCreatedOnceAndNeverReopened) {
    TempDir dir(true);
    yydebugc("one");
    std::filesystem::remove(dir.file("debug"));
    yydebugc("two");   // goes to the file that is still open, not to a new one
    EXPECT_FALSE(std::filesystem::exists(dir.file("debug")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("debug.txt")));
}

TEST_F(ErrorReportTest, DebugIntegerLineFitsItsHundredCharacters) {
    TempDir dir(true);
    yydebugi(std::string(150, 'n').c_str(), 2147483647);
    const std::string got = read_file(dir.file("debug"));
    EXPECT_EQ(got, std::string(99 - 13, 'n') + "=2147483647\r\n");
    EXPECT_EQ(got.size(), 99u);
}

TEST_F(ErrorReportTest, ModeThreeGoesToTheStatusBarHook) {
    idebuglevel(3);
    yyerror(44, "IGrArea");   // no root window yet: the line is lost quietly
    EXPECT_EQ(quinda.last_error, 44);
    error_statusbar_hook = status_double;
    yyerror(44, "IGrArea");
    ASSERT_EQ(status_lines.size(), 1u);
    EXPECT_EQ(status_lines[0], "Routine:IGrArea Error=  44:" + kText44);
    EXPECT_EQ(status_mode_seen, 0);
    // The hook's own error was recorded, not reported, and replaced again.
    EXPECT_EQ(quinda.last_error, 44);
    EXPECT_EQ(quinda.report_mode, 3);
}

TEST_F(ErrorReportTest, ModeFourShowsTheBoxAndGoesOnAfterOk) {
    idebuglevel(4);
    script_box({OS_IDOK});
    yyerror(44, "IGrArea");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Routine:IGrArea\rError=  44\r" + kText44);
    EXPECT_EQ(boxes[0].caption, "Library Error");
    EXPECT_EQ(boxes[0].style, OS_MB_OKCANCEL | OS_MB_ICONEXCLAMATION | OS_MB_DEFBUTTON1);
    EXPECT_TRUE(exits.empty());
    EXPECT_EQ(yywmessageboxresult(), 1);
    EXPECT_EQ(infoerror(1), 44);
    EXPECT_EQ(infoerror(4), 4);
}

TEST_F(ErrorReportTest, ModeFourBoxTextKeepsTheSystemText) {
    idebuglevel(4);
    script_box({OS_IDOK});
    quinda.os_status = -3;
    yyerror(1044, "yypngread");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Internal routine:yypngread\rError=1044\rZlib compression/decompression error: data error");
}

TEST_F(ErrorReportTest, ModeFourCancelEndsTheProgramWithCodeZero) {
    idebuglevel(4);
    script_box({OS_IDCANCEL});
    yyerror(44, "IGrArea");
    ASSERT_EQ(exits.size(), 1u);
    EXPECT_EQ(exits[0].message, " ");
    EXPECT_EQ(exits[0].code, 0);
}

TEST_F(ErrorReportTest, ModeFourWithoutABoxWritesStandardErrorAndGoesOn) {
    idebuglevel(4);
    // A Cancel first, so that the last box result is 0 when the next box fails.
    script_box({OS_IDCANCEL, 0});
    yyerror(44, "IGrArea");
    ASSERT_EQ(exits.size(), 1u);
    testing::internal::CaptureStderr();
    yyerror(49, "YYPLYGON");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Internal routine:YYPLYGON Error=  49:Fill too complex in IGrPolygonComplex\n");
    EXPECT_EQ(exits.size(), 1u);
    EXPECT_EQ(quinda.last_error, 49);
    EXPECT_EQ(quinda.report_mode, 4);

    // The same when no one answers at all (offscreen, nothing scripted).
    os_message_box_set_responder({});
    testing::internal::CaptureStderr();
    yyerror(44, "IGrArea");
    // The toolkit may say something of its own when it starts; the report
    // line is the last line.
    const std::string err = testing::internal::GetCapturedStderr();
    const std::string want = "Routine:IGrArea Error=  44:" + kText44 + "\n";
    ASSERT_GE(err.size(), want.size());
    EXPECT_EQ(err.substr(err.size() - want.size()), want);
    EXPECT_EQ(exits.size(), 1u);
    EXPECT_EQ(infoerror(1), 44);
}

TEST_F(ErrorReportTest, ModeFourGoesThroughTheLibrarysMessageBox) {
    idebuglevel(4);
    dialog_state.exit_field = 7;
    script_box({OS_IDOK, OS_IDCANCEL});
    yyerror(44, "IGrArea");
    // The box is the dialog manager's: its answer and exit field are the library's state.
    EXPECT_EQ(dialog_state.last_result, 1);
    EXPECT_EQ(dialog_state.exit_field, 0);
    EXPECT_TRUE(exits.empty());
    yyerror(44, "IGrArea");
    EXPECT_EQ(dialog_state.last_result, 0);
    EXPECT_EQ(exits.size(), 1u);
    EXPECT_EQ(boxes.size(), 2u);
}

using ErrorReportDeathTest = ErrorReportTest;

TEST_F(ErrorReportDeathTest, CancelReallyExitsWithCodeZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            exit_program_hook = exit_program_default;
            script_box({OS_IDCANCEL});
            idebuglevel(4);
            yyerror(44, "IGrArea");
            std::exit(7);   // not reached
        },
        testing::ExitedWithCode(0), "");
}

TEST_F(ErrorReportTest, InfoErrorClearsOnlyItsOwnItems) {
    struct Case {
        int item;
        int expected;
        int last, io, os;   // afterwards
    };
    const Case cases[] = {
        {1, 11, 0, 22, 33}, {2, 22, 11, 0, 33}, {3, 33, 11, 22, 0},
        {4, 3, 11, 22, 33}, {5, 2, 11, 22, 33}, {6, 0, 11, 22, 33}, {0, 0, 11, 22, 33},
    };
    for (const auto& c : cases) {
        quinda.last_error = 11;
        quinda.io_status = 22;
        quinda.os_status = 33;
        quinda.report_mode = 3;
        quinda.status_kind = 2;
        EXPECT_EQ(infoerror(c.item), c.expected) << c.item;
        EXPECT_EQ(quinda.last_error, c.last) << c.item;
        EXPECT_EQ(quinda.io_status, c.io) << c.item;
        EXPECT_EQ(quinda.os_status, c.os) << c.item;
        EXPECT_EQ(quinda.report_mode, 3);
        EXPECT_EQ(quinda.status_kind, 2);
    }
}

TEST_F(ErrorReportTest, DebugLevelAcceptsOnlyZeroToFour) {
    const int levels[] = {2, 5, -1, 4, 99, 0};
    const int after[] = {2, 2, 2, 4, 4, 0};
    for (std::size_t i = 0; i < std::size(levels); ++i) {
        idebuglevel(levels[i]);
        EXPECT_EQ(infoerror(4), after[i]) << levels[i];
    }
    yyseterror(77);
    EXPECT_EQ(infoerror(1), 77);
}
