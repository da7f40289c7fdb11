// The rasteriser's short way for the copy operation (pixels written as they
// are found, neither sorted nor sifted) against the plain way (every layer
// gathered, sorted, each pixel once): the same scenes drawn both ways on the
// same speckled background must leave every pixel the same.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/os_gdi.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

constexpr int W = 97, H = 61;

// A small generator of its own, so that both ways see the same scene.
struct Rng {
    std::uint32_t s;
    std::uint32_t next() {
        s = s * 1664525u + 1013904223u;
        return s >> 8;
    }
    int in(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint32_t>(hi - lo + 1)); }
    std::uint32_t colour() { return next() & 0xFFFFFF; }
};

class OsDcWaysTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        os_dc_reset();
        if (!os_class_atom("DCWAYS")) {
            OsWndClass c;
            c.name = "DCWAYS";
            c.proc = os_def_window_proc;
            c.background = 0xFFFFFF;
            ASSERT_NE(os_register_class(c), 0);
        }
        win = os_create_window(0, "DCWAYS", "", OS_WS_POPUP, 0, 0, W, H, 0, 0, 0);
        ASSERT_NE(win, 0);
        dc = os_get_dc(win);
        ASSERT_NE(dc, 0);
    }
    void TearDown() override {
        os_plain_drawing(false);
        QuindaTest::TearDown();
    }

    // Every pixel set to a colour of its own, so that an operation that
    // reads the destination shows what it found.
    void speckle() {
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                os_set_pixel(dc, x, y, (static_cast<std::uint32_t>(x * 2654435761u) ^ static_cast<std::uint32_t>(y * 40503u)) & 0xFFFFFF);
    }
    std::vector<std::uint32_t> pixels() const {
        std::vector<std::uint32_t> v;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) v.push_back(os_get_pixel(dc, x, y));
        return v;
    }
    // The scene drawn one way on a fresh state of the device context.
    std::vector<std::uint32_t> drawn(bool plain, const std::function<void(OsDC, Rng&)>& scene) {
        os_plain_drawing(plain);
        os_select_clip_rgn(dc, 0);
        os_set_map_mode(dc, OS_MM_TEXT);
        os_set_window_org(dc, 0, 0);
        os_set_viewport_org(dc, 0, 0);
        os_set_rop2(dc, OS_R2_COPYPEN);
        os_set_bk_mode(dc, OS_OPAQUE);
        os_select_object(dc, os_get_stock_object(OS_BLACK_PEN));
        os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
        speckle();
        Rng rng{12345};
        scene(dc, rng);
        // Tools the scene left selected go with the scene.
        os_delete_object(os_select_object(dc, os_get_stock_object(OS_BLACK_PEN)));
        os_delete_object(os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH)));
        return pixels();
    }

    OsWindow win = 0;
    OsDC dc = 0;
};

void use_pen(OsDC dc, OsObject pen) { os_delete_object(os_select_object(dc, pen)); }
void use_brush(OsDC dc, OsObject brush) { os_delete_object(os_select_object(dc, brush)); }

// A small polygon of 2 to 6 points near (cx, cy), now and then crossing
// itself or lying on a line.
std::vector<OsPoint> small_polygon(Rng& r, int cx, int cy, int reach) {
    std::vector<OsPoint> p(static_cast<std::size_t>(r.in(2, 6)));
    for (OsPoint& q : p) q = {cx + r.in(-reach, reach), cy + r.in(-reach, reach)};
    return p;
}

// Bands as the contouring draws them: each small polygon with a pen and a
// brush of its colour, two colours in turn, cells sharing their edges.
void bands(OsDC dc, Rng& r) {
    const std::uint32_t c[2] = {r.colour(), r.colour()};
    for (int y = -4; y < H + 4; y += 3)
        for (int x = -4; x < W + 4; x += 3) {
            const std::uint32_t colour = c[(x + y) % 2 == 0 ? 0 : 1];
            use_pen(dc, os_create_pen(OS_PS_SOLID, 1, colour));
            use_brush(dc, os_create_solid_brush(colour));
            os_polygon(dc, small_polygon(r, x, y, 3));
        }
}

void pen_unlike_brush(OsDC dc, Rng& r) {
    for (int i = 0; i < 150; ++i) {
        use_pen(dc, os_create_pen(OS_PS_SOLID, r.in(1, 4), r.colour()));
        use_brush(dc, os_create_solid_brush(r.colour()));
        os_polygon(dc, small_polygon(r, r.in(0, W), r.in(0, H), r.in(1, 12)));
    }
}

void pattern_brush(OsDC dc, Rng& r) {
    const OsDC mem = os_create_compatible_dc(dc);
    const OsObject bmp = os_create_compatible_bitmap(dc, 8, 8);
    os_select_object(mem, bmp);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) os_set_pixel(mem, x, y, r.colour());
    os_delete_dc(mem);
    for (int i = 0; i < 80; ++i) {
        use_brush(dc, os_create_pattern_brush(bmp));
        use_pen(dc, i % 3 == 0 ? os_get_stock_object(OS_NULL_PEN) : os_create_pen(OS_PS_SOLID, 1, r.colour()));
        os_polygon(dc, small_polygon(r, r.in(0, W), r.in(0, H), r.in(1, 15)));
    }
    os_select_object(dc, os_get_stock_object(OS_WHITE_BRUSH));
    os_delete_object(bmp);
}

void null_pen_or_brush(OsDC dc, Rng& r) {
    for (int i = 0; i < 120; ++i) {
        const std::uint32_t colour = r.colour();
        if (i % 2) {
            use_pen(dc, os_get_stock_object(OS_NULL_PEN));
            use_brush(dc, os_create_solid_brush(colour));
        } else {
            use_pen(dc, os_create_pen(OS_PS_SOLID, 1, colour));
            use_brush(dc, os_get_stock_object(OS_NULL_BRUSH));
        }
        os_polygon(dc, small_polygon(r, r.in(0, W), r.in(0, H), r.in(1, 10)));
    }
}

// Lines of every pen: solid of several widths (even ones too), cosmetic
// dashes with their gaps filled or not, geometric dashes; polylines that
// run back over themselves.
void lines(OsDC dc, Rng& r) {
    for (int i = 0; i < 120; ++i) {
        const std::uint32_t colour = r.colour();
        switch (i % 5) {
            case 0: use_pen(dc, os_create_pen(OS_PS_SOLID, r.in(1, 5), colour)); break;
            case 1: use_pen(dc, os_create_pen(static_cast<std::uint32_t>(r.in(1, 4)), 1, colour)); break;
            case 2:
                use_pen(dc, os_ext_create_pen(OS_PS_GEOMETRIC | OS_PS_USERSTYLE | OS_PS_ENDCAP_SQUARE | OS_PS_JOIN_BEVEL,
                                              r.in(1, 3), colour, {4, 2, 1, 2}));
                break;
            default: use_pen(dc, os_create_pen(OS_PS_SOLID, 1, colour)); break;
        }
        os_set_bk_mode(dc, i % 2 ? OS_OPAQUE : OS_TRANSPARENT);
        os_set_bk_color(dc, r.colour());
        if (i % 3 == 0) {
            std::vector<OsPoint> p(static_cast<std::size_t>(r.in(2, 7)));
            for (OsPoint& q : p) q = {r.in(-10, W + 10), r.in(-10, H + 10)};
            os_polyline(dc, p);
        } else {
            os_move_to(dc, r.in(-5, W + 5), r.in(-5, H + 5));
            os_line_to(dc, r.in(-5, W + 5), r.in(-5, H + 5));
        }
    }
}

// Operations that read the destination: each pixel must meet them once.
void reading_operations(OsDC dc, Rng& r) {
    const std::int32_t ops[] = {OS_R2_XORPEN, OS_R2_MERGEPEN, OS_R2_MASKPEN, 6 /* not */, OS_R2_COPYPEN};
    for (int i = 0; i < 100; ++i) {
        os_set_rop2(dc, ops[i % 5]);
        use_pen(dc, os_create_pen(i % 4 == 1 ? OS_PS_DOT : OS_PS_SOLID, r.in(1, 3), r.colour()));
        use_brush(dc, os_create_solid_brush(r.colour()));
        if (i % 2)
            os_polygon(dc, small_polygon(r, r.in(0, W), r.in(0, H), r.in(1, 14)));
        else
            os_polyline(dc, small_polygon(r, r.in(0, W), r.in(0, H), r.in(2, 20)));
    }
}

// A clip region, and shapes reaching far past the surface.
void clipped(OsDC dc, Rng& r) {
    const OsObject rgn = os_create_rect_rgn(11, 7, 80, 50);
    os_select_clip_rgn(dc, rgn);
    for (int i = 0; i < 60; ++i) {
        const std::uint32_t colour = r.colour();
        use_pen(dc, os_create_pen(OS_PS_SOLID, r.in(1, 2), colour));
        use_brush(dc, os_create_solid_brush(i % 2 ? colour : r.colour()));
        std::vector<OsPoint> p = small_polygon(r, r.in(0, W), r.in(0, H), 30);
        if (i % 7 == 0) p.push_back({r.in(-100000, 100000), r.in(-100000, 100000)});
        os_polygon(dc, p);
        os_move_to(dc, r.in(-40, W + 40), r.in(-40, H + 40));
        os_line_to(dc, r.in(-40, W + 40), r.in(-40, H + 40));
    }
    os_select_clip_rgn(dc, 0);
    os_delete_object(rgn);
}

// Logical units scaled to the device: the points are converted first.
void scaled(OsDC dc, Rng& r) {
    os_set_map_mode(dc, OS_MM_ANISOTROPIC);
    os_set_window_ext(dc, 1000, 1000);
    os_set_viewport_ext(dc, W, -H);
    os_set_viewport_org(dc, 0, H);
    for (int i = 0; i < 60; ++i) {
        const std::uint32_t colour = r.colour();
        use_pen(dc, os_create_pen(OS_PS_SOLID, 1, colour));
        use_brush(dc, os_create_solid_brush(colour));
        os_polygon(dc, small_polygon(r, r.in(0, 1000), r.in(0, 1000), 60));
        os_move_to(dc, r.in(0, 1000), r.in(0, 1000));
        os_line_to(dc, r.in(0, 1000), r.in(0, 1000));
    }
}

// Polygons in colours given (the filled contour bands' way): mostly of a
// pixel or a few, of 3 and 4 points and now and then more, some with
// points repeated or on a line, crossing the surface's edges, under a clip
// region and a scaled mapping; a few too large or too many-pointed for
// the small polygons' way, and a few whose pen differs from the brush.
void polygons_in_colours(OsDC dc, Rng& r) {
    const OsObject rgn = os_create_rect_rgn(9, 6, 83, 49);
    for (int i = 0; i < 1500; ++i) {
        if (i == 1200) {
            os_set_map_mode(dc, OS_MM_ANISOTROPIC);
            os_set_window_ext(dc, 300, 300);
            os_set_viewport_ext(dc, W, -H);
            os_set_viewport_org(dc, 0, H);
        }
        const int reach = i % 50 == 0 ? r.in(20, 60) : r.in(0, 3);
        std::vector<OsPoint> p(static_cast<std::size_t>(i % 40 == 1 ? r.in(5, 12) : r.in(3, 4)));
        const int cx = r.in(-4, i < 1200 ? W + 4 : 304), cy = r.in(-4, i < 1200 ? H + 4 : 304);
        for (OsPoint& q : p) q = {cx + r.in(-reach, reach), cy + r.in(-reach, reach)};
        if (i % 9 == 0) p[1] = p[0];
        if (i % 13 == 0) p.back() = p.front();
        if (i % 17 == 0) p[2] = {p[0].x + 2 * (p[1].x - p[0].x), p[0].y + 2 * (p[1].y - p[0].y)};
        if (i % 97 == 0) p[0] = {r.in(-100000, 100000), r.in(-100000, 100000)};
        const std::uint32_t colour = r.colour();
        os_polygon_in_colours(dc, p, colour, i % 23 == 0 ? r.colour() : colour, i % 3 == 0 ? rgn : 0);
    }
    os_delete_object(rgn);
}

// Every pixel of the short way as the plain way drew it; the first that
// differs is named.
void expect_same_pixels(const std::vector<std::uint32_t>& plain, const std::vector<std::uint32_t>& shorter) {
    int differ = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < plain.size(); ++i)
        if (plain[i] != shorter[i] && differ++ == 0) first = i;
    EXPECT_EQ(differ, 0) << "first at x " << first % W << ", y " << first / W;
}

// Everything in turn, with pixels set in between.
void mixed(OsDC dc, Rng& r) {
    for (int round = 0; round < 3; ++round) {
        bands(dc, r);
        lines(dc, r);
        os_set_pixel(dc, r.in(0, W - 1), r.in(0, H - 1), r.colour());
        reading_operations(dc, r);
        os_set_rop2(dc, OS_R2_COPYPEN);
        null_pen_or_brush(dc, r);
    }
}

TEST_F(OsDcWaysTest, ShortWayLeavesEveryPixelAsThePlainWay) {
    struct Case {
        const char* name;
        void (*scene)(OsDC, Rng&);
    };
    const Case cases[] = {
        {"bands of two colours", bands},
        {"pen unlike the brush", pen_unlike_brush},
        {"pattern brush", pattern_brush},
        {"null pen or brush", null_pen_or_brush},
        {"lines of every pen", lines},
        {"operations that read the destination", reading_operations},
        {"clip region and far points", clipped},
        {"scaled mapping", scaled},
        {"small polygons in colours given", polygons_in_colours},
        {"mixed", mixed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::vector<std::uint32_t> plain = drawn(true, c.scene);
        const std::vector<std::uint32_t> shorter = drawn(false, c.scene);
        // The scene drew something.
        os_set_map_mode(dc, OS_MM_TEXT);
        os_set_viewport_org(dc, 0, 0);
        speckle();
        const std::vector<std::uint32_t> background = pixels();
        int changed = 0;
        for (std::size_t i = 0; i < plain.size(); ++i)
            if (plain[i] != background[i]) ++changed;
        EXPECT_GT(changed, 50);
        expect_same_pixels(plain, shorter);
    }
}

}  // namespace

namespace {

// Lines ending in a pixel of their own colour, in one call or in two, under
// raster operations, a clip region, a scaled mapping and dashed pens.
void ended_lines(OsDC dc, Rng& r, bool one_call) {
    const std::int32_t ops[] = {OS_R2_COPYPEN, OS_R2_XORPEN, OS_R2_MERGEPEN};
    const OsObject rgn = os_create_rect_rgn(5, 3, 90, 55);
    for (int i = 0; i < 240; ++i) {
        if (i == 80) os_select_clip_rgn(dc, rgn);
        if (i == 160) {
            os_select_clip_rgn(dc, 0);
            os_set_map_mode(dc, OS_MM_ANISOTROPIC);
            os_set_window_ext(dc, 300, 300);
            os_set_viewport_ext(dc, W, H);
        }
        os_set_rop2(dc, ops[i % 3]);
        const std::uint32_t colour = r.colour();
        use_pen(dc, os_create_pen(i % 4 == 3 ? OS_PS_DASH : OS_PS_SOLID, r.in(1, 3), colour));
        const int reach = i < 160 ? W + 10 : 310;
        os_move_to(dc, r.in(-10, reach), r.in(-10, reach));
        const int x = r.in(-10, reach), y = r.in(-10, reach);
        if (one_call) {
            os_line_to_with_end(dc, x, y, colour);
        } else {
            os_line_to(dc, x, y);
            os_set_pixel(dc, x, y, colour);
        }
    }
    os_delete_object(rgn);
}

TEST_F(OsDcWaysTest, LineWithItsEndInOneCallAsInTwo) {
    const std::vector<std::uint32_t> two = drawn(false, [](OsDC dc, Rng& r) { ended_lines(dc, r, false); });
    const std::vector<std::uint32_t> one = drawn(false, [](OsDC dc, Rng& r) { ended_lines(dc, r, true); });
    int differ = 0;
    for (std::size_t i = 0; i < two.size(); ++i)
        if (two[i] != one[i]) ++differ;
    EXPECT_EQ(differ, 0);
    // A memory device context draws on its 1 x 1 bitmap; a handle that
    // names nothing fails.
    const OsDC mem = os_create_compatible_dc(dc);
    os_select_object(mem, os_get_stock_object(OS_BLACK_PEN));
    EXPECT_TRUE(os_line_to_with_end(mem, 0, 0, 0));
    EXPECT_FALSE(os_line_to_with_end(0, 1, 1, 0));
    os_delete_dc(mem);
}

}  // namespace

namespace {

// Polylines of short steps, as outlines of cells and triangles are: steps
// of a pixel or a few in every direction, no step, a long jump now and
// then, running out of the surface and back; drawn in one call where it
// is taken, and where not (the plain way) one line and its end at a time.
// Thin solid pens in several colours, ends now and then in another colour,
// a clip region, a scaled mapping and another raster operation in turn.
// calls counts the polylines taken as one.
void short_polylines(OsDC dc, Rng& r, int& calls) {
    const OsObject rgn = os_create_rect_rgn(7, 4, 83, 52);
    for (int i = 0; i < 300; ++i) {
        if (i == 100) os_select_clip_rgn(dc, rgn);
        if (i == 150) os_select_clip_rgn(dc, 0);
        if (i == 200) {
            os_set_map_mode(dc, OS_MM_ANISOTROPIC);
            os_set_window_ext(dc, 300, 300);
            os_set_viewport_ext(dc, W, H);
        }
        os_set_rop2(dc, i % 17 == 5 ? OS_R2_XORPEN : OS_R2_COPYPEN);
        const std::uint32_t colour = r.colour();
        use_pen(dc, os_create_pen(OS_PS_SOLID, i % 23 == 7 ? 2 : r.in(0, 1), colour));
        // Now and then ends of another colour than the pen's.
        const std::uint32_t end = i % 19 == 3 ? r.colour() : colour;
        const int reach = i < 200 ? 1 : 4;
        std::vector<OsPoint> p{{r.in(-6, W + 5) * reach, r.in(-6, H + 5) * reach}};
        const int n = r.in(1, 14);
        for (int k = 0; k < n; ++k) {
            const OsPoint q = p.back();
            const int kind = r.in(0, 9);
            if (kind == 0)
                p.push_back(q);
            else if (kind == 1)
                p.push_back({r.in(-20, W + 20) * reach, r.in(-20, H + 20) * reach});
            else
                p.push_back({q.x + r.in(-4, 4) * reach, q.y + r.in(-4, 4) * reach});
        }
        if (os_lines_with_ends(dc, p.data(), p.size(), end)) {
            ++calls;
        } else {
            os_move_to(dc, p[0].x, p[0].y);
            for (std::size_t k = 1; k < p.size(); ++k) os_line_to_with_end(dc, p[k].x, p[k].y, end);
        }
        OsPoint at{};
        ASSERT_TRUE(os_get_current_position(dc, at));
        ASSERT_EQ(at.x, p.back().x);
        ASSERT_EQ(at.y, p.back().y);
    }
    os_delete_object(rgn);
}

}  // namespace

TEST_F(OsDcWaysTest, ShortPolylinesInOneCallAsLineByLine) {
    int plain_calls = 0, calls = 0;
    const std::vector<std::uint32_t> plain = drawn(true, [&](OsDC dc, Rng& r) { short_polylines(dc, r, plain_calls); });
    const std::vector<std::uint32_t> shorter = drawn(false, [&](OsDC dc, Rng& r) { short_polylines(dc, r, calls); });
    EXPECT_EQ(plain_calls, 0);
    EXPECT_GT(calls, 150);
    expect_same_pixels(plain, shorter);
}
