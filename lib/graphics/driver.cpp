#include "lib/graphics/driver.h"

#include <cmath>
#include <limits>

#include "lib/graphics/gstate.h"

GraphicsLinks grlinks;

void yygdrv(std::int32_t op) {
    // The screen flag is not tested here: the screen device itself returns
    // at once while screen graphics are off.
    if (gstate.recorder_flag != 0) {
        if (grlinks.cgm_recorder) grlinks.cgm_recorder(op);
    } else if (grlinks.screen_device) {
        grlinks.screen_device(op);
    }
}

bool yygdrvidle() {
    const GraphicsState& g = gstate;
    if (g.recorder_flag != 0) return grlinks.cgm_recorder == nullptr;
    return grlinks.screen_device == nullptr || (grlinks.screen_device == &yygapi && g.screen_flag == 0);
}

void yyhdrv(std::int32_t op) {
    if (gstate.hardcopy_flag > 0) xxhcif(op);
}

void xxhcif(std::int32_t op) {
    const std::int32_t n = gstate.hc.selected_driver;
    if (n < 1 || n >= HardcopyDriverSlots || n == 5 || n == 7) return;
    if (GraphicsDriver d = grlinks.hardcopy_drivers[static_cast<std::size_t>(n)]) d(op);
}

