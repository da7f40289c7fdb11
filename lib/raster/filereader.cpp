#include "lib/raster/filereader.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "lib/window/bytefile.h"

namespace {
constexpr std::size_t BlockSize = 65536;
}

ImageFileReader::ImageFileReader(std::int32_t handle, std::int64_t position) : handle_(handle), buf_(BlockSize) {
    // Out of the buffer's range, so that the file itself is positioned.
    base_ = -1;
    if (!seek(position)) base_ = std::max<std::int64_t>(position, 0);
}

bool ImageFileReader::fill() {
    if (done_) return false;
    base_ += static_cast<std::int64_t>(end_);
    pos_ = end_ = 0;
    std::int32_t got = 0;
    IFileReadChar(handle_, buf_, static_cast<std::int32_t>(buf_.size()), got);
    if (got <= 0) {
        done_ = true;
        return false;
    }
    end_ = static_cast<std::size_t>(got);
    return true;
}

bool ImageFileReader::get(std::uint8_t& b) {
    if (pos_ == end_ && !fill()) return false;
    b = buf_[pos_++];
    return true;
}

bool ImageFileReader::read(std::uint8_t* out, std::int64_t n) {
    while (n > 0) {
        if (pos_ == end_ && !fill()) return false;
        const std::size_t take = static_cast<std::size_t>(std::min<std::int64_t>(n, static_cast<std::int64_t>(end_ - pos_)));
        std::memcpy(out, buf_.data() + pos_, take);
        out += take;
        pos_ += take;
        n -= static_cast<std::int64_t>(take);
    }
    return true;
}

bool ImageFileReader::skip(std::int64_t n) {
    if (n < 0) return false;
    return seek(position() + n);
}

bool ImageFileReader::seek(std::int64_t position) {
    if (position < 0) return false;
    if (position >= base_ && position <= base_ + static_cast<std::int64_t>(end_)) {
        pos_ = static_cast<std::size_t>(position - base_);
        return true;
    }
    // Byte files address positions with 32-bit words.
    if (position > INT32_MAX) {
        done_ = true;
        return false;
    }
    std::int32_t p = static_cast<std::int32_t>(position);
    IFileSeek(handle_, p, 0);
    if (p < 0) {
        done_ = true;
        return false;
    }
    base_ = position;
    pos_ = end_ = 0;
    done_ = false;
    return true;
}

std::int64_t image_file_size(std::int32_t handle) {
    std::int32_t end = 0;
    IFileSeek(handle, end, 2);
    if (end < 0) return -1;
    std::int32_t start = 0;
    IFileSeek(handle, start, 0);
    return start < 0 ? -1 : end;
}
