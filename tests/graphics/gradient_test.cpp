#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "lib/graphics/driver.h"
#include "lib/graphics/gradient.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/screen.h"
#include "lib/window/errors.h"
#include "tests/support/quinda_test.h"

namespace {

struct Vertex {
    float x, y;
    std::int32_t rgb;
};

struct Pixel {
    std::int32_t x, y, rgb;
};

std::vector<Pixel> pixels;
struct TriangleCall {
    std::int32_t nv, nt;
    std::vector<std::int32_t> colours, triangles;
};
std::vector<TriangleCall> triangle_calls;
std::int32_t triangle_status = 0;

void record_pixel(std::int32_t x, std::int32_t y, std::int32_t rgb) { pixels.push_back({x, y, rgb}); }

void record_triangles(const std::int32_t*, const std::int32_t*, const std::int32_t* c, const std::int32_t* t,
                      std::int32_t nv, std::int32_t nt, std::int32_t& status) {
    triangle_calls.push_back({nv, nt, std::vector<std::int32_t>(c, c + nv), std::vector<std::int32_t>(t, t + 3 * nt)});
    status = triangle_status;
}

std::int32_t red(std::int32_t r) { return r; }

class Gradients : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        pixels.clear();
        triangle_calls.clear();
        triangle_status = 0;
    }

    // The sender's part and the device's whole-pixel conversion in one.
    static void load(const std::vector<Vertex>& v) {
        gradient_block.n = static_cast<std::int32_t>(v.size());
        for (size_t i = 0; i < v.size(); ++i) {
            quin01.X[i] = v[i].x;
            quin01.Y[i] = v[i].y;
            gradient_block.ix[i] = static_cast<std::int32_t>(v[i].x);
            gradient_block.iy[i] = static_cast<std::int32_t>(v[i].y);
            gradient_block.rgb[i] = v[i].rgb;
        }
    }

    static std::map<std::pair<int, int>, int> coverage() {
        std::map<std::pair<int, int>, int> m;
        for (const Pixel& p : pixels) ++m[{p.x, p.y}];
        return m;
    }
};

double area(const float* x, const float* y, const std::int32_t* t) {
    const int a = t[0] - 1, b = t[1] - 1, c = t[2] - 1;
    return 0.5 * ((x[b] - x[a]) * (y[c] - y[a]) - (x[c] - x[a]) * (y[b] - y[a]));
}

}  // namespace

TEST_F(Gradients, SquareIsTwoTrianglesFilledPixelByPixel) {
    // Red grows from 0 on the left to 250 on the right.
    load({{0, 0, red(0)}, {10, 0, red(250)}, {10, 10, red(250)}, {0, 10, red(0)}});
    yygradientfill(1, 0, 0, 100, 100, record_pixel, record_triangles);
    EXPECT_TRUE(triangle_calls.empty());
    EXPECT_EQ(gradient_block.t, 2);
    const auto cover = coverage();
    for (int y = 0; y <= 10; ++y)
        for (int x = 0; x <= 10; ++x) {
            const auto it = cover.find({x, y});
            ASSERT_NE(it, cover.end()) << x << "," << y;
            EXPECT_LE(it->second, 2);
        }
    EXPECT_EQ(cover.size(), 121u);  // nothing outside the square
    // Each pixel's colour follows x, the same in both triangles.
    for (const Pixel& p : pixels) {
        EXPECT_NEAR(p.rgb & 0xFF, 25 * p.x, 1) << p.x << "," << p.y;
        EXPECT_EQ(p.rgb >> 8, 0);
    }
}

TEST_F(Gradients, DeviceTrianglesWhenTheDeviceCan) {
    load({{0, 0, 1}, {10, 0, 2}, {10, 10, 3}, {0, 10, 4}});
    yygradientfill(2, 0, 0, 100, 100, record_pixel, record_triangles);
    ASSERT_EQ(triangle_calls.size(), 1u);
    EXPECT_EQ(triangle_calls[0].nv, 4);
    EXPECT_EQ(triangle_calls[0].nt, 2);
    EXPECT_TRUE(pixels.empty());

    // A device that declines has them filled pixel by pixel.
    triangle_status = 1;
    triangle_calls.clear();
    load({{0, 0, 1}, {10, 0, 2}, {5, 10, 3}});
    yygradientfill(2, 0, 0, 100, 100, record_pixel, record_triangles);
    ASSERT_EQ(triangle_calls.size(), 1u);
    EXPECT_EQ(triangle_calls[0].nt, 1);
    EXPECT_EQ(triangle_calls[0].triangles, (std::vector<std::int32_t>{1, 2, 3}));
    EXPECT_FALSE(pixels.empty());
}

TEST_F(Gradients, EqualNeighboursAreMergedWithTheirAverageColour) {
    // Vertices 2 and 3 on the same pixel, red 200 and red 100.
    load({{0, 0, 7}, {10, 0.4f, red(200)}, {10.6f, 0, red(100)}, {10, 10, 9}, {0, 10, 11}});
    yygradientfill(2, 0, 0, 100, 100, record_pixel, record_triangles);
    ASSERT_EQ(triangle_calls.size(), 1u);
    EXPECT_EQ(triangle_calls[0].nv, 4);
    EXPECT_EQ(triangle_calls[0].colours, (std::vector<std::int32_t>{7, 150, 9, 11}));
    EXPECT_EQ(quin01.X[2], 10.0f);  // the later vertices moved down

    // A run of three averages all three, component by component.
    triangle_calls.clear();
    const std::int32_t a = 10 + 256 * 20, b = 20 + 256 * 40 + 65536 * 3, c = 30 + 256 * 61;
    load({{0, 0, 1}, {10, 0, a}, {10, 0, b}, {10, 0, c}, {10, 10, 2}, {0, 10, 3}});
    yygradientfill(2, 0, 0, 100, 100, record_pixel, record_triangles);
    ASSERT_EQ(triangle_calls.size(), 1u);
    EXPECT_EQ(triangle_calls[0].colours, (std::vector<std::int32_t>{1, 20 + 256 * 40 + 65536 * 1, 2, 3}));
}

TEST_F(Gradients, RepeatedFirstVertexIsDroppedWithTheAverageColour) {
    load({{0, 0, red(100)}, {10, 0, 1}, {10, 10, 2}, {0, 10, 3}, {0, 0, red(50)}});
    yygradientfill(2, 0, 0, 100, 100, record_pixel, record_triangles);
    ASSERT_EQ(triangle_calls.size(), 1u);
    EXPECT_EQ(triangle_calls[0].colours, (std::vector<std::int32_t>{75, 1, 2, 3}));
}

TEST_F(Gradients, DegenerateTrianglesDrawNothing) {
    // Four vertices with two equal are one triangle.
    load({{0, 0, 1}, {10, 0, 2}, {10, 0, 4}, {5, 10, 3}});
    yygradientfill(2, 0, 0, 100, 100, record_pixel, record_triangles);
    ASSERT_EQ(triangle_calls.size(), 1u);
    EXPECT_EQ(triangle_calls[0].nt, 1);
    EXPECT_EQ(triangle_calls[0].colours, (std::vector<std::int32_t>{1, 3, 3}));

    // Three vertices with two equal, or closed onto the first: nothing.
    triangle_calls.clear();
    load({{0, 0, 1}, {10, 0, 2}, {10, 0, 3}});
    yygradientfill(1, 0, 0, 100, 100, record_pixel, record_triangles);
    load({{0, 0, 1}, {10, 0, 2}, {0, 0, 3}});
    yygradientfill(1, 0, 0, 100, 100, record_pixel, record_triangles);
    // A count beyond the block is not a vertex list.
    gradient_block.n = GradientMaxVertices + 1;
    yygradientfill(1, 0, 0, 100, 100, record_pixel, record_triangles);
    EXPECT_TRUE(pixels.empty());
    EXPECT_TRUE(triangle_calls.empty());
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(Gradients, ConcaveLShapeGivesFourTrianglesInsideIt) {
    const float x[] = {0, 2, 2, 1, 1, 0}, y[] = {0, 0, 1, 1, 2, 2};
    std::int32_t t[12] = {};
    std::int32_t nt = 0;
    YYPolygonDecompose(x, y, 6, t, nt);
    ASSERT_EQ(nt, 4);
    EXPECT_EQ(infoerror(1), 0);
    double total = 0;
    for (int k = 0; k < nt; ++k) {
        const double a = std::fabs(area(x, y, t + 3 * k));
        EXPECT_GT(a, 0.0);
        total += a;
        const std::int32_t* c = t + 3 * k;
        const float cx = (x[c[0] - 1] + x[c[1] - 1] + x[c[2] - 1]) / 3;
        const float cy = (y[c[0] - 1] + y[c[1] - 1] + y[c[2] - 1]) / 3;
        // Inside the L: the unit squares (0..2) x (0..1) and (0..1) x (1..2).
        EXPECT_TRUE((cx > 0 && cx < 2 && cy > 0 && cy < 1) || (cx > 0 && cx < 1 && cy >= 1 && cy < 2))
            << cx << "," << cy;
    }
    EXPECT_NEAR(total, 3.0, 1e-9);
}

TEST_F(Gradients, ConvexPolygonsOfManyVerticesAreFullyDecomposed) {
    std::vector<float> x, y;
    for (int i = 0; i < 1000; ++i) {
        const double a = 2 * 3.141592653589793 * i / 1000;
        x.push_back(static_cast<float>(500 + 400 * std::cos(a)));
        y.push_back(static_cast<float>(500 + 400 * std::sin(a)));
    }
    std::vector<std::int32_t> t(3 * GradientMaxTriangles);
    std::int32_t nt = 0;
    YYPolygonDecompose(x.data(), y.data(), 1000, t.data(), nt);
    EXPECT_EQ(nt, 998);
    EXPECT_EQ(infoerror(1), 0);
}

TEST_F(Gradients, SelfCrossingBorderIsErrorTwentyEight) {
    // A bow-tie: its two halves meet where the borders cross.
    load({{0, 0, 1}, {10, 10, 2}, {10, 0, 3}, {0, 10, 4}});
    yygradientfill(1, 0, 0, 100, 100, record_pixel, record_triangles);
    EXPECT_EQ(infoerror(1), 28);
    EXPECT_GE(gradient_block.t, 1);
    EXPECT_FALSE(pixels.empty());

    // With the highest vertex last the search for a start still ends.
    const float x[] = {0, 10, 10, 0}, y[] = {0, 5, 0, 10};
    std::int32_t t[6] = {};
    std::int32_t nt = -1;
    YYPolygonDecompose(x, y, 4, t, nt);
    EXPECT_EQ(infoerror(1), 28);
    EXPECT_GE(nt, 0);
    EXPECT_LE(nt, 2);
}

TEST_F(Gradients, TriangleClippedToTheTarget) {
    // Wholly above the clip rectangle: no pixel.
    load({{0, 50, 1}, {10, 50, 2}, {5, 60, 3}});
    yygradientfill(1, 0, 0, 100, 40, record_pixel, record_triangles);
    EXPECT_TRUE(pixels.empty());

    // Partly outside: only pixels within it.
    load({{-20, -5, 1}, {30, -5, 2}, {5, 25, 3}});
    yygradientfill(1, 0, 0, 10, 10, record_pixel, record_triangles);
    EXPECT_FALSE(pixels.empty());
    for (const Pixel& p : pixels) {
        EXPECT_TRUE(p.x >= 0 && p.x <= 10 && p.y >= 0 && p.y <= 10) << p.x << "," << p.y;
    }
    EXPECT_EQ(coverage().size(), 121u);
}

TEST_F(Gradients, FullAndEmptyComponentsStayWhole) {
    load({{0, 0, 0xFFFFFF}, {10, 0, 0xFFFFFF}, {5, 10, 0xFFFFFF}});
    yygradientfill(1, 0, 0, 100, 100, record_pixel, record_triangles);
    ASSERT_FALSE(pixels.empty());
    for (const Pixel& p : pixels) EXPECT_EQ(p.rgb, 0xFFFFFF);
    pixels.clear();
    load({{0, 0, 255}, {10, 0, 255}, {5, 10, 255}});
    yygradientfill(1, 0, 0, 100, 100, record_pixel, record_triangles);
    for (const Pixel& p : pixels) EXPECT_EQ(p.rgb, 255);
}

// Operation 40 through the screen device, with its drawing layer replaced
// by stand-ins: the system triangle routine declines, as it does on this
// platform, so the triangles are filled pixel by pixel in window rows.
TEST_F(Gradients, ScreenDeviceFillsThroughTheGradientRoutine) {
    static int declined = 0;
    declined = 0;
    screen_gdi.pointrgb = record_pixel;
    screen_gdi.gradfill = [](const std::int32_t*, const std::int32_t*, const std::int32_t*, const std::int32_t*,
                             std::int32_t, std::int32_t, std::int32_t& failed) {
        ++declined;
        failed = 1;
    };
    screen_links.gradient_fill = &yygradientfill;
    GraphicsState& g = gstate;
    g.screen_flag = 1;
    g.width = 100;
    g.height = 50;
    g.extent_x = 99.99f;
    g.extent_y = 49.99f;
    g.wx1 = g.wy1 = 0.0f;
    g.wx2 = 99.99f;
    g.wy2 = 49.99f;
    g.ix1 = g.iy1 = 0;
    g.ix2 = 99;
    g.iy2 = 49;
    g.device[ScreenSide].gradient_type = 2;
    gradient_block.n = 3;
    quin01.X[0] = 10.5f, quin01.Y[0] = 0.5f;
    quin01.X[1] = 20.5f, quin01.Y[1] = 0.5f;
    quin01.X[2] = 10.5f, quin01.Y[2] = 10.5f;
    gradient_block.rgb[0] = gradient_block.rgb[1] = gradient_block.rgb[2] = 0x00FF00;
    yygapi(OpGradientFill);
    EXPECT_EQ(declined, 1);
    ASSERT_FALSE(pixels.empty());
    for (const Pixel& p : pixels) {
        EXPECT_EQ(p.rgb, 0x00FF00);
        // Device y 0..10 are window rows 49..39.
        EXPECT_TRUE(p.y >= 39 && p.y <= 49) << p.y;
        EXPECT_TRUE(p.x >= 10 && p.x <= 20) << p.x;
    }
    EXPECT_EQ(coverage().count({10, 49}), 1u);
    EXPECT_EQ(coverage().count({10, 39}), 1u);
}
