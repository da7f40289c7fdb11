#include "lib/graphics/grinfo.h"

#include "lib/graphics/gstate.h"
#include "lib/graphics/screen.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/text.h"
#include "lib/window/wininfo.h"

std::int32_t InfoGrScreen(std::int32_t item) {
    const GraphicsState& g = gstate;
    const DeviceDescription& d = g.device[ScreenSide];
    if (item >= 1 && item <= 29) {
        const std::size_t i = static_cast<std::size_t>(item - 1);
        return i < d.DeviceCapabilities.size() ? d.DeviceCapabilities[i] - '0' : 0;
    }
    std::int32_t c = 0;
    switch (item) {
        case 30: return g.colour_count;
        case 31: return g.chosen_palette_size;
        case 32: return static_cast<std::int32_t>(g.aspect_ratio * 100.0f);
        case 33: return 5;
        case 34: return g.PreviousColour.in_model(g.ColourModel);
        case 35: return g.CurrentColour.in_model(g.ColourModel);
        case 36: return g.LineType;
        case 37: return g.PlotMode;
        case 38: return d.charset_bits;
        case 39: return g.text.stroke_font.charset_bits;
        case 40: return d.TextRotationCapability;
        case 41: return d.platform_variant;
        case 42: return d.true_colour;
        case 43: return g.DrawableType;
        case 44: return g.drawable_id;
        case 45:
        case 46: yygetwincolours(item, c); return c;
        case 49: return d.gradient_type;
        default: return 0;
    }
}

void InfoDeviceName(std::int32_t itype, std::string& name) {
    std::size_t required = 0;
    std::string value;
    if (itype >= 1 && itype <= 3) {
        required = itype == 3 ? 31 : 27;
        value = model_display_name(itype);
    }
    txt_set(name, value);
    if (required > name.size()) yyerror(1023, "InfoDeviceName");
}
