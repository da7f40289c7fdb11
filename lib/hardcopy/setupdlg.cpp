// What the two hardcopy set-up dialogs share.
#include "lib/hardcopy/setupdlg.h"

#include <cmath>
#include <limits>

#include "lib/dialog/commondlg.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"

namespace setupdlg {

namespace {

// The file selector's flags: save, ask before overwriting, the extension
// of the chosen filter.
constexpr std::int32_t SaveFlags = FileSave | FilePrompt | FileAddExtension;

}  // namespace

bool load(std::int32_t resource) {
    const int before = infoerror(1);
    WDialogLoad(resource, resource, -1);
    if (quinda.last_error != 0) return false;
    yyseterror(before);
    return true;
}

void restore_current(std::int32_t previous) {
    if (previous != 0) WDialogSelect(previous);
    else dialog_state.current_id = 0;
}

float shown_length(std::int32_t points, float factor) {
    return static_cast<float>(static_cast<long double>(points) * factor);
}

std::int32_t points_of(float shown, float factor) {
    const long double q = static_cast<long double>(shown) / static_cast<long double>(factor);
    if (std::isnan(q)) return 0;
    constexpr long double lo = std::numeric_limits<std::int32_t>::min();
    constexpr long double hi = std::numeric_limits<std::int32_t>::max();
    const long double r = std::round(q);
    return static_cast<std::int32_t>(r < lo ? lo : r > hi ? hi : r);
}

float read_length(std::int32_t field) {
    float v = 0.0f;
    WDialogGetReal(field, v);
    if (v == UndefinedReal && quinda.last_error == 1010) {
        infoerror(1);
        v = 0.0f;
    }
    return v;
}

void apply_extension(std::string& name, std::optional<std::string_view> extension) {
    WDialogGetString(FieldOutputName, name);
    if (txt_blank(name) || txt_trim(name).find('@') != std::string_view::npos) return;
    if (extension) set_extension(name, *extension);
    WDialogPutString(FieldOutputName, name);
}

bool choose_file(std::string_view filter, std::string& name, std::string_view title) {
    std::int32_t index = 1;
    yywsfile(-1, txt_trim(filter), SaveFlags, name, txt_trim(title), index, 0);
    return dialog_state.last_result == 1;
}

}  // namespace setupdlg
