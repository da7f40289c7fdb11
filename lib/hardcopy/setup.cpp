// The options entry of the selected driver and the image print options.
#include <cmath>
#include <cstdlib>

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/hardcopy/pending.h"
#include "lib/hardcopy/windriver.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"

namespace {

constexpr std::string_view kOptionsName = "WHardcopyOptions";

// Thousandths of an inch and hundredths of a millimetre per point, as the
// 32-bit values the conversion has always used.
constexpr float ThousandthsPerPoint = 1000.0f / 72.0f;
constexpr float HundredthsMmPerPoint = 2540.0f / 72.0f;

std::int32_t to_dialog(float f, std::int32_t points) {
    return static_cast<std::int32_t>(static_cast<long double>(f) * points);
}

std::int32_t to_points(float f, std::int32_t length) {
    return static_cast<std::int32_t>(std::floor(static_cast<long double>(length) / f + 0.5L));
}

// The page set-up dialog of the Windows printer; false when there is no
// printer.
bool printer_setup(int units) {
    settle_printer_query();
    if (hcstate.PrinterAvailable == 0) {
        yyerror(63, kOptionsName);
        return false;
    }
    const HardcopyOptionTable& o = gstate.hc.options;
    const float f = units < 2 ? ThousandthsPerPoint : HundredthsMmPerPoint;
    std::int32_t paper_w = 0, paper_h = 0;
    std::int32_t width = to_dialog(f, o.get(1)), height = to_dialog(f, o.get(2));
    std::int32_t left = to_dialog(f, o.get(3)), top = to_dialog(f, o.get(4));
    std::int32_t orientation = o.get(5), copies = o.get(8);
    std::int32_t colours = gstate.hc.colour_count, result = 0;
    yyprintdialog(paper_w, paper_h, width, height, left, top, orientation, copies, units, colours, result);
    if (result != 1) {
        hardcopy_pending.set_dialog_result(0);
        return true;
    }
    igrhardcopyoptions(1, to_points(f, width));
    igrhardcopyoptions(2, to_points(f, height));
    igrhardcopyoptions(3, to_points(f, left));
    igrhardcopyoptions(4, to_points(f, top));
    igrhardcopyoptions(5, orientation);
    igrhardcopyoptions(8, copies);
    const std::int32_t before = gstate.hc.colour_count;
    if (before <= 2 && colours > 2) igrhardcopyoptions(7, 0);
    if (before > 2 && colours <= 2) igrhardcopyoptions(7, 1);
    gstate.hc.colour_count = colours;
    hardcopy_pending.set_dialog_result(1);
    return true;
}

}  // namespace

void WHardcopyOptions(std::optional<int> measure, std::string* name) {
    if (gstate.hc.active_driver == 0) return yyerror(46, kOptionsName);
    // Every shown window keeps its picture while the dialog is up, the root
    // window included.
    std::int32_t status = 0;
    hardcopy_pending.yygetwindowbitmap(1, NoWindowLeftOut, status);
    if (status != 0) yyerror(status, kOptionsName);

    // Library dialogs: 0 points, 1 inches, 2 centimetres, 3 millimetres.
    // The platform dialog knows inches (below 2) and millimetres.
    int units = 0;
    const bool restricted = measure && *measure < 0;
    if (measure && std::abs(*measure) <= 3) {
        units = std::abs(*measure);
    } else {
        std::int32_t locale = 2;
        yygetmeasure(locale);
        units = locale == 1 ? 1 : 2;
    }

    // The driver that last answered its initialisation: a selected number
    // without a driver (5, 7, above 12) has no dialog of its own.
    const std::int32_t driver = gstate.hc.active_driver;
    if (driver == DriverWindowsPrinter) {
        printer_setup(units);
    } else {
        std::string edited = txt_fixed(name ? *name : gstate.hc.output_name, HardcopyNameLength);
        if (driver == DriverHpgl || driver == DriverPostScript || driver == DriverRasterPrinter ||
            driver == DriverHpgl2)
            yypgdlg1(units, edited, driver, gstate.hc.options, 0, restricted ? 1 : 0);
        else
            yypgdlg2(units, edited, 32000 + driver, 3, restricted ? 1 : 0);
        if (hardcopy_pending.dialog_result() == 1) txt_set(name ? *name : gstate.hc.output_name, edited);
    }
    hardcopy_pending.yygetwindowbitmap(0, NoWindowLeftOut, status);
}

namespace {

// The Windows printer's page for image prints, asked of the machine.
void query_image_printer() {
    ImagePrintTable& t = hcstate.ImagePrintOptions;
    std::int32_t w = 0, h = 0, x = 0, y = 0, orient = 0, copies = 0, colours = 0, os_error = 0;
    yysavefp();
    yywprinfo(hcstate.PaperLong, hcstate.PaperShort, w, h, x, y, orient, copies, colours, os_error);
    yyrestfp();
    t.set(1, w), t.set(2, h), t.set(3, x), t.set(4, y), t.set(5, orient), t.set(8, copies);
    hcstate.PrinterAvailable = os_error == 0 ? 1 : 0;
}

// The codes every image print device shares.
void common_image_codes() {
    ImagePrintTable& t = hcstate.ImagePrintOptions;
    t.set(6, 0), t.set(7, 1), t.set(13, 0), t.set(19, 3), t.set(20, 0);
    t.set(24, std::min(hcstate.models.Option24Limit, 2));
}

}  // namespace

void carry_out_printer_queries() {
    const std::int32_t pending = hcstate.printer_query_pending;
    hcstate.printer_query_pending = 0;
    if (pending & PendingImagePrinter) query_image_printer();
    if (pending & PendingPrinterPage) query_printer_page();
}

void choose_start_image_printer() {
    settle_printer_query();
    hcstate.ImagePrintOptions.ImagePrintDriver = DriverWindowsPrinter;
    hcstate.printer_query_pending |= PendingImagePrinter;
    common_image_codes();
}

void igrprintimageselect(std::optional<int> idriver) {
    // A query put off still happens first, as it would have at its choice.
    settle_printer_query();
    ImagePrintTable& t = hcstate.ImagePrintOptions;
    const DeviceModels& m = hcstate.models;
    t.ImagePrintDriver = idriver && (*idriver == 2 || *idriver == 4) ? *idriver : DriverWindowsPrinter;
    switch (t.ImagePrintDriver) {
        case DriverPostScript:
            t.set(1, 756), t.set(2, 540), t.set(3, 42), t.set(4, -20), t.set(5, 1), t.set(8, 1);
            txt_set(hcstate.PrintImageFileName, "zerizazo.ps");
            break;
        case DriverRasterPrinter: {
            // Page printers (families above 5) print images in landscape with margins.
            const bool page_printer = m.PrinterFamily > 5;
            t.set(1, 576), t.set(2, 432);
            t.set(3, page_printer ? 100 : 0), t.set(4, page_printer ? 70 : 0);
            t.set(5, page_printer ? 1 : 0), t.set(8, 1);
            txt_set(hcstate.PrintImageFileName, "zerizazo.prn");
            break;
        }
        default: query_image_printer(); break;
    }
    common_image_codes();
}
