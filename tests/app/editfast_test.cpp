#include "app/editfast.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/gridfiles.h"
#include "app/records.h"
#include "tests/app/app_test.h"

namespace {

// Values where the forms part: rounding at the last digit into the next
// decade and across the fixed/exponent limits, signs, zeros, the blank
// value, the ends of the single and double ranges, non-numbers.
std::vector<double> awkward_values() {
    std::vector<double> v = {0.0, -0.0, 1.0, -1.0, 0.1, 0.1f, 0.0999999, 0.09999995, 0.09999995f, 0.099999994f,
                             0.0999995, 0.09999949, 0.999999, 0.9999995, 0.99999949, 9.999995, 9.9999949,
                             99999.95, 99999.949, 999999.5, 999999.4, 999999.49, 1e6, -1e6, 123456.5, 123455.5,
                             0.05, 1234.5, 12.345678, -9999.0, 1.5e7, BlankValue, -BlankValue,
                             std::numeric_limits<float>::min(), std::numeric_limits<float>::denorm_min(),
                             std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(), 1e-10, 1e38,
                             -1e-38, 1e99, 9.9999996e99, 1e100, 1e-99, 1e-100, 1e300, -1e-300, 1e-320,
                             std::numeric_limits<double>::max(), 5e-324,
                             std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             -std::numeric_limits<double>::infinity(), 0.5, 0.25, 2.5, 0.125, 1.0 / 3, -2.0 / 3};
    // Every power of ten and its neighbours in single and double precision.
    for (int p = -45; p <= 39; ++p) {
        const double t = std::pow(10.0, p);
        for (const double f : {1.0, 0.9999995, 0.99999949, 0.9999994, 0.99999951, 1.0000005, 1.0000004})
            for (const double s : {1.0, -1.0}) {
                v.push_back(s * t * f);
                v.push_back(static_cast<float>(s * t * f));
            }
        v.push_back(std::nextafter(t, 0.0));
        v.push_back(std::nextafter(static_cast<float>(t), 0.0f));
        v.push_back(std::nextafter(static_cast<float>(t), std::numeric_limits<float>::infinity()));
    }
    // Single values exactly half way between two texts of a few significant
    // digits: whole numbers and halves over powers of two end in a 5.
    std::uint32_t t = 11;
    for (int i = 0; i < 4000; ++i) {
        t = t * 1664525u + 1013904223u;
        const float k = static_cast<float>(t >> 9 >> (t % 20));
        v.push_back(k + 0.5f);
        v.push_back(-std::ldexp(k, -static_cast<int>(t % 12) - 1));
    }
    // And values of every magnitude with all their digits in play.
    std::uint32_t s = 2024;
    for (int i = 0; i < 20000; ++i) {
        s = s * 1664525u + 1013904223u;
        float f;
        std::uint32_t bits = s;
        std::memcpy(&f, &bits, sizeof f);
        if (std::isfinite(f)) v.push_back(f);
    }
    return v;
}

}  // namespace

TEST(EditFast, GeneralFormEqualsTheEditDescriptorWriter) {
    const struct {
        int w, d;
    } fields[] = {{15, 6}, {15, 4}, {11, 6}, {12, 3}, {10, 1}, {8, 6}, {6, 6}, {5, 2}, {20, 9}, {13, 6}};
    const std::vector<double> values = awkward_values();
    for (const auto& f : fields) {
        for (const double v : values) {
            std::string fast;
            append_g(fast, v, f.w, f.d);
            ASSERT_EQ(fast, edit_g(v, f.w, f.d)) << "G" << f.w << "." << f.d << " of " << v;
        }
    }
}

TEST(EditFast, FixedFormEqualsTheEditDescriptorWriter) {
    const struct {
        int w, d;
    } fields[] = {{12, 2}, {12, 3}, {8, 2}, {5, 0}, {3, 1}, {10, 6}, {1, 0}, {20, 9}, {6, 6}, {60, 30}, {25, 9}};
    std::vector<double> values = awkward_values();
    // Single values of the sizes coordinates have, exactly half way between
    // two texts (k / 64) and with all their digits in play.
    for (int k = -3000; k <= 3000; ++k) values.push_back(static_cast<float>(k) / 64);
    std::uint32_t s = 77;
    for (int i = 0; i < 20000; ++i) {
        s = s * 1664525u + 1013904223u;
        const float u = static_cast<float>(s >> 8) / static_cast<float>(1u << 24) - 0.5f;
        values.push_back(u * std::pow(10.0f, static_cast<float>(i % 19 - 9)));
    }
    for (const auto& f : fields) {
        for (const double v : values) {
            // Appended after what the text holds.
            std::string fast = "x";
            append_f(fast, v, f.w, f.d);
            ASSERT_EQ(fast[0], 'x');
            ASSERT_EQ(fast.substr(1), edit_f(v, f.w, f.d)) << "F" << f.w << "." << f.d << " of " << v;
        }
    }
}

TEST(EditFast, IntegerFormEqualsTheEditDescriptorWriter) {
    const long long values[] = {0, 1, -1, 9, 10, -10, 500, 99999, 123456789012LL, -123456789012LL,
                                std::numeric_limits<long long>::max(), std::numeric_limits<long long>::min()};
    for (const int w : {1, 2, 5, 10, 12, 15, 25, 0}) {
        for (const long long v : values) {
            std::string fast;
            append_i(fast, v, w);
            ASSERT_EQ(fast, edit_i(v, w)) << "I" << w << " of " << v;
        }
    }
}

// Whole files: every layout written by savegrd against the same layout
// written line by line with the edit-descriptor writer.
class EditFastFiles : public AppTest {
protected:
    TempDir dir;
};

TEST_F(EditFastFiles, GridFilesEqualTheEditDescriptorWriter) {
    const std::vector<double> values = awkward_values();
    std::size_t next = 0;
    const auto value = [&] {
        double v = values[next++ % values.size()];
        if (!std::isfinite(v)) v = BlankValue;
        return static_cast<float>(v);
    };
    // Row lengths that end a line exactly, leave a short last line, or are one value.
    const struct {
        int nx, ny;
    } sizes[] = {{20, 3}, {25, 4}, {1, 5}, {10, 1}, {500, 40}};
    for (const auto& sz : sizes) {
        dat8.nx = sz.nx;
        dat8.ny = sz.ny;
        dat8.gx0 = 155000.3f;
        dat8.gx1 = 155999.9f;
        dat8.gy0 = -12.25f;
        dat8.gy1 = 0.1f;
        dat8.xll = 155000.3f;
        dat8.yll = -12.25f;
        dat8.cellsize = 2.5f;
        dat16.ncol = sz.nx;
        dat16.nrow = sz.ny;
        for (int j = 1; j <= sz.ny; ++j)
            for (int i = 1; i <= sz.nx; ++i) {
                dat7.gridval(i, j) = value();
                dat16.mfval(i, j) = value();
            }
        for (const int type : {GridSurfer, GridArcInfo, GridModflow}) {
            // A regular grid has at least two points along each axis.
            if (type != GridModflow && (sz.nx < 2 || sz.ny < 2)) continue;
            for (const int roworder : {1, 2}) {
                const std::string name = dir.file("g.grd");
                ASSERT_TRUE(savegrd(type, name, roworder));
                // The reference: the rows through the edit-descriptor writer.
                TextOut ref;
                ref.memory();
                const std::string file = read_file(name);
                // The header lines are written by the same routines either way.
                const int header = type == GridSurfer ? 5 : type == GridArcInfo ? 6 : 1;
                std::size_t at = 0;
                for (int h = 0; h < header; ++h) at = file.find("\r\n", at) + 2;
                if (type == GridSurfer) {
                    for (int j = 1; j <= sz.ny; ++j) {
                        FormWrite row(ref, "(10G15.6)");
                        for (int i = 1; i <= sz.nx; ++i) row.r(dat7.gridval(i, j));
                    }
                } else if (type == GridArcInfo) {
                    for (int j = sz.ny; j >= 1; --j) {
                        FormWrite row(ref, "(10G15.6)");
                        for (int i = 1; i <= sz.nx; ++i) {
                            const float v = dat7.gridval(i, j);
                            row.r(v >= dat7.blank ? -9999.0f : v);
                        }
                    }
                } else {
                    for (int k = 1; k <= sz.ny; ++k) {
                        const int r = roworder == 1 ? sz.ny + 1 - k : k;
                        FormWrite row(ref, "(10G15.6)");
                        for (int c = 1; c <= sz.nx; ++c) row.r(dat16.mfval(c, r));
                    }
                }
                ASSERT_EQ(file.substr(at), ref.str()) << "type " << type << " size " << sz.nx << " x " << sz.ny;
            }
        }
    }
}
