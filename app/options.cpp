#include "app/options.h"

#include <algorithm>

#include "app/appdata.h"
#include "app/apphooks.h"
#include "app/mainstate.h"
#include "lib/dialog/dialog.h"
#include "lib/dialog/fields.h"
#include "lib/window/winops.h"

namespace {

constexpr int OptionsDialog = 102, LeakBox = 1113, Ok = 1, CloseBox = 2;
constexpr int FieldHidden = 3;

// The eight buttons: the first GridOption, the step and the state they set.
struct Preset {
    int button, first, step, value;
};
constexpr Preset Presets[] = {
    {1060, 0, 1, 1}, {1061, 0, 1, 0},   // all
    {1062, 0, 3, 1}, {1065, 0, 3, 0},   // heads
    {1063, 2, 3, 1}, {1066, 2, 3, 0},   // transmissivities
    {1064, 1, 3, 1}, {1067, 1, 3, 0},   // resistances
};

// The last GridOption of the model's aquifers.
int last_option() { return std::clamp(3 * dat4.naq, 0, NumGridOptions - 1); }

// The boxes from optstate, captioned, those beyond the model's aquifers
// hidden. A model without aquifers leaves the dialog as it is.
void fill() {
    if (dat4.naq <= 0) return;
    WDialogPutCheckBox(LeakBox, leakage.leak);
    const int last = last_option();
    for (int k = 0; k <= last; ++k) {
        WDialogPutCheckBox(optfield(k), mainstate.optstate[static_cast<std::size_t>(k)]);
        WDialogPutString(optfield(k), optcaption(k));
    }
    for (int k = last + 1; k < NumGridOptions; ++k) WDialogFieldState(optfield(k), FieldHidden);
}

void take() {
    const int last = last_option();
    for (int k = 0; k <= last; ++k) {
        std::int32_t& s = mainstate.optstate[static_cast<std::size_t>(k)];
        WDialogGetCheckBox(optfield(k), s);
        dat5.opton(k) = s == 1 ? 'j' : 'n';
    }
    WDialogGetCheckBox(LeakBox, leakage.leak);
}

}  // namespace

void options(int first, int step, int naq, std::array<std::int32_t, 52>& states, std::int32_t value) {
    const int last = std::min(3 * naq, static_cast<int>(states.size()) - 1);
    if (step < 1) return;
    for (int i = first; i <= last; i += step) states[static_cast<std::size_t>(i)] = value;
}

void cmd_options() {
    MainState& m = mainstate;
    m.optstate.fill(0);
    m.showcontour = 0;
    m.selflags = 2;
    WDialogLoad(OptionsDialog);
    for (;;) {
        fill();
        WDialogShow(-1, -1, 0, 2);
        const int id = app_wait_message();
        const Preset* p = std::find_if(std::begin(Presets), std::end(Presets),
                                       [id](const Preset& q) { return q.button == id; });
        if (p != std::end(Presets)) {
            options(p->first, p->step, dat4.naq, m.optstate, p->value);
            continue;
        }
        if (id == Ok || id == CloseBox) {
            take();
            app_unload_dialog(OptionsDialog);
            // The status bar names the quantity gridded; with none chosen
            // it names none.
            if (std::none_of(m.optstate.begin(), m.optstate.end(), [](std::int32_t s) { return s == 1; }))
                windowoutstatusbar(3, "option: ");
        }
        // Any other answer leaves the dialog up until the next message.
        break;
    }
    redraw_view();
}
