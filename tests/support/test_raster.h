#pragma once
// A one-bit picture for golden-picture tests: lines and even-odd filled
// polygons in device units (y counting up), written as a binary PBM.
#include <string>
#include <vector>

struct TestBitmap {
    int w, h;
    std::vector<unsigned char> px;
    TestBitmap(int width, int height);
    // Pixel (x, y) counted from the bottom-left; outside pixels are ignored.
    void set(int x, int y);
    // Line sampled finely enough to leave no gaps.
    void line(float x0, float y0, float x1, float y1);
    // Even-odd fill of the pixels whose centres lie inside the closed outline.
    void polygon(const float* x, const float* y, int n);
    std::string pbm() const;
};

// Compare a picture with the stored one at QUINDA_TEST_DATA/DIR/NAME.pbm.
// With QUINDA_WRITE_PICTURES set to a directory, the picture is also
// written there as PREFIX NAME.pbm (to look at it, or to store a new one
// after a deliberate change). Returns an empty text on a match, else what
// went wrong.
std::string compare_with_stored_picture(const TestBitmap& bm, const std::string& data_dir,
                                        const std::string& dir, const std::string& prefix,
                                        const std::string& name);
