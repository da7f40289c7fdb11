// Byte-stream files and the text units.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "lib/window/bytefile.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "tests/support/quinda_test.h"

namespace {

class ByteFileTest : public QuindaTest {
protected:
    TempDir dir_{true};
};

// Last error, I/O status and status kind after a call; the first two cleared.
struct Outcome {
    int error, io, kind;
    bool operator==(const Outcome&) const = default;
};
Outcome outcome() {
    const int e = infoerror(1);
    const int io = infoerror(2);
    return {e, io, infoerror(5)};
}

}  // namespace

TEST_F(ByteFileTest, OpenModes) {
    write_file("data.bin", "0123456789");
    struct Case {
        std::string name;
        int mode;
        bool opens;
        Outcome result;
    };
    const std::vector<Case> cases = {
        {"data.bin", 0, true, {0, 0, 0}},
        {"   data.bin   ", 0, true, {0, 0, 0}},
        {"missing.bin", 0, false, {1, 2, 2}},
        {"missing/x.bin", 1, false, {1, 3, 2}},
        {"missing.bin", 2, false, {1, 2, 2}},
        {"data.bin", 3, false, {1, 0, 2}},
        {"data.bin", -1, false, {1, 0, 2}},
        {std::string("  \0  ", 5), 0, false, {1, 0, 2}},
        {"", 1, false, {1, 0, 2}},
        {".", 0, false, {1, 5, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name + " mode " + std::to_string(c.mode));
        std::int32_t h = 99;
        IFileOpen(c.name, c.mode, h);
        EXPECT_EQ(h > 0, c.opens);
        if (!c.opens) {
            EXPECT_EQ(h, -1);
        }
        EXPECT_EQ(outcome(), c.result);
        if (h > 0) ifileclose(h);
    }

    std::int32_t h = -1;
    IFileOpen("data.bin", 1, h);   // an existing file is emptied
    ifileclose(h);
    EXPECT_EQ(read_file("data.bin"), "");
    IFileOpen("new.bin", 1, h);   // and a missing one created
    ifileclose(h);
    EXPECT_TRUE(std::filesystem::exists("new.bin"));
}

TEST_F(ByteFileTest, SharingBetweenOpens) {
    write_file("f.bin", "abc");
    std::int32_t r1 = -1, r2 = -1, w = -1, w2 = -1, rw = -1;
    IFileOpen("f.bin", 0, r1);
    IFileOpen("f.bin", 0, r2);
    EXPECT_GT(r1, 0);
    EXPECT_GT(r2, 0);
    ifileclose(r1);
    ifileclose(r2);

    IFileOpen("f.bin", 1, w);
    ASSERT_GT(w, 0);
    IFileOpen("f.bin", 1, w2);   // a second writer is refused
    EXPECT_EQ(w2, -1);
    EXPECT_EQ(outcome(), (Outcome{1, 32, 2}));
    IFileOpen("f.bin", 2, rw);
    EXPECT_EQ(rw, -1);
    EXPECT_EQ(outcome(), (Outcome{1, 32, 2}));
    // A reader that lets others write may join the writer, which shares reading.
    IFileOpen("f.bin", 0, r1);
    EXPECT_GT(r1, 0);
    ifileclose(r1);
    ifileclose(w);

    IFileOpen("f.bin", 2, rw);
    ASSERT_GT(rw, 0);
    IFileOpen("f.bin", 1, w2);
    EXPECT_EQ(w2, -1);
    ifileclose(rw);
    ifileclose(rw);   // closing again is silent
    EXPECT_EQ(outcome(), (Outcome{1, 32, 2}));
    EXPECT_EQ(outcome(), (Outcome{0, 0, 2}));
}

TEST_F(ByteFileTest, ReadWriteSeek) {
    std::int32_t h = -1, done = 0;
    IFileOpen("f.bin", 1, h);
    const std::vector<std::uint8_t> bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
    IFileWriteChar(h, bytes, 14, done);
    EXPECT_EQ(done, 14);
    std::int32_t pos = 0;
    IFileSeek(h, pos, 2);
    EXPECT_EQ(pos, 14);
    std::string buf(10, ' ');
    IFileReadChar(h, buf, 4, done);   // written only
    EXPECT_EQ(done, -1);
    EXPECT_EQ(outcome(), (Outcome{2, 5, 2}));
    ifileclose(h);

    IFileOpen("f.bin", 2, h);
    pos = 10;
    IFileSeek(h, pos, 0);
    EXPECT_EQ(pos, 10);
    pos = 0;
    IFileSeek(h, pos, 1);
    EXPECT_EQ(pos, 10);
    pos = 3;
    IFileSeek(h, pos, 5);   // no such method: nothing happens
    EXPECT_EQ(pos, 3);
    EXPECT_EQ(outcome(), (Outcome{0, 0, 2}));

    std::vector<std::uint8_t> in(10, 0);
    IFileReadChar(h, in, 10, done);   // 4 bytes left
    EXPECT_EQ(done, 4);
    EXPECT_EQ(std::vector<std::uint8_t>(in.begin(), in.begin() + 4), (std::vector<std::uint8_t>{11, 12, 13, 14}));
    IFileReadChar(h, in, 10, done);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(outcome(), (Outcome{0, 0, 2}));

    IFileReadChar(h, in, 11, done);   // more than the buffer holds
    EXPECT_EQ(done, -1);
    EXPECT_EQ(outcome(), (Outcome{2, 87, 2}));
    pos = -20;
    IFileSeek(h, pos, 1);
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(outcome(), (Outcome{2, 131, 2}));
    ifileclose(h);

    pos = 0;
    IFileSeek(h, pos, 0);   // a closed handle
    EXPECT_EQ(pos, -1);
    EXPECT_EQ(outcome(), (Outcome{2, 6, 2}));
}

TEST_F(ByteFileTest, LinesOnTheGeneralUnit) {
    quinda.LFNGEN = 40;
    int status = 0;
    yywrite("lost", status);   // nothing open on the unit
    EXPECT_NE(status, 0);
    const int failed = status;
    yywrite("also lost", status);
    EXPECT_EQ(status, failed);

    ASSERT_EQ(yyunitopen(40, "out.txt", TextUnitWrite), 0);
    status = 0;
    yywrite("first  ", status);
    yywrite("second", status);
    EXPECT_EQ(status, 0);
    yyunitclose(40);
    EXPECT_EQ(read_file("out.txt"), "first  \nsecond\n");

    write_file("in.txt", "one\r\ntwo\n\nlast");
    ASSERT_EQ(yyunitopen(42, "in.txt", TextUnitRead), 0);
    std::vector<std::string> lines;
    std::string line;
    while (yyunitread(42, line) == 0) lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "", "last"}));
    EXPECT_EQ(yyunitread(42, line), 38);
    yyunitclose(42);
    EXPECT_FALSE(yyunitopened(42));
    EXPECT_EQ(yyunitopen(42, "none.txt", TextUnitRead), 2);
}
