#pragma once
// The largest model the data blocks hold, built in memory as the model
// reader would leave it: a 212 x 212 lattice (44,944 nodes, 89,042
// triangles) with 17 aquifers and the first `active` quantities active.
#include <algorithm>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "app/appdata.h"

namespace bench_model {

// The neighbour lists (`nb`, `nnb`) as the model reader leaves them, from
// the elements: entry 1 unused, the neighbours from entry 2 on (in the
// order found), the closing copy of entry 2, and the count negated for a
// node on an edge that only one element has.
inline void derive_neighbours() {
    const int nnode = dat4.nnode;
    std::vector<std::vector<int>> nbs(static_cast<std::size_t>(nnode) + 1);
    std::map<std::pair<int, int>, int> edges;
    for (int e = 1; e <= dat4.nelem; ++e)
        for (int q = 0; q < 3; ++q) {
            const int a = dat4.elnode(e, q + 1), b = dat4.elnode(e, (q + 1) % 3 + 1);
            for (auto [u, v] : {std::pair{a, b}, std::pair{b, a}}) {
                auto& l = nbs[static_cast<std::size_t>(u)];
                if (std::find(l.begin(), l.end(), v) == l.end()) l.push_back(v);
            }
            ++edges[{std::min(a, b), std::max(a, b)}];
        }
    std::vector<char> boundary(static_cast<std::size_t>(nnode) + 1, 0);
    for (const auto& [edge, count] : edges)
        if (count == 1) boundary[static_cast<std::size_t>(edge.first)] = boundary[static_cast<std::size_t>(edge.second)] = 1;
    for (int i = 1; i <= nnode; ++i) {
        const auto& l = nbs[static_cast<std::size_t>(i)];
        const int n = static_cast<int>(l.size()) + 1;
        dat6.nb(i, 1) = 0;
        for (int k = 0; k < static_cast<int>(l.size()); ++k) dat6.nb(i, k + 2) = l[static_cast<std::size_t>(k)];
        if (!l.empty()) dat6.nb(i, n + 1) = l[0];
        dat6.nnb(i) = boundary[static_cast<std::size_t>(i)] ? -n : n;
    }
}

inline constexpr int Side = 212;
inline constexpr float Spacing = 10.0f;

inline void build_model(int active) {
    reset_app_data();
    std::uint32_t s = 12345;
    auto jitter = [&s] {
        s = s * 1664525u + 1013904223u;
        return (static_cast<float>(s >> 8) / static_cast<float>(1u << 24) - 0.5f) * 0.3f * Spacing;
    };
    dat4.nnode = Side * Side;
    dat4.naq = MaxAquifers;
    for (int j = 0; j < Side; ++j) {
        for (int i = 0; i < Side; ++i) {
            const int n = j * Side + i + 1;
            const bool edge = i == 0 || j == 0 || i == Side - 1 || j == Side - 1;
            const float x = static_cast<float>(i) * Spacing + (edge ? 0.0f : jitter());
            const float y = static_cast<float>(j) * Spacing + (edge ? 0.0f : jitter());
            dat4.xnode(n) = x;
            dat4.ynode(n) = y;
            for (int k = 0; k < NumGridOptions; ++k)
                dat7.value(n, k) = static_cast<float>(k + 1) * (1.0f + 0.001f * x - 0.002f * y);
        }
    }
    int e = 0;
    for (int j = 0; j + 1 < Side; ++j) {
        for (int i = 0; i + 1 < Side; ++i) {
            const int n00 = j * Side + i + 1, n10 = n00 + 1, n01 = n00 + Side, n11 = n01 + 1;
            const int tris[2][3] = {{n00, n10, n11}, {n00, n11, n01}};
            for (const auto& t : tris) {
                ++e;
                for (int q = 0; q < 3; ++q) dat4.elnode(e, q + 1) = t[q];
            }
        }
    }
    dat4.nelem = e;
    dat4.nelemhdr = e;
    derive_neighbours();
    for (int k = 0; k < active; ++k) dat5.opton(k) = 'j';
}

}  // namespace bench_model
