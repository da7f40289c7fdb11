// The option dialogs of the hardcopy drivers. Field 1000 + k stands for
// option k of the selected driver: whichever of those fields a dialog's
// resource holds are filled from the option table and, after OK, every
// changed value goes through igrhardcopyoptions and its checks. The file
// drivers' dialogs (shown semi-modeless) also hold the output name, and the
// metafile driver's the choice between a file and the clipboard.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/hardcopy/setupdlg.h"
#include "lib/window/convert.h"
#include "lib/window/fetch.h"
#include "lib/window/messages.h"
#include "lib/window/osservices.h"
#include "lib/window/text.h"

namespace {

using namespace setupdlg;

constexpr std::int32_t FieldFileButton = 1014;  // metafile dialog: to a file
constexpr std::int32_t FieldClipboardButton = 4001;
constexpr std::int32_t FieldImageFormat = 1026;
constexpr std::int32_t FieldMetafileKind = 1027;
constexpr std::int32_t FieldSystemDashes = 1029;
constexpr std::int32_t UndefinedInteger = -999;
// The platform variant of the Windows 95/98/ME family.
constexpr std::int32_t NineXFamily = 3;

constexpr std::array<PageUnit, 4> Units = {{
    {"pts", 1.0f},
    {"ins", 0.0138889f},
    {"cm ", 0.0352778f},
    {"mm ", 0.352778f},
}};

// How field 1000 + k shows option k.
enum class Kind {
    Page,        // width or height: an integer, or a real in the unit
    List,        // item value + 1
    Integer,
    Resolution,  // the printer's resolutions, item = value
    Check,       // value mod 2
    Control,     // option 19: a list on page printers, else a check box
    Bits,        // bits per pixel
    Unused,      // 14: field 1014 is the metafile dialog's file button
};

constexpr std::array<Kind, 29> Kinds = {
    Kind::Page,    Kind::Page,    Kind::List,    Kind::List,       Kind::List,    Kind::List,    // 1..6
    Kind::List,    Kind::Integer, Kind::Integer, Kind::List,       Kind::List,    Kind::Integer, // 7..12
    Kind::Resolution, Kind::Unused, Kind::Check, Kind::Integer,    Kind::Check,   Kind::Check,   // 13..18
    Kind::Control, Kind::Check,   Kind::Integer, Kind::List,       Kind::Bits,    Kind::List,    // 19..24
    Kind::List,    Kind::List,    Kind::List,    Kind::List,       Kind::Check,                  // 25..29
};

constexpr std::array<std::int32_t, 5> RestrictedOptions = {6, 7, 9, 10, 11};

struct FileSettings {
    std::int32_t driver;
    std::string_view filter;
    std::string_view title;
};
constexpr std::array<FileSettings, 5> Files = {{
    {DriverSvg, "Scalable Vector Graphics file|*.svg|", "SVG file"},
    {DriverImageFile, "BMP/PCX/PNG file|*.bmp;*.pcx;*.png|", "BMP/PCX/PNG bit image file"},
    {DriverDxf, "AutoCAD DXF file|*.dxf|", "DXF file"},
    {DriverCgm, "Computer Graphics Metafile|*.cgm|", "CGM file"},
    {DriverWindowsMetafile, "Windows Metafile|*.wmf;*.emf|", "Windows Metafile"},
}};

// Image formats of the option 26 list: PCX, BMP, BMP, PNG.
constexpr std::array<std::string_view, 4> ImageExtensions = {".pcx", ".bmp", ".bmp", ".png"};

// What the dialog keeps while it is up.
struct Session {
    std::int32_t driver;  // ActiveDriverNumber
    const PageUnit& unit;
    std::string& name;
    bool nine_x = false;  // the platform of the Windows 95/98/ME family
};

Kind kind_of(std::int32_t k) { return Kinds[static_cast<std::size_t>(k - 1)]; }

std::int32_t field_of(std::int32_t k) { return 1000 + k; }

bool exists(std::int32_t field) { return winfodialogfield(field, 5) != 0; }

// The image file and SVG drivers keep their page in whole units.
bool whole_page(std::int32_t driver) { return driver == DriverSvg || driver == DriverImageFile; }

bool control_list(std::int32_t driver) {
    return driver == DriverRasterPrinter && hcstate.models.PrinterFamily >= 7;
}

std::int32_t item_of(std::int32_t value) { return value < std::numeric_limits<std::int32_t>::max() ? value + 1 : value; }

std::int32_t odd(std::int32_t value) { return value % 2 != 0 ? 1 : 0; }

void put_option(const Session& s, std::int32_t k) {
    const std::int32_t field = field_of(k);
    const std::int32_t v = gstate.hc.options.get(k);
    switch (kind_of(k)) {
        case Kind::Page:
            if (whole_page(s.driver)) {
                WDialogPutInteger(field, v);
            } else {
                WDialogPutReal(field, shown_length(v, s.unit.factor), PageFormat);
                WDialogPutString(2000 + k, s.unit.name);
            }
            return;
        case Kind::List: WDialogPutOption(field, item_of(v)); return;
        case Kind::Integer: WDialogPutInteger(field, v); return;
        case Kind::Resolution: {
            const DeviceModels& m = hcstate.models;
            const std::size_t n = static_cast<std::size_t>(std::clamp<std::int32_t>(m.ResolutionCount, 0, 4));
            std::vector<std::string> entries;
            for (std::size_t i = 0; i < n; ++i) {
                std::string t(3, ' ');
                IntegerToString(m.ResolutionList[i], t, "(I3)");
                entries.push_back(t);
            }
            WDialogPutMenu(field, entries, static_cast<std::int32_t>(n), v);
            return;
        }
        case Kind::Check: WDialogPutCheckBox(field, odd(v)); return;
        case Kind::Control:
            if (control_list(s.driver)) WDialogPutOption(field, item_of(v));
            else WDialogPutCheckBox(field, odd(v));
            return;
        case Kind::Bits: WDialogPutOption(field, v == 24 ? 4 : v / 4 + 1); return;
        case Kind::Unused: return;
    }
}

std::int32_t menu_item(std::int32_t field) {
    std::int32_t item = UndefinedInteger;
    WDialogGetMenu(field, item);
    return item;
}

std::int32_t read_option(const Session& s, std::int32_t k) {
    const std::int32_t field = field_of(k);
    std::int32_t v = gstate.hc.options.get(k);
    switch (kind_of(k)) {
        case Kind::Page:
            if (whole_page(s.driver)) WDialogGetInteger(field, v);
            else v = points_of(read_length(field), s.unit.factor);
            return v;
        case Kind::List: return menu_item(field) - 1;
        case Kind::Integer: WDialogGetInteger(field, v); return v;
        case Kind::Resolution: return menu_item(field);
        case Kind::Check: WDialogGetCheckBox(field, v); return v;
        case Kind::Control:
            if (control_list(s.driver)) return menu_item(field) - 1;
            WDialogGetCheckBox(field, v);
            return v;
        case Kind::Bits: {
            const std::int32_t item = menu_item(field);
            static constexpr std::array<std::int32_t, 4> image = {1, 4, 8, 24};
            static constexpr std::array<std::int32_t, 3> other = {3, 4, 8};
            const auto pick = [item](const auto& table) {
                return item >= 1 && item <= static_cast<std::int32_t>(table.size())
                           ? table[static_cast<std::size_t>(item - 1)]
                           : UndefinedInteger;
            };
            return s.driver == DriverImageFile ? pick(image) : pick(other);
        }
        case Kind::Unused: return v;
    }
    return v;
}

const FileSettings* file_settings(std::int32_t driver) {
    for (const FileSettings& f : Files)
        if (f.driver == driver) return &f;
    return nullptr;
}

// The metafile dialog's choice follows the name: a blank name is the
// clipboard.
void choose_target(const Session& s) {
    WDialogPutRadioButton(txt_blank(s.name) ? FieldClipboardButton : FieldFileButton);
}

std::int32_t radio_position(std::int32_t first) {
    std::int32_t position = UndefinedInteger;
    WDialogGetRadioButton(first, position);
    return position;
}

// The semi-modeless dialog's own loop, until OK or Cancel.
void run_loop(Session& s) {
    std::int32_t changes_on = 0;
    yyinfomessage(MsgFieldChanged, changes_on);
    if (s.driver == DriverPostScript || s.driver == DriverImageFile || s.driver == DriverWindowsMetafile)
        wmessageenable(MsgFieldChanged, 1);
    const bool metafile = s.driver == DriverWindowsMetafile;
    for (;;) {
        std::int32_t type = 0;
        WindowMessage m;
        wmessage(type, m);
        if (type == MsgPushButton) {
            dialog_state.exit_button = m.VALUE1;
            if (m.VALUE1 == FieldOk || m.VALUE1 == FieldCancel) {
                if (m.VALUE1 == FieldOk) {
                    if (metafile && radio_position(FieldFileButton) == 2) txt_set(s.name, "");
                    else WDialogGetString(FieldOutputName, s.name);
                }
                std::int32_t current = -1;
                yydialoghide(current);
                wmessageenable(MsgFieldChanged, changes_on != 0 ? 1 : 0);
                return;
            }
            if (m.VALUE1 == FieldBrowse && choose_file(hcstate.OptionsFilter, s.name, hcstate.OptionsTitle)) {
                WDialogPutString(FieldOutputName, s.name);
                if (metafile) choose_target(s);
            }
            continue;
        }
        if (type != MsgFieldChanged || m.VALUE1 != m.VALUE2) continue;
        switch (m.VALUE1) {
            case FieldFileButton:
            case FieldClipboardButton:
                if (radio_position(FieldFileButton) == 1) WDialogSetField(FieldOutputName);
                break;
            case FieldImageFormat: {
                const std::int32_t item = menu_item(FieldImageFormat);
                apply_extension(s.name, item >= 1 && item <= 4
                                            ? std::optional(ImageExtensions[static_cast<std::size_t>(item - 1)])
                                            : std::nullopt);
                break;
            }
            case FieldMetafileKind: {
                const std::int32_t item = menu_item(FieldMetafileKind);
                apply_extension(s.name, item == 3 ? ".emf" : ".wmf");
                if (s.nine_x) WDialogFieldState(FieldSystemDashes, item == 3 ? FieldEnabled : FieldDisabled);
                break;
            }
            case FieldOutputName:
                // Only the metafile dialog reports the name's changes.
                if (metafile) {
                    WDialogGetString(FieldOutputName, s.name);
                    choose_target(s);
                }
                break;
            default: break;
        }
    }
}

}  // namespace

void yypgdlg2(std::int32_t units, std::string& name, std::int32_t resource, std::int32_t mode,
              std::int32_t restricted) {
    const PageUnit& unit = Units[static_cast<std::size_t>(units >= 0 && units <= 3 ? units : 0)];

    // 1. Load.
    const std::int32_t previous = dialog_state.current_id;
    if (!load(resource)) return restore_current(previous);
    Session s{gstate.hc.active_driver, unit, name};
    const bool with_file = mode == DialogSemiModeless;

    // 2. The output name.
    if (with_file) {
        if (const FileSettings* f = file_settings(s.driver)) {
            txt_set(hcstate.OptionsFilter, f->filter);
            txt_set(hcstate.OptionsTitle, f->title);
        }
        if (s.driver == DriverWindowsMetafile) {
            choose_target(s);
            // The system's own dashes are a choice only where the platform
            // has no user-styled pens: the Windows 95/98/ME family.
            s.nine_x = infoopsystem(16) == NineXFamily;
            if (!(gstate.hc.options.get(27) == 2 && s.nine_x)) WDialogFieldState(FieldSystemDashes, FieldDisabled);
            WDialogFieldOptions(FieldOutputName, 3, 1);
        }
        WDialogPutString(FieldOutputName, name);
    }

    // 3. The option fields the dialog holds.
    for (std::int32_t k = 1; k <= 29; ++k)
        if (kind_of(k) != Kind::Unused && exists(field_of(k))) put_option(s, k);

    // 4. Locked colour and line options.
    if (restricted != 0)
        for (std::int32_t k : RestrictedOptions)
            if (exists(field_of(k))) WDialogFieldState(field_of(k), FieldDisabled);

    // 5, 6. Show; the file dialogs run their own loop. A modal show that
    // does not run leaves no exit button that reads as OK.
    if (!with_file) dialog_state.exit_button = 0;
    yyshowcd(0, with_file ? DialogSemiModeless : DialogModal, -1);
    if (with_file) run_loop(s);

    // 7. Read back: changed values only, in ascending code order.
    if (dialog_state.exit_button == FieldOk) {
        dialog_state.last_result = 1;
        for (std::int32_t k = 1; k <= 29; ++k) {
            if (kind_of(k) == Kind::Unused || !exists(field_of(k))) continue;
            const std::int32_t v = read_option(s, k);
            if (v != gstate.hc.options.get(k)) igrhardcopyoptions(k, v);
        }
    } else {
        dialog_state.last_result = 0;
    }

    // 8, 9. Leave.
    yydialogunload(0, -1);
    restore_current(previous);
}
