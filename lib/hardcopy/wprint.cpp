// Which printer the library prints on, the query of its page, the device
// context of one job, and the job itself: opening, lazy pages and closing.
#include <algorithm>

#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/quinda_state.h"
#include "platform/os_codepage.h"
#include "platform/os_error.h"
#include "platform/os_gdi.h"
#include "platform/os_printer.h"

namespace {

// A failed platform call always gives a code, so that a failure never
// reads as success.
std::int32_t last_error() {
    const int e = os_last_error();
    return e != 0 ? e : OS_ERROR_INVALID_NAME;
}

std::string cut(std::string_view s, std::size_t room) {
    std::string t(s.substr(0, std::min(s.size(), room)));
    return t;
}

}  // namespace

std::int32_t yywprintername() {
    const std::string text = os_default_printer_device();
    if (text.empty()) return 0;
    // "name,driver,port": each comma ends a field and the blanks after it
    // are passed over; the scan stops at the second comma.
    std::string fields[3];
    int field = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] == ',') {
            if (field == 2) break;
            ++field;
            ++i;
            while (i < text.size() && text[i] == ' ') ++i;
            continue;
        }
        fields[field] += text[i++];
    }
    wtab.lpPrintType = cut(fields[0], 259);
    wtab.lpPrintDriver = cut(fields[1], 31);
    wtab.lpPrintPort = cut(fields[2], 259);
    wtab.GotPrName = 1;
    return 1;
}

void yywprinfo(std::int32_t& paper_long, std::int32_t& paper_short, std::int32_t& width, std::int32_t& height,
               std::int32_t& x_offset, std::int32_t& y_offset, std::int32_t& orientation, std::int32_t& copies,
               std::int32_t& colours, std::int32_t& os_error) {
    paper_long = paper_short = width = height = x_offset = y_offset = orientation = copies = colours = os_error = 0;
    if (wtab.GotPrName == 0) {
        if (yywprintername() == 0) {
            os_error = last_error();
            return;
        }
        wtab.PageDlgShown = 0;
    }
    const OsDC ic = os_create_ic(wtab.lpPrintDriver, wtab.lpPrintType);
    if (!ic) {
        os_error = last_error();
        return;
    }
    const std::int64_t rx = std::max(1, os_get_device_caps(ic, OS_LOGPIXELSX));
    const std::int64_t ry = std::max(1, os_get_device_caps(ic, OS_LOGPIXELSY));
    const std::int64_t pw = os_get_device_caps(ic, OS_PHYSICALWIDTH) * 72 / rx;
    const std::int64_t ph = os_get_device_caps(ic, OS_PHYSICALHEIGHT) * 72 / ry;
    paper_long = static_cast<std::int32_t>(std::max(pw, ph));
    paper_short = static_cast<std::int32_t>(std::min(pw, ph));
    width = paper_long - 144;
    height = paper_short - 144;
    x_offset = y_offset = 72;
    orientation = 1;
    copies = 1;
    colours = os_get_device_caps(ic, OS_NUMCOLORS);
    os_delete_dc(ic);
    wtab.page_setup = WindowTable::PageSetupChoices{};
}

std::int32_t yywprgetdc(std::int32_t landscape, std::int32_t copies) {
    settle_printer_query();
    const OsPrinter printer = os_open_printer(wtab.lpPrintType);
    if (!printer) return 0;
    OsDevMode mode;
    if (!os_printer_devmode(printer, mode)) {
        os_close_printer(printer);
        return 0;
    }
    const std::uint32_t f = mode.fields;
    std::uint32_t chosen = 0;
    if (f & OS_DM_ORIENTATION) {
        chosen |= OS_DM_ORIENTATION;
        mode.orientation = landscape != 0 ? 2 : 1;
    }
    if (f & OS_DM_COPIES) {
        chosen |= OS_DM_COPIES;
        mode.copies = static_cast<std::int16_t>(copies);
    }
    const WindowTable::PageSetupChoices& c = wtab.page_setup;
    auto take16 = [&](std::int16_t value, std::uint32_t flag, std::int16_t& field) {
        if (value != -1 && (f & flag)) {
            chosen |= flag;
            field = value;
        }
    };
    take16(c.prSize, OS_DM_PAPERSIZE, mode.paper_size);
    take16(c.prLength, OS_DM_PAPERLENGTH, mode.paper_length);
    take16(c.prWidth, OS_DM_PAPERWIDTH, mode.paper_width);
    take16(c.prScale, OS_DM_SCALE, mode.scale);
    take16(c.prSource, OS_DM_DEFAULTSOURCE, mode.default_source);
    take16(c.prQuality, OS_DM_PRINTQUALITY, mode.print_quality);
    take16(c.prColor, OS_DM_COLOR, mode.colour);
    take16(c.prDuplex, OS_DM_DUPLEX, mode.duplex);
    take16(c.prYRes, OS_DM_YRESOLUTION, mode.y_resolution);
    take16(c.prTTOption, OS_DM_TTOPTION, mode.tt_option);
    take16(c.prCollate, OS_DM_COLLATE, mode.collate);
    if (c.prMedia != 99999 && (f & OS_DM_MEDIATYPE)) {
        chosen |= OS_DM_MEDIATYPE;
        mode.media_type = static_cast<std::uint32_t>(c.prMedia);
    }
    if (c.prDither != 99999 && (f & OS_DM_DITHERTYPE)) {
        chosen |= OS_DM_DITHERTYPE;
        mode.dither_type = static_cast<std::uint32_t>(c.prDither);
    }
    if (chosen != 0) {
        mode.fields = chosen;
        os_printer_merge_devmode(printer, mode);
    }
    const OsDC dc = os_create_printer_dc(wtab.lpPrintDriver, wtab.lpPrintType, wtab.lpPrintPort, &mode);
    os_close_printer(printer);
    return dc;
}

void yywpropen(std::int32_t width, std::int32_t height, std::int32_t xoff, std::int32_t yoff, std::int32_t& resx,
               std::int32_t& resy, std::int32_t& colours, std::int32_t& err, std::int32_t& oserr,
               std::int32_t landscape, std::int32_t copies, std::string_view docname) {
    DrawingLayer& l = printer_layer;
    if (l.doc_open == 0) {
        wtab.gPrDC = yywprgetdc(landscape, copies);
        if (!wtab.gPrDC) {
            err = 1;
            oserr = last_error();
            return;
        }
        if (os_start_doc(wtab.gPrDC, docname) <= 0) {
            err = 1;
            oserr = last_error();
            // Nothing is drawn on a job that did not start.
            os_delete_dc(wtab.gPrDC);
            wtab.gPrDC = 0;
            return;
        }
        l.doc_open = 1;
    }
    err = 0;
    colours = os_get_device_caps(wtab.gPrDC, OS_NUMCOLORS);
    resx = os_get_device_caps(wtab.gPrDC, OS_LOGPIXELSX);
    resy = os_get_device_caps(wtab.gPrDC, OS_LOGPIXELSY);
    l.resolution = resx;
    yywprlinestyles();
    wtab.origin = {
        static_cast<std::int32_t>(os_get_device_caps(wtab.gPrDC, OS_PHYSICALOFFSETX) - std::int64_t{xoff} * resx / 72),
        static_cast<std::int32_t>(os_get_device_caps(wtab.gPrDC, OS_PHYSICALOFFSETY) - std::int64_t{yoff} * resy / 72)};
    l.extent = {static_cast<std::int32_t>(std::int64_t{width} * resx / 72),
                static_cast<std::int32_t>(std::int64_t{height} * resy / 72)};
    yywprstartpage();
    wtab.gPrRegion = 0;
    os_set_bk_mode(wtab.gPrDC, OS_TRANSPARENT);
    l.pen_cache = {-1, -1, -1};
}

void yywprstartpage() {
    DrawingLayer& l = printer_layer;
    os_start_page(wtab.gPrDC);
    os_set_window_org(wtab.gPrDC, wtab.origin[0], wtab.origin[1]);
    if (l.extent[0] != 0 && l.extent[1] != 0) os_set_window_ext(wtab.gPrDC, l.extent[0], l.extent[1]);
    if (l.font) os_select_object(wtab.gPrDC, l.font);
    l.page_pending = 0;
}

void yywprdump() {
    os_end_page(wtab.gPrDC);
    printer_layer.page_pending = 1;
}

void yywprclose() {
    release_layer_objects(false);
    os_end_doc(wtab.gPrDC);
    os_delete_dc(wtab.gPrDC);
    wtab.gPrDC = 0;
    printer_layer.doc_open = 0;
    printer_layer.page_pending = 0;
}

std::string printed_file() { return os_utf8_to_cp1252(os_printer_output_file()); }
