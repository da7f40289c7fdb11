#pragma once
// Image files: the PNG and zlib helpers, the BMP, PCX and PNG writers of the
// raster page, the image-file hardcopy driver, reading image files into
// packed-colour arrays, identifying graphics files, and drawing image files
// and clipboard bitmaps on device contexts.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// ---------------------------------------------------------------- PNG and zlib helpers

// CRC-32 of PNG chunks over the first LEN bytes of DATA (0 for LEN <= 0).
std::uint32_t yypngcrc2(const std::uint8_t* data, std::int64_t len);
// Library form: CRC of the first LEN bytes of DATA (never past its end).
void yypngcrc(std::int32_t len, std::int32_t& crc, std::string_view data);
// Undoes the row filters of NROWS rows of STRIDE bytes in place; only whole
// rows inside DATA are touched; a BPP below 1 counts as 1. Returns NROWS.
std::int32_t yypngfilter2(std::span<std::uint8_t> data, std::int32_t stride, std::int32_t nrows, std::int32_t bpp);
void yypngfilter(std::int32_t stride, std::int32_t nrows, std::int32_t bpp, std::string& data);
// Big-endian 32-bit integer of four bytes, and back.
std::int32_t yypngc2i(const std::uint8_t* bytes);
void yypngc2i(std::string_view text, std::int32_t& value);
void yypngword(std::int32_t value, std::uint8_t* out);
void yypngwrd(std::int32_t value, std::string& text);
// 1 when the four bytes are NAME's four characters.
std::int32_t yypngcmp(const std::uint8_t* bytes, std::string_view name);
// Little-endian: 4 bytes for N = 4, else an unsigned 16-bit value. Bytes
// TEXT does not hold count as 0.
void yych2int(std::string_view text, std::int32_t n, std::int32_t& value);
// zlib compress (default level) and uncompress; DESTLEN in: room, out: made.
void yyzcompr(const std::uint8_t* source, std::uint8_t* dest, std::int64_t sourcelen, std::int64_t& destlen,
              std::int32_t& rc);
void yyzuncom(const std::uint8_t* source, std::uint8_t* dest, std::int64_t sourcelen, std::int64_t& destlen,
              std::int32_t& rc);
// Public compression routines. A SOURCELEN beyond SOURCE fails as a zlib
// stream error; the room never exceeds DEST. On failure: the zlib code in
// the OS status word, error 1044, DESTLEN 0.
void WCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest, std::int32_t sourcelen,
               std::int32_t& destlen);
void WCompress(std::string_view source, std::string& dest, std::int32_t sourcelen, std::int32_t& destlen);
void WUnCompress(std::span<const std::uint8_t> source, std::span<std::uint8_t> dest, std::int32_t sourcelen,
                 std::int32_t& destlen);
void WUnCompress(std::string_view source, std::string& dest, std::int32_t sourcelen, std::int32_t& destlen);

// ---------------------------------------------------------------- page writers

// The page in IRBUFF to the open driver channel; HardcopyErrorFlag on a
// failed write.
void yybmp1();
// Writes the file-size and image-size fields of the run-length BMP NAME.
void yybmp2(std::string_view name);
void yypcx1();
// One plane line: bytes 0..LAST of the line at word ROW_START, PLANE.
void yypcx2(std::int64_t row_start, std::int32_t plane, std::int32_t last);
void yypng1();

// Hardcopy driver 6.
void xximag(std::int32_t op);

// ---------------------------------------------------------------- reading

// Palette of the last palette file read (entries it did not give keep
// theirs).
extern std::array<std::int32_t, 256> ImagePalette;
// Reads FILENAME's pixels into IRGB, top row first, one PackedRGB each.
// Errors through the last error: 27 not a readable image, 1023 IRGB too
// small, 2 read or format failures, 1044 PNG data that does not inflate.
void IGrLoadImageData(std::string_view filename, std::span<std::int32_t> irgb);
// Room for the compressed data of S bytes of PNG rows: IDAT data beyond it
// is refused.
std::int64_t png_data_bound(std::int64_t s);

// ---------------------------------------------------------------- identification

// FileTypeCode: -1 no readable file, 0 not recognised, 1..16 the kinds.
enum FileTypeCode : std::int32_t {
    FileNone = -1,
    FileUnknown = 0,
    FileBmp = 1,
    FilePcx = 2,
    FileMetafile = 3,
    FileHpgl = 4,
    FileHpgl2 = 5,
    FileCgm = 6,
    FileLotusPic = 7,
    FileDraw = 8,
    FileTektronix = 9,
    FilePostScript = 10,
    FilePcl = 11,
    FileEpsonAt = 12,
    FileEpsonU = 13,
    FileDxf = 14,
    FilePng = 15,
    FileSvg = 16,
};

// INFO(1..N) of NAME: type, width, height, colours, a type item, bits (at
// most 6 items, never past INFO).
void igrfileinfo(std::string_view name, std::span<std::int32_t> info, std::int32_t n);
void yycntpic(std::string_view name, std::int32_t& count);
void yycnthpg(std::string_view name, std::int32_t& count);
void yyinfocgm(std::string_view name, std::int32_t& pictures, float& aspect);
// Readers of yyinfocgm's element buffer; POSITION counts from 1; outside
// the buffer the bytes count as 0.
std::int32_t yyrepcgmint(std::int32_t position, std::int32_t precision);
float yyrepcgmreal(std::int32_t position);

// One entry of the table of image formats identification walks: the
// format's head test and, for the raster formats, its reader into packed
// colours and its writer of the raster page.
struct ImageFormat {
    FileTypeCode code;
    bool (*identify)(const std::array<std::uint8_t, 128>& head);
    // Reads an open file of this format (width, height from identification).
    void (*read)(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb);
    void (*write)();
};
std::span<const ImageFormat> image_formats();
// The readers of the table.
void read_bmp_file(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb);
void read_pcx_file(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb);
void read_png_file(std::int32_t handle, std::int64_t width, std::int64_t height, std::span<std::int32_t> irgb);

// ---------------------------------------------------------------- device contexts

// Source codes: 0 clipboard, 1 BMP, 2 PCX, 15 PNG (others do nothing).
// Targets: 0 graphics window, 10 printer, 11 metafile.
void yyloadimage(std::int32_t source, std::int32_t target, std::int32_t x1, std::int32_t y1, std::int32_t x2,
                 std::int32_t y2, std::int32_t stretch, std::int32_t& err, std::int32_t& oserr, std::string_view path);
void yysaveimage(std::int32_t source, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                 std::int32_t& err, std::int32_t& oserr, std::string_view path);
// The BMP file named by the module's path into the DIB block: 0, or 1 (cannot
// open), 2 (read failure or no memory), 27 (not a BMP taken here).
std::int32_t yyreaddib();
// Bytes of the colour table after a bitmap header.
std::int32_t yypalettesize(std::span<const std::uint8_t> header);
// One PCX run from / to an open file; 2 on a failed read or short write.
std::int32_t yyencget(std::uint8_t& value, std::uint8_t& count, std::int32_t handle);
std::int32_t yyencput(std::uint8_t value, std::int32_t count, std::int32_t handle);
