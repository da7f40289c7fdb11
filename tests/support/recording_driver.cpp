#include "tests/support/recording_driver.h"

#include <algorithm>

#include "lib/window/text.h"

namespace {
RecordingDriver* active = nullptr;
}

RecordedState RecordedState::capture() {
    const GraphicsState& g = gstate;
    RecordedState s;
    s.screen_flag = g.screen_flag;
    s.hardcopy_flag = g.hardcopy_flag;
    s.recorder_flag = g.recorder_flag;
    s.DrawableType = g.DrawableType;
    s.drawable_id = g.drawable_id;
    s.width = g.width;
    s.height = g.height;
    s.ColourModel = g.ColourModel;
    s.PreviousColour = g.PreviousColour;
    s.CurrentColour = g.CurrentColour;
    s.PlotMode = g.PlotMode;
    s.LineType = g.LineType;
    s.screen_line_width = g.screen_line_width;
    s.metafile_line_width = g.metafile_line_width;
    s.fill_style = g.fill_style;
    s.fill_density = g.fill_density;
    s.fill_angle = g.fill_angle;
    s.outline_flag = g.outline_flag;
    s.stroke_text_flag = g.stroke_text_flag;
    s.window = {g.wx1, g.wy1, g.wx2, g.wy2};
    s.iclip = {g.ix1, g.iy1, g.ix2, g.iy2};
    s.char_width = g.text.char_width;
    s.char_height = g.text.char_height;
    s.justification = g.text.justification;
    s.angle = g.text.angle;
    s.TextStyle = g.text.TextStyle;
    s.HardwareFontFamily = g.text.HardwareFontFamily;
    s.TextPitch = g.text.TextPitch;
    s.stroke_mode = g.text.stroke_mode;
    s.font_name = std::string(txt_trim(g.text.font_name));
    s.colour_mode = g.hc.options.get(6);
    s.line_thickness = g.hc.options.get(9);
    s.line_join = g.hc.options.get(10);
    s.line_cap = g.hc.options.get(11);
    return s;
}

RecordingDriver::RecordingDriver(std::int32_t hardcopy_number) : number_(hardcopy_number) {
    screen.description = screen_description();
    hardcopy.description = vector_description();
    hardcopy.driver_number = hardcopy_number;
    attach();
}

void RecordingDriver::attach() {
    active = this;
    grlinks.screen_device = &RecordingDriver::screen_entry;
    if (number_ > 0 && number_ < HardcopyDriverSlots)
        grlinks.hardcopy_drivers[static_cast<std::size_t>(number_)] = &RecordingDriver::hardcopy_entry;
}

RecordingDriver::~RecordingDriver() {
    if (active != this) return;
    active = nullptr;
    grlinks.screen_device = GraphicsLinks{}.screen_device;
    if (number_ > 0 && number_ < HardcopyDriverSlots)
        grlinks.hardcopy_drivers[static_cast<std::size_t>(number_)] = nullptr;
}

void RecordingDriver::screen_entry(std::int32_t op) {
    if (active) active->receive(ScreenSide, op);
}

void RecordingDriver::hardcopy_entry(std::int32_t op) {
    if (active) active->receive(HardcopySide, op);
}

void RecordingDriver::receive(int side, std::int32_t op) {
    if (side == ScreenSide && honour_screen_flag && gstate.screen_flag == 0) {
        ++ignored_while_off;
        return;
    }
    DriverCall call;
    call.side = side;
    call.op = op;
    call.args = drvargs;
    call.state = RecordedState::capture();
    if (op == OpEndPage || op == OpText || op == OpTextWidth || op == OpImageFile) call.text = DriverText;
    if (op == OpPolygonPattern || op == OpPolygonSolid || op == OpPolyline) {
        const int n = std::clamp(drvargs.N, 0, WorkBlockPoints);
        call.px.assign(quin01.X.begin(), quin01.X.begin() + n);
        call.py.assign(quin01.Y.begin(), quin01.Y.begin() + n);
    }
    answer(call);
    if (on_call) on_call(call);
    call.reply = drvargs;
    calls.push_back(std::move(call));
}

void RecordingDriver::answer(DriverCall& call) {
    const DeviceAnswers& a = call.side == ScreenSide ? screen : hardcopy;
    GraphicsState& g = gstate;
    switch (call.op) {
        case OpInitialise:
            if (call.side == HardcopySide) {
                if (drvargs.N == ProbeDriverNumber) {
                    drvargs.N = a.driver_number;
                    return;
                }
                yydefh();
                if (drvargs.K != KeepPageOptions) {
                    g.hc.options.set(1, a.page_width);
                    g.hc.options.set(2, a.page_height);
                }
                g.hc.active_driver = a.driver_number;
                g.hc.colour_count = a.colour_count;
                g.hc.x_scale = a.x_scale;
                g.hc.y_scale = a.y_scale;
                g.hc.whole_strings = a.whole_strings;
                g.hc.own_text_background = a.own_text_background;
            }
            g.device[static_cast<std::size_t>(call.side)] = a.description;
            break;
        case OpEllipsePattern:
        case OpEllipseSolid:
        case OpRectanglePattern:
        case OpRectangleSolid:
        case OpPolygonPattern:
        case OpPolygonSolid:
            if (call.side == HardcopySide && drvargs.K == 1) {
                g.FillEmulationRequest[HardcopySide] = a.fill_request;
                if (a.fill_spacing > 0.0f) g.hc.HardcopyFillSpacing = a.fill_spacing;
                if ((call.op == OpEllipsePattern || call.op == OpEllipseSolid) && a.ellipse_outline_as_lines)
                    drvargs.K = -1;
            }
            break;
        case OpTextWidth:
            if (a.text_width >= 0.0f) {
                drvargs.X[0] = a.text_width;
                drvargs.N = 1;
            }
            break;
        case OpReadPixel: drvargs.IX[0] = a.pixel; break;
        case OpImageFile:
            drvargs.K = a.image_error;
            drvargs.N = a.image_os_error;
            break;
        default: break;
    }
}

std::vector<std::int32_t> RecordingDriver::ops(int side) const {
    std::vector<std::int32_t> v;
    for (const auto& c : calls)
        if (c.side == side) v.push_back(c.op);
    return v;
}

std::vector<const DriverCall*> RecordingDriver::find(int side, std::int32_t op) const {
    std::vector<const DriverCall*> v;
    for (const auto& c : calls)
        if (c.side == side && c.op == op) v.push_back(&c);
    return v;
}

void RecordingDriver::clear() {
    calls.clear();
    ignored_while_off = 0;
}

DeviceDescription RecordingDriver::screen_description() {
    DeviceDescription d;
    d.TextSizeThreshold = NoTextSizeThreshold;
    d.charset_bits = 8;
    d.DeviceCapabilities = std::string(CapsScreen);
    d.TextRotationCapability = 360;
    d.platform_variant = 2;
    d.true_colour = 1;
    d.gradient_type = 2;
    return d;
}

DeviceDescription RecordingDriver::vector_description() {
    DeviceDescription d = screen_description();
    d.DeviceCapabilities = std::string(CapsVectorFile);
    return d;
}
