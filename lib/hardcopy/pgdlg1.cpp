// The set-up dialog of the drivers that write for a device chosen from a
// list: HP-GL plotters, PostScript printers, raster printers and HP-GL/2
// devices. It runs its own message loop while it is up; a device chosen in
// the list and the option dialog's settings apply at once, the page, the
// orientation and the PostScript format at OK, and Cancel puts back the
// device and the options as they were.
#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/grinfo.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/setupdlg.h"
#include "lib/window/fetch.h"
#include "lib/window/messages.h"
#include "lib/window/text.h"

namespace {

using namespace setupdlg;

constexpr std::int32_t SetupResource = 32098;
constexpr std::int32_t FieldDevices = 1203;
constexpr std::int32_t FieldUnitTitle = 1206;
constexpr std::int32_t FieldOptions = 1207;
constexpr std::int32_t FieldPortrait = 1208;
constexpr std::int32_t FieldLandscape = 1209;
constexpr std::int32_t FieldDeviceLabel = 3002;
constexpr std::int32_t FieldWidth = 1001;
constexpr std::int32_t FieldHeight = 1002;
constexpr std::size_t DeviceNameLength = 31;

constexpr std::array<PageUnit, 4> Units = {{
    {"points", 1.0f},
    {"inches", 0.01388889f},
    {"cm", 0.03527778f},
    {"mm", 0.3527778f},
}};

// The devices in the order the list shows them.
constexpr std::array<std::int32_t, 10> PlotterOrder = {4, 5, 9, 10, 1, 6, 2, 3, 7, 8};
constexpr std::array<std::int32_t, 36> PrinterOrder = {4,  5,  6,  23, 24, 25, 26, 17, 18, 7,  8,  36,
                                                       37, 35, 38, 14, 22, 21, 34, 33, 31, 32, 10, 11,
                                                       28, 29, 13, 30, 2,  12, 15, 16, 19, 20, 3,  9};
constexpr std::array<std::int32_t, 5> Hpgl2Order = {5, 4, 2, 1, 3};
constexpr std::array<std::string_view, 2> PostScriptFormats = {"Printer PostScript", "Encapsulated PostScript"};

struct DeviceSetup {
    std::int32_t driver;
    std::string_view caption;
    std::string_view label;
    std::span<const std::int32_t> models;  // empty: the PostScript formats
    std::int32_t default_item;             // when the current model is not in the list
    std::int32_t name_kind;                // of InfoDeviceName
    std::string_view filter;
    std::string_view title;
};

constexpr std::array<DeviceSetup, 4> Setups = {{
    {DriverHpgl, "HP-GL Plotter Output", "Plotter type :", PlotterOrder, 5, 2, "HP-GL plotter file|*.plt|",
     "HP-GL file"},
    {DriverPostScript, "PostScript Output", "Format :", {}, 1, 0, "PostScript file|*.ps;*.eps|", "PostScript file"},
    {DriverRasterPrinter, "HP/Epson/IBM Printer Output", "Printer type :", PrinterOrder, 25, 1,
     "HP PCL/Epson/IBM printer file|*.prn|", "HP PCL/Epson/IBM printer file"},
    {DriverHpgl2, "HP-GL/2 Printer Output", "Device type :", Hpgl2Order, 4, 3, "HP-GL/2 file|*.plt|",
     "HP-GL/2 file"},
}};

const DeviceSetup* setup_of(std::int32_t driver) {
    for (const DeviceSetup& s : Setups)
        if (s.driver == driver) return &s;
    return nullptr;
}

// The model word of a driver: plotter model, printer model, HP-GL/2 device.
std::int32_t& model_word(std::int32_t driver) {
    DeviceModels& m = hcstate.models;
    if (driver == DriverHpgl) return m.plotter_model;
    if (driver == DriverRasterPrinter) return m.printer_model;
    return m.hpgl2_device;
}

// Selects a model with everything that follows from it.
void select_model(std::int32_t driver, std::int32_t model) {
    if (driver == DriverHpgl) iplotter(model);
    else if (driver == DriverRasterPrinter) iprinter(model);
    else iprinter2(model);
}

// The option dialog of the driver; the raster printers' by their family.
std::int32_t option_resource(std::int32_t driver) {
    if (driver != DriverRasterPrinter) return 32000 + driver;
    const DeviceModels& m = hcstate.models;
    if (m.PrinterFamily <= 6) return 32023;
    if (m.PrinterFamily >= 9) return 32025;
    if (m.PrinterPlanes > 1) return 32021;
    return m.PrinterFamily == 8 ? 32022 : 32024;
}

// What the dialog keeps while it is up.
struct Session {
    const DeviceSetup& setup;
    std::int32_t units;
    const PageUnit& unit;
    std::string& name;
    HardcopyOptionTable& options;
    bool fixed;
    std::int32_t restricted;
    std::array<std::int32_t, 29> backup{};
    std::int32_t model_at_entry = 0;   // 0 for PostScript
    std::int32_t hpgl2_device_at_entry = 0;
    std::int32_t hpgl2_chosen_at_entry = 0;
    std::int32_t item = 0;             // the list item last seen
    std::int32_t orientation = FieldPortrait;  // the orientation button last seen
    std::int32_t changes_on = 0;       // field changes reported at entry
};

void show_page(const Session& s) {
    for (std::int32_t k = 1; k <= 4; ++k)
        WDialogPutReal(1000 + k, shown_length(s.options.get(k), s.unit.factor), PageFormat);
}

// A page field as the orientation exchange sees it: its number, none when
// the field is empty.
std::optional<float> shown_value(std::int32_t field) {
    std::string text(64, ' ');
    WDialogGetString(field, text);
    if (txt_blank(text)) return std::nullopt;
    float v = 0.0f;
    WDialogGetReal(field, v);
    return v;
}

void show_value(std::int32_t field, std::optional<float> value) {
    if (value) WDialogPutReal(field, *value, PageFormat);
    else WDialogPutString(field, "");
}

std::vector<std::string> device_entries(Session& s, const std::int32_t fixed_format) {
    std::vector<std::string> entries;
    if (s.setup.models.empty()) {
        for (std::string_view f : PostScriptFormats) entries.emplace_back(f);
        s.item = fixed_format != 0 || s.options.get(22) == 0 ? 1 : 2;
        return entries;
    }
    // The name source names the model in the model word: each entry's model
    // goes there in turn, and the model found at the start comes back.
    std::int32_t& word = model_word(s.setup.driver);
    const std::int32_t at_entry = word;
    s.item = s.setup.default_item;
    for (std::size_t i = 0; i < s.setup.models.size(); ++i) {
        word = s.setup.models[i];
        std::string name(DeviceNameLength, ' ');
        InfoDeviceName(s.setup.name_kind, name);
        entries.push_back(name);
        if (s.setup.models[i] == at_entry) s.item = static_cast<std::int32_t>(i) + 1;
    }
    word = at_entry;
    s.model_at_entry = at_entry;
    return entries;
}

void on_ok(Session& s) {
    WDialogGetString(FieldOutputName, s.name);
    for (std::int32_t k = 1; k <= 4; ++k) {
        const std::int32_t v = points_of(read_length(1000 + k), s.unit.factor);
        // Every driver divides by the page's width and height.
        if (k <= 2 && v < 1) continue;
        s.options.set(k, v);
    }
    std::int32_t position = 0;
    WDialogGetRadioButton(FieldPortrait, position);
    if (position == 1 || position == 2) s.options.set(5, position - 1);
    if (s.setup.driver == DriverPostScript) {
        std::int32_t item = 0;
        WDialogGetMenu(FieldDevices, item);
        if (item == 1 || item == 2) s.options.set(22, item - 1);
    }
}

void on_cancel(Session& s) {
    const std::int32_t driver = s.setup.driver;
    if (s.model_at_entry != 0) {
        // Through the model selector, so that everything derived from the
        // model (family, planes, resolutions) is the entry model's again;
        // a selector may have changed the HP-GL/2 device type and its flag.
        const bool changed = model_word(driver) != s.model_at_entry;
        if (changed) select_model(driver, s.model_at_entry);
        hcstate.models.hpgl2_device = s.hpgl2_device_at_entry;
        hcstate.models.hpgl2_chosen = s.hpgl2_chosen_at_entry;
        if (changed) igrhardcopyselect(1, driver);
    }
    for (std::int32_t k = 1; k <= 29; ++k) s.options.set(k, s.backup[static_cast<std::size_t>(k - 1)]);
}

// While the file selector or the option dialog is up, the field changes
// are reported only as the caller had them.
template <class F>
void with_caller_changes(const Session& s, F run) {
    if (!s.changes_on) wmessageenable(MsgFieldChanged, 0);
    run();
    if (!s.changes_on) wmessageenable(MsgFieldChanged, 1);
}

void on_browse(Session& s) {
    with_caller_changes(s, [&] {
        if (choose_file(s.setup.filter, s.name, s.setup.title)) WDialogPutString(FieldOutputName, s.name);
    });
}

void on_options(Session& s) {
    const std::int32_t resource = option_resource(s.setup.driver);
    with_caller_changes(s, [&] {
        if (!s.fixed) yypgdlg2(s.units, s.name, resource, DialogModal, s.restricted);
    });
}

void on_orientation(Session& s) {
    std::int32_t position = 0;
    WDialogGetRadioButton(FieldPortrait, position);
    if (position != 1 && position != 2) return;
    const std::int32_t button = FieldPortrait - 1 + position;
    if (button == s.orientation) return;
    s.orientation = button;
    // An empty field goes over as empty.
    const std::optional<float> width = shown_value(FieldWidth), height = shown_value(FieldHeight);
    show_value(FieldHeight, width);
    show_value(FieldWidth, height);
}

void on_device(Session& s) {
    std::int32_t item = 0;
    WDialogGetMenu(FieldDevices, item);
    if (item == s.item) return;
    s.item = item;
    const std::int32_t driver = s.setup.driver;
    if (driver == DriverPostScript) {
        apply_extension(s.name, item == 2 ? ".eps" : ".ps");
        return;
    }
    if (item < 1 || item > static_cast<std::int32_t>(s.setup.models.size())) return;
    select_model(driver, s.setup.models[static_cast<std::size_t>(item - 1)]);
    // The driver's defaults for the new device, the page among them.
    if (!s.fixed || (gstate.hc.active_driver == DriverRasterPrinter && gstate.hardcopy_flag == 0))
        igrhardcopyselect(1, driver);
    const std::int32_t before = s.options.get(5);
    s.options.set(5, s.orientation - FieldPortrait);
    if (s.options.get(5) != before) {
        const std::int32_t w = s.options.get(1);
        s.options.set(1, s.options.get(2));
        s.options.set(2, w);
    }
    show_page(s);
}

}  // namespace

void yypgdlg1(std::int32_t units, std::string& name, std::int32_t driver, HardcopyOptionTable& options,
              std::int32_t fixed_format, std::int32_t restricted) {
    const DeviceSetup* setup = setup_of(driver);
    if (!setup) return;
    const PageUnit& unit = Units[static_cast<std::size_t>(units >= 0 && units <= 3 ? units : 0)];

    // 1. Load.
    const std::int32_t previous = dialog_state.current_id;
    if (!load(SetupResource)) return restore_current(previous);
    Session s{*setup, units, unit, name, options, fixed_format != 0, restricted};
    s.hpgl2_device_at_entry = hcstate.models.hpgl2_device;
    s.hpgl2_chosen_at_entry = hcstate.models.hpgl2_chosen;

    // 2. Back up options 1 to 29.
    for (std::int32_t k = 1; k <= 29; ++k) s.backup[static_cast<std::size_t>(k - 1)] = options.get(k);

    // 3. The page.
    WDialogPutString(FieldOutputName, name);
    WDialogPutString(FieldUnitTitle, "Size/Position (" + std::string(unit.name) + ")");
    show_page(s);
    s.orientation = options.get(5) == 1 ? FieldLandscape : FieldPortrait;
    WDialogPutRadioButton(s.orientation);

    // 4. The device list.
    const std::vector<std::string> entries = device_entries(s, fixed_format);
    WDialogTitle(setup->caption);
    WDialogPutString(FieldDeviceLabel, setup->label);
    WDialogPutMenu(FieldDevices, entries, static_cast<std::int32_t>(entries.size()), s.item);

    // 5. PostScript of a fixed format keeps its list and options shut.
    const std::int32_t state = driver == DriverPostScript && s.fixed ? FieldDisabled : FieldEnabled;
    WDialogFieldState(FieldDevices, state);
    WDialogFieldState(FieldOptions, state);

    // 6, 7. Show; field changes reported while it is up.
    yyshowcd(FieldOutputName, DialogSemiModeless, -1);
    yyinfomessage(MsgFieldChanged, s.changes_on);
    s.changes_on = s.changes_on != 0 ? 1 : 0;
    if (!s.changes_on) wmessageenable(MsgFieldChanged, 1);

    // 8. The loop.
    std::int32_t result = 0;
    for (;;) {
        std::int32_t type = 0;
        WindowMessage m;
        wmessage(type, m);
        if (type == MsgPushButton) {
            if (m.VALUE1 == FieldOk) {
                on_ok(s);
                result = 1;
                break;
            }
            if (m.VALUE1 == FieldCancel) {
                on_cancel(s);
                result = 0;
                break;
            }
            if (m.VALUE1 == FieldBrowse) on_browse(s);
            else if (m.VALUE1 == FieldOptions) on_options(s);
        } else if (type == MsgFieldChanged) {
            if (m.VALUE2 == FieldPortrait || m.VALUE2 == FieldLandscape) on_orientation(s);
            else if (m.VALUE2 == FieldDevices) on_device(s);
        }
    }
    dialog_state.last_result = result;

    // 9, 10. Leave.
    wmessageenable(MsgFieldChanged, s.changes_on);
    WDialogHide();
    yydialogunload(0, -1);
    restore_current(previous);
}
