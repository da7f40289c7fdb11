#pragma once
// Fixture for graphics tests: a fresh state, a 400 x 300 root window in slot
// 0, the palette built as the root window builds it, and a recording driver
// on the screen side and as the default hardcopy driver.
#include "tests/support/fake_surfaces.h"
#include "tests/support/quinda_test.h"
#include "tests/support/recording_driver.h"

// After a state reset: the surfaces and the driver registered again, a
// window of width x height in slot 0 and the palette built as the root
// window builds it.
void attach_fake_graphics(FakeSurfaces& surfaces, RecordingDriver& driver, int width, int height);

class GraphicsTest : public QuindaTest {
protected:
    void SetUp() override;

    FakeSurfaces surfaces;
    RecordingDriver driver;
};
