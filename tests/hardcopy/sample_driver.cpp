#include "tests/hardcopy/sample_driver.h"

#include <cstdio>
#include <string>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/window/text.h"

namespace {

std::string number(float v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%g", static_cast<double>(v));
    return buf;
}

}  // namespace

void sample_driver(std::int32_t op) {
    GraphicsState& g = gstate;
    DriverArguments& a = drvargs;
    switch (op) {
        case OpInitialise: {
            if (a.N == ProbeDriverNumber) {
                a.N = SampleDriverNumber;
                return;
            }
            yydefh();
            for (auto [code, value] : {std::pair{1, 600}, {2, 400}, {3, 0}, {4, 0}, {5, 0}})
                g.hc.options.set(code, value);
            hcstate.HardcopyResolution = {72, 72};
            g.hc.colour_count = 16;
            DeviceDescription& d = g.device[HardcopySide];
            d.DeviceCapabilities = std::string(CapsVectorFile);
            d.TextSizeThreshold = NoTextSizeThreshold;
            d.TextRotationCapability = 360;
            d.true_colour = 1;
            d.gradient_type = 0;
            txt_set(g.hc.output_name, "sample.out");
            hcstate.DriverCanSpool = 1;
            g.hc.active_driver = SampleDriverNumber;
            return;
        }
        case OpBeginPicture:
            g.hc.x_scale = g.hc.y_scale = 1.0f;
            if (a.K <= 0 || !driver_open_output()) return;
            yyprwl(DriverChannel, a.IX[0] == 1 ? "BEGIN " + txt_c(hcstate.HardcopyTitle) : "BEGIN");
            return;
        case OpLine:
            g.hc.page_in_progress = 1;
            yyprwl(DriverChannel, "LINE " + number(a.X[0]) + " " + number(a.Y[0]) + " " + number(a.X[1]) + " " +
                                      number(a.Y[1]));
            return;
        case OpText:
            g.hc.page_in_progress = 1;
            yyprwl(DriverChannel, "TEXT " + DriverText.substr(0, static_cast<std::size_t>(driver_text_count())));
            return;
        case OpPolyline: {
            g.hc.page_in_progress = 1;
            const std::int32_t n = driver_point_count();
            float sum = 0.0f;
            for (std::int32_t i = 0; i < n; ++i) sum += quin01.X[static_cast<std::size_t>(i)];
            yyprwl(DriverChannel, "POLYLINE " + std::to_string(n) + " " + number(sum));
            return;
        }
        case OpEndPage:
            g.hc.page_in_progress = 0;
            yyprwl(DriverChannel, "PAGE");
            return;
        case OpEndOutput:
            yyprwl(DriverChannel, "END");
            yyprcl(DriverChannel);
            return;
        default: return;
    }
}

void install_sample_driver() { grlinks.hardcopy_drivers[SampleDriverNumber] = &sample_driver; }
