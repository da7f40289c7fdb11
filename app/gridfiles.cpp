#include "app/gridfiles.h"

#include <cmath>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/editfast.h"
#include "app/griddef.h"
#include "app/mainstate.h"
#include "app/records.h"
#include "app/settings.h"
#include "lib/window/text.h"
#include "platform/os_file.h"

namespace {

void header_pair(TextOut& out, float a, float b, int d) { out.line(edit_g_exact(a, 15, d) + edit_g_exact(b, 15, d)); }

void header_keyword(TextOut& out, const char* keyword, float v) { out.line(keyword + edit_g_exact(v, 15, 6)); }

bool size_ok(int n1, int n2, int max1, int max2, const char* what) {
    if (n1 >= 1 && n1 <= max1 && n2 >= 1 && n2 <= max2) return true;
    app_input_error(std::string(what) + " " + std::to_string(n1) + " x " + std::to_string(n2) +
                    " outside 1.." + std::to_string(max1) + " x 1.." + std::to_string(max2));
    return false;
}

// A row of n values as its record of (10G15.6).
void put_row(TextOut& out, const float* v, int n) {
    out.put([v, n](std::string& text) { append_g_record(text, v, n, 10, 15, 6); });
}

}  // namespace

std::string file_clash(std::string_view written, std::initializer_list<RunFile> files) {
    for (const RunFile& f : files) {
        const std::string name = txt_c(f.name);
        if (!name.empty() && os_same_file(txt_c(written), name))
            return txt_c(written) + " is the " + f.what + " " + name;
    }
    return {};
}

bool grid_output(int gridtype, std::string_view filename, int roworder, TextOut& out) {
    // Writing over a file the program reads or writes itself would destroy it.
    const std::string clash =
        file_clash(filename, {{"model file", mainstate.femname}, {"settings file", settings_file_name()},
                              {"DELR file", dat17.delrfile}, {"DELC file", dat17.delcfile},
                              {"map file", map_bln.mapfile(1)}, {"map file", map_bln.mapfile(2)},
                              {"map file", map_bln.mapfile(3)}, {"map file", map_bln.mapfile(4)}});
    if (!clash.empty()) {
        app_input_error("the grid is not written: " + clash);
        return false;
    }
    if (gridtype == GridSurfer || gridtype == GridArcInfo) {
        if (!size_ok(dat8.nx, dat8.ny, MaxGridPoints, MaxGridPoints, "grid size")) return false;
        // A header without extent or cell size would pass for a grid file.
        if (const std::string why = grid_fault(gridtype, dat8); !why.empty()) {
            app_input_error(why);
            return false;
        }
    } else if (gridtype == GridModflow) {
        if (!size_ok(dat16.ncol, dat16.nrow, MaxModflow, MaxModflow, "MODFLOW grid size")) return false;
    }

    if (!out.create(filename)) {
        app_io_error("cannot create", out);
        return false;
    }
    const int nx = dat8.nx, ny = dat8.ny;
    const float blank = dat7.blank;

    if (gridtype == GridSurfer) {
        // The z limits describe the grid being written: its smallest and
        // largest value over the points inside the mesh.
        bool any = false;
        float zlo = 0, zhi = 0;
        for (int j = 1; j <= ny; ++j) {
            for (int i = 1; i <= nx; ++i) {
                const float v = dat7.gridval(i, j);
                if (!(v < blank)) continue;
                if (!any || v < zlo) zlo = v;
                if (!any || v > zhi) zhi = v;
                any = true;
            }
        }
        out.line("DSAA");
        FormWrite(out, "(2I15)").i(nx).i(ny).end();
        header_pair(out, dat8.gx0, dat8.gx1, 4);
        header_pair(out, dat8.gy0, dat8.gy1, 4);
        header_pair(out, zlo, zhi, 4);
        for (int j = 1; j <= ny; ++j) put_row(out, &dat7.gridval(1, j), nx);
    } else if (gridtype == GridArcInfo) {
        FormWrite(out, "(A,I12)").a("NCOLS").i(nx).end();
        FormWrite(out, "(A,I12)").a("NROWS").i(ny).end();
        header_keyword(out, "XLLCORNER", dat8.xll);
        header_keyword(out, "YLLCORNER", dat8.yll);
        header_keyword(out, "CELLSIZE", dat8.cellsize);
        FormWrite(out, "(A,G15.6)").a("NODATA_value").r(-9999.0).end();
        std::vector<float> row(static_cast<std::size_t>(nx));
        for (int j = ny; j >= 1; --j) {
            for (int i = 1; i <= nx; ++i) {
                const float v = dat7.gridval(i, j);
                row[static_cast<std::size_t>(i) - 1] = v >= blank ? -9999.0f : v;
            }
            put_row(out, row.data(), nx);
        }
    } else if (gridtype == GridModflow) {
        const int ncol = dat16.ncol, nrow = dat16.nrow;
        FormWrite(out, "(2I10)").i(ncol).i(nrow).end();
        for (int k = 1; k <= nrow; ++k) {
            const int r = roworder == 1 ? nrow + 1 - k : k;
            put_row(out, &dat16.mfval(1, r), ncol);
        }
    }

    return true;
}

bool savegrd(int gridtype, std::string_view filename, int roworder) {
    TextOut out;
    return grid_output(gridtype, filename, roworder, out) && commit_outputs({&out});
}
