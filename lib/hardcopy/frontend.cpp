// The hardcopy front end: selecting a driver, starting a run that sends
// every primitive to the screen and the driver at once, and stopping it
// with the print command of a spooled run.
#include "lib/graphics/colours.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/cgm.h"
#include "lib/hardcopy/dxf.h"
#include "lib/hardcopy/metafiles.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hpgl.h"
#include "lib/hardcopy/hpgl2.h"
#include "lib/hardcopy/ps.h"
#include "lib/hardcopy/svg.h"
#include "lib/raster/imagefiles.h"
#include "lib/raster/rastprint.h"
#include "lib/hardcopy/windriver.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"
#include "platform/os_file.h"

namespace {

// Ends the run that may be active; the operations reach the driver only
// while one is.
void end_run() {
    if (gstate.hc.page_in_progress != 0) {
        drvargs.K = 32;
        drvargs.N = 1;
        yyhdrv(OpEndPage);
    }
    yyhdrv(OpEndOutput);
    gstate.hardcopy_flag = 0;
    // A spooled run that could not open or write its spool file leaves
    // nothing worth printing.
    if (hcstate.spooling != 0 && hcstate.HardcopyErrorFlag != 0) hcstate.spool_failed = 1;
    hcstate.spooling = 0;
}

// The text in single quotes for the shell, a quote inside written as '\''.
std::string shell_quoted(std::string_view text) {
    std::string q = "'";
    for (char c : text) {
        if (c == '\'') q += "'\\''";
        else q += c;
    }
    return q + "'";
}

void run_print_command() {
    const std::string spool = txt_c(hcstate.SpoolPlotName);
    if (hcstate.spool_failed == 0) {
        const std::string& cmd = hcstate.PrintCommand;
        const std::size_t at = cmd.find('@');
        // A command without "@" cannot have been given (" @ " started the
        // spooling); it is run as it stands all the same.
        const std::string line = at == std::string::npos
                                     ? cmd
                                     : cmd.substr(0, at) + shell_quoted(spool) + cmd.substr(at + 1);
        yyprncmd(line);
    }
    // By its exact name: a directory holding "*" or "?" must not make this
    // a wildcard delete.
    if (!spool.empty()) os_file_delete(spool);
    txt_set(hcstate.PrintCommand, "");
    hcstate.spool_failed = 0;
}

void start_run(std::optional<std::string_view> name, std::optional<std::string_view> title) {
    GraphicsState& g = gstate;
    // The colour count is read below and while the run draws.
    settle_printer_page();
    // 1. Probe.
    drvargs.N = ProbeDriverNumber;
    xxhcif(OpInitialise);
    if (drvargs.N == ProbeDriverNumber) return;
    // 2, 3. The output name.
    DriverText = txt_fixed(g.hc.output_name, DriverTextLength);
    drvargs.N = 1;
    if (name && !txt_blank(*name)) {
        DriverText = txt_fixed(*name, DriverTextLength);
        drvargs.N = 0;
    }
    // 4. A print command spools.
    if (hcstate.DriverCanSpool != 0 && DriverText.find(" @ ") != std::string::npos) {
        hcstate.PrintCommand = DriverText;
        DriverText = txt_fixed(hcstate.SpoolPlotName, DriverTextLength);
        hcstate.spooling = 1;
        hcstate.spool_failed = 0;
    }
    // 5. Title.
    if (title) {
        txt_set(hcstate.HardcopyTitle, *title);
        drvargs.IX[0] = 1;
    } else {
        drvargs.IX[0] = 0;
    }
    // 6. Begin.
    g.hardcopy_flag = 1;
    drvargs.K = 1;
    yyhdrv(OpBeginPicture);
    // 7. Without a screen the page gives the shape. A page the driver left
    // unknown (a failed printer query) keeps the ratio: 0 / 0 would spoil
    // every later circle and text.
    if (g.screen_flag == 0) {
        const std::int32_t w = g.hc.options.get(1), h = g.hc.options.get(2);
        if (w >= 1 && h >= 1) g.aspect_ratio = static_cast<float>(w) / static_cast<float>(h);
        g.palette_size_copy = g.hc.colour_count;
    }
    // 8. Palette indices not yet known.
    if (g.PreviousColour.index() == -1) yyrgbto8(g.PreviousColour.rgb(), g.PreviousColour.index());
    if (g.CurrentColour.index() == -1) yyrgbto8(g.CurrentColour.rgb(), g.CurrentColour.index());
    // 9. Where the pen stands is not known yet.
    hcstate.PenPosition = {UnknownPenPosition, UnknownPenPosition};
    // 10. The drawing state.
    for (std::int32_t op : {OpLineWidth, OpLineType, OpLineJoin, OpLineCap, OpClip, OpFont, OpColour}) yyhdrv(op);
}

}  // namespace

void igrhardcopyselect(int kind, int n) {
    if (kind != 1) return;
    // What the driver chosen before put off, before another overwrites it.
    settle_printer_page();
    gstate.hc.selected_driver = n;
    drvargs.N = 0;
    xxhcif(OpInitialise);
}

void igrhardcopy(std::optional<std::string_view> name, std::optional<std::string_view> title) {
    end_run();
    const bool stop = name && name->size() == 1 && ((*name)[0] == 'S' || (*name)[0] == 's');
    if (!stop) return start_run(name, title);
    if (!txt_blank(hcstate.PrintCommand)) run_print_command();
}

void install_hardcopy_drivers() {
    // Each driver enters its routine here under its number; numbers
    // without an entry select nothing.
    grlinks.hardcopy_drivers[DriverHpgl] = &xxhpgl;
    grlinks.hardcopy_drivers[DriverPostScript] = &xxpost;
    grlinks.hardcopy_drivers[DriverSvg] = &xxsvg;
    grlinks.hardcopy_drivers[DriverDxf] = &xxdxf;
    grlinks.hardcopy_drivers[DriverImageFile] = &xximag;
    grlinks.hardcopy_drivers[DriverHpgl2] = &xxhpgl2;
    grlinks.hardcopy_drivers[DriverRasterPrinter] = &xxrast;
    grlinks.hardcopy_drivers[DriverWindowsPrinter] = &xxwin;
    grlinks.hardcopy_drivers[DriverWindowsMetafile] = &xxwmf;
    grlinks.hardcopy_drivers[DriverCgm] = &xxcgm;
    // The memory metafiles and their recorder sit on the screen side.
    install_memory_metafiles();
}
