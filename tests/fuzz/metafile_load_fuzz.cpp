// Metafiles reaching the library from outside: any bytes as a file loaded
// into a memory-metafile slot (under the size the file has and one short of
// it), as a file played by the metafile player in each of its types, and on
// the clipboard as an enhanced metafile and as a metafile picture, played
// from there. A file that is refused leaves the slot empty.
#include <string>

#include "lib/hardcopy/metafiles.h"
#include "lib/hardcopy/wmf.h"
#include "platform/os_metafile.h"
#include "lib/window/quinda_state.h"
#include "platform/os_gdi.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(metafile_load) {
    const std::string name = fuzz_file("m.emf", fuzz_text(data, size));
    const OsDC dc = os_create_compatible_dc(0);
    const OsObject bitmap = os_create_compatible_bitmap(dc, 64, 48);
    const OsObject old = os_select_object(dc, bitmap);
    const OsDC saved = wtab.gDC;
    wtab.gDC = dc;
    for (int n : {static_cast<int>(size), static_cast<int>(size) - 1}) {
        int status = -1, oserror = 0;
        yymetafileload(1, n, status, oserror, name);
        fuzz_check(status >= 0 && status <= 2, "a load status of 0, 1 or 2");
        fuzz_check((wtab.MetafileDC[1] != 0) == (status == 0), "a slot filled exactly when the load succeeds");
        if (status == 0) {
            yymetafileplay(1, 0, 0, 64, 48);
            yymetafileplay(1, 60, -5, -3, 4000);
            yymetafiledestroy(1);
        }
    }
    for (std::int32_t type : {0, 1, 2}) {
        std::int32_t err = -1;
        yywmfplaymetafile(type, 0, 0, 64, 48, 0, err, name);
    }
    os_clipboard_foreign_format(OS_CF_ENHMETAFILE, fuzz_text(data, size));
    std::int32_t err = -1;
    yywmfplaymetafile(2, 0, 0, 64, 48, 0, err, " ");
    os_clipboard_foreign_format(OS_CF_METAFILEPICT, fuzz_text(data, size));
    OsMetafilePict pict;
    if (os_get_clipboard_metafile_pict(pict)) {
        os_play_metafile(dc, pict.mf);
        os_delete_metafile(pict.mf);
    }
    wtab.gDC = saved;
    os_select_object(dc, old);
    os_delete_object(bitmap);
    os_delete_dc(dc);
}
