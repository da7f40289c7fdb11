#pragma once
// A graphics device for tests. It registers as the screen device and as a
// hardcopy driver, records every operation it receives with a copy of the
// operands and of the state words devices read, and answers as a device may:
// it installs a device description at operation 1, answers the driver-number
// probe, asks for fill emulation, measures text, reads pixels.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"

// The graphics-state words a device reads while it carries out an operation.
struct RecordedState {
    std::int32_t screen_flag = 0, hardcopy_flag = 0, recorder_flag = 0;
    std::int32_t DrawableType = 0, drawable_id = 0, width = 0, height = 0;
    std::int32_t ColourModel = 0;
    ColourTriple PreviousColour, CurrentColour;
    std::int32_t PlotMode = 0, LineType = 0, screen_line_width = 0, metafile_line_width = 0;
    std::int32_t fill_style = 0, fill_density = 0, fill_angle = 0, outline_flag = 0;
    std::int32_t stroke_text_flag = 0;
    std::array<float, 4> window{};          // device window wx1, wy1, wx2, wy2
    std::array<std::int32_t, 4> iclip{};    // integer clip window
    float char_width = 0, char_height = 0, angle = 0;
    std::int32_t justification = 0;
    std::int32_t TextStyle = 0, HardwareFontFamily = 0, TextPitch = 0, stroke_mode = 0;
    std::string font_name;
    // Hardcopy options 6 (colour mode), 9 (line thickness), 10 (join), 11 (cap).
    std::int32_t colour_mode = 0, line_thickness = 0, line_join = 0, line_cap = 0;

    static RecordedState capture();
};

struct DriverCall {
    int side = ScreenSide;          // ScreenSide or HardcopySide
    std::int32_t op = 0;
    DriverArguments args;           // operands on entry
    DriverArguments reply;          // the operand block after the device answered
    std::string text;               // DriverText on entry, for operations 20, 22, 25 and 38
    std::vector<float> px, py;      // point list on entry, for operations 15, 16 and 32
    RecordedState state;
};

// How the device answers, per side.
struct DeviceAnswers {
    DeviceDescription description;  // installed at operation 1
    // Hardcopy side only.
    std::int32_t driver_number = DriverWindowsPrinter;
    std::int32_t colour_count = 256;
    std::int32_t page_width = 0, page_height = 0;  // options 1 and 2 unless asked to keep them
    float x_scale = 1.0f, y_scale = 1.0f;
    std::int32_t whole_strings = 1, own_text_background = 0;
    // Filled shapes (begin of 5, 9 and 15 on the hardcopy side): the request
    // stored in the side's FillEmulationRequest, a spacing when positive,
    // and for ellipses whether the outline is to be drawn as lines.
    std::int32_t fill_request = 0;
    float fill_spacing = 0.0f;
    bool ellipse_outline_as_lines = false;
    // Operation 25: a width when not negative. Operation 31: the pixel.
    // Operation 38: error number and operating-system code.
    float text_width = -1.0f;
    std::int32_t pixel = -1;
    std::int32_t image_error = 0, image_os_error = 0;
};

class RecordingDriver {
public:
    // Registers on the screen side and as hardcopy driver `hardcopy_number`
    // (0: not as a hardcopy driver). One recording driver at a time.
    explicit RecordingDriver(std::int32_t hardcopy_number = DriverWindowsPrinter);
    ~RecordingDriver();
    RecordingDriver(const RecordingDriver&) = delete;
    RecordingDriver& operator=(const RecordingDriver&) = delete;
    // Registers the device in the graphics links again (after a reset).
    void attach();

    DeviceAnswers screen;
    DeviceAnswers hardcopy;
    // Like the screen device, ignore every operation while screen graphics
    // are off; such calls are only counted.
    bool honour_screen_flag = true;
    int ignored_while_off = 0;
    // Called after the built-in answer, to add behaviour for one test.
    std::function<void(DriverCall&)> on_call;

    std::vector<DriverCall> calls;

    // Operation codes received on one side, in order.
    std::vector<std::int32_t> ops(int side) const;
    // Calls of one side with one operation code.
    std::vector<const DriverCall*> find(int side, std::int32_t op) const;
    void clear();

    // Description of the screen device and of a vector-file driver.
    static DeviceDescription screen_description();
    static DeviceDescription vector_description();

private:
    void receive(int side, std::int32_t op);
    void answer(DriverCall& call);
    static void screen_entry(std::int32_t op);
    static void hardcopy_entry(std::int32_t op);
    std::int32_t number_;
};
