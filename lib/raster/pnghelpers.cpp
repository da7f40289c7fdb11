// The small routines the PNG writer, the image readers and identification
// share: chunk CRC, row filters, byte order, chunk names, and compression
// over zlib.
#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"

namespace {

const std::array<std::uint32_t, 256>& crc_table() {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t k = 0; k < 256; ++k) {
            std::uint32_t c = k;
            for (int i = 0; i < 8; ++i) c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[k] = c;
        }
        return t;
    }();
    return table;
}

const std::uint8_t* bytes(std::string_view s) { return reinterpret_cast<const std::uint8_t*>(s.data()); }

std::uint8_t paeth(int a, int b, int c) {
    const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
    if (pa <= pb && pa <= pc) return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// The zlib code of a failure, or 0, with the routine's report.
void zlib_result(std::int32_t rc, std::int32_t& destlen, std::int64_t made, std::string_view routine) {
    if (rc == Z_OK) {
        destlen = static_cast<std::int32_t>(made);
        return;
    }
    quinda.os_status = rc;
    yyerror(1044, routine);
    destlen = 0;
}

void run_zlib(bool compressing, std::span<const std::uint8_t> source, std::span<std::uint8_t> dest,
              std::int32_t sourcelen, std::int32_t& destlen, std::string_view routine) {
    // A length beyond the caller's buffer would read past it: refuse it as
    // zlib refuses a bad stream.
    if (sourcelen < 0 || static_cast<std::size_t>(sourcelen) > source.size() || destlen < 0)
        return zlib_result(Z_STREAM_ERROR, destlen, 0, routine);
    std::int64_t room = std::min<std::int64_t>(destlen, static_cast<std::int64_t>(dest.size()));
    std::int32_t rc = 0;
    // zlib wants a non-null output pointer even for no room.
    std::uint8_t spare = 0;
    std::uint8_t* out = dest.empty() ? &spare : dest.data();
    if (compressing)
        yyzcompr(source.data(), out, sourcelen, room, rc);
    else
        yyzuncom(source.data(), out, sourcelen, room, rc);
    zlib_result(rc, destlen, room, routine);
}

std::span<std::uint8_t> span_of(std::string& s) { return {reinterpret_cast<std::uint8_t*>(s.data()), s.size()}; }
std::span<const std::uint8_t> span_of(std::string_view s) { return {bytes(s), s.size()}; }

}  // namespace

std::uint32_t yypngcrc2(const std::uint8_t* data, std::int64_t len) {
    if (len <= 0 || !data) return 0;
    const auto& t = crc_table();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::int64_t i = 0; i < len; ++i) c = t[(c ^ data[i]) & 0xFFu] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void yypngcrc(std::int32_t len, std::int32_t& crc, std::string_view data) {
    const std::int64_t n = std::min<std::int64_t>(len, static_cast<std::int64_t>(data.size()));
    crc = static_cast<std::int32_t>(yypngcrc2(bytes(data), n));
}

std::int32_t yypngfilter2(std::span<std::uint8_t> data, std::int32_t stride, std::int32_t nrows, std::int32_t bpp) {
    if (stride < 1 || nrows < 1) return nrows;
    const std::int64_t b = std::max(bpp, 1);
    // Only rows that lie whole inside the buffer.
    const std::int64_t rows = std::min<std::int64_t>(nrows, static_cast<std::int64_t>(data.size()) / stride);
    for (std::int64_t i = 0; i < rows; ++i) {
        std::uint8_t* row = data.data() + i * stride;
        const std::uint8_t* above = i > 0 ? row - stride : nullptr;
        const std::uint8_t t = row[0];
        for (std::int64_t j = 1; j < stride; ++j) {
            const int left = j - b >= 1 ? row[j - b] : 0;
            const int up = above ? above[j] : 0;
            const int upleft = above && j - b >= 1 ? above[j - b] : 0;
            int add = 0;
            switch (t) {
                case 1: add = left; break;
                case 2: add = up; break;
                case 3: add = (left + up) / 2; break;
                case 4: add = paeth(left, up, upleft); break;
                default: break;
            }
            row[j] = static_cast<std::uint8_t>(row[j] + add);
        }
    }
    return nrows;
}

void yypngfilter(std::int32_t stride, std::int32_t nrows, std::int32_t bpp, std::string& data) {
    yypngfilter2(span_of(data), stride, nrows, bpp);
}

std::int32_t yypngc2i(const std::uint8_t* b) {
    const std::uint32_t v = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
    return static_cast<std::int32_t>(v);
}

void yypngc2i(std::string_view text, std::int32_t& value) {
    std::array<std::uint8_t, 4> b{};
    for (std::size_t i = 0; i < 4 && i < text.size(); ++i) b[i] = static_cast<std::uint8_t>(text[i]);
    value = yypngc2i(b.data());
}

void yypngword(std::int32_t value, std::uint8_t* out) {
    const auto v = static_cast<std::uint32_t>(value);
    out[0] = static_cast<std::uint8_t>(v >> 24);
    out[1] = static_cast<std::uint8_t>(v >> 16);
    out[2] = static_cast<std::uint8_t>(v >> 8);
    out[3] = static_cast<std::uint8_t>(v);
}

void yypngwrd(std::int32_t value, std::string& text) {
    std::array<std::uint8_t, 4> b{};
    yypngword(value, b.data());
    if (text.size() < 4) text.resize(4, ' ');
    for (std::size_t i = 0; i < 4; ++i) text[i] = static_cast<char>(b[i]);
}

std::int32_t yypngcmp(const std::uint8_t* b, std::string_view name) {
    if (name.size() < 4) return 0;
    for (std::size_t i = 0; i < 4; ++i)
        if (b[i] != static_cast<std::uint8_t>(name[i])) return 0;
    return 1;
}

void yych2int(std::string_view text, std::int32_t n, std::int32_t& value) {
    auto c = [&](std::size_t i) -> std::uint32_t { return i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0u; };
    if (n == 4)
        value = static_cast<std::int32_t>(c(0) | (c(1) << 8) | (c(2) << 16) | (c(3) << 24));
    else
        value = static_cast<std::int32_t>(c(0) | (c(1) << 8));
}

void yyzcompr(const std::uint8_t* source, std::uint8_t* dest, std::int64_t sourcelen, std::int64_t& destlen,
              std::int32_t& rc) {
    uLongf out = static_cast<uLongf>(std::max<std::int64_t>(destlen, 0));
    rc = compress(dest, &out, source, static_cast<uLong>(std::max<std::int64_t>(sourcelen, 0)));
    destlen = static_cast<std::int64_t>(out);
}

void yyzuncom(const std::uint8_t* source, std::uint8_t* dest, std::int64_t sourcelen, std::int64_t& destlen,
              std::int32_t& rc) {
    uLongf out = static_cast<uLongf>(std::max<std::int64_t>(destlen, 0));
    rc = uncompress(dest, &out, source, static_cast<uLong>(std::max<std::int64_t>(sourcelen, 0)));
    destlen = static_cast<std::int64_t>(out);
}

void WCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest, std::int32_t sourcelen,
               std::int32_t& destlen) {
    run_zlib(true, source, dest, sourcelen, destlen, "WCompress");
}

void WCompress(std::string_view source, std::string& dest, std::int32_t sourcelen, std::int32_t& destlen) {
    run_zlib(true, span_of(source), span_of(dest), sourcelen, destlen, "WCompress");
}

void WUnCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest, std::int32_t sourcelen,
                 std::int32_t& destlen) {
    run_zlib(false, source, dest, sourcelen, destlen, "WUnCompress");
}

void WUnCompress(std::string_view source, std::string& dest, std::int32_t sourcelen, std::int32_t& destlen) {
    run_zlib(false, span_of(source), span_of(dest), sourcelen, destlen, "WUnCompress");
}
