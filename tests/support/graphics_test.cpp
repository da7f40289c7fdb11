#include "tests/support/graphics_test.h"

#include "lib/graphics/colours.h"

void attach_fake_graphics(FakeSurfaces& surfaces, RecordingDriver& driver, int width, int height) {
    // The reset cleared every link; register the stand-ins again.
    surfaces.attach();
    driver.attach();
    surfaces.open_window(0, width, height);
    yypali();
}

void GraphicsTest::SetUp() {
    QuindaTest::SetUp();
    attach_fake_graphics(surfaces, driver, 400, 300);
}
