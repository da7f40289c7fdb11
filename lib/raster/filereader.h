#pragma once
// A buffered reader over an open byte file for the image readers: exact
// reads that say when the file fell short, and skips and seeks by absolute
// position. Nothing is read past the caller's buffers.
#include <cstdint>
#include <vector>

class ImageFileReader {
public:
    explicit ImageFileReader(std::int32_t handle, std::int64_t position = 0);
    // False when the file ends (or fails) before N bytes.
    bool read(std::uint8_t* out, std::int64_t n);
    bool get(std::uint8_t& b);
    bool skip(std::int64_t n);
    bool seek(std::int64_t position);
    std::int64_t position() const { return base_ + static_cast<std::int64_t>(pos_); }

private:
    bool fill();
    std::int32_t handle_;
    std::vector<std::uint8_t> buf_;
    std::size_t pos_ = 0, end_ = 0;
    std::int64_t base_ = 0;  // file position of buf_[0]
    bool done_ = false;
};

// Size of an open file (its position is left at the start), -1 on failure.
std::int64_t image_file_size(std::int32_t handle);
