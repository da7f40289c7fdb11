// Flowlines to BLN: the temporary records, the BLN blocks, markers, the
// commands that open lines, Append, bad input, and the DXF output of the
// command read back by a DXF library.
#include "app/flowlines.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "app/apphooks.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "lib/window/text.h"
#include "platform/os_commondlg.h"
#include "platform/os_msgbox.h"
#include "tests/app/app_test.h"
#include "tests/app/dialog_script.h"

namespace {

// A flowline line: the command and the point in two F10.1 fields.
std::string fl(const char* cmd, float x, float y) { return std::string(cmd) + edit_f(x, 10, 1) + edit_f(y, 10, 1); }

std::string header(int n) { return edit_i(n, 10) + edit_i(1, 10); }

class FlowlineTest : public AppTest {
protected:
    TempDir dir{true};
    void SetUp() override {
        AppTest::SetUp();
        dat19.home = txt_fixed(dir.path().string() + "/", TextLength);
        dat19.lhome = static_cast<int>(txt_len(dat19.home));
        // Marker size 0.8 (1 % of the height, 0.8 % of the width).
        dat9 = Dat9{0, 0, 100, 80};
    }
    static void write_flow(const std::vector<std::string>& lines) {
        TextOut o;
        ASSERT_TRUE(o.create("flow.txt"));
        for (const std::string& l : lines) o.line(l);
        ASSERT_TRUE(o.commit());
    }
    // The temporary files left in home.
    int temporaries() const {
        int n = 0;
        for (const auto& e : std::filesystem::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind("flow2bln", 0) == 0) ++n;
        return n;
    }
    // The counts of the BLN file's blocks.
    static std::vector<int> block_counts(const std::string& name) {
        std::vector<int> counts;
        const auto l = crlf_lines(read_file(name));
        for (std::size_t k = 0; k < l.size();) {
            std::int32_t n = 0;
            EXPECT_TRUE(read_i(l[k].substr(0, 10), n)) << l[k];
            counts.push_back(n);
            k += static_cast<std::size_t>(n) + 1;
        }
        return counts;
    }
};

}  // namespace

TEST_F(FlowlineTest, ThreeLineExample) {
    write_flow({fl("ma", 100, 200), fl("da", 110, 200), fl("da", 120, 210)});
    ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 0));
    const std::string tmp = flowline_records();
    ASSERT_EQ(tmp.size(), 4u * 80u);
    EXPECT_EQ(tmp.substr(0, 80), edit_i(3, 10) + edit_i(0, 10) + std::string(58, ' ') + "\r\n");
    EXPECT_EQ(tmp.substr(80, 80), (edit_f(100, 10, 1) + edit_f(200, 10, 1)).append(58, ' ') + "\r\n");
    EXPECT_EQ(dat80.nrec, 4);
    const auto bln = crlf_lines(read_file("map.bln"));
    ASSERT_EQ(bln.size(), 4u);
    EXPECT_EQ(bln[0], "         3         1");
    TextIn in;
    in.open_text(read_file("map.bln"));
    std::string_view skip;
    in.next_line(skip);
    const float want[3][2] = {{100, 200}, {110, 200}, {120, 210}};
    for (const auto& w : want) {
        float x = 0, y = 0;
        FreeRead r(in);
        r.r(x).r(y);
        ASSERT_EQ(r.end(), RecStatus::Ok);
        EXPECT_EQ(x, w[0]);
        EXPECT_EQ(y, w[1]);
    }
}

TEST_F(FlowlineTest, BlocksOfMarkersAndLines) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        std::vector<int> counts;
    } cases[] = {
        {"pm then da starts a line", {fl("ma", 1, 1), fl("da", 2, 2), fl("pm", 3, 3), fl("da", 4, 4), fl("da", 5, 5)}, {2, 5, 2}},
        {"single point as two", {fl("ma", 1, 1), fl("ma", 2, 2), fl("da", 3, 3)}, {2, 2}},
        {"leading da", {fl("da", 1, 1), fl("da", 2, 2), fl("da", 3, 3)}, {3}},
        {"leading pm", {fl("pm", 1, 1), fl("da", 2, 2), fl("da", 3, 3)}, {5, 2}},
        {"markers 1, 2, then 1 after an empty line",
         {fl("pm", 1, 1), fl("pm", 2, 2), "", fl("pm", 3, 3), "xx ignored", fl("ma", 4, 4)}, {5, 4, 5, 2}},
        {"the 11th marker is the 1st",
         {fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0),
          fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0), fl("pm", 0, 0)},
         {5, 4, 5, 5, 10, 7, 10, 9, 8, 5, 5, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_flow(c.lines);
        ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 0));
        EXPECT_EQ(block_counts("map.bln"), c.counts);
    }
    // The lone point is written twice; the leading "da" keeps its point.
    write_flow({fl("ma", 7, 8)});
    ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 0));
    const auto bln = crlf_lines(read_file("map.bln"));
    ASSERT_EQ(bln.size(), 3u);
    EXPECT_EQ(bln[1], bln[2]);
}

TEST_F(FlowlineTest, MarkerOutlinesAroundThePoint) {
    TextOut out;
    out.memory();
    int m = 13;
    marker(m, 10, 20, 0.8f, out);
    EXPECT_EQ(m, 3);
    const auto l = crlf_lines(out.str());
    ASSERT_EQ(l.size(), 6u);
    EXPECT_EQ(l[0], header(5).substr(0, 10) + edit_i(1, 10));
    // The hourglass: (-1, -2) quarters of the size first.
    TextIn in;
    in.open_text(out.str());
    std::string_view skip;
    in.next_line(skip);
    float x = 0, y = 0;
    FreeRead r(in);
    r.r(x).r(y);
    EXPECT_FLOAT_EQ(x, 10 - 0.2f);
    EXPECT_FLOAT_EQ(y, 20 - 0.4f);
}

TEST_F(FlowlineTest, AppendKeepsEarlierBlocks) {
    write_flow({fl("ma", 1, 1), fl("da", 2, 2), fl("pm", 3, 3), fl("ma", 4, 4), fl("da", 5, 5)});
    ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 0));
    const std::vector<int> once = block_counts("map.bln");
    ASSERT_EQ(once, (std::vector<int>{2, 5, 2}));
    ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 1));
    EXPECT_EQ(block_counts("map.bln"), (std::vector<int>{2, 5, 2, 2, 5, 2}));
    // After a restart the counter is 0; the blocks still follow the file's
    // last record instead of overwriting its start.
    dat80.nrec = 0;
    write_flow({fl("ma", 9, 9), fl("da", 8, 8), fl("da", 7, 7)});
    ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 1));
    EXPECT_EQ(block_counts("map.bln"), (std::vector<int>{2, 5, 2, 2, 5, 2, 3}));
    // Overwrite starts again.
    ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 0));
    EXPECT_EQ(block_counts("map.bln"), (std::vector<int>{3}));
}

TEST_F(FlowlineTest, BadInputLeavesNoMapFile) {
    struct Case {
        const char* name;
        std::vector<std::string> lines;
        const char* message;
    } cases[] = {
        {"unreadable point", {fl("ma", 1, 1), "da  abc       2.0"}, "line 2"},
        {"no flowline commands", {"xx", ""}, "no flowline commands"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        errors().clear();
        std::filesystem::remove("map.bln");
        write_flow(c.lines);
        EXPECT_FALSE(flow2bln("flow.txt", "map.bln", 0));
        ASSERT_EQ(errors().size(), 1u);
        EXPECT_NE(errors()[0].find(c.message), std::string::npos) << errors()[0];
        EXPECT_NE(errors()[0].find("flow.txt"), std::string::npos) << errors()[0];
        EXPECT_FALSE(std::filesystem::exists("map.bln"));
        EXPECT_EQ(temporaries(), 0);
    }
    errors().clear();
    EXPECT_FALSE(flow2bln("missing.txt", "map.bln", 0));
    EXPECT_EQ(errors().size(), 1u);
}

// The temporary file has a name of its own, so that a file of that fixed
// name (another run's, or anything else) is neither read nor overwritten,
// and it is gone when the conversion ends, whether it succeeds or fails.
TEST_F(FlowlineTest, TemporaryFileIsItsOwnAndRemoved) {
    write_file("flow2bln.tmp", "someone else's file\n");
    write_flow({fl("ma", 1, 1), fl("da", 2, 2)});
    ASSERT_TRUE(flow2bln("flow.txt", "map.bln", 0));
    EXPECT_EQ(read_file("flow2bln.tmp"), "someone else's file\n");
    std::filesystem::remove("flow2bln.tmp");
    EXPECT_EQ(temporaries(), 0);
    // A map file that cannot be written: the conversion fails after the
    // temporary file was made.
    errors().clear();
    EXPECT_FALSE(flow2bln("flow.txt", "no-such-dir/map.bln", 0));
    EXPECT_EQ(errors().size(), 1u);
    EXPECT_EQ(temporaries(), 0);
    // And the next conversion works as before.
    EXPECT_TRUE(flow2bln("flow.txt", "map.bln", 0));
    EXPECT_EQ(temporaries(), 0);
}

TEST_F(FlowlineTest, CommandWritesDxfThatAReaderAccepts) {
    write_flow({fl("ma", 1, 1), fl("da", 20, 2), fl("pm", 30, 3), fl("da", 40, 4), fl("da", 50, 50)});
    flowline_state.flowfile = txt_fixed("flow.txt", TextLength);
    // The save dialog asks before it replaces an old map file; the old one
    // is chosen here, and replaced.
    write_flow({"old"});
    std::filesystem::copy_file("flow.txt", "flow.dxf");
    write_flow({fl("ma", 1, 1), fl("da", 20, 2), fl("pm", 30, 3), fl("da", 40, 4), fl("da", 50, 50)});
    std::vector<OsCommonDialogRequest> asked;
    os_common_dialog_set_responder([&](const OsCommonDialogRequest& rq) {
        asked.push_back(rq);
        OsCommonDialogAnswer a;
        a.ok = true;
        a.files = {dir.path().string() + "/flow.dxf"};
        return a;
    });
    std::vector<std::string> questions;
    os_message_box_set_responder([&](const OsMessageBoxRequest& r) {
        questions.push_back(r.text);
        return OS_IDYES;
    });
    flowline_state.flowmap = txt_fixed("old.dxf", TextLength);
    // Browse for the map file, then Convert; DXF stays chosen.
    ScopedDialogScript user({{1054}, {1003}});
    flowline_state.flowfmt = 2;
    flowline_state.flowmode = 1;
    cmd_flowlines();
    os_common_dialog_set_responder({});
    os_message_box_set_responder({});
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].title, "Write map file");
    EXPECT_EQ(asked[0].kind, OsCommonDialogKind::Save);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("Do you want to replace it?"), std::string::npos) << questions[0];
    EXPECT_TRUE(asked[0].name.empty()) << asked[0].name;
    ASSERT_TRUE(errors().empty()) << errors()[0];
    EXPECT_EQ(flowline_state.flowfmt, 2);
    EXPECT_EQ(mainstate.showmaps, 1);
    EXPECT_EQ(txt_trim(map_bln.mapfile(4)), dir.path().string() + "/zeltramo.bln");
    EXPECT_EQ(block_counts("zeltramo.bln"), (std::vector<int>{2, 5, 2}));
    EXPECT_EQ(txt_trim(flowline_state.flowmap), dir.path().string() + "/flow.dxf");
    ASSERT_TRUE(std::filesystem::exists("flow.dxf"));
    if (run_command("/usr/bin/python3 -c 'import ezdxf' 2>&1; echo rc=$?").find("rc=0") == std::string::npos)
        GTEST_SKIP() << "python3-ezdxf is not installed";
    const std::string out = run_command(
        "/usr/bin/python3 -c \"import ezdxf; d = ezdxf.readfile('flow.dxf'); a = d.audit(); "
        "print(len(a.errors), len(d.modelspace().query('POLYLINE')))\" 2>&1");
    EXPECT_EQ(out, "0 3\n");
}
