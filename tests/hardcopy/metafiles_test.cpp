// Memory metafiles through IGrSelect(4, n) and the CGM recorder writing
// into a slot's array, walked and read by LibreOffice.
#include <gtest/gtest.h>

#include <string>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/hardcopy/cgm.h"
#include "lib/hardcopy/metafiles.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/window_hooks.h"
#include "tests/hardcopy/cgm_support.h"
#include "tests/support/cgm_walker.h"

namespace {

class MemoryMetafiles : public CgmFileTest {
protected:
    // A CGM slot as its creator fills it: page in points, the array, in use.
    MemoryMetafile& cgm_slot(int id, std::int32_t capacity, std::int32_t wpt = 756, std::int32_t hpt = 540) {
        MemoryMetafile& m = MemoryMetafileTable[static_cast<std::size_t>(id - 1)];
        m.PagePointsX = wpt;
        m.PagePointsY = hpt;
        m.DATA.assign(static_cast<std::size_t>(capacity), 0);
        m.Capacity = capacity;
        m.UsedLength = 0;
        m.InUse = 1;
        m.MetafileKind = MetafileCgm;
        return m;
    }
    // Selected, header written (then selected again for the new size, as a
    // creator does), drawn, closed.
    template <class F>
    CgmWalk record(int id, F draw) {
        IGrSelect(4, id);
        yygdrv(OpNoOperation);
        IGrSelect(4, id);
        IGrUnits(0.0f, 0.0f, 640.0f, 480.0f);
        draw();
        yygdrv(OpEndOutput);
        const MemoryMetafile& m = MemoryMetafileTable[static_cast<std::size_t>(id - 1)];
        return walk_cgm(std::string(reinterpret_cast<const char*>(m.DATA.data()), static_cast<std::size_t>(m.UsedLength)));
    }
    std::string stream(int id) {
        const MemoryMetafile& m = MemoryMetafileTable[static_cast<std::size_t>(id - 1)];
        return std::string(reinterpret_cast<const char*>(m.DATA.data()), static_cast<std::size_t>(m.UsedLength));
    }
};

TEST_F(MemoryMetafiles, SelectAndDestroy) {
    struct Case {
        int id;
        bool fill;
        int status;
    };
    cgm_slot(3, 100).ExtentX = 70;
    MemoryMetafileTable[2].ExtentY = 50;
    for (const Case c : {Case{0, false, 1}, {21, false, 1}, {4, false, 1}, {3, true, 0}}) {
        gstate.recorder_flag = 0;
        int status = 7, w = 0, h = 0;
        yymetafileselect(c.id, status, w, h);
        EXPECT_EQ(status, c.status) << c.id;
        EXPECT_EQ(gstate.recorder_flag, c.fill ? 1 : 0) << c.id;
        if (c.fill) {
            EXPECT_EQ(std::pair(w, h), std::pair(70, 50));
        }
    }
    gstate.recorder_flag = 0;
    quinda.last_error = 0;
    IGrSelect(4, 21);
    EXPECT_EQ(quinda.last_error, 1019);

    quinda.last_error = 0;
    WMetafileDestroy(21);
    EXPECT_EQ(quinda.last_error, 1060);
    EXPECT_EQ(MemoryMetafileTable[2].MetafileKind, MetafileCgm);
    quinda.last_error = 0;
    WMetafileDestroy(3);
    EXPECT_EQ(quinda.last_error, 0);
    const MemoryMetafile& m = MemoryMetafileTable[2];
    EXPECT_TRUE(m.DATA.empty());
    EXPECT_EQ(m.DATA.capacity(), 0u);
    EXPECT_EQ((std::array{m.MetafileKind, m.InUse, m.Capacity, m.UsedLength, m.PagePointsX}),
              (std::array{0, 0, 0, 0, 0}));
    EXPECT_EQ(std::pair(m.ExtentX, m.ExtentY), std::pair(70, 50));
    WMetafileDestroy(3);
    EXPECT_EQ(quinda.last_error, 1060);

    // The library's shut-down frees what is left.
    cgm_slot(5, 10);
    ASSERT_NE(window_hooks.destroy_metafiles, nullptr);
    quinda.last_error = 0;
    window_hooks.destroy_metafiles();
    EXPECT_EQ(MemoryMetafileTable[4].MetafileKind, MetafileEmpty);
    EXPECT_EQ(quinda.last_error, 0);
}

TEST_F(MemoryMetafiles, RecordedPictureLibreOffice) {
    cgm_slot(2, 100000);
    const CgmWalk w = record(2, draw_test_picture);
    ASSERT_TRUE(w.whole()) << w.error;
    const MemoryMetafile& m = MemoryMetafileTable[1];
    EXPECT_EQ(std::pair(m.ExtentX, m.ExtentY), std::pair(6300, 4500));
    EXPECT_EQ(std::pair(gstate.width, gstate.height), std::pair(6300, 4500));
    EXPECT_EQ(w.elements[0].params, std::string("\x0cQDX CGM File", 13));
    EXPECT_EQ(w.all(2, 6)[0]->params, std::string("\0\0\0\0\x18\x9C\x11\x94", 8));
    EXPECT_EQ(w.all(1, 13)[0]->params, cgm::font_list(2));
    EXPECT_EQ(w.all(4, 11).size(), 1u);
    EXPECT_EQ(w.all(4, 17).size(), 1u);
    write_file("recorded.cgm", stream(2));
    identification_reads("recorded.cgm", 6300.0f / 4500.0f);
    libreoffice_finds_test_picture("recorded.cgm");
}

TEST_F(MemoryMetafiles, FullSlotRefusesWholeElementsAndStillCloses) {
    cgm_slot(1, 700);
    std::int32_t used_at_refusal = -1;
    const CgmWalk w = record(1, [&] {
        for (int i = 0; i < 200; ++i) {
            quinda.last_error = 0;
            const std::int32_t before = MemoryMetafileTable[0].UsedLength;
            igrjoin(0, static_cast<float>(i), 100, static_cast<float>(i));
            if (quinda.last_error == 1062 && used_at_refusal < 0) {
                used_at_refusal = before;
                EXPECT_EQ(MemoryMetafileTable[0].UsedLength, before);
            }
        }
        // After a refusal nothing more goes in, even where it would fit:
        // the stream never holds an element after a missing one.
        MemoryMetafile& m = MemoryMetafileTable[0];
        m.Capacity += 100;
        m.DATA.resize(static_cast<std::size_t>(m.Capacity));
        used_at_refusal = m.UsedLength;
        quinda.last_error = 0;
        IGrColourN(0x00ff00);
        igrjoin(0, 0, 1, 0);
        EXPECT_EQ(quinda.last_error, 1062);
    });
    ASSERT_GE(used_at_refusal, 0);
    EXPECT_EQ(MemoryMetafileTable[0].UsedLength, used_at_refusal + 4);
    EXPECT_TRUE(w.whole()) << w.error;
    write_file("full.cgm", stream(1));
    identification_reads("full.cgm", 6300.0f / 4500.0f);
}

TEST_F(MemoryMetafiles, RecorderOperations) {
    cgm_slot(6, 10000);
    record(6, [] {});
    auto octets = [&](std::int32_t op, auto prepare) {
        prepare();
        const std::int32_t before = MemoryMetafileTable[5].UsedLength;
        yygdrv(op);
        return stream(6).substr(static_cast<std::size_t>(before));
    };
    auto polygon = [] {
        drvargs.N = 3;
        quin01.X[0] = 1, quin01.X[1] = 50.7f, quin01.X[2] = 9;
        quin01.Y[0] = 2, quin01.Y[1] = 3, quin01.Y[2] = 40.9f;
    };
    gstate.fill_style = 4;
    const std::string solid = octets(OpPolygonSolid, polygon);
    EXPECT_EQ(octets(OpPolygonPattern, polygon), solid.substr(solid.size() - 20));
    EXPECT_EQ(solid.substr(solid.size() - 12), std::string("\0\x01\0\x02\0\x32\0\x03\0\x09\0\x28", 12));
    EXPECT_EQ(octets(OpLineJoin, [] {}), "");
    EXPECT_EQ(octets(OpLineCap, [] {}), "");
    EXPECT_EQ(octets(OpReadPixel, [] { drvargs.IX[0] = 5; }), "");
    EXPECT_EQ(drvargs.IX[0], -1);
}

}  // namespace
