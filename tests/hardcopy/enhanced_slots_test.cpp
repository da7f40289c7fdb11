// Memory metafiles of the enhanced kind: recorded through the screen device
// into a platform metafile context, saved, read by emf2svg, loaded and
// played back.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/metafiles.h"
#include "lib/window/quinda_state.h"
#include "platform/os_config.h"
#include "platform/os_gdi.h"
#include "tests/hardcopy/vector_support.h"
#include "tests/support/quinda_test.h"

namespace {

class EnhancedSlots : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        OsConfig c = os_config();
        c.screen_mm_width = 320;
        c.screen_mm_height = 240;
        os_config_set(c);
        install_hardcopy_drivers();
        igrinit();
    }
    TempDir dir{true};
};

std::int32_t le32(const std::string& s, std::size_t at) {
    std::uint32_t v = 0;
    std::memcpy(&v, s.data() + at, 4);
    return static_cast<std::int32_t>(v);
}

TEST_F(EnhancedSlots, RecordSaveLoadPlayEmf2svg) {
    // No printer name: the screen is the reference. The query the start put
    // off would fetch one.
    settle_printer_query();
    wtab.GotPrName = 0;
    int wpix = 0, hpix = 0;
    yymetafilecreate(0, 756, 540, wpix, hpix);
    EXPECT_EQ(std::pair(wpix, hpix), std::pair(853, 609));
    ASSERT_NE(wtab.MetafileDC[0], 0);
    MemoryMetafile& m = MemoryMetafileTable[0];
    m.PagePointsX = 756, m.PagePointsY = 540, m.ExtentX = wpix, m.ExtentY = hpix, m.InUse = 1;
    m.MetafileKind = MetafileEnhanced;

    quinda.last_error = 0;
    IGrSelect(4, 1);
    EXPECT_EQ(quinda.last_error, 0);
    EXPECT_EQ(gstate.width, 853);
    EXPECT_EQ(gstate.recorder_flag, 0);
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);
    igrcolourmodel(24);
    IGrColourN(0xFF0000);
    igrfillpattern(4);
    IGrRectangle(0.25f, 0.25f, 0.75f, 0.75f);

    int status = -1, oserror = 0;
    yymetafilesave(0, status, oserror, "slot.emf");
    ASSERT_EQ(status, 0);
    const std::string emf = read_file("slot.emf");
    ASSERT_GE(emf.size(), 40u);
    EXPECT_EQ((std::array{le32(emf, 24), le32(emf, 28), le32(emf, 32), le32(emf, 36)}),
              (std::array{0, 0, 26670, 19050}));
    // A closed recording is no drawing target any more.
    quinda.last_error = 0;
    IGrSelect(4, 1);
    EXPECT_EQ(quinda.last_error, 1019);

    if (have_program("emf2svg-conv")) {
        const ReaderRun r = run_reader("emf2svg-conv -i slot.emf -o slot.svg");
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        EXPECT_NE(read_file("slot.svg").find("<svg"), std::string::npos);
        if (have_program("rsvg-convert")) {
            EXPECT_EQ(run_reader("rsvg-convert -o slot.png slot.svg").status, 0);
            if (const char* keep = std::getenv("QUINDA_WRITE_PICTURES")) run_reader(std::string("cp slot.png ") + keep);
        }
    }

    // Loading: a short file and data that is no metafile leave the slot empty.
    write_file("text.emf", "no metafile at all");
    struct Case {
        const char* name;
        int size, status;
    };
    for (const Case c : {Case{"slot.emf", static_cast<int>(emf.size()) + 10, 2}, {"text.emf", 18, 2},
                         {"missing.emf", 10, 1}, {"slot.emf", static_cast<int>(emf.size()), 0}}) {
        status = -1;
        yymetafileload(1, c.size, status, oserror, c.name);
        EXPECT_EQ(status, c.status) << c.name;
        EXPECT_EQ(wtab.MetafileDC[1] != 0, c.status == 0) << c.name;
    }

    // Played into a white surface, the square lands in its middle.
    const OsDC dc = os_create_compatible_dc(0);
    os_select_object(dc, os_create_compatible_bitmap(dc, 400, 300));
    os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
    os_select_object(dc, os_get_stock_object(OS_NULL_PEN));
    os_rectangle(dc, 0, 0, 402, 302);
    const OsDC saved = wtab.gDC;
    wtab.gDC = dc;
    yymetafileplay(1, 0, 0, 400, 300);
    EXPECT_EQ(os_get_pixel(dc, 200, 150), 0xFF0000u);
    EXPECT_EQ(os_get_pixel(dc, 20, 20), 0xFFFFFFu);
    wtab.gDC = saved;

    quinda.last_error = 0;
    WMetafileDestroy(1);
    EXPECT_EQ(wtab.MetafileDC[0], 0);
    EXPECT_EQ(wtab.hMetafile[0], 0);
    EXPECT_EQ(quinda.last_error, 0);
}

}  // namespace
