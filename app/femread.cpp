#include "app/femread.h"
#include "app/intersect.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <system_error>

#include "app/apphooks.h"
#include "app/logo.h"
#include "app/mapview.h"
#include "app/records.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/grinfo.h"
#include "lib/window/winops.h"
#include "lib/window/text.h"

namespace {

std::string node_text(int i) { return "node " + std::to_string(i) + ": "; }

// Reports a failed record; true when the record was read.
bool record_ok(const TextIn& in, RecStatus st, const std::string& what) {
    if (st == RecStatus::Ok) return true;
    app_read_error(in, st, what);
    return false;
}

// The same for a record of node i, its description built only when reported.
bool node_record_ok(const TextIn& in, RecStatus st, int i, const char* what) {
    return st == RecStatus::Ok || record_ok(in, st, node_text(i) + what);
}

// The number of times a corner of e equals a member of the candidate (a, b,
// c), over the nine pairs; exactly 3 means the candidate is built already.
int equal_pairs(const std::array<std::int32_t, 3>& e, std::int32_t a, std::int32_t b, std::int32_t c) {
    int n = 0;
    for (const std::int32_t x : e) n += (x == a) + (x == b) + (x == c);
    return n;
}

// Calls f(a, b, c) for each candidate triangle of the rings, in building
// order; f returns the node to stop at (0 to go on).
template <class F>
int for_each_candidate(const FemModel& m, F f) {
    for (int i = 1; i <= m.nnode; ++i) {
        const std::size_t at = static_cast<std::size_t>(i - 1);
        const int n = std::abs(m.nnb[at]);
        const bool boundary = m.nodecode[at] == 1;
        const auto& ring = m.nb[at];
        for (int k = 2; k <= n; ++k) {
            // An open ring has no triangle between its last and first entry.
            if (k == n && boundary) continue;
            const int stop = f(i, ring[static_cast<std::size_t>(k - 1)], ring[static_cast<std::size_t>(k)]);
            if (stop != 0) return stop;
        }
    }
    return 0;
}

}  // namespace

void draw_mesh_triangle(const FemModel& m, std::int32_t a, std::int32_t b, std::int32_t c) {
    IGrColourN(wrgb(200, 190, 30));
    const auto x = [&](std::int32_t n) { return m.x[static_cast<std::size_t>(n - 1)]; };
    const auto y = [&](std::int32_t n) { return m.y[static_cast<std::size_t>(n - 1)]; };
    triangle_outline(x(a), y(a), x(b), y(b), x(c), y(c));
}

int build_triangles(FemModel& m, TriangleSink sink) {
    m.elnode.clear();
    // A mesh has about two triangles a node: room for them at once, not
    // copied over as the list grows.
    m.elnode.reserve(std::min(static_cast<std::size_t>(MaxElements), 2 * static_cast<std::size_t>(m.nnode)));
    // Per node, the list of built triangles that have it as a corner, kept
    // as chains through one slot per triangle corner (slot 3e + k).
    std::vector<std::int32_t> head(static_cast<std::size_t>(m.nnode) + 1, -1);
    std::vector<std::int32_t, OsPopulatedAllocator<std::int32_t>> next;
    next.reserve(static_cast<std::size_t>(3) * 2 * static_cast<std::size_t>(m.nnode));
    // Every triangle with a corner equal to a member of the candidate lies on
    // the chain of that member; a triangle that matches 3 of the 9 pairs has
    // at least one such corner, so the three chains hold every triangle the
    // full search could find.
    const auto exists = [&](std::int32_t a, std::int32_t b, std::int32_t c) {
        for (const std::int32_t node : {a, b, c})
            for (std::int32_t s = head[static_cast<std::size_t>(node)]; s >= 0; s = next[static_cast<std::size_t>(s)])
                if (equal_pairs(m.elnode[static_cast<std::size_t>(s / 3)], a, b, c) == 3) return true;
        return false;
    };
    return for_each_candidate(m, [&](std::int32_t a, std::int32_t b, std::int32_t c) {
        const bool all_used = head[static_cast<std::size_t>(a)] >= 0 && head[static_cast<std::size_t>(b)] >= 0 &&
                              head[static_cast<std::size_t>(c)] >= 0;
        if (all_used && exists(a, b, c)) return 0;
        if (static_cast<int>(m.elnode.size()) >= MaxElements) return a;
        const auto e = static_cast<std::int32_t>(m.elnode.size());
        m.elnode.push_back({a, b, c});
        const std::int32_t corners[3] = {a, b, c};
        for (int k = 0; k < 3; ++k) {
            auto& h = head[static_cast<std::size_t>(corners[k])];
            next.push_back(h);
            h = 3 * e + k;
        }
        if (sink) sink(m, a, b, c);
        return 0;
    });
}

int build_triangles_plain(FemModel& m, TriangleSink sink) {
    m.elnode.clear();
    std::vector<char> used(static_cast<std::size_t>(m.nnode) + 1, 0);
    return for_each_candidate(m, [&](std::int32_t a, std::int32_t b, std::int32_t c) {
        const auto ua = static_cast<std::size_t>(a), ub = static_cast<std::size_t>(b), uc = static_cast<std::size_t>(c);
        if (used[ua] && used[ub] && used[uc])
            for (const auto& e : m.elnode)
                if (equal_pairs(e, a, b, c) == 3) return 0;
        if (static_cast<int>(m.elnode.size()) >= MaxElements) return a;
        m.elnode.push_back({a, b, c});
        used[ua] = used[ub] = used[uc] = 1;
        if (sink) sink(m, a, b, c);
        return 0;
    });
}

namespace {

// Drawing area and world units for the mesh: the model's lower-left corner
// at the area's lower-left corner, one range widened so that the mesh is not
// distorted.
void set_mesh_units(const FemModel& m) {
    IGrArea(0.1f, 0.1f, 0.9f, 0.9f);
    const int n = InfoGrScreen(32);
    const float a = n > 0 ? 100.0f / static_cast<float>(n) : 1.0f;
    const float xr = m.xmax - m.xmin;
    const float yr = m.ymax - m.ymin;
    float x2 = m.xmax, y2 = m.ymax;
    // A model without width or height still gets a usable, undistorted range.
    if (!(xr > 0) && !(yr > 0)) {
        x2 = m.xmin + 1.0f;
        y2 = m.ymin + a;
    } else if (!(xr > 0)) {
        x2 = m.xmin + yr / a;
    } else if (yr / xr < a) {
        y2 = m.ymin + a * xr;
    } else {
        x2 = m.xmin + yr / a;
    }
    IGrUnits(m.xmin, m.ymin, x2, y2);
}

int read_nodes(TextIn& in, FemModel& m) {
    const int naq = m.naq;
    const auto nn = static_cast<std::size_t>(m.nnode);
    m.nodecode.assign(nn, 0);
    m.nodeint.assign(nn, 0);
    m.nodeextra.assign(nn, 0);
    m.x.assign(nn, 0.0f);
    m.y.assign(nn, 0.0f);
    // Written in full for every node read (planes 0..3*naq, ring entries
    // 1..n and the closing copy): left uninitialised until then.
    m.value.resize(nn * static_cast<std::size_t>(m.planes()));
    m.nb.resize(nn);
    m.nnb.assign(nn, 0);
    for (int i = 1; i <= m.nnode; ++i) {
        const std::size_t at = static_cast<std::size_t>(i - 1);
        {
            FreeRead r(in);
            // Read in runs (the aquifer numbers and heads in pairs; the
            // number kept is the last one), placed afterwards.
            float xyz[3];
            std::int32_t aquifer[MaxAquifers];
            float head[MaxAquifers];
            r.i(m.nodecode[at]).r(xyz, 3).pairs(aquifer, head, naq);
            if (!node_record_ok(in, r.end(), i, "code, x, y, reference level and heads")) return ExitInputError;
            m.x[at] = xyz[0];
            m.y[at] = xyz[1];
            m.val(i, 0) = xyz[2];
            for (int k = 1; k <= naq; ++k) m.val(i, 3 * k) = head[k - 1];
            if (naq > 0) m.nodeint[at] = aquifer[naq - 1];
        }
        {
            FreeRead r(in);
            // Read in one call (planes 1, 2, 4, 5, ...: placed afterwards).
            float pairs[2 * MaxAquifers];
            r.r(pairs, 2 * naq);
            if (!node_record_ok(in, r.end(), i, "resistances and transmissivities")) return ExitInputError;
            for (int k = 1; k <= naq; ++k) {
                m.val(i, 3 * k - 2) = pairs[2 * k - 2];
                m.val(i, 3 * k - 1) = pairs[2 * k - 1];
            }
        }
        auto& ring = m.nb[at];
        std::int32_t n = 0;
        std::string_view last;   // the record's last line
        {
            FreeRead r(in);
            r.i(n);
            if (r.status() == RecStatus::Ok) {
                if (n < 0) {
                    app_file_error(in, node_text(i) + "negative number of neighbours " + std::to_string(n));
                    return ExitInputError;
                }
                if (n > MaxNeighbours) {
                    app_file_error(in, node_text(i) + "too many neighbours nodes max 25");
                    return ExitInputError;
                }
                r.i(ring.data(), n);
            }
            if (!node_record_ok(in, r.end(), i, "neighbour list")) return ExitInputError;
            last = r.line();
        }
        // The extra value: a field beyond the count and the entries on the
        // record's last line. The whole line counts: a line cut to 80
        // characters would hide the value behind seven or more 10-character
        // entries.
        const int f = nveld(last);
        if (f > n + 1) {
            float v = 0;
            if (!datstr(f, last, v) || !(std::fabs(v) < 2147483648.0f)) {
                app_file_error(in, node_text(i) + "extra value of the neighbour list is not an integer");
                return ExitInputError;
            }
            m.nodeextra[at] = static_cast<std::int32_t>(v);
        }
        // Ring entries name nodes; one outside the model would send the
        // triangle building out of the node arrays.
        for (int e = 2; e <= n; ++e) {
            const std::int32_t v = ring[static_cast<std::size_t>(e - 1)];
            if (v < 1 || v > m.nnode) {
                app_file_error(in, node_text(i) + "neighbour " + std::to_string(v) + " (entry " + std::to_string(e) +
                                       ") outside 1.." + std::to_string(m.nnode));
                return ExitInputError;
            }
        }
        if (n >= 2) ring[static_cast<std::size_t>(n)] = ring[1];
        m.nnb[at] = m.nodecode[at] == 1 ? -n : n;
    }
    return 0;
}

int read_body(TextIn& in, FemModel& m) {
    std::string_view line;
    for (auto& t : m.title) {
        if (!in.next_line(line)) {
            app_read_error(in, RecStatus::End, "title line");
            return ExitInputError;
        }
        t = txt_fixed(line.substr(0, std::min<std::size_t>(line.size(), TextLength)), TextLength);
    }
    if (!record_ok(in, FreeRead(in).i(m.nnode).i(m.nelemhdr).i(m.naq).i(m.nwell).end(),
                   "the counts nnode, nelem, naq, nwell"))
        return ExitInputError;
    const long counts_line = in.line_number();
    if (!record_ok(in, FreeRead(in).r(m.xmax).r(m.xmin).end(), "xmax, xmin")) return ExitInputError;
    if (!record_ok(in, FreeRead(in).r(m.ymax).r(m.ymin).end(), "ymax, ymin")) return ExitInputError;
    if (!record_ok(in, FreeRead(in).i(m.ihdr1).i(m.ihdr2).end(), "two integers")) return ExitInputError;

    set_mesh_units(m);

    const struct {
        bool over;
        const char* message;
        int code;
    } limits[] = {
        {m.nwell > MaxWells, "maximum 765000 wells", ExitMaxWells},
        {m.naq > MaxAquifers, "maximum 17 aquifers", ExitMaxAquifers},
        {m.nnode > MaxNodes, "maximum nodes 45000", ExitMaxNodes},
        {m.nelemhdr > MaxElements, "maximum elements 90000", ExitMaxElements},
        {m.nnode < 0 || m.naq < 0 || m.nwell < 0, "negative count of nodes, aquifers or wells", ExitInputError},
    };
    for (const auto& l : limits)
        if (l.over) {
            app_file_error(in.name(), counts_line, l.message);
            return l.code;
        }

    if (const int st = read_nodes(in, m)) return st;

    const auto nw = static_cast<std::size_t>(m.nwell);
    m.wellint1.assign(nw, 0);
    m.wellint2.assign(nw, 0);
    m.wellval.assign(nw, 0.0f);
    for (std::size_t w = 0; w < nw; ++w)
        if (!record_ok(in, FreeRead(in).i(m.wellint1[w]).i(m.wellint2[w]).r(m.wellval[w]).end(),
                       "well " + std::to_string(w + 1)))
            return ExitInputError;

    m.labels.clear();
    while (in.next_line(line)) {
        if (static_cast<int>(m.labels.size()) >= MaxLabels) {
            app_file_error(in, "more than 1000 label lines");
            return ExitInputError;
        }
        m.labels.push_back(txt_fixed(line.substr(0, std::min<std::size_t>(line.size(), TextLength)), TextLength));
    }

    if (const int node = build_triangles(m, draw_mesh_triangle)) {
        app_file_error(in.name(), 0, node_text(node) + "maximum elements 90000");
        return ExitMaxElements;
    }
    return 0;
}

// The start of a file, cut after its last whole line; false when it cannot
// be read.
bool read_head(const std::string& name, std::size_t bytes, std::string& head) {
    std::ifstream f(name_to_utf8(name), std::ios::binary);
    if (!f) return false;
    head.resize(bytes);
    f.read(head.data(), static_cast<std::streamsize>(bytes));
    head.resize(static_cast<std::size_t>(f.gcount()));
    const std::size_t nl = head.rfind('\n');
    head.resize(nl == std::string::npos ? 0 : nl + 1);
    return true;
}

// Records 1 to 5, read without reports; false when they are not all there.
bool header_counts(TextIn& in, FemModel& h) {
    std::string_view line;
    for (int t = 0; t < TitleLines; ++t)
        if (!in.next_line(line)) return false;
    return FreeRead(in).i(h.nnode).i(h.nelemhdr).i(h.naq).i(h.nwell).end() == RecStatus::Ok &&
           FreeRead(in).r(h.xmax).r(h.xmin).end() == RecStatus::Ok &&
           FreeRead(in).r(h.ymax).r(h.ymin).end() == RecStatus::Ok &&
           FreeRead(in).i(h.ihdr1).i(h.ihdr2).end() == RecStatus::Ok;
}

// Where the header of a large file, read by itself, already names counts
// beyond the limits, the refusal of the full read is made from the header
// alone (records 1 to 5 read from it give the same values), without
// reading the file whole: 0 when the full read has to decide.
int refusal_by_header(const std::string& name, std::uintmax_t size, FemModel& m) {
    constexpr std::size_t HeadBytes = 64 * 1024;
    std::string head;
    if (size <= HeadBytes || !read_head(name, HeadBytes, head)) return 0;
    TextIn in;
    in.open_text(std::move(head), name);
    FemModel h;
    if (!header_counts(in, h)) return 0;
    if (h.nwell <= MaxWells && h.naq <= MaxAquifers && h.nnode <= MaxNodes && h.nelemhdr <= MaxElements) return 0;
    in.rewind();
    return read_body(in, m);
}

}  // namespace

int read_fem_model(std::string_view filename, FemModel& m) {
    m = FemModel{};
    const std::string name = txt_c(filename);
    const std::filesystem::path path = name_to_utf8(name);
    std::error_code ec;
    if (name.empty() || !std::filesystem::exists(path, ec)) return FemMissing;
    // A device or a FIFO would be read until memory runs out.
    if (!std::filesystem::is_regular_file(path, ec)) {
        app_input_error("cannot read file " + name + ": not a regular file");
        return ExitInputError;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > MaxModelFileBytes) {
        app_input_error("cannot read file " + name + ": larger than a model file can be (" +
                        std::to_string(MaxModelFileBytes >> 20) + " MB)");
        return ExitInputError;
    }
    if (!ec)
        if (const int st = refusal_by_header(name, size, m)) return st;
    TextIn in;
    if (!in.open(name, MaxModelFileBytes)) {
        app_io_error("cannot read", in);
        return ExitInputError;
    }
    const int st = read_body(in, m);
    return st == 0 ? FemLoaded : st;
}

void commit_fem_model(const FemModel& m) {
    ++mesh_generation;
    clear_river_results();
    for (int t = 1; t <= TitleLines; ++t) text.title(t) = m.title[static_cast<std::size_t>(t - 1)];
    dat4.nnode = m.nnode;
    dat4.nelemhdr = m.nelemhdr;
    dat4.naq = m.naq;
    dat4.nwell = m.nwell;
    dat1.ihdr1 = m.ihdr1;
    dat1.ihdr2 = m.ihdr2;
    for (int i = 1; i <= m.nnode; ++i) {
        const std::size_t at = static_cast<std::size_t>(i - 1);
        dat1.nodecode(i) = m.nodecode[at];
        // Without aquifers the record holds no such integer.
        if (m.naq > 0) dat1.nodeint(i) = m.nodeint[at];
        dat1.nodeextra(i) = m.nodeextra[at];
        dat4.xnode(i) = m.x[at];
        dat4.ynode(i) = m.y[at];
        const int n = std::abs(m.nnb[at]);
        const int stored = n >= 2 ? n + 1 : n;
        for (int e = 1; e <= stored; ++e) dat6.nb(i, e) = m.nb[at][static_cast<std::size_t>(e - 1)];
        dat6.nnb(i) = m.nnb[at];
    }
    // The scratch model holds each node's planes together, the block each
    // plane's nodes: copied in runs of nodes whose planes stay in the cache.
    constexpr int Run = 64;
    for (int first = 1; first <= m.nnode; first += Run) {
        const int last = std::min(first + Run - 1, m.nnode);
        for (int p = 0; p < m.planes(); ++p)
            for (int i = first; i <= last; ++i) dat7.value(i, p) = m.val(i, p);
    }
    for (int w = 1; w <= m.nwell; ++w) {
        const std::size_t at = static_cast<std::size_t>(w - 1);
        dat2.wellint1(w) = m.wellint1[at];
        dat2.wellint2(w) = m.wellint2[at];
        dat2.wellval(w) = m.wellval[at];
    }
    dat4.nlabel = static_cast<std::int32_t>(m.labels.size());
    for (int k = 1; k <= dat4.nlabel; ++k) label.labline(k) = m.labels[static_cast<std::size_t>(k - 1)];
    dat4.nelem = static_cast<std::int32_t>(m.elnode.size());
    for (int e = 1; e <= dat4.nelem; ++e)
        for (int k = 1; k <= 3; ++k)
            dat4.elnode(e, k) = m.elnode[static_cast<std::size_t>(e - 1)][static_cast<std::size_t>(k - 1)];
    dat11.ext(1) = m.xmin;
    dat11.ext(2) = m.ymin;
    dat11.ext(3) = m.xmax;
    dat11.ext(4) = m.ymax;
    dat11.extr(1) = m.xmax;
    dat11.extr(2) = m.ymax;
    dat11.extr(3) = m.xmin;
    dat11.extr(4) = m.ymin;
    dat9.vxmin = m.xmin;
    dat9.vymin = m.ymin;
    dat9.vxmax = m.xmax;
    dat9.vymax = m.ymax;
}

int leesfem(std::string_view filename) {
    windowcleararea(0, 0, WindowUnits, WindowUnits);
    logo();
    // The scratch model is large (tens of megabytes for a full model); it
    // lives only while a load runs.
    auto m = std::make_unique<FemModel>();
    const int st = read_fem_model(filename, *m);
    if (st == FemLoaded) commit_fem_model(*m);
    return st;
}
