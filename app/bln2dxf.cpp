#include "app/bln2dxf.h"

#include <algorithm>
#include <cstdint>

#include "app/onemoment.h"
#include "app/records.h"
#include "lib/window/text.h"

namespace {

// F10.2, widened when the value needs more room: a DXF reader takes the
// number whatever its width, but not a field of asterisks.
std::string coord(float v) {
    std::string s = edit_f(v, 64, 2);
    s.erase(0, s.find_first_not_of(' '));
    return s.size() < 10 ? std::string(10 - s.size(), ' ') + s : s;
}

// I3, widened in the same way.
std::string code(long long v) {
    std::string s = std::to_string(v);
    return s.size() < 3 ? std::string(3 - s.size(), ' ') + s : s;
}

void pair(TextOut& out, int group, std::string_view value) {
    out.line(code(group));
    out.line(value);
}

// One block header: n and k. End (true, done) at the end of the file where a
// header is due; false on a header that is not two integers.
bool read_header(TextIn& in, std::int32_t& n, std::int32_t& k, bool& done) {
    FreeRead h(in);
    h.i(n).i(k);
    const RecStatus st = h.end();
    done = st == RecStatus::End && h.items() == 0;
    if (st == RecStatus::Ok || done) return true;
    app_read_error(in, st, "block header of two integers");
    return false;
}

bool read_point(TextIn& in, float& x, float& y) {
    FreeRead p(in);
    p.r(x).r(y);
    const RecStatus st = p.end();
    if (st == RecStatus::Ok) return true;
    app_read_error(in, st, "point x y");
    return false;
}

}  // namespace

std::string dxf_layer_name(std::string_view dxf) {
    std::string_view name = txt_trim(dxf);
    const std::size_t slash = name.find_last_of("/\\");
    if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
    std::string layer = "0";
    for (char c : name) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                        c == '_' || c == '-' || c == '$' || c == '.';
        layer += ok ? c : '_';
    }
    return layer;
}

bool bln2dxf(std::string_view bln, std::string_view dxf) {
    TextIn in;
    if (!in.open(bln)) {
        app_io_error("cannot open", in);
        return false;
    }
    TextOut out;
    if (!out.create(dxf)) {
        app_io_error("cannot create", out);
        return false;
    }
    const std::string layer = dxf_layer_name(dxf);
    float xmax = -1.0E10f, ymax = -1.0E10f;
    float xmin = 1.0E10f, ymin = 1.0E10f;

    for (;;) {
        std::int32_t n = 0, k = 0;
        bool done = false;
        if (!read_header(in, n, k, done)) return false;
        if (done) break;
        onemoment("conerting to dxf");
        for (std::int32_t p = 1; p <= n; ++p) {
            float x = 0, y = 0;
            if (!read_point(in, x, y)) return false;
            xmin = std::min(xmin, x);
            ymin = std::min(ymin, y);
            xmax = std::max(xmax, x);
            ymax = std::max(ymax, y);
        }
    }
    in.rewind();

    pair(out, 0, "SECTION");
    pair(out, 2, "HEADER");
    pair(out, 9, "$EXTMIN");
    pair(out, 10, coord(xmin));
    pair(out, 20, coord(ymin));
    pair(out, 9, "$EXTMAX");
    pair(out, 10, coord(xmax));
    pair(out, 20, coord(ymax));
    pair(out, 9, "$LUPREC");
    pair(out, 70, "   14");
    pair(out, 0, "ENDSEC");
    pair(out, 0, "SECTION");
    pair(out, 2, "TABLES");
    pair(out, 0, "ENDSEC");
    pair(out, 0, "SECTION");
    pair(out, 2, "BLOCKS");
    pair(out, 0, "ENDSEC");
    pair(out, 0, "SECTION");
    pair(out, 2, "ENTITIES");

    for (;;) {
        std::int32_t n = 0, k = 0;
        bool done = false;
        if (!read_header(in, n, k, done)) return false;
        if (done) break;
        pair(out, 0, "POLYLINE");
        pair(out, 8, layer);
        pair(out, 62, code(k));
        pair(out, 66, "   1");
        for (std::int32_t p = 1; p <= n; ++p) {
            float x = 0, y = 0;
            if (!read_point(in, x, y)) return false;
            pair(out, 0, "VERTEX");
            pair(out, 8, layer);
            pair(out, 10, coord(x));
            pair(out, 20, coord(y));
        }
        pair(out, 0, "SEQEND");
        pair(out, 8, layer);
    }

    pair(out, 0, "ENDSEC");
    pair(out, 0, "EOF");
    if (!out.commit()) {
        app_io_error("cannot write", out);
        return false;
    }
    return true;
}
