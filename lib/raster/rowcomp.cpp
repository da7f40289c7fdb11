// Row compressions of the raster printer dump: PCL run-length pairs and
// PackBits, ESC/P2 PackBits kept only when it pays, and the column counts of
// Epson bands.
#include <algorithm>
#include <string>
#include <vector>

#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/raster/rastprint.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::span<unsigned char> work_block() { return {quin01.bytes(), WorkBlock::byte_size()}; }

// Mode 1: pairs (k, b) for k + 1 copies of b.
void run_length_pairs(std::span<const unsigned char> row, Bytes& out) {
    const std::size_t n = row.size();
    if (n == 0) return;
    unsigned k = 0;
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (row[i] == row[i + 1] && k != 255) {
            ++k;
        } else {
            out.push_back(static_cast<unsigned char>(k));
            out.push_back(row[i]);
            k = 0;
        }
    }
    out.push_back(static_cast<unsigned char>(k));
    out.push_back(row[n - 1]);
}

// Mode 2: PackBits whose literals are broken only by three equal bytes.
// Positions are 1-based as in the rules the printers follow; b(i) is byte i.
void packbits_pcl(std::span<const unsigned char> row, Bytes& out) {
    const std::int64_t n = static_cast<std::int64_t>(row.size());
    auto b = [&](std::int64_t i) { return row[static_cast<std::size_t>(i - 1)]; };
    std::int64_t i = 1;
    while (i <= n) {
        const unsigned char v = b(i);
        const std::int64_t limit = i + 127;
        std::int64_t j = i + 1;
        while (j <= n && j <= limit && b(j) == v) ++j;
        if (!(j == i + 1 && j <= n)) {
            const std::int64_t run = j - i;
            out.push_back(static_cast<unsigned char>((257 - run) % 256));
            out.push_back(v);
            i = j;
            continue;
        }
        // A literal: up to a pair that starts three equal bytes, the end of
        // the row or 128 bytes.
        bool passed_limit = false;
        for (;;) {
            if (j > n) break;
            if (j > limit) {
                passed_limit = true;
                break;
            }
            if (b(j) == b(j - 1) && (j == n || j == limit || (j + 1 <= n && b(j + 1) == b(j)))) break;
            ++j;
        }
        // Reaching the end of the row takes the rest into the literal; a
        // literal cut by its length just before the last byte leaves that
        // byte to a segment of its own.
        if (j > n || (j == n && !passed_limit)) j = n + 2;
        out.push_back(static_cast<unsigned char>(j - i - 2));
        for (std::int64_t p = i; p <= j - 2; ++p) out.push_back(b(p));
        i = j - 1;
    }
}

// Standard PackBits.
void packbits(std::span<const unsigned char> row, Bytes& out) {
    const std::size_t n = row.size();
    std::size_t i = 0;
    while (i < n) {
        const bool run = i + 1 < n && row[i] == row[i + 1];
        std::size_t j = i + 1;
        if (run) {
            while (j < n && row[j] == row[i]) ++j;
        } else {
            while (j < n && !(j + 1 < n && row[j] == row[j + 1])) ++j;
        }
        std::size_t left = j - i;
        std::size_t at = i;
        while (left > 0) {
            const std::size_t m = left == 129 ? 127 : std::min<std::size_t>(left, 128);
            if (run) {
                out.push_back(static_cast<unsigned char>(257 - m));
                out.push_back(row[i]);
            } else {
                out.push_back(static_cast<unsigned char>(m - 1));
                out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(at),
                           row.begin() + static_cast<std::ptrdiff_t>(at + m));
            }
            at += m;
            left -= m;
        }
        i = j;
    }
}

std::size_t clamp_count(std::int32_t count, std::size_t size) {
    return std::min<std::size_t>(static_cast<std::size_t>(std::max(count, 0)), size);
}

}  // namespace

void yycmpr(std::int32_t& count, std::int32_t header, std::span<unsigned char> row) {
    const std::size_t n = clamp_count(count, row.size());
    Bytes out;
    out.reserve(2 * n);
    const std::span<const unsigned char> in = row.first(n);
    if (printer_codes.CompressionMode == 1)
        run_length_pairs(in, out);
    else
        packbits_pcl(in, out);
    // The caller sizes the row for the worst case; a row too small for it
    // keeps what fits rather than writing past its end.
    const std::size_t kept = std::min(out.size(), row.size());
    std::copy_n(out.begin(), kept, row.begin());
    count = static_cast<std::int32_t>(kept);
    const std::size_t h = static_cast<std::size_t>(std::clamp(header, 0, 2));
    std::string& head = printer_codes.RowHeader[h];
    const char letter = head.empty() ? (h == 0 ? 'W' : 'V') : head.back();
    // The count without leading blanks or zeros, in as many digits as it has.
    head = "\x1b*b" + std::to_string(count) + letter;
}

void yycmpr(std::int32_t& count, std::int32_t header) { yycmpr(count, header, work_block()); }

void yycmprp2(std::int32_t& count, std::span<unsigned char> work, std::int32_t mode,
              std::span<unsigned char> row) {
    const std::size_t n = clamp_count(count, row.size());
    Bytes out;
    if (mode != 0) {
        out.reserve(n + n / 128 + 1);
        packbits(row.first(n), out);
    }
    std::string& head = printer_codes.RowHeader[0];
    if (head.size() < 12) head.resize(12, '\0');
    if (mode != 0 && out.size() < n && out.size() <= work.size()) {
        std::copy(out.begin(), out.end(), work.begin());
        std::copy(out.begin(), out.end(), row.begin());
        count = static_cast<std::int32_t>(out.size());
        head[6] = 1;
    } else {
        count = static_cast<std::int32_t>(n);
        head[6] = 0;
    }
}

void yycmprp2(std::int32_t& count, std::span<unsigned char> work, std::int32_t mode) {
    yycmprp2(count, work, mode, work_block());
}

void yybitimg(std::int32_t& count) {
    const DeviceModels& m = hcstate.models;
    std::string& head = printer_codes.RowHeader[0];
    count = std::max(count, 0);
    std::int32_t field = 0;
    std::size_t at = 0;
    if (m.PrinterFamily == 4) {
        // The mode byte that ends the header is counted.
        field = count + 1;
        at = 3;
    } else {
        if (m.DotsPerPass == 24) count = (count + 2) / 3 * 3;
        field = m.DotsPerPass == 24 ? count / 3 : count;
        at = head.size() >= 2 ? head.size() - 2 : 0;
    }
    if (head.size() < at + 2) head.resize(at + 2, '\0');
    field = std::min(field, 65535);
    head[at] = static_cast<char>(field & 0xFF);
    head[at + 1] = static_cast<char>((field >> 8) & 0xFF);
}
