#pragma once
// What the two hardcopy set-up dialogs share: loading with the caller's
// error and current dialog kept, the page values in a unit, the output
// name's extension rule and the file selector.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace setupdlg {

// Fields both dialogs know.
constexpr std::int32_t FieldOk = 1;
constexpr std::int32_t FieldCancel = 2;
constexpr std::int32_t FieldOutputName = 1201;
constexpr std::int32_t FieldBrowse = 1202;

// How a page length in a unit is written.
constexpr std::string_view PageFormat = "(F10.2)";

// A unit of the page fields: its name and the factor from points
// (shown = points times factor); each dialog has its own table.
struct PageUnit {
    std::string_view name;
    float factor;
};

// The value REAL's undefined reading gives (an empty field).
constexpr float UndefinedReal = -999.0f;

// Loads dialog RESOURCE under its own id as the current dialog. The error
// recorded before stays recorded unless the load fails; then its error
// stays and false comes back.
bool load(std::int32_t resource);
// After the dialog is gone: dialog PREVIOUS current again, or no dialog
// current when it is 0.
void restore_current(std::int32_t previous);

// A page length shown in a unit: points times the factor, in single
// precision.
float shown_length(std::int32_t points, float factor);
// A shown length back in points: the nearest integer to shown / factor,
// halves away from zero, within the 32-bit range.
std::int32_t points_of(float shown, float factor);
// A real field as a length; an empty field counts as 0 and its error
// (1010) is cleared.
float read_length(std::int32_t field);

// Takes the name in the output name field into NAME; unless it is blank or
// a print command (holds "@"), gives it EXTENSION (none: the name as it
// is) and writes it back into the field.
void apply_extension(std::string& name, std::optional<std::string_view> extension);

// The save selector over FILTER (description and pattern pairs, each ended
// by "|") for NAME: asks before overwriting and adds the filter's
// extension. True when a file was chosen (NAME holds it).
bool choose_file(std::string_view filter, std::string& name, std::string_view title);

}  // namespace setupdlg
