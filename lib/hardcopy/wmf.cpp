// The recording of the Windows metafile driver: plain, placeable and
// enhanced metafile files and the clipboard picture; and the playing of a
// metafile into one of the library's device contexts.
#include "lib/hardcopy/wmf.h"

#include <vector>

#include "lib/hardcopy/gdilayer.h"
#include "lib/hardcopy/hcstate.h"
#include "lib/window/osservices.h"
#include "lib/window/quinda_state.h"
#include "platform/os_file.h"
#include "platform/os_gdi.h"
#include "platform/os_metafile.h"
#include "platform/os_printer.h"

namespace {

void put16(std::uint8_t* p, std::int32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}

bool placeable(std::int32_t mode) { return mode != 0 && mode != 2; }

}  // namespace

void yywmfopen(std::int32_t& width, std::int32_t& height, std::int32_t mode, std::int32_t sysdash,
               std::int32_t right, std::int32_t bottom, std::int32_t checksum, std::int32_t inch,
               std::int32_t clipboard, std::int32_t& err, std::int32_t& oserr, std::string_view filename,
               std::string_view description) {
    DrawingLayer& l = metafile_layer;
    l.clipboard = clipboard;
    l.mode = mode;
    l.file.clear();
    l.bounds = {static_cast<std::int32_t>(254LL * width / 72), static_cast<std::int32_t>(254LL * height / 72)};
    const std::string file(clipboard ? std::string_view{} : filename);
    if (mode == 2) {
        settle_printer_query();
        const OsDC ic = wtab.GotPrName == 1 ? os_create_ic(wtab.lpPrintDriver, wtab.lpPrintType) : 0;
        const OsRect frame{0, 0, l.bounds[0], l.bounds[1]};
        wtab.gwmfDC = os_create_enh_metafile(ic, file, &frame, description);
        if (ic) os_delete_dc(ic);
        if (wtab.gwmfDC) {
            l.resolution = os_get_device_caps(wtab.gwmfDC, OS_LOGPIXELSX);
            const long double pxw = os_get_device_caps(wtab.gwmfDC, OS_HORZRES);
            const long double pxh = os_get_device_caps(wtab.gwmfDC, OS_VERTRES);
            const long double mmw = os_get_device_caps(wtab.gwmfDC, OS_HORZSIZE);
            const long double mmh = os_get_device_caps(wtab.gwmfDC, OS_VERTSIZE);
            if (mmw > 0) width = static_cast<std::int32_t>(width * pxw * 25.4L / (720 * mmw));
            if (mmh > 0) height = static_cast<std::int32_t>(height * pxh * 25.4L / (720 * mmh));
            l.system_dashes = sysdash;
            yywmflinestyles();
        }
    } else {
        if (clipboard || mode == 0) {
            wtab.gwmfDC = os_create_metafile(file);
        } else {
            std::array<std::uint8_t, 22> h{0xD7, 0xCD, 0xC6, 0x9A};
            put16(&h[10], right);
            put16(&h[12], bottom);
            put16(&h[14], inch);
            put16(&h[20], checksum);
            l.header = h;
            // The file must be one that can be made; it is written whole,
            // header and records, when the recording closes.
            int status = 0;
            std::int32_t handle = -1;
            yyopen(file, 1, handle, status);
            if (handle < 0) {
                err = 1;
                oserr = status;
                return;
            }
            yyclos(handle);
            os_file_delete(file);
            l.file = file;
            wtab.gwmfDC = os_create_metafile("");
        }
        if (wtab.gwmfDC) os_set_map_mode(wtab.gwmfDC, OS_MM_ANISOTROPIC);
    }
    if (!wtab.gwmfDC) {
        err = 1;
        oserr = os_last_error();
        l.mode = 0;
        return;
    }
    err = 0;
    l.window_extent = {width + 1, height + 1};
    os_set_window_ext(wtab.gwmfDC, width + 1, height + 1);
    wtab.gwmfRegion = 0;
    os_set_bk_mode(wtab.gwmfDC, OS_TRANSPARENT);
    l.pen_cache = {-1, -1, -1};
}

void yywmfclose(std::int32_t& err) {
    DrawingLayer& l = metafile_layer;
    err = 0;
    if (!wtab.gwmfDC) return;
    release_layer_objects(true);
    const bool enhanced = l.mode == 2;
    const OsMetafile mf = enhanced ? os_close_enh_metafile(wtab.gwmfDC) : os_close_metafile(wtab.gwmfDC);
    wtab.gwmfDC = 0;
    if (l.clipboard) {
        if (!os_open_clipboard()) {
            err = 1094;
            os_delete_metafile(mf);
        } else {
            os_empty_clipboard();
            if (enhanced)
                os_set_clipboard_enh_metafile(mf);
            else
                os_set_clipboard_metafile_pict({8, l.bounds[0], l.bounds[1], mf});
            os_close_clipboard();
        }
    } else if (placeable(l.mode)) {
        // The header and the records written whole: a file that cannot be
        // completed is not left behind as if it were good.
        std::vector<std::uint8_t> bytes(l.header.begin(), l.header.end());
        const std::vector<std::uint8_t> bits = os_get_metafile_bits(mf);
        bytes.insert(bytes.end(), bits.begin(), bits.end());
        if (!mf || !os_write_whole_file(l.file, bytes)) err = 2;
        os_delete_metafile(mf);
    } else {
        // A plain or enhanced file was written whole at the close, or not at all.
        if (!mf) err = 2;
        os_delete_metafile(mf);
    }
    l.file.clear();
    l.mode = 0;
}

void yywmfplaymetafile(std::int32_t type, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2,
                       std::int32_t target, std::int32_t& err, std::string_view name) {
    err = 0;
    // Other targets have no context, and an empty rectangle would divide
    // by zero in the mapping: nothing is played.
    if ((target != 0 && target != 10 && target != 11) || x2 == x1 || y2 == y1) {
        err = 2;
        return;
    }
    const OsDC dc = target == 0 ? wtab.gDC : target == 10 ? wtab.gPrDC : wtab.gwmfDC;
    if (!dc) {
        err = 2;
        return;
    }
    const bool region = target == 0 && wtab.gRegion;
    if (region) os_select_clip_rgn(dc, wtab.gRegion);
    if (name.size() == 1) {
        if (!os_is_clipboard_format_available(OS_CF_ENHMETAFILE)) {
            err = 1095;
        } else if (!os_open_clipboard()) {
            err = 1094;
        } else {
            const OsMetafile e = os_get_clipboard_enh_metafile();
            os_play_enh_metafile(dc, e, {x1, y1, x2, y2});
            os_delete_metafile(e);
            os_close_clipboard();
        }
    } else {
        std::int32_t h = -1;
        int status = 0;
        yyopen(name, 0, h, status);
        if (h < 0) {
            err = 1;
        } else {
            std::int64_t end = 0;
            os_file_seek(h, 0, 2, end);
            const std::int64_t skip = type == 1 ? 22 : 0;
            std::vector<std::uint8_t> data(static_cast<std::size_t>(std::max<std::int64_t>(0, end - skip)));
            std::int64_t at = 0;
            os_file_seek(h, skip, 0, at);
            std::int32_t done = 0;
            if (!data.empty()) os_file_read(h, data.data(), static_cast<std::int32_t>(data.size()), done);
            yyclos(h);
            data.resize(static_cast<std::size_t>(std::max(0, done)));
            if (type == 2) {
                const OsMetafile e = os_set_enh_metafile_bits(data);
                if (!e) err = 2;
                else {
                    os_play_enh_metafile(dc, e, {x1, y1, x2, y2});
                    os_delete_metafile(e);
                }
            } else {
                const OsMetafile m = os_set_metafile_bits(data);
                if (!m) {
                    err = 2;
                } else {
                    const std::int32_t old = os_set_map_mode(dc, OS_MM_ANISOTROPIC);
                    const std::int32_t saved = os_save_dc(dc);
                    const DrawingLayer& l = metafile_layer;
                    if (target == 11 && l.mode != 2) {
                        os_set_window_org(dc, -(x1 * l.window_extent[0] / (x2 - x1)),
                                          -(y1 * l.window_extent[1] / (y2 - y1)));
                        os_scale_viewport_ext(dc, x2 - x1 + 1, l.window_extent[0], y2 - y1 + 1, l.window_extent[1]);
                    } else if (target == 10) {
                        os_set_viewport_org(dc, x1 - wtab.origin[0], y1 - wtab.origin[1]);
                        os_set_viewport_ext(dc, x2 - x1 + 1, y2 - y1 + 1);
                    } else {
                        os_set_viewport_org(dc, x1, y1);
                        os_set_viewport_ext(dc, x2 - x1 + 1, y2 - y1 + 1);
                    }
                    os_play_metafile(dc, m);
                    os_delete_metafile(m);
                    os_restore_dc(dc, saved);
                    if (old) os_set_map_mode(dc, old);
                }
            }
        }
    }
    if (region) os_select_clip_rgn(dc, 0);
}
