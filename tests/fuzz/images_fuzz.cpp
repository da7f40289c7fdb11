// Picture files: identification of the sixteen kinds, the counts of pictures
// in a file, and the BMP, PCX and PNG readers into packed colours.
#include <cstdint>
#include <vector>

#include "lib/raster/imagefiles.h"
#include "lib/window/errors.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(images) {
    const std::string name = fuzz_file("picture.dat", fuzz_text(data, size));
    std::vector<std::int32_t> info(6, -7);
    igrfileinfo(name, info, 6);
    fuzz_check(info[0] >= FileNone && info[0] <= FileSvg, "a known file type");
    std::int32_t count = 0;
    yycntpic(name, count);
    yycnthpg(name, count);
    std::int32_t pictures = 0;
    float aspect = 0;
    yyinfocgm(name, pictures, aspect);
    infoerror(1);
    if (info[0] != FileBmp && info[0] != FilePcx && info[0] != FilePng) return;
    const std::int64_t w = info[1], h = info[2];
    if (w < 1 || h < 1 || w * h > (1 << 20)) return;
    // One word more than the picture, marked, so a reader writing past the
    // pixels it was given is caught.
    std::vector<std::int32_t> irgb(static_cast<std::size_t>(w * h) + 1, 0x5A5A5A5A);
    IGrLoadImageData(name, std::span<std::int32_t>(irgb.data(), irgb.size() - 1));
    fuzz_check(irgb.back() == 0x5A5A5A5A, "nothing written past the array");
    // Too small an array is refused and left as it was.
    std::vector<std::int32_t> small(static_cast<std::size_t>(w * h) - 1 + 1, 7);
    IGrLoadImageData(name, std::span<std::int32_t>(small.data(), small.size() - 1));
    infoerror(1);
    for (std::int32_t v : small) fuzz_check(v == 7, "a too-small array untouched");
}
