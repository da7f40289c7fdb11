#include "app/settings.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <system_error>

#include "app/apphooks.h"
#include "app/logo.h"
#include "app/femread.h"
#include "app/griddef.h"
#include "app/gridfiles.h"
#include "app/modflow.h"
#include "app/records.h"
#include "lib/window/text.h"
#include "lib/window/winops.h"

namespace {

// Degrees and radians convert through pi in extended precision.
const long double pi = 4.0L * std::atan(1.0L);

constexpr std::size_t LineLength = 200;
constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

const char* grid_file_for(int gridtype) {
    switch (gridtype) {
        case GridArcInfo: return "arc_info.grd";
        case GridModflow: return "modflow.dat";
        default: return "surfer.grd";
    }
}

// A grid larger than the program holds is made with as many points as it
// holds; the user is told, since the file written is not the one asked for.
void note_limited_grid(int nx, int ny) {
    if (nx <= dat8.nxmax && ny <= dat8.nymax) return;
    app_input_error("the grid of " + std::to_string(nx) + " x " + std::to_string(ny) +
                    " points is larger than the program holds; it is made with " +
                    std::to_string(std::min(nx, dat8.nxmax)) + " x " + std::to_string(std::min(ny, dat8.nymax)) +
                    " points");
}

// Everything a settings file says, checked before any of it is used.
struct Parsed {
    std::string femname = std::string(TextLength, ' ');
    int gridtype = 0, leak = 0;
    float a[4] = {0, 0, 0, 0};   // gx0, gy0, gx1, gy1 / xll, yll / gx0, gy0
    int nx = 0, ny = 0;
    float cellsize = 0;
    std::string delrfile = std::string(TextLength, ' ');
    std::string delcfile = std::string(TextLength, ' ');
    int roworder = RowOrderDefault;
    float degrees = 0;
    int option = -1;
    std::string gridname = std::string(TextLength, ' ');
    long origin_line = 0, option_line = 0;   // where the MODFLOW origin and the option stand
    int maps = 0;   // map lines read
    std::int32_t mapon[MapLayers] = {}, mapcol[MapLayers] = {}, mapwidth[MapLayers] = {};
    std::string mapfile[MapLayers];
};

class Reader {
public:
    explicit Reader(TextIn& in) : in_(in) {}

    // The next line, cut to 200 characters (of UTF-8 text); a byte-order
    // mark before the first is no part of it.
    bool line() {
        std::string_view l;
        if (!in_.next_line(l)) {
            app_read_error(in_, RecStatus::End, what_);
            return false;
        }
        if (in_.line_number() == 1 && l.starts_with(ByteOrderMark)) l.remove_prefix(ByteOrderMark.size());
        std::size_t cut = 0;
        for (std::size_t chars = 0; cut < l.size(); ++cut)
            if ((static_cast<unsigned char>(l[cut]) & 0xC0) != 0x80 && ++chars > LineLength) break;
        line_ = l.substr(0, cut);
        return true;
    }
    long line_number() const { return in_.line_number(); }
    Reader& expect(std::string what) {
        what_ = std::move(what);
        return *this;
    }
    int fields() const { return nveld(line_); }
    bool real(int n, float& v) {
        if (datstr(n, line_, v)) return true;
        fail(n > fields() ? "field " + std::to_string(n) + " missing" : "field " + std::to_string(n) + " not a number");
        return false;
    }
    // Field n as an integer: rounded to the nearest (halves away from zero),
    // or truncated toward zero.
    bool integer(int n, int& v, bool truncate) {
        float r = 0;
        if (!real(n, r)) return false;
        const float t = truncate ? std::trunc(r) : std::round(r);
        if (!(std::fabs(t) < 2147483648.0f)) {
            fail("field " + std::to_string(n) + " outside the integer range");
            return false;
        }
        v = static_cast<int>(t);
        return true;
    }
    // The first field as a name of at most 80 characters (blank when the
    // line has none).
    bool name(std::string& out) {
        out.assign(TextLength, ' ');
        int ib = 0, ie = 0;
        argstr(1, line_, ib, ie);
        if (ib <= 0 || ie < ib) return true;
        return text_name(
            txt_trim(line_.substr(static_cast<std::size_t>(ib - 1), static_cast<std::size_t>(ie - ib + 1))), out);
    }
    // A name of the file's text into out (80 characters): false (reported)
    // when it is longer or holds what the program's names cannot.
    bool text_name(std::string_view utf8, std::string& out) {
        std::string n;
        if (const std::string why = name_from_utf8(utf8, n); !why.empty()) {
            fail(why);
            return false;
        }
        if (n.size() > static_cast<std::size_t>(TextLength)) {
            fail("name longer than 80 characters");
            return false;
        }
        out.assign(TextLength, ' ');
        txt_set(out, n);
        return true;
    }
    void fail(const std::string& why) { app_file_error(in_, what_ + ": " + why); }

private:
    TextIn& in_;
    std::string_view line_;
    std::string what_;
};

// Reads the file up to its grid-name line, and the map lines when asked.
bool parse(TextIn& in, Parsed& p, bool maps) {
    Reader r(in);
    if (!r.expect("model file name").line() || !r.name(p.femname)) return false;
    if (!r.expect("grid type and leakance switch").line() || !r.integer(1, p.gridtype, false) ||
        !r.integer(2, p.leak, false))
        return false;
    if (p.gridtype < GridSurfer || p.gridtype > GridModflow) {
        r.fail("grid type " + std::to_string(p.gridtype) + " is not 0, 1 or 2");
        return false;
    }
    // The switch is a check box; any other value would not fit its field when written.
    if (p.leak != 0 && p.leak != 1) {
        r.fail("leakance switch " + std::to_string(p.leak) + " is not 0 or 1");
        return false;
    }
    switch (p.gridtype) {
        case GridArcInfo:
            if (!r.expect("xll, yll, nx, ny").line() || !r.real(1, p.a[0]) || !r.real(2, p.a[1]) ||
                !r.integer(3, p.nx, true) || !r.integer(4, p.ny, true))
                return false;
            if (!r.expect("cell size").line() || !r.real(1, p.cellsize)) return false;
            break;
        case GridSurfer:
            if (!r.expect("gx0, gy0, gx1, gy1").line())
                return false;
            for (int k = 0; k < 4; ++k)
                if (!r.real(k + 1, p.a[k])) return false;
            if (!r.expect("nx, ny").line() || !r.integer(1, p.nx, false) || !r.integer(2, p.ny, false)) return false;
            break;
        default:
            if (!r.expect("DELR file name").line() || !r.name(p.delrfile)) return false;
            if (!r.expect("DELC file name").line() || !r.name(p.delcfile)) return false;
            if (!r.expect("gx0, gy0, row order").line() || !r.real(1, p.a[0]) || !r.real(2, p.a[1])) return false;
            p.origin_line = r.line_number();
            if (r.fields() >= 3) {
                if (!r.integer(3, p.roworder, false)) return false;
                if (p.roworder != 1 && p.roworder != 2) {
                    r.fail("row order " + std::to_string(p.roworder) + " is not 1 or 2");
                    return false;
                }
            }
            break;
    }
    // The grid is set only after the model has replaced the loaded one, so a
    // grid that cannot be one is refused here, while nothing has changed.
    if (p.gridtype != GridModflow) {
        Dat8 g = dat8;
        g.nx = p.nx;
        g.ny = p.ny;
        if (p.gridtype == GridArcInfo) {
            g.xll = p.a[0];
            g.yll = p.a[1];
            g.cellsize = p.cellsize;
        } else {
            g.gx0 = p.a[0];
            g.gy0 = p.a[1];
            g.gx1 = p.a[2];
            g.gy1 = p.a[3];
        }
        if (const std::string why = grid_fault(p.gridtype, g); !why.empty()) {
            r.fail(why);
            return false;
        }
    }
    if (!r.expect("rotation").line() || !r.real(1, p.degrees)) return false;
    if (!r.expect("grid option").line() || !r.integer(1, p.option, false)) return false;
    p.option_line = r.line_number();
    if (p.option < -1 || p.option >= NumGridOptions) {
        r.fail("grid option " + std::to_string(p.option) + " outside 0..51");
        return false;
    }
    if (!r.expect("grid file name").line() || !r.name(p.gridname)) return false;
    // A grid written over a file of the run would destroy it.
    const bool modflow = p.gridtype == GridModflow;
    if (const std::string clash = file_clash(p.gridname, {{"settings file", in.name()},
                                                          {"model file", p.femname},
                                                          {"DELR file", modflow ? p.delrfile : std::string()},
                                                          {"DELC file", modflow ? p.delcfile : std::string()},
                                                          {"settings file", settings_file_name()}});
        !clash.empty()) {
        r.fail(clash);
        return false;
    }
    if (!maps) return true;
    // The map lines may be missing at the end; the layers not read keep theirs.
    for (int i = 0; i < MapLayers; ++i) {
        // Room for a name of 80 characters in UTF-8.
        std::string name(4 * TextLength, ' ');
        FormRead f(in, "(3I10,A)");
        f.i(p.mapon[i]).i(p.mapcol[i]).i(p.mapwidth[i]).a(name);
        if (f.end() != RecStatus::Ok) break;
        if (!r.expect("map file name").text_name(txt_trim(name), p.mapfile[i])) return false;
        p.maps = i + 1;
    }
    return true;
}

// The MODFLOW grid of the file, computed aside until everything is known.
struct Modflow {
    std::int32_t ncol = 0, nrow = 0;
    Arr1<float, MaxModflow> delr, xcen, delc, ycen;
    float gx1 = 0, gy1 = 0;
};

// delr_c with its status as the result: 0, or the exit code.
int read_widths(std::string_view name, int readflag, int& n, ModflowArray& d, float origin, ModflowArray& c) {
    int ierr = 0;
    delr_c(name, readflag, n, d, origin, c, ierr);
    return ierr;
}

int read_modflow(const TextIn& in, const Parsed& p, Modflow& g) {
    const std::string* names[2] = {&p.delrfile, &p.delcfile};
    for (const std::string* n : names)
        if (txt_blank(*n)) {
            app_input_error(std::string("no ") + (n == &p.delrfile ? "DELR" : "DELC") + " file named in the settings file");
            return ExitInputError;
        }
    if (const int st = read_widths(p.delrfile, 1, g.ncol, g.delr, p.a[0], g.xcen)) return st;
    if (const int st = read_widths(p.delcfile, 1, g.nrow, g.delc, p.a[1], g.ycen)) return st;
    g.gx1 = g.xcen(g.ncol) + 0.5f * g.delr(g.ncol);
    g.gy1 = g.ycen(g.nrow) + 0.5f * g.delc(g.nrow);
    // Widths of nothing, or an origin at the end of the numbers, leave the
    // cells no room: said of the origin line, with the words of a regular grid.
    Dat8 outline = dat8;
    outline.nx = outline.ny = 2;
    outline.gx0 = p.a[0];
    outline.gy0 = p.a[1];
    outline.gx1 = g.gx1;
    outline.gy1 = g.gy1;
    if (const std::string why = grid_fault(GridSurfer, outline); !why.empty()) {
        app_file_error(in.name(), p.origin_line, why);
        return ExitInputError;
    }
    // Row heights listed from the top row down are turned round, as the
    // MODFLOW dialog does, so that row 1 is always the bottom row.
    if (p.roworder == 1) {
        std::reverse(g.delc.a.begin(), g.delc.a.begin() + g.nrow);
        if (const int st = read_widths(p.delcfile, 0, g.nrow, g.delc, p.a[1], g.ycen)) return st;
    }
    return 0;
}

// Quantities are the reference head and three for each aquifer: an option
// beyond them would grid values the model does not have.
int option_in_model(const TextIn& in, const Parsed& p, const FemModel& model) {
    const int last = 3 * model.naq;
    if (p.option <= last) return 0;
    app_file_error(in.name(), p.option_line,
                   "grid option " + std::to_string(p.option) + " is beyond the " + std::to_string(model.naq) +
                       (model.naq == 1 ? " aquifer" : " aquifers") + " of model " + txt_c(p.femname) + " (options 0.." +
                       std::to_string(last) + ")");
    return ExitInputError;
}

int read_file(TextIn& in, SettingsRead& r, bool interactive) {
    auto p = std::make_unique<Parsed>();
    if (!parse(in, *p, interactive)) return ExitInputError;
    // A batch run writes its grid under this name.
    if (!interactive && txt_blank(p->gridname)) {
        app_input_error("no grid file named in " + in.name());
        return ExitInputError;
    }

    // The model, then the MODFLOW files, each read aside; nothing changes
    // unless all of them could be read.
    windowcleararea(0, 0, WindowUnits, WindowUnits);
    logo();
    auto model = std::make_unique<FemModel>();
    const int loaded = read_fem_model(p->femname, *model);
    if (loaded > 0) return loaded;
    // The rest of the file describes a grid over that model: without it the
    // file is refused whole, and the caller says why.
    if (loaded == FemMissing) {
        r.femname = p->femname;
        r.model = FemMissing;
        return 0;
    }
    if (loaded == FemLoaded)
        if (const int st = option_in_model(in, *p, *model)) return st;
    auto g = std::make_unique<Modflow>();
    if (p->gridtype == GridModflow)
        if (const int st = read_modflow(in, *p, *g)) return st;

    commit_fem_model(*model);
    r.femname = p->femname;
    r.model = loaded;
    dat18.gridtype = p->gridtype;
    leakage.leak = p->leak;
    switch (p->gridtype) {
        case GridModflow:
            dat17.delrfile = p->delrfile;
            dat17.delcfile = p->delcfile;
            dat8.gx0 = p->a[0];
            dat8.gy0 = p->a[1];
            dat18.roworder = p->roworder;
            dat16.ncol = g->ncol;
            dat16.nrow = g->nrow;
            std::copy_n(g->delr.a.begin(), g->ncol, dat16.delr.a.begin());
            std::copy_n(g->xcen.a.begin(), g->ncol, dat16.xcen.a.begin());
            std::copy_n(g->delc.a.begin(), g->nrow, dat16.delc.a.begin());
            std::copy_n(g->ycen.a.begin(), g->nrow, dat16.ycen.a.begin());
            dat8.gx1 = g->gx1;
            dat8.gy1 = g->gy1;
            if (interactive) r.mfgrid = 1;
            break;
        case GridArcInfo:
            dat8.xll = p->a[0];
            dat8.yll = p->a[1];
            dat8.nx = p->nx;
            dat8.ny = p->ny;
            dat8.cellsize = p->cellsize;
            note_limited_grid(p->nx, p->ny);
            checkgrid(GridArcInfo);
            if (interactive) r.mfgrid = 0;
            break;
        default:
            dat8.gx0 = p->a[0];
            dat8.gy0 = p->a[1];
            dat8.gx1 = p->a[2];
            dat8.gy1 = p->a[3];
            dat8.nx = p->nx;
            dat8.ny = p->ny;
            note_limited_grid(p->nx, p->ny);
            checkgrid(GridSurfer);
            if (interactive) r.mfgrid = 0;
            break;
    }
    const float turns = p->degrees * 0.0055555557f;
    dat12.rotang = static_cast<float>(static_cast<long double>(turns) * pi);
    r.option = p->option;
    if (p->option >= 0) dat5.opton(p->option) = 'j';
    r.gridname = p->gridname;
    for (int i = 1; i <= p->maps; ++i) {
        map_bln.mapon(i) = p->mapon[i - 1];
        map_bln.mapcol(i) = p->mapcol[i - 1];
        map_bln.mapwidth(i) = p->mapwidth[i - 1];
        map_bln.mapfile(i) = p->mapfile[i - 1];
    }
    return 0;
}

}  // namespace

std::string settings_file_name() {
    const auto l = static_cast<std::size_t>(std::clamp(dat19.lhome, 0, static_cast<int>(dat19.home.size())));
    return dat19.home.substr(0, l) + "zeltramo.ini";
}

bool settings_output(TextOut& out, std::string_view femname, std::string_view gridname) {
    if (!out.create(settings_file_name())) {
        app_io_error("cannot create", out);
        return false;
    }
    // Names in the system's characters, as a user's editor shows them.
    out.line(name_to_utf8(txt_trim(femname)));
    FormWrite(out, "(2I5)").i(dat18.gridtype).i(leakage.leak).end();
    // Coordinates and the cell size with every digit they need to read back
    // as they are, within their 15 columns (a grid narrower than the sixth
    // digit would otherwise come back with equal corners).
    const auto real = [](float v) { return edit_g_exact(v, 15, 6); };
    switch (dat18.gridtype) {
        case GridArcInfo:
            out.line(real(dat8.xll) + real(dat8.yll) + edit_i(dat8.nx, 15) + edit_i(dat8.ny, 15));
            out.line(real(dat8.cellsize));
            break;
        case GridSurfer:
            out.line(real(dat8.gx0) + real(dat8.gy0) + real(dat8.gx1) + real(dat8.gy1));
            FormWrite(out, "(2I5)").i(dat8.nx).i(dat8.ny).end();
            break;
        case GridModflow:
            out.line(name_to_utf8(txt_fixed(dat17.delrfile, TextLength)));
            out.line(name_to_utf8(txt_fixed(dat17.delcfile, TextLength)));
            out.line(real(dat8.gx0) + real(dat8.gy0) + edit_i(dat18.roworder, 5));
            break;
        default: break;
    }
    // Whole turns make no difference to the grid; without them the angle
    // always fits its field, where 1e10 degrees would be written as asterisks
    // the reader refuses. They are taken off after rounding as well: many
    // whole turns read as degrees come back as 359.7, and were written as
    // 360 the first time and as 0 once that was read back.
    long double degrees = static_cast<long double>(dat12.rotang) / pi * 180.0L;
    degrees = std::isfinite(degrees) ? std::fmod(degrees, 360.0L) : 0.0L;
    FormWrite(out, "(I10)").i(std::lround(static_cast<float>(degrees)) % 360).end();
    int k = -1;
    for (int i = 0; i < NumGridOptions; ++i)
        if (dat5.opton(i) == 'j') k = i;
    FormWrite(out, "(I5)").i(k).end();
    out.line(gridname.empty() ? std::string(grid_file_for(dat18.gridtype)) : name_to_utf8(txt_trim(gridname)));
    for (int i = 1; i <= MapLayers; ++i)
        FormWrite(out, "(3I10,A)")
            .i(map_bln.mapon(i))
            .i(map_bln.mapcol(i))
            .i(map_bln.mapwidth(i))
            .a(name_to_utf8(txt_trim(map_bln.mapfile(i))))
            .end();
    return true;
}

bool write_settings(std::string_view femname, std::string_view gridname) {
    TextOut out;
    return settings_output(out, femname, gridname) && commit_outputs({&out});
}

int read_settings(SettingsRead& r) {
    TextIn in;
    if (!in.open(settings_file_name(), MaxSettingsFileBytes)) {
        app_io_error("cannot read", in);
        return ExitInputError;
    }
    return read_file(in, r, true);
}

int read_settings_batch(std::string_view filename, SettingsRead& r) {
    TextIn in;
    if (!in.open(filename, MaxSettingsFileBytes)) {
        app_io_error("cannot read", in);
        return ExitInputError;
    }
    return read_file(in, r, false);
}
