// The rules of the driver contract that hold for every hardcopy driver. A
// driver joins with one row of `contract_rows`.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>
#include <vector>

#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/lines.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "platform/os_config.h"
#include "platform/os_file.h"
#include "tests/hardcopy/sample_driver.h"
#include "tests/support/graphics_test.h"

namespace {

struct ContractRow {
    const char* name;
    std::int32_t number;
    void (*install)();
    // The HP-GL drivers write their scale line at operation 18 with K <= 0.
    bool rescale_writes;
    // The Windows printer prints a job named by the run's title into the
    // print directory; its output name is no file.
    bool printer = false;
};

const ContractRow contract_rows[] = {
    {"sample", SampleDriverNumber, &install_sample_driver, false},
    {"postscript", DriverPostScript, &install_hardcopy_drivers, false},
    {"svg", DriverSvg, &install_hardcopy_drivers, false},
    {"dxf", DriverDxf, &install_hardcopy_drivers, false},
    {"image", DriverImageFile, &install_hardcopy_drivers, false},
    {"hpgl", DriverHpgl, &install_hardcopy_drivers, true},
    {"hpgl2", DriverHpgl2, &install_hardcopy_drivers, true},
    // The raster printer prints on the model chosen at start-up.
    {"rasterprinter", DriverRasterPrinter, [] { install_hardcopy_drivers(); iprinter(28); }, false},
    {"metafile", DriverWindowsMetafile, &install_hardcopy_drivers, false},
    {"printer", DriverWindowsPrinter, &install_hardcopy_drivers, false, true},
    {"cgm", DriverCgm, &install_hardcopy_drivers, false},
};

// What a probe must leave alone: the option table, the names, the run words
// and every device word a driver sets at its initialisation.
struct Snapshot {
    std::array<std::int32_t, 37> options{};
    std::string output_name, text, title;
    std::int32_t active = 0, colours = 0, page = 0, can_spool = 0, flag = 0;
    std::array<std::int32_t, 2> resolution{};
    float x_scale = 0, y_scale = 0, fill_spacing = 0;
    std::int32_t resolution_index = 0, line_mode = 0, pens = 0;
    std::int32_t whole_strings = 0, own_background = 0, third_text = 0;
    DeviceDescription device;
    DriverArguments args;

    static Snapshot take() {
        const HardcopyWords& hc = gstate.hc;
        DriverArguments a = drvargs;
        a.N = 0;
        return {hc.options.slots, hc.output_name, DriverText, hcstate.HardcopyTitle, hc.active_driver,
                hc.colour_count, hc.page_in_progress, hcstate.DriverCanSpool, gstate.hardcopy_flag,
                hcstate.HardcopyResolution, hc.x_scale, hc.y_scale, hc.HardcopyFillSpacing,
                hcstate.ResolutionIndex, hcstate.LineModeWord, hcstate.PlotterPenCount, hc.whole_strings,
                hc.own_text_background, hc.third_text_flag, gstate.device[HardcopySide], a};
    }
    bool operator==(const Snapshot& o) const {
        const DeviceDescription &d = device, &e = o.device;
        return options == o.options && output_name == o.output_name && text == o.text && title == o.title &&
               active == o.active && colours == o.colours && page == o.page && can_spool == o.can_spool &&
               flag == o.flag && resolution == o.resolution && x_scale == o.x_scale && y_scale == o.y_scale &&
               fill_spacing == o.fill_spacing && resolution_index == o.resolution_index &&
               line_mode == o.line_mode && pens == o.pens && whole_strings == o.whole_strings &&
               own_background == o.own_background && third_text == o.third_text &&
               d.TextSizeThreshold == e.TextSizeThreshold && d.charset_bits == e.charset_bits &&
               d.DeviceCapabilities == e.DeviceCapabilities && d.TextRotationCapability == e.TextRotationCapability &&
               d.platform_variant == e.platform_variant && d.true_colour == e.true_colour &&
               d.gradient_type == e.gradient_type && args == o.args;
    }
};

GraphicsDriver wrapped = nullptr;
std::vector<std::int32_t> seen;
void recording_wrapper(std::int32_t op) {
    seen.push_back(op);
    wrapped(op);
}

class DriverContract : public GraphicsTest, public ::testing::WithParamInterface<ContractRow> {
protected:
    void SetUp() override {
        GraphicsTest::SetUp();
        const ContractRow& row = GetParam();
        row.install();
        auto& slot = grlinks.hardcopy_drivers[static_cast<std::size_t>(row.number)];
        wrapped = slot;
        slot = &recording_wrapper;
        igrinit();
        igrhardcopyselect(1, row.number);
        seen.clear();
    }
    void TearDown() override { igrhardcopy("S"); }

    // The file a run started with NAME and no title writes.
    // The printer names its files itself, never replacing an earlier one:
    // a job's file is the one it last went to.
    std::string output(const std::string& name) const { return GetParam().printer ? printed_file() : name; }
    // What the run wrote. A printed job carries the second it was made, so
    // two jobs are compared without it.
    std::string contents(const std::string& name) const {
        std::string s = read_file(output(name));
        if (GetParam().printer) {
            static const std::regex made(R"(/CreationDate \(D:[0-9Z+'-]*\))");
            s = std::regex_replace(s, made, "/CreationDate ()");
        }
        return s;
    }
    std::uintmax_t size_of(const std::string& name) const {
        std::error_code ec;
        const auto n = std::filesystem::file_size(name, ec);
        return ec ? 0 : n;
    }

    TempDir dir{true};
};

TEST_P(DriverContract, ProbeChangesOnlyTheDriverNumber) {
    for (int k = 1; k <= 29; ++k) gstate.hc.options.set(k, 7000 + k);
    txt_set(gstate.hc.output_name, "kept.name");
    gstate.hc.active_driver = 99;
    gstate.hc.colour_count = 77;
    hcstate.DriverCanSpool = 5;
    gstate.device[HardcopySide].DeviceCapabilities = std::string(29, 'x');
    // Device words no driver gives them, so a probe that sets any shows.
    DeviceDescription& d = gstate.device[HardcopySide];
    d.TextSizeThreshold = 1234.5f;
    d.charset_bits = 61;
    d.TextRotationCapability = 62;
    d.platform_variant = 63;
    d.true_colour = 64;
    d.gradient_type = 65;
    gstate.hc.whole_strings = 66;
    gstate.hc.own_text_background = 67;
    gstate.hc.third_text_flag = 68;
    gstate.hc.HardcopyFillSpacing = 6.9f;
    hcstate.HardcopyResolution = {70, 71};
    hcstate.ResolutionIndex = 72;
    hcstate.LineModeWord = 73;
    hcstate.PlotterPenCount = 74;
    drvargs.X = {1, 2, 3, 4};
    drvargs.K = 17;
    const Snapshot before = Snapshot::take();
    drvargs.N = ProbeDriverNumber;
    xxhcif(OpInitialise);
    EXPECT_EQ(drvargs.N, GetParam().number);
    EXPECT_TRUE(Snapshot::take() == before);
}

TEST_P(DriverContract, RescaleOpensAndWritesNothing) {
    if (!GetParam().rescale_writes) {
        txt_set(DriverText, "rescale.out");
        for (std::int32_t k : {0, -1}) {
            drvargs.K = k;
            xxhcif(OpBeginPicture);
        }
        EXPECT_FALSE(std::filesystem::exists("rescale.out"));
        std::int32_t handle = 0;
        yyprfh(DriverChannel, handle);
        EXPECT_EQ(handle, -1);
    }
    // Within a run: nothing more, or for the HP-GL drivers one line.
    igrhardcopy("run.out");
    const auto before = size_of(output("run.out"));
    drvargs.K = 0;
    yyhdrv(OpBeginPicture);
    igrhardcopy("S");
    std::string after = contents("run.out");
    if (!GetParam().rescale_writes) {
        igrhardcopy("again.out");
        igrhardcopy("S");
        EXPECT_EQ(after, contents("again.out"));
    } else {
        EXPECT_GT(after.size(), before);
    }
}

TEST_P(DriverContract, EndOfPageOnlyAfterDrawing) {
    igrhardcopy("empty.out");
    igrhardcopy("S");
    const auto empty = size_of(output("empty.out"));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), OpEndPage), 0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), OpEndOutput), 1);

    seen.clear();
    igrhardcopy("drawn.out");
    igrjoin(0.1f, 0.1f, 0.9f, 0.8f);
    igrhardcopy("S");
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen[seen.size() - 2], OpEndPage);
    EXPECT_EQ(seen.back(), OpEndOutput);
    EXPECT_GT(size_of(output("drawn.out")), empty);
}

TEST_P(DriverContract, AfterAFailedOpenNothingReachesTheDriver) {
    infoerror(1);
    if (GetParam().printer) os_config().print_directory = dir.file("missing");
    igrhardcopy(dir.file("missing/plot.out"));
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    EXPECT_EQ(infoerror(1), 1);
    igrjoin(0.1f, 0.1f, 0.9f, 0.8f);
    igrlinewidth(3);
    igrhardcopy("S");
    EXPECT_EQ(seen, (std::vector<std::int32_t>{OpInitialise, OpBeginPicture}));
}

TEST_P(DriverContract, CountsBeyondTheBlocksAreCut) {
    // Counts beyond the blocks write what the largest and the empty counts
    // write, and no more.
    auto counts = [](const char* name, std::int32_t text_high, std::int32_t text_low, std::int32_t points_high,
                     std::int32_t points_low) {
        // The work block is scratch: drivers that write their pages through
        // it leave other points behind for the next run.
        quin01 = WorkBlock{};
        igrhardcopy(name);
        txt_set(DriverText, "abc");
        drvargs.IX[0] = text_high;
        yyhdrv(OpText);
        drvargs.IX[0] = text_low;
        yyhdrv(OpText);
        drvargs.N = points_high;
        yyhdrv(OpPolyline);
        drvargs.N = points_low;
        yyhdrv(OpPolyline);
        igrhardcopy("S");
    };
    counts("counts.out", 100000, -5, 1000000, -3);
    EXPECT_EQ(gstate.hardcopy_flag, 0);
    const std::string counted = contents("counts.out");
    counts("limits.out", static_cast<std::int32_t>(DriverTextLength), 0, WorkBlockPoints, 0);
    EXPECT_GT(counted.size(), 0u);
    EXPECT_EQ(counted, contents("limits.out"));
}

// Records of every kind, enough for many blocks of a channel whose
// blocks are small.
void draw_many_records() {
    for (int i = 0; i < 2500; ++i) {
        if (i % 500 == 0) {
            IGrColourN(wrgb(i % 256, (i / 7) % 256, 128));
            igrlinetype(i / 500 % 4);
        }
        const float x = static_cast<float>((i * 37) % 990) / 1000.0f, y = static_cast<float>((i * 53) % 740) / 1000.0f;
        igrjoin(x, y, x + 0.0075f, y + 0.00325f);
    }
    igrlinetype(0);
    for (int i = 0; i < 300; ++i) {
        igrfillpattern(i % 10 == 0 ? 1 : 4);
        const float x = static_cast<float>((i * 41) % 980) / 1000.0f, y = static_cast<float>((i * 29) % 730) / 1000.0f;
        const float px[6] = {x, x + 0.01f, x + 0.015f, x + 0.012f, x + 0.004f, x};
        const float py[6] = {y, y, y + 0.008f, y + 0.015f, y + 0.012f, y};
        IGrPolygonComplex(px, py, 6);
    }
    igrfillpattern(0);
    igrcircle(0.5f, 0.4f, 0.2f);
    for (int i = 0; i < 40; ++i)
        wgrtextstring(static_cast<float>(i % 8) / 10.0f, static_cast<float>(i / 8) / 10.0f, "Head 12.5");
}

TEST_P(DriverContract, GatheredWritesGiveTheBytesOfWritesOneByOne) {
    // Each run's bytes, with the channel's block at its size, at 0 (a write
    // per call, as the drivers' records come) and at a size that records
    // straddle.
    constexpr std::size_t SmallBlock = 4093;
    auto run = [&](std::size_t block, const std::string& name, std::uint64_t& writes) {
        hcstate.channel_block = block;
        const std::uint64_t before = os_file_write_calls();
        igrhardcopy(name);
        draw_many_records();
        igrhardcopy("S");
        writes = os_file_write_calls() - before;
        return contents(name);
    };
    // Only the file counts here; recording the screen's side of every
    // record would take most of the time.
    gstate.screen_flag = 0;
    std::uint64_t writes = 0, one_by_one = 0, small_blocks = 0;
    const std::string bytes = run(ChannelBlockBytes, "gathered.out", writes);
    EXPECT_EQ(run(0, "one_by_one.out", one_by_one), bytes);
    EXPECT_EQ(run(SmallBlock, "small_blocks.out", small_blocks), bytes);
    hcstate.channel_block = ChannelBlockBytes;
    EXPECT_LE(writes, bytes.size() / (32 << 10) + 10) << bytes.size() << " bytes";
    // The vector files hold many small blocks and many more records.
    const std::int32_t n = GetParam().number;
    if (n == DriverPostScript || n == DriverSvg || n == DriverDxf || n == DriverHpgl || n == DriverHpgl2 ||
        n == DriverCgm) {
        EXPECT_GT(small_blocks, 5u);
        EXPECT_GT(one_by_one, 10 * small_blocks);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryDriver, DriverContract, ::testing::ValuesIn(contract_rows),
                         [](const ::testing::TestParamInfo<ContractRow>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
