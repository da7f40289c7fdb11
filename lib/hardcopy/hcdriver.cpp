#include "lib/hardcopy/hcdriver.h"

#include <algorithm>

#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"
#include "lib/window/quinda_state.h"

bool driver_open_output() {
    const std::int32_t saved = quinda.last_error;
    quinda.last_error = 0;
    yyprop(DriverChannel);
    if (quinda.last_error != 0) {
        gstate.hardcopy_flag = 0;
        return false;
    }
    quinda.last_error = saved;
    return true;
}

std::int32_t driver_text_count() {
    return std::clamp<std::int32_t>(drvargs.IX[0], 0, static_cast<std::int32_t>(DriverTextLength));
}

std::int32_t driver_point_count() { return std::clamp<std::int32_t>(drvargs.N, 0, WorkBlockPoints); }
