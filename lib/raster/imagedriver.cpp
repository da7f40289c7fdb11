// The image-file hardcopy driver: the raster device draws the picture into
// the raster page, and at the end of every page the page goes out as a PCX,
// BMP (plain or run-length) or PNG image on the driver channel.
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/imagefiles.h"
#include "lib/raster/raster.h"
#include "lib/window/text.h"

namespace {

constexpr std::string_view CapsImageFile = "00000111111111110010011111000";

// The output name when the picture began: the run-length BMP has its size
// fields written there after the channel is closed.
std::string image_output_name;

void selecting_masks() {
    for (int k = 0; k < 4; ++k) raster.byteMasks[static_cast<std::size_t>(k)] = static_cast<std::int32_t>(0xFFu << (8 * k));
}

void clearing_masks() {
    for (auto& m : raster.byteMasks) m = ~m;
}

void initialise() {
    DriverArguments& a = drvargs;
    if (a.N == ProbeDriverNumber) {
        a.N = DriverImageFile;
        return;
    }
    yyvras(OpInitialise);
    HardcopyOptionTable& o = gstate.hc.options;
    o.set(1, 640);
    o.set(2, 480);
    o.set(5, 0);
    o.set(23, 8);
    o.set(26, 0);
    gstate.hc.colour_count = 1 << o.get(23);
    hcstate.DriverCanSpool = 0;
    gstate.device[HardcopySide].DeviceCapabilities = std::string(CapsImageFile);
    txt_set(gstate.hc.output_name, "derizure.pcx");
    gstate.hc.active_driver = DriverImageFile;
}

void begin() {
    const bool opening = drvargs.K > 0;
    if (opening) {
        // On failure hardcopy output is off and the error was reported.
        if (!raster_size_image()) return;
        image_output_name = txt_c(DriverText);
    }
    yyvras(OpBeginPicture);
    if (opening) yyvras(OpClear);
}

// The writer of the page by image format; PCX for any value without one.
void write_page() {
    const std::int32_t format = gstate.hc.options.get(26);
    const FileTypeCode code = format == 1 || format == 2 ? FileBmp : format == 3 ? FilePng : FilePcx;
    for (const ImageFormat& f : image_formats())
        if (f.code == code && f.write) return f.write();
}

void end_page() {
    if (gstate.hc.page_in_progress == 0) return;
    selecting_masks();
    write_page();
    gstate.hc.page_in_progress = 0;
    yyvras(OpClear);
    clearing_masks();
}

void end() {
    yyvras(OpEndOutput);
    const std::int32_t depth = raster.pixelDepth;
    if ((depth == 4 || depth == 8) && gstate.hc.options.get(26) == 2 && hcstate.HardcopyErrorFlag == 0)
        yybmp2(image_output_name);
}

}  // namespace

void xximag(std::int32_t op) {
    switch (op) {
        case OpInitialise: initialise(); break;
        case OpBeginPicture: begin(); break;
        case OpEndPage: end_page(); break;
        case OpEndOutput: end(); break;
        default: yyvras(op); break;
    }
}
