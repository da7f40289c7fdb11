// The metafile player on any bytes: taken as a plain and as an enhanced
// metafile, each accepted one played onto a small pixel surface, straight
// and through a mapping.
#include "platform/os_gdi.h"
#include "platform/os_metafile.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(metafile) {
    const std::vector<std::uint8_t> bytes(data, data + size);
    const OsDC dc = os_create_compatible_dc(0);
    const OsObject bitmap = os_create_compatible_bitmap(dc, 64, 48);
    const OsObject old = os_select_object(dc, bitmap);
    if (const OsMetafile mf = os_set_metafile_bits(bytes)) {
        fuzz_check(!os_metafile_enhanced(mf), "a plain metafile is plain");
        os_play_metafile(dc, mf);
        const std::int32_t level = os_save_dc(dc);
        os_set_map_mode(dc, OS_MM_ANISOTROPIC);
        os_set_viewport_ext(dc, 64, 48);
        os_play_metafile(dc, mf);
        os_restore_dc(dc, level);
        fuzz_check(os_get_metafile_bits(mf) == bytes, "the bits come back as given");
        os_delete_metafile(mf);
    }
    if (const OsMetafile mf = os_set_enh_metafile_bits(bytes)) {
        fuzz_check(os_metafile_enhanced(mf), "an enhanced metafile is enhanced");
        os_play_enh_metafile(dc, mf, {0, 0, 64, 48});
        os_play_enh_metafile(dc, mf, {-10, 60, 5000, -3});
        os_delete_metafile(mf);
    }
    os_select_object(dc, old);
    os_delete_object(bitmap);
    os_delete_dc(dc);
}
