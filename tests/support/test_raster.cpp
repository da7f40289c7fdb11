#include "tests/support/test_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

TestBitmap::TestBitmap(int width, int height)
    : w(width), h(height), px(static_cast<std::size_t>(width * height), 0) {}

void TestBitmap::set(int x, int y) {
    if (x >= 0 && x < w && y >= 0 && y < h) px[static_cast<std::size_t>((h - 1 - y) * w + x)] = 1;
}

void TestBitmap::line(float x0, float y0, float x1, float y1) {
    const int n = 1 + static_cast<int>(4 * std::max(std::fabs(x1 - x0), std::fabs(y1 - y0)));
    for (int i = 0; i <= n; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n);
        set(static_cast<int>(std::floor(x0 + t * (x1 - x0))), static_cast<int>(std::floor(y0 + t * (y1 - y0))));
    }
}

void TestBitmap::polygon(const float* x, const float* y, int n) {
    for (int row = 0; row < h; ++row) {
        const float yc = static_cast<float>(row) + 0.5f;
        std::vector<float> xs;
        for (int i = 0, j = n - 1; i < n; j = i++)
            if ((y[i] > yc) != (y[j] > yc)) xs.push_back(x[j] + (yc - y[j]) * (x[i] - x[j]) / (y[i] - y[j]));
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2)
            for (int col = static_cast<int>(std::ceil(xs[k] - 0.5f)); static_cast<float>(col) + 0.5f < xs[k + 1];
                 ++col)
                set(col, row);
    }
}

std::string TestBitmap::pbm() const {
    std::ostringstream s;
    s << "P4\n" << w << " " << h << "\n";
    for (int r = 0; r < h; ++r)
        for (int b = 0; b < (w + 7) / 8; ++b) {
            unsigned char byte = 0;
            for (int i = 0; i < 8; ++i) {
                const int x = b * 8 + i;
                if (x < w && px[static_cast<std::size_t>(r * w + x)]) byte = static_cast<unsigned char>(byte | (0x80 >> i));
            }
            s << byte;
        }
    return s.str();
}

std::string compare_with_stored_picture(const TestBitmap& bm, const std::string& data_dir,
                                        const std::string& dir, const std::string& prefix,
                                        const std::string& name) {
    const std::string got = bm.pbm();
    if (const char* out = std::getenv("QUINDA_WRITE_PICTURES"))
        std::ofstream(std::string(out) + "/" + prefix + name + ".pbm", std::ios::binary) << got;
    std::ifstream f(data_dir + "/" + dir + "/" + name + ".pbm", std::ios::binary);
    std::ostringstream stored;
    stored << f.rdbuf();
    if (stored.str().empty()) return "no stored picture for " + name;
    if (stored.str() != got) return "picture of " + name + " differs from the stored one";
    return {};
}
