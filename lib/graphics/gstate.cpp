#include "lib/graphics/gstate.h"

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/dither.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/text.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/pgraph/pgraph.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"

GraphicsState gstate;
DriverArguments drvargs;
std::string DriverText(DriverTextLength, ' ');
WorkBlock quin01;

namespace {

// An option letter, given in upper case, is found in either case.
bool has_option(std::string_view options, char upper) {
    const char lower = static_cast<char>(upper - 'A' + 'a');
    for (char c : options)
        if (c == upper || c == lower) return true;
    return false;
}

void call(void (*fn)()) {
    if (fn) fn();
}

}  // namespace

void yydefh() {
    HardcopyOptionTable& o = gstate.hc.options;
    o.set(6, 0);
    o.set(7, 0);
    o.set(8, 1);
    o.set(9, 5);
    o.set(10, 0);
    o.set(11, 0);
    o.set(17, 0);
    o.set(101, 80);
    o.set(102, 60);
    o.set(103, 1);
    o.set(104, 999999);
    o.set(105, 1);
    o.set(106, 0);
    o.set(107, 0);
    o.set(108, 8);
}

void igrinit(std::string_view options, std::optional<int>, std::optional<int>, std::optional<int>) {
    GraphicsState& g = gstate;
    const bool no_screen = has_option(options, 'H');
    const bool keep_pages = has_option(options, 'P');

    // 1. Drawing area.
    g.x1 = 0.0f;
    g.x2 = 1.0f;
    g.y1 = 0.0f;
    g.y2 = 1.0f;
    g.area_width_x = g.area_width_y = 1.0f;
    g.unit_range_x = g.unit_range_y = 1.0f;

    // 2. Text.
    TextState& t = g.text;
    t.char_width = 0.01333333f;
    t.char_height = 0.04f;
    t.angle = 0.0f;
    t.HardwareFontFamily = 1;
    t.substitute_font = 1;
    t.TextStyle = 0;
    t.stroke_mode = 0;
    t.slant = 0.0f;
    t.direction = 0;
    t.justification = 1;
    t.unread_word = 2;
    t.TextPitch = 0;
    t.substitution_enabled = {1, 1};
    txt_set(t.font_name, "");
    t.cos_angle = 1.0f;
    t.sin_r = 0.0f;
    t.sin_over_r = 0.0f;

    // 3. Colours: white before black, palette model.
    g.PreviousColour.index() = 0;
    g.PreviousColour.rgb() = 0xFFFFFF;
    g.CurrentColour.index() = 223;
    g.CurrentColour.rgb() = 0;
    g.stroke_text_flag = 0;
    g.ColourModel = 1;

    // 4. Attributes.
    g.PlotMode = 0;
    g.LineType = 0;
    g.screen_line_width = 1;
    g.metafile_line_width = 5;

    // 5. Screen graphics on or off.
    if (no_screen) {
        g.screen_flag = 0;
    } else {
        g.screen_flag = 1;
        yygdrv(OpBeginPicture);
    }

    // 6. The current window is the drawable.
    IGrSelect(1, quinda.current_slot);

    // 7. Colours and attributes to the devices.
    if (g.screen_flag == 1) {
        g.colour_count = g.chosen_palette_size;
        g.palette_size_copy = g.colour_count;
        // Previous colour first, so both device colour numbers get computed
        // and both colours end up in their places.
        IGrColourN(0);
        IGrColourN(223);
        yygdrv(OpPlotMode);
        yygdrv(OpLineType);
        yygdrv(OpLineWidth);
        yygdrv(OpFont);
    }

    // 8. Text defaults.
    yychdfont();
    yychspace(0);
    wgrvfontstandard(0);

    // 9. Stop hardcopy output without an end of page.
    g.hc.page_in_progress = 0;
    igrhardcopy("S");

    // 10. Keep the page options only once a hardcopy driver has answered.
    const std::int32_t active = g.hc.active_driver;
    const bool restore = keep_pages && active != 0;
    std::array<std::int32_t, 29> saved{};
    std::string saved_name;
    if (restore) {
        for (int k = 1; k <= 29; ++k) saved[static_cast<std::size_t>(k - 1)] = g.hc.options.get(k);
        saved_name = g.hc.output_name;
        drvargs.K = KeepPageOptions;
    } else {
        drvargs.K = 0;
    }

    // 11. The selected hardcopy driver initialises.
    for (int k = 1; k <= 29; ++k) g.hc.options.set(k, 0);
    // N keeps whatever the last sender stored; a left-over probe value would
    // make the driver answer its number instead of initialising.
    drvargs.N = 0;
    xxhcif(OpInitialise);
    drvargs.K = 0;

    // 12. Put the kept options back, each through the option routine.
    if (restore) {
        g.hc.output_name = saved_name;
        for (int k = 1; k <= 29; ++k) igrhardcopyoptions(k, saved[static_cast<std::size_t>(k - 1)]);
    }

    // 13. World units.
    IGrUnits(0.0f, 0.0f, 1.0f, 1.0f);

    // 14. Fill and position.
    g.FillEmulationRequest = {0, 0};
    g.pos_x = g.pos_y = 0.0f;
    g.fill_style = 0;
    g.outline_flag = 1;

    // 15. Presentation-graphics defaults.
    yypgdefaults1();
    ipgunits(0.0f, 0.0f, 1.0f, 1.0f);
    ipgnewplot1(4, 500, 1, 0, 0);
    yypgdefaults2();
}

namespace {

// Steps of IGrSelect for one drawable type; false when the surface cannot be
// used.
bool select_window(std::optional<int> ident) {
    call(grlinks.select_none);
    const std::int32_t saved_error = quinda.last_error;
    quinda.last_error = 0;
    gstate.drawable_id = ident.value_or(quinda.current_slot);
    gstate.dialog_id = 0;
    if (grlinks.window_select) grlinks.window_select(gstate.drawable_id);
    if (quinda.last_error == 1003) return false;
    quinda.last_error = saved_error;
    return true;
}

// A numbered surface (memory bitmap or memory metafile, 1..20). The
// bitmap layer counts its bitmaps from 0, hence the offset.
using NumberedSelect = void (*)(int ident, int& err, int& width, int& height);

bool select_numbered(int type, std::optional<int> ident, NumberedSelect select, int offset) {
    call(grlinks.select_none);
    gstate.drawable_id = ident.value_or(1);
    gstate.dialog_id = 0;
    int err = 1, w = 0, h = 0;
    if (select) select(gstate.drawable_id - offset, err, w, h);
    if (err > 0) return false;
    yyresn(type, gstate.drawable_id, w, h);
    return true;
}

bool select_field(std::optional<int> ident) {
    const int dialog = grlinks.current_dialog ? grlinks.current_dialog() : 0;
    if (dialog == 0) return false;
    call(grlinks.select_none);
    int id = ident.value_or(0);
    gstate.dialog_id = dialog;
    int w = 0, h = 0;
    if (grlinks.field_select)
        grlinks.field_select(id, w, h);
    else
        id = -1;
    gstate.drawable_id = id;
    if (id == -1) return false;
    yyresn(3, id, w, h);
    return true;
}

}  // namespace

void IGrSelect(int itype, std::optional<int> ident) {
    GraphicsState& g = gstate;
    const std::int32_t was_recording = g.recorder_flag;
    g.recorder_flag = 0;

    if (itype >= 1 && itype <= 4) {
        g.DrawableType = itype;
        bool ok = false;
        switch (itype) {
            case 1: ok = select_window(ident); break;
            case 2: ok = select_numbered(2, ident, grlinks.bitmap_select, 1); break;
            case 3: ok = select_field(ident); break;
            default: ok = select_numbered(4, ident, grlinks.metafile_select, 0); break;
        }
        if (!ok) {
            // Fall back to the current window. Its device context is taken
            // again through the window selection, so that drawing never
            // reaches a surface released above.
            g.DrawableType = 1;
            g.drawable_id = quinda.current_slot;
            g.dialog_id = 0;
            if (grlinks.window_select && wtab.slot_valid(quinda.current_slot)) {
                const std::int32_t saved_error = quinda.last_error;
                grlinks.window_select(quinda.current_slot);
                quinda.last_error = saved_error;
            }
            yyresn(1, quinda.current_slot, quinda.window_size[0], quinda.window_size[1]);
            yyerror(1019, "IGrSelect");
            return;
        }
    }

    yygdrv(OpInitialise);
    if (g.recorder_flag == 1 || was_recording == 1) {
        // The drawable switches to or from the CGM recorder: give the new
        // side the whole device state.
        yygdrv(OpBeginPicture);
        yygdrv(OpLineWidth);
        yygdrv(OpLineType);
        yygdrv(OpPalette);
        yygdrv(OpClip);
        if (g.temporary_selection != 0) yygdrv(OpFont);
    }
}

void igrplotmode2(std::optional<int> mode) {
    gstate.PlotMode = mode.value_or(0);
    yygdrv(OpPlotMode);
}

void igrplotmode1(std::optional<std::string_view> chmode) {
    if (!chmode) {
        igrplotmode2(0);
        return;
    }
    int mode = 0;
    if (!chmode->empty()) {
        constexpr std::string_view letters = "NOoAaEe";
        const std::size_t p = letters.find((*chmode)[0]);
        // Positions count from 1; a letter not in the list counts as 0.
        if (p != std::string_view::npos) mode = static_cast<int>(p + 1) / 2;
    }
    igrplotmode2(mode);
}

void yyresn(int type, int ident, int width, int height) {
    GraphicsState& g = gstate;
    if (type != g.DrawableType || ident != g.drawable_id) return;
    if (width < 0) width = 0;
    if (height < 0) height = 0;
    g.width = width;
    g.height = height;
    g.width_max = width - 1;
    g.height_max = height - 1;
    g.extent_x = static_cast<float>(width - 0.01);
    g.extent_y = static_cast<float>(height - 0.01);
    g.aspect_ratio = height == 0 ? 1.0f : static_cast<float>(static_cast<double>(width) / height);
    g.hc.resize_words = {0, 0};
    drvargs.K = -1;
    yyhdrv(OpBeginPicture);
    IGrArea(g.x1, g.y1, g.x2, g.y2);
}

void reset_graphics_state() {
    gstate = GraphicsState{};
    drvargs = DriverArguments{};
    DriverText.assign(DriverTextLength, ' ');
    quin01 = WorkBlock{};
    palettes = PaletteTables{};
    grlinks = GraphicsLinks{};
    reset_text_layer();
    reset_dither_state();
}
