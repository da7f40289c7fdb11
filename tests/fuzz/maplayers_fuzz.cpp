// BLN map layers drawn over the map view: one file of any bytes as a
// polyline layer, as a filled layer and as a line map.
#include "app/appdata.h"
#include "app/maplayers.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/gstate.h"
#include "lib/window/text.h"
#include "tests/fuzz/fuzz_target.h"
#include "tests/support/graphics_test.h"

FUZZ_TARGET(maplayers) {
    // A screen of its own that records what reaches it, cleared for each input.
    static FakeSurfaces surfaces;
    static RecordingDriver driver;
    attach_fake_graphics(surfaces, driver, 200, 100);
    igrinit();
    IGrSelect(1, 0);
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 200, 100);
    driver.clear();

    const std::string name = fuzz_file("layer.bln", fuzz_text(data, size));
    for (int l = 1; l <= MapLayers; ++l) map_bln.mapon(l) = 0;
    for (int l = 1; l <= 2; ++l) {
        map_bln.mapon(l) = 1;
        map_bln.mapfile(l) = txt_fixed(name, TextLength);
        map_bln.mapcol(l) = 0x102030 * l;
        map_bln.mapwidth(l) = 2 - l;   // a polyline layer, then a filled one
    }
    mapbln();
    map(name);
    driver.clear();
}
