#include "tools/femgen/femgen.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>

namespace femgen {

namespace {

// A small fixed generator, so that a seed gives the same model everywhere.
struct SplitMix {
    std::uint64_t s;
    std::uint64_t next() {
        std::uint64_t z = (s += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [-1, 1).
    double sym() { return static_cast<double>(next() >> 11) * (2.0 / 9007199254740992.0) - 1.0; }
};

void put(std::string& s, float v) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    s += ' ';
    s.append(buf, r.ptr);
}

void put(std::string& s, long long v) {
    s += ' ';
    s += std::to_string(v);
}

void eol(std::string& s) { s += "\r\n"; }

}  // namespace

double field_value(Field f, int plane, double x, double y) {
    const double p = plane;
    switch (f) {
        case Field::Smooth:
            return 5.0 + p + 2.0 * std::sin(x / 700.0 + 0.1 * p) * std::cos(y / 900.0 - 0.05 * p);
        case Field::Linear:
        default:
            // Positive over any model in the first quadrant, so that every
            // quantity, resistances included, is a plausible one.
            return 1.0 + p + 0.001 * (1 + plane % 4) * x + 0.0005 * (1 + plane % 5) * y;
    }
}

Mesh make_mesh(const Options& o) {
    Mesh m;
    const int nx = std::max(2, o.nx), ny = std::max(2, o.ny);
    m.nnode = nx * ny;
    m.triangles = 2 * (nx - 1) * (ny - 1);
    m.x.resize(static_cast<std::size_t>(m.nnode));
    m.y.resize(static_cast<std::size_t>(m.nnode));
    m.code.resize(static_cast<std::size_t>(m.nnode));
    m.ring.resize(static_cast<std::size_t>(m.nnode));
    SplitMix rng{o.seed};
    const double j = std::clamp(o.jitter, 0.0, 0.15);
    for (int b = 0; b < ny; ++b)
        for (int a = 0; a < nx; ++a) {
            const auto at = static_cast<std::size_t>(b * nx + a);
            const double ex = j * o.dx * rng.sym();
            const double ey = j * o.dy * rng.sym();
            m.x[at] = static_cast<float>(o.x0 + a * o.dx + ex);
            m.y[at] = static_cast<float>(o.y0 + b * o.dy + ey);
        }
    m.xmin = *std::min_element(m.x.begin(), m.x.end());
    m.xmax = *std::max_element(m.x.begin(), m.x.end());
    m.ymin = *std::min_element(m.y.begin(), m.y.end());
    m.ymax = *std::max_element(m.y.begin(), m.y.end());
    // Neighbours by angle, counter-clockwise from east; the diagonal of every
    // cell runs from its lower-left to its upper-right corner, so each pair
    // of successive neighbours that both exist spans a triangle.
    static const int off[6][2] = {{1, 0}, {1, 1}, {0, 1}, {-1, 0}, {-1, -1}, {0, -1}};
    for (int b = 0; b < ny; ++b)
        for (int a = 0; a < nx; ++a) {
            const auto at = static_cast<std::size_t>(b * nx + a);
            bool ex[6];
            int nb[6];
            int count = 0;
            for (int k = 0; k < 6; ++k) {
                const int u = a + off[k][0], v = b + off[k][1];
                ex[k] = u >= 0 && u < nx && v >= 0 && v < ny;
                nb[k] = ex[k] ? v * nx + u + 1 : 0;
                count += ex[k];
            }
            auto& r = m.ring[at];
            if (count == 6) {
                m.code[at] = 0;
                r.assign(nb, nb + 6);
                continue;
            }
            // Boundary: the arc of existing neighbours, from the one after a gap.
            m.code[at] = 1;
            int s = 0;
            while (!(ex[s] && !ex[(s + 5) % 6])) ++s;
            for (int k = 0; k < 6 && ex[(s + k) % 6]; ++k) r.push_back(nb[(s + k) % 6]);
        }
    return m;
}

std::string model_text(const Options& o) {
    const Mesh m = make_mesh(o);
    const int naq = std::clamp(o.naq, 0, 17);
    std::string s;
    s.reserve(static_cast<std::size_t>(m.nnode) * static_cast<std::size_t>(40 + 70 * naq));
    s += "synthetic model " + std::to_string(o.nx) + " x " + std::to_string(o.ny) + " nodes, " +
         std::to_string(naq) + " aquifers";
    eol(s);
    for (int t = 2; t <= 15; ++t) {
        s += "title line " + std::to_string(t);
        eol(s);
    }
    s += std::to_string(m.nnode) + " " + std::to_string(m.triangles) + " " + std::to_string(naq) + " " +
         std::to_string(std::max(0, o.nwell));
    eol(s);
    put(s, m.xmax);
    put(s, m.xmin);
    eol(s);
    put(s, m.ymax);
    put(s, m.ymin);
    eol(s);
    s += " 0 0";
    eol(s);
    auto v = [&](int plane, std::size_t at) {
        return static_cast<float>(field_value(o.field, plane, m.x[at], m.y[at]));
    };
    for (int i = 1; i <= m.nnode; ++i) {
        const auto at = static_cast<std::size_t>(i - 1);
        put(s, static_cast<long long>(m.code[at]));
        put(s, m.x[at]);
        put(s, m.y[at]);
        put(s, v(0, at));
        for (int k = 1; k <= naq; ++k) {
            put(s, static_cast<long long>(k));
            put(s, v(3 * k, at));
        }
        eol(s);
        for (int k = 1; k <= naq; ++k) {
            put(s, v(3 * k - 2, at));
            put(s, v(3 * k - 1, at));
        }
        eol(s);
        // Entry 1 (the node itself) is not part of the ring.
        const auto& r = m.ring[at];
        put(s, static_cast<long long>(r.size() + 1));
        put(s, static_cast<long long>(i));
        for (const int n : r) put(s, static_cast<long long>(n));
        if (o.extra_every > 0 && i % o.extra_every == 0) put(s, static_cast<long long>(10 * i));
        eol(s);
    }
    for (int w = 1; w <= o.nwell; ++w) {
        put(s, static_cast<long long>(naq > 0 ? 1 + (w - 1) % naq : 0));
        put(s, static_cast<long long>(1 + (w * 7919) % m.nnode));
        put(s, static_cast<float>(-10.0 * w));
        eol(s);
    }
    for (int k = 1; k <= o.nlabel; ++k) {
        s += "label " + std::to_string(k);
        eol(s);
    }
    return s;
}

bool write_text(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

bool write_model(const Options& o, const std::string& path) { return write_text(path, model_text(o)); }

std::vector<float> spacings(int n, double total, bool varied) {
    std::vector<float> v(static_cast<std::size_t>(std::max(0, n)));
    if (n <= 0) return v;
    static const double pattern[4] = {1, 2, 3, 2};
    double sum = 0;
    for (int k = 0; k < n; ++k) sum += varied ? pattern[k % 4] : 1.0;
    for (int k = 0; k < n; ++k)
        v[static_cast<std::size_t>(k)] = static_cast<float>(total * (varied ? pattern[k % 4] : 1.0) / sum);
    return v;
}

std::string spacing_text(const std::vector<float>& v) {
    std::string s;
    for (std::size_t k = 0; k < v.size(); ++k) {
        put(s, v[k]);
        if (k % 10 == 9 || k + 1 == v.size()) eol(s);
    }
    return s;
}

}  // namespace femgen
