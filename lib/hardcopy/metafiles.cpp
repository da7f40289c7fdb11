// Memory metafiles and the CGM recorder. A CGM slot holds a fixed-size
// array the recorder appends to; what it holds from octet 1 to UsedLength is
// a CGM file image once the header (operation 39) and the end (19) frame it.
#include "lib/hardcopy/metafiles.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <fstream>
#include <string>

#include "lib/graphics/driver.h"
#include "lib/graphics/gradient.h"
#include "lib/graphics/gstate.h"
#include "lib/graphics/screen.h"
#include "lib/hardcopy/cgm.h"
#include "lib/hardcopy/hcdriver.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/graphics/gdi.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "platform/os_gdi.h"
#include "platform/os_metafile.h"
#include "platform/os_printer.h"
#include "lib/window/window_hooks.h"

std::array<MemoryMetafile, MemoryMetafileSlots> MemoryMetafileTable;

namespace {

// Octets kept free for END PICTURE and END METAFILE.
constexpr std::int32_t ClosingReserve = 4;

struct RecorderState {
    Rgb current{};
    float aspect = 1.0f;  // MetafileAspect
    std::array<cgm::AttributeCache, MemoryMetafileSlots> caches{};
    // A slot that refused an append refuses every later one, so the stream
    // never holds an element after a missing one.
    std::array<bool, MemoryMetafileSlots> refused{};
};
RecorderState rec;

bool valid(int id) { return id >= 1 && id <= MemoryMetafileSlots; }
MemoryMetafile* slot() {
    const int id = gstate.drawable_id;
    return valid(id) ? &MemoryMetafileTable[static_cast<std::size_t>(id - 1)] : nullptr;
}
cgm::AttributeCache& cache() {
    static cgm::AttributeCache none;
    const int id = gstate.drawable_id;
    return valid(id) ? rec.caches[static_cast<std::size_t>(id - 1)] : none;
}

void append(std::string_view bytes, bool closing, bool header = false) {
    MemoryMetafile* m = slot();
    if (m == nullptr || bytes.empty()) return;
    // Selecting a slot sends attributes before its header: a stream starts
    // with BEGIN METAFILE, so nothing is recorded before the header.
    if (m->UsedLength == 0 && !header) return;
    bool& refused = rec.refused[static_cast<std::size_t>(gstate.drawable_id - 1)];
    const std::int64_t room = static_cast<std::int64_t>(std::min<std::size_t>(m->DATA.size(), m->Capacity)) -
                              m->UsedLength - (closing ? 0 : ClosingReserve);
    if ((refused && !closing) || static_cast<std::int64_t>(bytes.size()) > room) {
        if (!closing) refused = true;
        yyerror(1062, "YYGCGM1");
        return;
    }
    std::copy(bytes.begin(), bytes.end(), m->DATA.begin() + m->UsedLength);
    m->UsedLength += static_cast<std::int32_t>(bytes.size());
}

std::int64_t t(float v) { return cgm::trunc(v); }

void interior(std::string& out, std::int32_t style) {
    std::string p;
    cgm::integer(p, style);
    cgm::element(out, 5, 22, p);
}
void enumerated(std::string& out, int cls, int id, std::int64_t v) {
    std::string p;
    cgm::integer(p, v);
    cgm::element(out, cls, id, p);
}

// Screen-side device words of a CGM slot.
void initialise() {
    DeviceDescription& d = gstate.device[ScreenSide];
    d.charset_bits = 8;
    d.TextRotationCapability = 360;
    d.platform_variant = 2;
    d.true_colour = 1;
    d.gradient_type = 2;
    d.TextSizeThreshold = NoTextSizeThreshold;
    d.DeviceCapabilities = std::string(CapsCgmRecorder);
}

void header() {
    MemoryMetafile* m = slot();
    if (m == nullptr) return;
    rec.aspect = m->PagePointsY != 0 ? static_cast<float>(m->PagePointsX) / static_cast<float>(m->PagePointsY) : 1.0f;
    const auto wh = cgm::vdc_extent(m->PagePointsX, m->PagePointsY, 600, 600);
    m->ExtentX = wh[0];
    m->ExtentY = wh[1];
    append(cgm::header("QDX CGM File", 2, wh[0], wh[1]), false, true);
}

// The ellipse of integer operands whose second diameter follows the page.
void ellipse(std::string& out) {
    const GraphicsState& gs = gstate;
    const DriverArguments& a = drvargs;
    const double den = static_cast<double>(gs.extent_x) * gs.area_width_x;
    const double dy = den != 0.0 ? static_cast<double>(a.X[1]) * a.X[2] * rec.aspect * gs.extent_y * gs.area_width_y / den
                                 : 0.0;
    std::string p;
    cgm::point(p, a.IX[0], a.IY[0]);
    cgm::point(p, static_cast<std::int64_t>(a.IX[0]) + a.IX[1], a.IY[0]);
    cgm::point(p, a.IX[0], a.IY[0] + cgm::trunc(dy));
    cgm::element(out, 4, 17, p);
}

std::string points(std::size_t n) {
    std::string p;
    for (std::size_t i = 0; i < n; ++i) cgm::point(p, t(quin01.X[i]), t(quin01.Y[i]));
    return p;
}

void outline_ellipse(std::string& out) {
    cgm::AttributeCache& c = cache();
    const GraphicsState& gs = gstate;
    enumerated(out, 5, 30, 1);
    cgm::colour_if_changed(out, c.edge, 5, 29, rec.current);
    const std::int32_t type = cgm::line_type(gs.LineType);
    if (type != c.edge_type) {
        c.edge_type = type;
        enumerated(out, 5, 27, type);
    }
    if (gs.metafile_line_width != c.edge_width) {
        c.edge_width = gs.metafile_line_width;
        enumerated(out, 5, 28, 4LL * gs.metafile_line_width);
    }
    interior(out, 4);
    ellipse(out);
    enumerated(out, 5, 30, 0);
}

void fill(std::string& out, std::int32_t op) {
    GraphicsState& gs = gstate;
    DriverArguments& a = drvargs;
    Rgb colour = rec.current;
    if (gs.fill_style == 3) {
        const Rgb p = colour_components(gs.PreviousColour.in_model(gs.ColourModel));
        colour = {(p.r + colour.r) / 2, (p.g + colour.g) / 2, (p.b + colour.b) / 2};
    }
    cgm::colour_if_changed(out, cache().fill, 5, 23, colour);
    interior(out, 1);
    std::string p;
    switch (op) {
        case OpEllipsePattern:
        case OpEllipseSolid: ellipse(out); return;
        case OpQuadPattern:
        case OpQuadSolid:
            for (std::size_t i = 0; i < 4; ++i) cgm::point(p, a.IX[i], a.IY[i]);
            cgm::element(out, 4, 7, p);
            return;
        case OpRectanglePattern:
        case OpRectangleSolid:
            cgm::point(p, std::max(a.IX[0], gs.ix1), std::max(a.IY[0], gs.iy1));
            cgm::point(p, std::min(a.IX[1], gs.ix2), std::min(a.IY[1], gs.iy2));
            cgm::element(out, 4, 11, p);
            return;
        case OpTrianglePattern:
        case OpTriangleSolid:
            for (std::size_t i = 0; i < 3; ++i) cgm::point(p, a.IX[i], a.IY[i]);
            cgm::element(out, 4, 7, p);
            return;
        case OpSectorPattern:
        case OpSectorSolid:
            a.Y[1] = a.Y[1] / gs.aspect_ratio * rec.aspect;
            cgm::long_element(out, 4, 7,
                              cgm::sector_points(a.IX[0], a.IY[0], a.X[0], a.Y[0], a.X[1], a.Y[1], a.X[2], a.X[3],
                                                 cgm::sector_segments(a.X[1], gs.width), 1.0f, 1.0f));
            return;
        default:
            cgm::long_element(out, 4, 7, points(static_cast<std::size_t>(driver_point_count())));
            return;
    }
}

void font(std::string& out) {
    GraphicsState& gs = gstate;
    TextState& tx = gs.text;
    cgm::AttributeCache& c = cache();
    const std::int32_t index = 4 * std::clamp(tx.HardwareFontFamily, 1, 4) - 3 + (tx.TextStyle & 3);
    if (index != c.font) {
        c.font = index;
        enumerated(out, 5, 10, index);
    }
    const auto h = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        cgm::trunc(static_cast<double>(tx.char_height) * 0.55 * gs.text_ref_size_y), -32768, 32767));
    if (h != c.height) {
        c.height = h;
        enumerated(out, 5, 15, h);
    }
    const float across = tx.char_width * gs.text_ref_size_x, down = tx.char_height * gs.text_ref_size_y;
    if (across != 0.0f) tx.cells_across = gs.extent_x / across;
    if (down != 0.0f) tx.cells_down = gs.extent_y / down;
}

void text(std::string& out) {
    const GraphicsState& gs = gstate;
    const TextState& tx = gs.text;
    const DriverArguments& a = drvargs;
    cgm::AttributeCache& c = cache();
    const bool single = tx.TextPitch == 1;
    const bool boxed = (tx.TextStyle & 8) != 0 && !single && gs.stroke_text_flag == 0;
    if (boxed) {
        enumerated(out, 3, 4, 0);
        cgm::colour_if_changed(out, c.aux, 3, 3, colour_components(gs.PreviousColour.in_model(gs.ColourModel)));
    }
    cgm::colour_if_changed(out, c.text, 5, 14, rec.current);
    float x = 0, y = 0;
    const std::int32_t align = cgm::text_anchor(x, y);
    if (align != c.align) {
        c.align = align;
        cgm::text_alignment(out, align);
    }
    const std::string_view body =
        std::string_view(DriverText).substr(0, static_cast<std::size_t>(driver_text_count()));
    const double dist = std::hypot(static_cast<double>(a.X[2] - a.X[0]), static_cast<double>(a.Y[2] - a.Y[0]));
    cgm::text_element(out, single, cgm::trunc(dist), cgm::trunc(1.25 * c.height), t(x), t(y), body);
    if (boxed) enumerated(out, 3, 4, 1);
}

void image(std::string& out) {
    const GraphicsState& gs = gstate;
    const DriverArguments& a = drvargs;
    std::vector<std::int32_t> pixels;
    if (!driver_load_image(pixels)) return;
    const std::int32_t width = a.IX[1], height = a.IY[1];
    out += cgm::cell_array_head(gs.ix1, gs.iy2, gs.ix2, gs.iy1, gs.ix2, gs.iy2, width, height);
    for (std::int32_t row = 0; row < height; ++row)
        out += cgm::cell_array_row(pixels.data() + static_cast<std::size_t>(row) * static_cast<std::size_t>(width),
                                   width, row == height - 1);
}

void line_colour(std::string& out) { cgm::colour_if_changed(out, cache().line, 5, 4, rec.current); }

void destroy_slot(int id) {
    MemoryMetafile& m = MemoryMetafileTable[static_cast<std::size_t>(id - 1)];
    if (m.MetafileKind == MetafileCgm) std::vector<unsigned char>().swap(m.DATA);
    if (m.MetafileKind == MetafileEnhanced) yymetafiledestroy(id - 1);
    m.MetafileKind = MetafileEmpty;
    m.PagePointsX = m.PagePointsY = m.InUse = m.Capacity = m.UsedLength = 0;
    rec.refused[static_cast<std::size_t>(id - 1)] = false;
}

bool index_valid(int index) { return index >= 0 && index < MemoryMetafileSlots; }
OsHandle& recording(int index) { return wtab.MetafileDC[static_cast<std::size_t>(index)]; }
OsHandle& closed(int index) { return wtab.hMetafile[static_cast<std::size_t>(index)]; }
// A loaded metafile has no recording context; this marks its slot taken.
constexpr OsHandle LoadedMarker = -1;

void close_recording(int index) {
    if (recording(index) != 0 && closed(index) == 0) {
        const OsDC dc = recording(index);
        closed(index) = os_close_enh_metafile(dc);
        // Drawing must not go on into a context that is gone.
        if (wtab.gDC == dc) wtab.gDC = 0;
        if (wtab.hGraphicsMetafile == dc) wtab.hGraphicsMetafile = 0;
    }
}

bool metafile_size(std::int32_t id, std::int32_t& width_pixels, std::int32_t& width_points) {
    if (!valid(id)) return false;
    const MemoryMetafile& m = MemoryMetafileTable[static_cast<std::size_t>(id - 1)];
    width_pixels = m.ExtentX;
    width_points = m.PagePointsX;
    return m.InUse != 0;
}

}  // namespace

void yygcgm(std::int32_t op) {
    GraphicsState& gs = gstate;
    DriverArguments& a = drvargs;
    std::string out;
    bool closing = false;
    switch (op) {
        case OpInitialise: initialise(); return;
        case OpLine:
        case OpPoint: {
            line_colour(out);
            std::string p;
            const std::size_t second = op == OpLine ? 1 : 0;
            cgm::point(p, a.IX[0], a.IY[0]);
            cgm::point(p, a.IX[second], a.IY[second]);
            cgm::element(out, 4, 1, p);
            break;
        }
        case OpPolyline:
            line_colour(out);
            cgm::long_element(out, 4, 1, points(static_cast<std::size_t>(driver_point_count())));
            break;
        case OpColour:
        case OpPalette: rec.current = colour_components(gs.CurrentColour.in_model(gs.ColourModel)); return;
        case OpEllipse: outline_ellipse(out); break;
        case OpBeginPicture: cache() = cgm::AttributeCache{}; return;
        case OpEndOutput:
            cgm::element(out, 0, 5, {});
            cgm::element(out, 0, 2, {});
            closing = true;
            break;
        case OpFont: font(out); break;
        case OpText: text(out); break;
        case OpClip: {
            enumerated(out, 3, 6, 1);
            std::string p;
            cgm::point(p, gs.ix1, gs.iy1);
            cgm::point(p, gs.ix2, gs.iy2);
            cgm::element(out, 3, 5, p);
            break;
        }
        case OpLineType: enumerated(out, 5, 2, cgm::line_type(gs.LineType)); break;
        case OpLineWidth: {
            const MemoryMetafile* m = slot();
            const std::int64_t page = m != nullptr ? m->PagePointsX : 0;
            enumerated(out, 5, 3,
                       page != 0 ? static_cast<std::int64_t>(m->ExtentX) * gs.metafile_line_width / (10 * page) : 0);
            break;
        }
        case OpReadPixel: a.IX[0] = -1; return;
        case OpTextAngle: cgm::orientation(out, gs.text.char_width * gs.text_ref_size_x); break;
        case OpImageFile: image(out); break;
        case OpNoOperation: header(); return;
        case OpGradientFill:
            yygradientfill(2, 0, 0, 0, 0, [](std::int32_t, std::int32_t, std::int32_t) {}, &yygcgm9);
            return;
        default:
            if (op >= OpEllipsePattern && op <= OpPolygonSolid) {
                fill(out, op);
                break;
            }
            return;
    }
    append(out, closing);
}

void yygcgm1(std::string_view bytes, std::int32_t n) {
    append(bytes.substr(0, static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, bytes.size()))), false);
}

void yygcgm2(std::int32_t cls, std::int32_t id, std::int32_t length) {
    std::string o;
    cgm::word(o, static_cast<std::int64_t>(cls) * 4096 + static_cast<std::int64_t>(id) * 32 + length);
    yygcgm1(o, 2);
}
void yygcgm4(std::int32_t cls, std::int32_t id, std::int32_t r, std::int32_t g, std::int32_t b) {
    std::string o;
    cgm::colour_element(o, cls, id, r, g, b);
    yygcgm1(o, 6);
}
void yygcgm5(std::int32_t value) {
    std::string o;
    cgm::integer(o, value);
    yygcgm1(o, 2);
}
void yygcgm6(std::int32_t a, std::int32_t b) {
    std::string o;
    cgm::point(o, a, b);
    yygcgm1(o, 4);
}
void yygcgm7(std::string_view text, std::int32_t n) {
    std::string o;
    cgm::string(o, text.substr(0, static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, text.size()))), true);
    yygcgm1(o, static_cast<std::int32_t>(o.size()));
}
void yygcgm8(std::string_view text, std::int32_t n) {
    std::string o;
    cgm::string(o, text.substr(0, static_cast<std::size_t>(std::clamp<std::int64_t>(n, 0, text.size()))), false);
    yygcgm1(o, static_cast<std::int32_t>(o.size()));
}
void yygcgm9(const std::int32_t*, const std::int32_t*, const std::int32_t*, const std::int32_t* tri, std::int32_t,
             std::int32_t nt, std::int32_t& status) {
    append(cgm::gradient_triangles(tri, nt, 1.0f, 1.0f), false);
    status = 0;
}

void yymetafileselect(int id, int& status, int& width, int& height) {
    if (!valid(id)) {
        status = 1;
        return;
    }
    const MemoryMetafile& m = MemoryMetafileTable[static_cast<std::size_t>(id - 1)];
    if (m.InUse == 0 || m.MetafileKind == MetafileEmpty) {
        status = 1;
        return;
    }
    if (m.MetafileKind == MetafileEnhanced) {
        width = m.ExtentX;
        height = m.ExtentY;
        gstate.recorder_flag = 0;
        yymetafileselect2(id - 1, width, height, status);
    } else if (m.MetafileKind == MetafileCgm) {
        width = m.ExtentX;
        height = m.ExtentY;
        gstate.recorder_flag = 1;
        status = 0;
    }
}

void WMetafileDestroy(int id) {
    if (!valid(id)) {
        yyerror(1060, "WMetafileDestroy");
        return;
    }
    if (MemoryMetafileTable[static_cast<std::size_t>(id - 1)].MetafileKind == MetafileEmpty)
        yyerror(1060, "WMetafileDestroy");
    destroy_slot(id);
}

void destroy_memory_metafiles() {
    for (int id = 1; id <= MemoryMetafileSlots; ++id)
        if (MemoryMetafileTable[static_cast<std::size_t>(id - 1)].MetafileKind != MetafileEmpty) WMetafileDestroy(id);
}

void clear_memory_metafile_kinds() {
    for (MemoryMetafile& m : MemoryMetafileTable) m.MetafileKind = MetafileEmpty;
}

void install_memory_metafiles() {
    grlinks.cgm_recorder = &yygcgm;
    grlinks.metafile_select = &yymetafileselect;
    screen_links.metafile_size = &metafile_size;
    window_hooks.destroy_metafiles = &destroy_memory_metafiles;
}

void reset_memory_metafiles() {
    MemoryMetafileTable = {};
    rec = RecorderState{};
}

void yymetafileselect2(int index, int width, int height, int& status) {
    if (!index_valid(index) || recording(index) == 0 || recording(index) == LoadedMarker || closed(index) != 0) {
        status = 1;
        return;
    }
    const OsDC dc = recording(index);
    wtab.hGraphicsMetafile = dc;
    os_set_window_ext(dc, width, height);
    wtab.gDC = dc;
    // Raster operation, transparent background, pen, font and the dash
    // lengths at the metafile's resolution.
    yywinselectcurrent();
    status = 0;
}

void yymetafilecreate(int index, int wpt, int hpt, int& wpix, int& hpix) {
    if (!index_valid(index)) return;
    OsDC ref = 0;
    bool information = false;
    settle_printer_query();
    if (wtab.GotPrName != 0) {
        ref = os_create_ic(wtab.lpPrintDriver, wtab.lpPrintType);
        information = ref != 0;
    }
    bool screen_dc = false;
    if (ref == 0) screen_dc = (ref = os_get_dc(0)) != 0;
    // Without a screen context a memory context of the screen answers
    // for it.
    if (ref == 0) {
        ref = os_create_compatible_dc(0);
        information = true;
    }
    const std::int64_t hres = os_get_device_caps(ref, OS_HORZRES), vres = os_get_device_caps(ref, OS_VERTRES);
    const std::int64_t hsize = os_get_device_caps(ref, OS_HORZSIZE), vsize = os_get_device_caps(ref, OS_VERTSIZE);
    wpix = hsize > 0 ? static_cast<int>(wpt * hres * 254 / (hsize * 720)) : 0;
    hpix = vsize > 0 ? static_cast<int>(hpt * vres * 254 / (vsize * 720)) : 0;
    const OsRect frame{0, 0, wpt * 2540 / 72, hpt * 2540 / 72};
    recording(index) = os_create_enh_metafile(ref, "", &frame, std::string_view("\0\0", 2));
    closed(index) = 0;
    gdi.wMetafileDPI = os_get_device_caps(ref, OS_LOGPIXELSX);
    if (information) os_delete_dc(ref);
    else if (screen_dc) os_release_dc(0, ref);
}

void yymetafiledestroy(int index) {
    if (!index_valid(index)) return;
    close_recording(index);
    if (closed(index) != 0) os_delete_metafile(closed(index));
    recording(index) = 0;
    closed(index) = 0;
}

void yymetafileload(int index, int size, int& status, int& oserror, std::string_view name) {
    if (!index_valid(index)) {
        status = 1;
        return;
    }
    if (recording(index) != 0) yymetafiledestroy(index);
    recording(index) = 0;
    std::ifstream in{std::string(name), std::ios::binary};
    if (!in) {
        status = 1;
        oserror = errno;
        return;
    }
    std::vector<std::uint8_t> bits(static_cast<std::size_t>(std::max(size, 0)));
    in.read(reinterpret_cast<char*>(bits.data()), static_cast<std::streamsize>(bits.size()));
    if (static_cast<std::size_t>(in.gcount()) < bits.size()) {
        status = 2;
        oserror = errno;
        return;
    }
    // Data that is no enhanced metafile leaves the slot empty: marking it
    // taken would let a select draw into a picture that does not exist.
    const OsMetafile mf = os_set_enh_metafile_bits(bits);
    if (mf == 0) {
        status = 2;
        oserror = os_last_error();
        return;
    }
    closed(index) = mf;
    recording(index) = LoadedMarker;
    status = 0;
}

void yymetafileplay(int index, int left, int top, int right, int bottom) {
    if (!index_valid(index)) return;
    close_recording(index);
    if (closed(index) == 0 || wtab.gDC == 0) return;
    if (wtab.gRegion != 0) os_select_clip_rgn(wtab.gDC, wtab.gRegion);
    os_play_enh_metafile(wtab.gDC, closed(index), OsRect{left, top, right, bottom});
    if (wtab.gRegion != 0) os_select_clip_rgn(wtab.gDC, 0);
}

void yymetafilesave(int index, int& status, int& oserror, std::string_view name) {
    if (!index_valid(index)) {
        status = 1;
        return;
    }
    close_recording(index);
    const OsMetafile copy = closed(index) != 0 ? os_copy_metafile(closed(index), name) : 0;
    if (copy == 0) {
        status = 1;
        oserror = os_last_error();
        return;
    }
    os_delete_metafile(copy);
    status = 0;
}
