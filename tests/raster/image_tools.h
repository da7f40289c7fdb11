#pragma once
// What the image-file tests share: external readers run through the shell,
// pictures as rows of packed colours, and small file builders.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"

inline std::string run_command(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* p = popen((command + " 2>&1").c_str(), "r");
    if (!p) return out;
    char buf[4096];
    std::size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int rc = pclose(p);
    if (status) *status = rc;
    return out;
}

inline bool have_program(const std::string& name) {
    int rc = 0;
    run_command("command -v " + name + " >/dev/null", &rc);
    return rc == 0;
}

inline std::string quote(const std::string& s) { return "'" + s + "'"; }

// The pixels ImageMagick reads from FILE, top row first, as PackedRGB.
inline std::vector<std::int32_t> magick_pixels(const std::string& file) {
    const std::string raw = run_command("convert " + quote(file) + " -depth 8 rgb:-");
    std::vector<std::int32_t> px(raw.size() / 3);
    for (std::size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<unsigned char>(raw[3 * i]) | static_cast<unsigned char>(raw[3 * i + 1]) << 8 |
                static_cast<unsigned char>(raw[3 * i + 2]) << 16;
    return px;
}

// Our reader's pixels of FILE (W x H), with the error it left.
inline std::vector<std::int32_t> our_pixels(const std::string& file, int w, int h, int* error = nullptr,
                                            std::int32_t fill = 0) {
    std::vector<std::int32_t> px(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill);
    infoerror(1);
    IGrLoadImageData(file, px);
    const int e = infoerror(1);
    if (error) *error = e;
    return px;
}

inline void put_le(std::string& s, std::size_t at, std::uint32_t v, int bytes) {
    if (s.size() < at + static_cast<std::size_t>(bytes)) s.resize(at + static_cast<std::size_t>(bytes), '\0');
    for (int i = 0; i < bytes; ++i) s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

inline std::string bytes_of(std::initializer_list<int> b) {
    std::string s;
    for (int v : b) s += static_cast<char>(v);
    return s;
}
