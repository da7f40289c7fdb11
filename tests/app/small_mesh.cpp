#include "tests/app/small_mesh.h"

#include <cmath>
#include <cstdint>

#include "app/appdata.h"
#include "bench/bench_model.h"
#include "lib/window/text.h"
#include "platform/os_commondlg.h"
#include "platform/os_msgbox.h"

void small_mesh(const std::vector<MeshPoint>& nodes, const std::vector<std::array<int, 3>>& elements) {
    ++mesh_generation;
    dat4.nnode = static_cast<int>(nodes.size());
    for (int i = 1; i <= dat4.nnode; ++i) {
        dat4.xnode(i) = nodes[static_cast<std::size_t>(i - 1)].x;
        dat4.ynode(i) = nodes[static_cast<std::size_t>(i - 1)].y;
    }
    dat4.nelem = static_cast<int>(elements.size());
    for (int e = 1; e <= dat4.nelem; ++e)
        for (int q = 0; q < 3; ++q) dat4.elnode(e, q + 1) = elements[static_cast<std::size_t>(e - 1)][static_cast<std::size_t>(q)];
    bench_model::derive_neighbours();
}

void lattice_mesh(int nx, int ny, float s, float jitter, int cut_i, int cut_j) {
    std::uint32_t seed = 777;
    auto rnd = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24) - 0.5f;
    };
    std::vector<MeshPoint> nodes;
    for (int j = 0; j < ny; ++j)
        for (int i = 0; i < nx; ++i) {
            const bool edge = i == 0 || j == 0 || i == nx - 1 || j == ny - 1 || i == cut_i || j == cut_j;
            nodes.push_back({static_cast<float>(i) * s + (edge ? 0 : rnd() * jitter * s),
                             static_cast<float>(j) * s + (edge ? 0 : rnd() * jitter * s)});
        }
    std::vector<std::array<int, 3>> elements;
    std::vector<char> used(nodes.size() + 1, 0);
    for (int j = 0; j + 1 < ny; ++j)
        for (int i = 0; i + 1 < nx; ++i) {
            if (i >= cut_i && j >= cut_j) continue;
            const int a = j * nx + i + 1, b = a + 1, c = a + nx, d = c + 1;
            // Alternate diagonals, so that corners get one and two triangles.
            if ((i + j) % 2 == 0)
                elements.push_back({a, b, d}), elements.push_back({a, d, c});
            else
                elements.push_back({a, b, c}), elements.push_back({b, d, c});
        }
    small_mesh(nodes, elements);
}

double element_area_sum() {
    double sum = 0;
    for (int e = 1; e <= dat4.nelem; ++e) {
        const int a = dat4.elnode(e, 1), b = dat4.elnode(e, 2), c = dat4.elnode(e, 3);
        sum += 0.5 * std::fabs((static_cast<double>(dat4.xnode(b)) - dat4.xnode(a)) * (static_cast<double>(dat4.ynode(c)) - dat4.ynode(a)) -
                               (static_cast<double>(dat4.xnode(c)) - dat4.xnode(a)) * (static_cast<double>(dat4.ynode(b)) - dat4.ynode(a)));
    }
    return sum;
}

RiverResultChoice::RiverResultChoice() {
    os_common_dialog_set_responder([](const OsCommonDialogRequest& r) {
        OsCommonDialogAnswer a;
        a.ok = true;
        a.files = {r.title.find("waterlevel") != std::string::npos ? "wl.par"
                   : r.title.find("bottom") != std::string::npos   ? "bl.par"
                                                                   : "rs.par"};
        return a;
    });
    os_message_box_set_responder([](const OsMessageBoxRequest&) { return OS_IDYES; });
}

RiverResultChoice::~RiverResultChoice() {
    os_common_dialog_set_responder({});
    os_message_box_set_responder({});
}
