#include "app/femwrite.h"

#include "app/femread.h"

#include <algorithm>
#include <vector>

#include "lib/window/text.h"
#include "tests/app/app_test.h"

namespace {

// A model of three nodes and two aquifers; value(i, p) = 100 i + p.
class LayerTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        dat4.nnode = 3;
        dat4.naq = 2;
        for (int i = 1; i <= 3; ++i)
            for (int p = 0; p < ValuePlanes; ++p) dat7.value(i, p) = static_cast<float>(100 * i + p);
        dat4.nwell = 3;
        const int aq[] = {1, 2, 2};
        for (int w = 1; w <= 3; ++w) dat2.wellint1(w) = aq[w - 1];
    }
    // Plane p of every node, as numbers relative to the original 100 i + p.
    static std::vector<float> planes(int p) {
        std::vector<float> v;
        for (int i = 1; i <= 3; ++i) v.push_back(dat7.value(i, p) == 999.0f ? -1.0f : dat7.value(i, p) - 100 * i);
        return v;
    }
    static std::vector<int> wells() { return {dat2.wellint1(1), dat2.wellint1(2), dat2.wellint1(3)}; }
    static std::vector<float> all(float v) { return {v, v, v}; }
};

}  // namespace

TEST_F(LayerTest, InsertAtTheBottomMovesEveryAquiferUp) {
    ASSERT_TRUE(laagerbij(0));
    EXPECT_EQ(dat4.naq, 3);
    for (int p = 1; p <= 3; ++p) EXPECT_EQ(planes(p), all(-1)) << p;   // 999.0
    for (int p = 4; p <= 9; ++p) EXPECT_EQ(planes(p), all(static_cast<float>(p - 3))) << p;
    EXPECT_EQ(planes(0), all(0));
    EXPECT_EQ(wells(), (std::vector<int>{2, 3, 3}));
}

TEST_F(LayerTest, InsertAtTheTopAppends) {
    ASSERT_TRUE(laagerbij(2));
    EXPECT_EQ(dat4.naq, 3);
    for (int p = 0; p <= 6; ++p) EXPECT_EQ(planes(p), all(static_cast<float>(p))) << p;
    for (int p = 7; p <= 9; ++p) EXPECT_EQ(planes(p), all(-1)) << p;
    EXPECT_EQ(wells(), (std::vector<int>{1, 2, 2}));
}

TEST_F(LayerTest, InsertInBetween) {
    ASSERT_TRUE(laagerbij(1));
    for (int p = 4; p <= 6; ++p) EXPECT_EQ(planes(p), all(-1)) << p;
    for (int p = 7; p <= 9; ++p) EXPECT_EQ(planes(p), all(static_cast<float>(p - 3))) << p;
    EXPECT_EQ(wells(), (std::vector<int>{1, 3, 3}));
}

TEST_F(LayerTest, RemoveMovesTheUpperAquifersDown) {
    ASSERT_TRUE(laageraf(1));
    EXPECT_EQ(dat4.naq, 1);
    for (int p = 1; p <= 3; ++p) EXPECT_EQ(planes(p), all(static_cast<float>(p + 3))) << p;
    // Wells of the removed aquifer keep its number and so join the one above.
    EXPECT_EQ(wells(), (std::vector<int>{1, 1, 1}));
}

TEST_F(LayerTest, LayerNumbersAreChecked) {
    const std::vector<float> before(dat7.value.a.begin(), dat7.value.a.end());
    const struct {
        bool insert;
        int l;
        int naq;
    } cases[] = {{true, -1, 2}, {true, 3, 2}, {true, 0, 17}, {false, 0, 2}, {false, 3, 2}, {false, 1, 0}};
    for (const auto& c : cases) {
        dat4.naq = c.naq;
        errors().clear();
        EXPECT_FALSE(c.insert ? laagerbij(c.l) : laageraf(c.l)) << c.insert << " " << c.l;
        EXPECT_EQ(errors().size(), 1u);
        EXPECT_EQ(dat4.naq, c.naq);
        EXPECT_EQ(wells(), (std::vector<int>{1, 2, 2}));
        EXPECT_TRUE(std::equal(before.begin(), before.end(), dat7.value.a.begin()));
    }
}

TEST_F(LayerTest, RemovingFromAFullModelStaysInsideThePlanes) {
    dat4.naq = 17;
    ASSERT_TRUE(laageraf(1));
    EXPECT_EQ(dat4.naq, 16);
    EXPECT_EQ(planes(48), all(51));
    EXPECT_EQ(planes(51), all(51));   // the last aquifer's planes are left as they were
    EXPECT_EQ(planes(52), all(52));   // the spare plane is not touched
}

namespace {

class SaveFemTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        name = dir.file("model.fem");
        for (int t = 1; t <= TitleLines; ++t) txt_set(text.title(t), "title " + std::to_string(t));
        dat4.nnode = 2;
        dat4.nelemhdr = 1;
        dat4.naq = 1;
        dat4.nwell = 1;
        dat1.ihdr1 = 5;
        dat1.ihdr2 = 6;
        dat11.ext(1) = 0;
        dat11.ext(2) = 0;
        dat11.ext(3) = 100;
        dat11.ext(4) = 50;
        // A zoomed view, which the file does not record.
        dat9 = {10, 10, 20, 20};
        dat1.nodecode(1) = 1;
        dat4.xnode(1) = 0;
        dat4.ynode(1) = 0;
        dat7.value(1, 0) = 10.5f;
        dat1.nodeint(1) = 3;
        dat7.value(1, 3) = 7.25f;
        dat7.value(1, 1) = 100;
        dat7.value(1, 2) = 0.001f;
        dat6.nnb(1) = -3;
        dat6.nb(1, 1) = 9;
        dat6.nb(1, 2) = 2;
        dat6.nb(1, 3) = 3;
        dat6.nb(1, 4) = 2;
        dat4.xnode(2) = 100;
        dat4.ynode(2) = 50;
        dat7.value(2, 0) = -1.5f;
        dat1.nodeint(2) = 4;
        dat7.value(2, 3) = 1.0E-7f;
        dat7.value(2, 1) = 1;
        dat7.value(2, 2) = 2;
        dat6.nnb(2) = 2;
        dat6.nb(2, 1) = 8;
        dat6.nb(2, 2) = 1;
        dat1.nodeextra(2) = 12;
        dat2.wellint1(1) = 1;
        dat2.wellint2(1) = 2;
        dat2.wellval(1) = -350.5f;
        dat4.nlabel = 2;
        txt_set(label.labline(1), "label one");
    }
    TempDir dir;
    std::string name;
};

}  // namespace

TEST_F(SaveFemTest, WritesTheModelFileLayout) {
    ASSERT_TRUE(savefem(name));
    std::vector<std::string> expected;
    for (int t = 1; t <= TitleLines; ++t) expected.push_back(txt_fixed("title " + std::to_string(t), 80));
    const std::vector<std::string> rest = {
        "         2         1         1         1",
        "    100.000        0.00000    ",
        "    50.0000        0.00000    ",
        "         5         6",
        " 1 0 0 10.5 3 7.25",
        " 100 0.001",
        "         3         9         2         3",
        " 0 100 50 -1.5 4 1e-07",
        " 1 2",
        "         2         8         1        12",
        " 1 2 -350.5",
        "label one",
        "",
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_EQ(crlf_lines(read_file(name)), expected);
}

TEST_F(SaveFemTest, NoAquifersGiveAnEmptyRecord) {
    dat4.naq = 0;
    ASSERT_TRUE(savefem(name));
    const auto lines = crlf_lines(read_file(name));
    EXPECT_EQ(lines[19], " 1 0 0 10.5");
    EXPECT_EQ(lines[20], "");
}

TEST_F(SaveFemTest, LongNeighbourListKeepsItsExtraValueOnItsLine) {
    dat6.nnb(1) = 24;
    for (int e = 1; e <= 24; ++e) dat6.nb(1, e) = 40000 + e;
    dat1.nodeextra(1) = -7;
    ASSERT_TRUE(savefem(name));
    TextIn in;
    ASSERT_TRUE(in.open(name));
    std::string_view line;
    for (int k = 0; k < 22; ++k) in.next_line(line);
    // The record is one line: the count, 24 entries and the extra value.
    EXPECT_EQ(line.size(), 260u);
    EXPECT_EQ(nveld(line), 26);
    float extra = 0;
    EXPECT_TRUE(datstr(26, line, extra));
    EXPECT_EQ(extra, -7.0f);
}

TEST_F(SaveFemTest, WrittenValuesReadBack) {
    dat4.xnode(1) = 155000.4f;
    dat7.value(1, 3) = 0.1f;
    dat11.ext(3) = 155000.4f;
    ASSERT_TRUE(savefem(name));
    TextIn in;
    ASSERT_TRUE(in.open(name));
    std::string_view line;
    for (int k = 0; k < 16; ++k) in.next_line(line);
    float xmax = 0, xmin = 1;
    ASSERT_EQ(FreeRead(in).r(xmax).r(xmin).end(), RecStatus::Ok);
    EXPECT_EQ(xmax, 155000.4f);
    EXPECT_EQ(xmin, 0.0f);
    in.next_line(line);
    in.next_line(line);
    std::int32_t code = 0, nint = 0;
    float x = 0, y = 0, ref = 0, head = 0;
    ASSERT_EQ(FreeRead(in).i(code).r(x).r(y).r(ref).i(nint).r(head).end(), RecStatus::Ok);
    EXPECT_EQ(x, 155000.4f);
    EXPECT_EQ(head, 0.1f);
}

TEST_F(SaveFemTest, RefusesWhatTheDataModelCannotHold) {
    write_file(name, "old");
    dat6.nnb(2) = 26;
    EXPECT_FALSE(savefem(name));
    dat6.nnb(2) = 2;
    dat4.naq = 18;
    EXPECT_FALSE(savefem(name));
    dat4.naq = 1;
    dat4.nlabel = 1001;
    EXPECT_FALSE(savefem(name));
    EXPECT_EQ(errors().size(), 3u);
    EXPECT_EQ(read_file(name), "old");
}

// Integers of the fixed-width records that fill or overflow ten columns are
// neither run into the field before them nor written as asterisks: the
// model written reads back with the same values.
TEST_F(SaveFemTest, WideIntegersReadBackUnchanged) {
    dat6.nb(1, 3) = 1;   // a ring inside the model, so the file is a model
    const std::int32_t cases[] = {1000000000, -999999999, -2147483647 - 1, 2147483647, 999999999};
    for (const std::int32_t v : cases) {
        dat1.ihdr2 = v;
        dat6.nb(2, 1) = v;
        // Read back through a single-precision real, so one that it holds exactly.
        dat1.nodeextra(2) = -1000000000;
        ASSERT_TRUE(savefem(name)) << v;
        FemModel m;
        ASSERT_EQ(read_fem_model(name, m), FemLoaded) << v << " " << (errors().empty() ? "" : errors()[0]);
        EXPECT_EQ(m.ihdr1, 5) << v;
        EXPECT_EQ(m.ihdr2, v);
        EXPECT_EQ(m.ring(2, 1), v);
        EXPECT_EQ(m.ring(2, 2), 1) << v;
        EXPECT_EQ(m.nodeextra[1], -1000000000) << v;
    }
}
