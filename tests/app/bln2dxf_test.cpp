#include "app/bln2dxf.h"

#include <filesystem>

#include "tests/app/app_test.h"

namespace {

class Bln2DxfTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        bln = dir.file("in.bln");
        dxf = dir.file("a.dxf");
    }
    std::vector<std::string> head(float xmin, float ymin, float xmax, float ymax) const {
        return head_text(edit_f(xmin, 10, 2), edit_f(ymin, 10, 2), edit_f(xmax, 10, 2), edit_f(ymax, 10, 2));
    }
    static std::vector<std::string> head_text(const std::string& x0, const std::string& y0, const std::string& x1,
                                              const std::string& y1) {
        return {"  0", "SECTION", "  2", "HEADER",  "  9", "$EXTMIN", " 10", x0,        " 20", y0,
                "  9", "$EXTMAX", " 10", x1,        " 20", y1,        "  9", "$LUPREC", " 70", "   14",
                "  0", "ENDSEC",  "  0", "SECTION", "  2", "TABLES",  "  0", "ENDSEC",  "  0", "SECTION",
                "  2", "BLOCKS",  "  0", "ENDSEC",  "  0", "SECTION", "  2", "ENTITIES"};
    }
    static void add(std::vector<std::string>& v, std::initializer_list<std::string> more) {
        v.insert(v.end(), more.begin(), more.end());
    }
    TempDir dir;
    std::string bln, dxf;
};

}  // namespace

TEST_F(Bln2DxfTest, OneBlock) {
    write_file(bln, "2 1\n0 0\n10 5\n");
    ASSERT_TRUE(bln2dxf(bln, dxf));
    auto expected = head(0, 0, 10, 5);
    add(expected, {"  0", "POLYLINE", "  8", "0a.dxf", " 62", "  1", " 66", "   1"});
    add(expected, {"  0", "VERTEX", "  8", "0a.dxf", " 10", "      0.00", " 20", "      0.00"});
    add(expected, {"  0", "VERTEX", "  8", "0a.dxf", " 10", "     10.00", " 20", "      5.00"});
    add(expected, {"  0", "SEQEND", "  8", "0a.dxf", "  0", "ENDSEC", "  0", "EOF"});
    EXPECT_EQ(crlf_lines(read_file(dxf)), expected);
    EXPECT_TRUE(errors().empty());
}

TEST_F(Bln2DxfTest, BlocksWithoutPointsAndSeveralBlocks) {
    write_file(bln, "0 3\r\n1, 7 extra text\r\n-2.5 3.25\r\n");
    ASSERT_TRUE(bln2dxf(bln, dxf));
    auto expected = head(-2.5f, 3.25f, -2.5f, 3.25f);
    add(expected, {"  0", "POLYLINE", "  8", "0a.dxf", " 62", "  3", " 66", "   1", "  0", "SEQEND", "  8", "0a.dxf"});
    add(expected, {"  0", "POLYLINE", "  8", "0a.dxf", " 62", "  7", " 66", "   1"});
    add(expected, {"  0", "VERTEX", "  8", "0a.dxf", " 10", "     -2.50", " 20", "      3.25"});
    add(expected, {"  0", "SEQEND", "  8", "0a.dxf", "  0", "ENDSEC", "  0", "EOF"});
    EXPECT_EQ(crlf_lines(read_file(dxf)), expected);
}

// An empty map has no extent; its limits stay the start values, written in
// full instead of as fields of asterisks, and the entities section is empty.
TEST_F(Bln2DxfTest, EmptyFile) {
    write_file(bln, "\n\n");
    ASSERT_TRUE(bln2dxf(bln, dxf));
    auto expected = head_text("10000000000.00", "10000000000.00", "-10000000000.00", "-10000000000.00");
    add(expected, {"  0", "ENDSEC", "  0", "EOF"});
    EXPECT_EQ(crlf_lines(read_file(dxf)), expected);
}

TEST_F(Bln2DxfTest, LargeCoordinatesAreWidenedNotStarred) {
    write_file(bln, "1 300\n155000.5 12345678\n");
    ASSERT_TRUE(bln2dxf(bln, dxf));
    const auto lines = crlf_lines(read_file(dxf));
    EXPECT_EQ(lines[7], " 155000.50");
    EXPECT_EQ(lines[9], "12345678.00");
    EXPECT_EQ(lines[43], "300");
    const std::string all = read_file(dxf);
    EXPECT_EQ(all.find('*'), std::string::npos);
}

TEST_F(Bln2DxfTest, LayerNameIsTheFileNameMadeValid) {
    const struct {
        const char* file;
        const char* layer;
    } cases[] = {
        {"a.dxf", "0a.dxf"},
        {"C:\\maps\\flow.dxf", "0flow.dxf"},
        {"/tmp/my maps/river map.dxf  ", "0river_map.dxf"},
        {"x:y;z.dxf", "0x_y_z.dxf"},
        {"", "0"},
    };
    for (const auto& c : cases) EXPECT_EQ(dxf_layer_name(c.file), c.layer) << c.file;
}

TEST_F(Bln2DxfTest, BadInputLeavesNoDrawing) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"2 1\n0 0\n", "unexpected end of file"},
        {"2 1\n0 0\nx 5\n", "line 3: point x y expected"},
        {"2.5 1\n0 0\n1 1\n", "line 1: block header of two integers expected"},
        {"1\n", "block header"},
        {"1 1\n7\n", "point x y"},
    };
    for (const auto& c : cases) {
        write_file(bln, c.text);
        write_file(dxf, "old drawing");
        errors().clear();
        EXPECT_FALSE(bln2dxf(bln, dxf)) << c.text;
        ASSERT_EQ(errors().size(), 1u) << c.text;
        EXPECT_NE(errors()[0].find(c.error), std::string::npos) << errors()[0];
        EXPECT_EQ(read_file(dxf), "old drawing") << c.text;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
    errors().clear();
    EXPECT_FALSE(bln2dxf(dir.file("missing.bln"), dxf));
    EXPECT_EQ(errors().size(), 1u);
}
