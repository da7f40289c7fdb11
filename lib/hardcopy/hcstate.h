#pragma once
// The hardcopy state: the words of the hardcopy subsystem that are not part
// of the graphics state (gstate.hc holds those the graphics core reads),
// with the printer, plotter and HP-GL/2 device models, the output channels
// and the image print options. One instance, one reset.
//
// Where the rest of the hardcopy words live: the working output name is
// DriverText, the driver number HardcopyDriverNumber is
// gstate.hc.selected_driver, the option table gstate.hc.options, the output
// name gstate.hc.output_name, the colour count gstate.hc.colour_count,
// PageHasContent gstate.hc.page_in_progress, the scale gstate.hc.x_scale
// and y_scale, the hatch spacing gstate.hc.HardcopyFillSpacing.
#include <array>
#include <cstdint>
#include <string>

constexpr std::size_t HardcopyTitleLength = 200;
constexpr std::size_t HardcopyNameLength = 260;

// Unknown pen position of the line writers.
constexpr float UnknownPenPosition = -9999.0f;

// Output channels 1..ChannelCount; the drivers use channel 2.
constexpr int ChannelCount = 4;
constexpr int DriverChannel = 2;
// Bytes a channel gathers before it writes them: a driver's records are
// tens of bytes, and a write of each would cost more than the driver.
constexpr std::size_t ChannelBlockBytes = std::size_t{64} << 10;

// One output channel. A regular file (or a name not there yet) is written
// as a file beside it that the close renames onto it, so a run that fails
// leaves the old file where it was; a device or FIFO is written directly.
struct OutputChannel {
    std::int32_t handle = -1;   // operating-system handle, -1 closed
    std::string pending;        // bytes gathered, not yet written
    std::string temp;           // the file beside the target; empty when the target itself is open
    std::string target;
    int write_status = 0;       // the first failed write's operating-system code, reported at the close
};

// ImagePrintOptions: codes 1..24 laid out as the option table, and the
// device chosen for image prints.
struct ImagePrintTable {
    std::array<std::int32_t, 24> codes{};
    std::int32_t ImagePrintDriver = 0;  // 2 PostScript, 4 raster printer, 10 Windows printer
    std::int32_t get(int code) const {
        return code >= 1 && code <= 24 ? codes[static_cast<std::size_t>(code - 1)] : 0;
    }
    void set(int code, std::int32_t value) {
        if (code >= 1 && code <= 24) codes[static_cast<std::size_t>(code - 1)] = value;
    }
};

// Selected models and what the printer model's record says.
struct DeviceModels {
    std::int32_t printer_model = 0;      // 2..38 (not 27)
    std::int32_t plotter_model = 0;      // 1..10
    std::int32_t hpgl2_device = 0;       // 1..5
    std::int32_t hpgl2_chosen = 0;       // 1 once the device type was chosen explicitly
    std::int32_t PrinterFamily = 0;      // 1..10
    std::int32_t PrinterPlanes = 0;
    std::int32_t PrinterColourKind = 0;  // 0 monochrome, 1 RGB, 2 CMY
    std::int32_t Option24Limit = 0;
    std::array<std::int32_t, 4> ResolutionList{};
    std::int32_t ResolutionCount = 0;
    std::int32_t DotsPerPass = 0;
    std::int32_t LineFeedUnits = 0;
};

struct HardcopyState {
    std::string HardcopyTitle = std::string(HardcopyTitleLength, ' ');
    std::string SpoolPlotName = std::string(HardcopyNameLength, ' ');
    std::string SpoolDumpName = std::string(HardcopyNameLength, ' ');
    std::string PrintImageFileName = std::string(HardcopyNameLength, ' ');
    std::string PrintCommand = std::string(HardcopyNameLength, ' ');

    std::int32_t DriverCanSpool = 0;
    std::int32_t HardcopyErrorFlag = 0;
    std::array<float, 2> PenPosition{UnknownPenPosition, UnknownPenPosition};

    // Device words a driver sets.
    std::array<std::int32_t, 2> HardcopyResolution{};
    std::int32_t ResolutionIndex = 0;
    std::int32_t LineModeWord = 0;
    std::int32_t PlotterPenCount = 0;

    // Printer words. Choosing the Windows printer (for image prints at the
    // start, as the hardcopy device at its initialisation) does not ask the
    // machine for it: loading the print system would cost every run,
    // printing or not. While a query is pending, these words, the page codes
    // it fills (ImagePrintOptions 1..5 and 8; the option table's 1..5, 7
    // and 8 with the hardcopy colour count) and the printer's name in the
    // window table wait for settle_printer_query, which every reader calls
    // first (the option table's accessors do).
    std::int32_t PrinterAvailable = 0;
    std::int32_t PaperLong = 0;
    std::int32_t PaperShort = 0;
    std::int32_t printer_query_pending = 0;   // PendingImagePrinter | PendingPrinterPage

    // The file selector's filter and title of the option dialogs, kept
    // from one call to the next.
    std::string OptionsFilter = std::string(40, ' ');
    std::string OptionsTitle = std::string(40, ' ');

    ImagePrintTable ImagePrintOptions;
    DeviceModels models;

    std::array<OutputChannel, ChannelCount> channels;
    // Bytes a channel gathers before writing: ChannelBlockBytes, or 0 for a
    // write per call (a test seam: the unbuffered writes to compare with).
    std::size_t channel_block = ChannelBlockBytes;

    // The run that ended last wrote to the spool file, and one of the
    // spooled runs since the pending command was given failed to open or
    // write it: the command would print a stale or missing file.
    std::int32_t spooling = 0;
    std::int32_t spool_failed = 0;
};

extern HardcopyState hcstate;

// The queries a choice of the Windows printer puts off, carried out in this
// order (the image printer's is the start's, before any initialisation).
constexpr std::int32_t PendingImagePrinter = 1;
constexpr std::int32_t PendingPrinterPage = 2;
void carry_out_printer_queries();
// Asks the printer what choosing it put off: its name, its page, whether it
// is there. Nothing when no query waits.
inline void settle_printer_query() {
    if (hcstate.printer_query_pending != 0) carry_out_printer_queries();
}
// The same for a reader of the hardcopy device's page only (the option
// table, the colour count): the image printer's query alone may wait on.
inline void settle_printer_page() {
    if (hcstate.printer_query_pending & PendingPrinterPage) carry_out_printer_queries();
}

// What library start-up clears before it reads the settings file: the
// image-print name, the HP-GL/2 device type and its chosen flag, the model
// selections, the printer flag, a query put off and the spool names.
void clear_hardcopy_words();

// Back to the state of a fresh process, open channels closed. For tests.
void reset_hardcopy_state();
