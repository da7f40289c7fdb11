#pragma once
// The largest model the data blocks hold, built in memory as the model
// reader would leave it: a 212 x 212 lattice (44,944 nodes, 89,042
// triangles) with 17 aquifers and the first `active` quantities active.
#include <cstdint>

#include "app/appdata.h"

namespace bench_model {

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
    for (int k = 0; k < active; ++k) dat5.opton(k) = 'j';
}

}  // namespace bench_model
