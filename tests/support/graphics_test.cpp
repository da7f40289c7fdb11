#include "tests/support/graphics_test.h"

#include "lib/graphics/colours.h"

void GraphicsTest::SetUp() {
    QuindaTest::SetUp();
    // The reset cleared every link; register the stand-ins again.
    surfaces.attach();
    driver.attach();
    surfaces.open_window(0, 400, 300);
    yypali();
}
