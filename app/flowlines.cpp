#include "app/flowlines.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <vector>

#include "app/apphooks.h"
#include "app/filecmds.h"
#include "lib/dialog/fields.h"
#include "app/bln2dxf.h"
#include "app/mainstate.h"
#include "app/onemoment.h"
#include "app/records.h"
#include "lib/dialog/commondlg.h"
#include "lib/window/text.h"

FlowlineState flowline_state;

namespace {

constexpr int DialogFlow = 110;
constexpr std::size_t RecordLength = 80;

struct Shape {
    int count;
    signed char xy[10][2];
};

// The outlines, in quarters of the marker size.
constexpr Shape MarkerShapes[10] = {
    {5, {{-2, -2}, {2, 2}, {0, 0}, {2, -2}, {-2, 2}}},
    {4, {{-2, -2}, {2, -2}, {0, 2}, {-2, -2}}},
    {5, {{-1, -2}, {1, 2}, {-1, 2}, {1, -2}, {-1, -2}}},
    {5, {{-2, -2}, {2, -2}, {2, 2}, {-2, 2}, {-2, -2}}},
    {10, {{-2, -2}, {2, -2}, {2, 2}, {-2, 2}, {-2, -2}, {0, -2}, {0, 2}, {0, 0}, {-2, 0}, {2, 0}}},
    {7, {{-2, -2}, {0, -2}, {2, 0}, {2, 2}, {0, 2}, {-2, 0}, {-2, -2}}},
    {10, {{-2, -2}, {2, -2}, {2, 2}, {-2, 2}, {-2, -2}, {0, -2}, {2, 0}, {0, 2}, {-2, 0}, {0, -2}}},
    {9, {{-1, -2}, {1, -2}, {2, -1}, {2, 1}, {1, 2}, {-1, 2}, {-2, 1}, {-2, -1}, {-1, -2}}},
    {8, {{-2, 0}, {0, -2}, {2, 0}, {0, 2}, {-2, 0}, {2, 0}, {0, 2}, {0, -2}}},
    {5, {{-2, 1}, {-1, 2}, {2, -1}, {1, -2}, {-2, 1}}},
};

std::string header_record(long long count, long long second) {
    return edit_i(count, 10) + edit_i(second, 10) + std::string(58, ' ') + "\r\n";
}

std::string point_record(std::string_view line80) { return std::string(line80.substr(2, 78)) + "\r\n"; }

// Columns 3-12 and 13-22 read as two numbers with d implied decimals.
bool point_fields(std::string_view line80, int d) {
    double v = 0;
    return read_f(line80.substr(2, 10), d, v) && read_f(line80.substr(12, 10), d, v);
}

}  // namespace

std::string flowline_temp_name() { return std::string(txt_trim(dat19.home)) + "flow2bln.tmp"; }

void marker(int& m, float x, float y, float s, TextOut& out) {
    while (m > 10) m -= 10;
    if (m < 1) m = 1;
    const Shape& sh = MarkerShapes[m - 1];
    out.line(edit_i(sh.count, 10) + edit_i(1, 10));
    for (int p = 0; p < sh.count; ++p) {
        const float px = static_cast<float>(x + 0.25L * s * sh.xy[p][0]);
        const float py = static_cast<float>(y + 0.25L * s * sh.xy[p][1]);
        FreeWrite(out).r(px).r(py).end();
    }
}

bool flow2bln(std::string_view flowfile, std::string_view mapfile, int append) {
    TextIn in;
    if (!in.open(flowfile)) {
        app_input_error("cannot open file " + txt_c(flowfile));
        return false;
    }
    const std::string tmp = flowline_temp_name();
    std::error_code ec;
    // Records of an earlier run beyond the end would be read again: the
    // conversion continues after the file's last record, whatever this run
    // wrote before.
    std::int32_t nrec = 0;
    if (append == 1) {
        const auto size = std::filesystem::file_size(tmp, ec);
        if (!ec) nrec = static_cast<std::int32_t>(size / RecordLength);
    }

    // First pass, into memory: a line that cannot be read leaves the
    // temporary file as it was.
    std::map<std::int32_t, std::string> records;
    int m = 0, pending = 0, npts = 0;
    std::int32_t rec0 = 0;
    bool open = false, any = false;
    std::string_view raw;
    while (in.next_line(raw)) {
        std::string line(raw.substr(0, std::min<std::size_t>(raw.size(), TextLength)));
        line.resize(TextLength, ' ');
        if (txt_blank(line)) m = 0;
        std::string cmd = line.substr(0, 2);
        if (cmd != "da" && cmd != "ma" && cmd != "pm") continue;
        if (!point_fields(line, cmd == "pm" ? 2 : 0)) {
            app_read_error(in, RecStatus::Bad, "command and point x y (2F10)");
            return false;
        }
        any = true;
        // A "da" that opens no line (at the start, or after a marker) starts one.
        if (cmd == "da" && (pending == 1 || !open)) cmd = "ma";
        if (cmd == "da") {
            pending = 0;
            records[++nrec] = point_record(line);
            ++npts;
        } else if (cmd == "ma") {
            onemoment("converting to bln");
            pending = 0;
            if (open) records[rec0] = header_record(npts, m);
            rec0 = nrec + 1;
            nrec += 2;
            records[nrec] = point_record(line);
            npts = 1;
            open = true;
        } else {
            pending = 1;
            ++m;
            records[++nrec] = header_record(-1, m);
            records[++nrec] = point_record(line);
        }
    }
    if (open) records[rec0] = header_record(npts, m);
    if (!any) {
        app_input_error("no flowline commands (ma, da, pm) in " + txt_c(flowfile));
        return false;
    }

    {
        if (append != 1) std::filesystem::remove(tmp, ec);
        std::fstream f(tmp, std::ios::in | std::ios::out | std::ios::binary);
        if (!f.is_open()) f.open(tmp, std::ios::out | std::ios::binary);
        if (!f.is_open()) {
            app_input_error("cannot create file " + tmp);
            return false;
        }
        for (const auto& [r, text] : records) {
            f.seekp(static_cast<std::streamoff>(r - 1) * static_cast<std::streamoff>(RecordLength));
            f.write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        f.close();
        if (!f) {
            app_input_error("cannot write file " + tmp);
            return false;
        }
    }
    dat80.nrec = nrec;

    // Second pass.
    const Dat9& v = dat9;
    const long double fy = 8.0L / (static_cast<long double>(v.vymax) - v.vymin);
    const long double fx = 10.0L / (static_cast<long double>(v.vxmax) - v.vxmin);
    const float s = static_cast<float>(0.08L / std::min(fy, fx));
    TextIn back;
    if (!back.open(tmp)) {
        app_input_error("cannot open file " + tmp);
        return false;
    }
    TextOut out;
    if (!out.create(mapfile)) {
        app_input_error("cannot create file " + txt_c(mapfile));
        return false;
    }
    for (;;) {
        std::int32_t n = 0, mk = 0;
        {
            FreeRead h(back);
            h.i(n).i(mk);
            const RecStatus st = h.end();
            if (st == RecStatus::End && h.items() == 0) break;
            if (st != RecStatus::Ok) {
                app_read_error(back, st, "block header of two integers");
                return false;
            }
        }
        onemoment("converting to bln");
        auto point = [&](float& x, float& y) {
            FreeRead p(back);
            p.r(x).r(y);
            const RecStatus st = p.end();
            if (st != RecStatus::Ok) app_read_error(back, st, "point x y");
            return st == RecStatus::Ok;
        };
        if (n == -1) {
            float x = 0, y = 0;
            if (!point(x, y)) return false;
            marker(mk, x, y, s, out);
            continue;
        }
        if (n < 1) {
            app_read_error(back, RecStatus::Bad, "a point count of at least 1");
            return false;
        }
        out.line(edit_i(n == 1 ? 2 : n, 10) + edit_i(1, 10));
        for (std::int32_t k = 0; k < n; ++k) {
            float x = 0, y = 0;
            if (!point(x, y)) return false;
            FreeWrite(out).r(x).r(y).end();
            if (n == 1) FreeWrite(out).r(x).r(y).end();
        }
    }
    if (!out.commit()) {
        app_input_error("cannot write file " + txt_c(mapfile));
        return false;
    }
    return true;
}

void cmd_flowlines() {
    FlowlineState& st = flowline_state;
    MainState& m = mainstate;
    WDialogLoad(DialogFlow);
    WDialogPutString(1109, st.flowfile);
    WDialogPutString(1110, st.flowmap);
    if (st.flowfmt == 2) WDialogPutRadioButton(1056);
    if (st.flowfmt == 1) WDialogPutRadioButton(1055);
    if (st.flowmode == 2) WDialogPutRadioButton(1107);
    if (st.flowmode == 1) WDialogPutRadioButton(1106);
    WDialogShow(-1, -1, 0, 2);
    for (;;) {
        const int v = app_wait_message();
        if (v == 2) {
            app_unload_dialog(DialogFlow);
            return;
        }
        if (v == 1003) break;
        if (v == 1053) {
            selfile(st.flowfile, "#??", "Read FEM flowline file", 1109, FileUse::Read);
        } else if (v == 1054) {
            txt_set(st.flowmap, "");
            WSelectFile("*.bln;*.dxf|*.bln;*.dxf|", m.selflags | FileSave, st.flowmap, "Write map file");
            WDialogPutString(1110, st.flowmap);
        }
    }
    WDialogGetString(1109, st.flowfile);
    WDialogGetString(1110, st.flowmap);
    int fmt = 1, mode = 1;
    app_radio_position(1055, fmt);
    app_radio_position(1106, mode);
    st.flowfmt = fmt;
    st.flowmode = mode;
    app_unload_dialog(DialogFlow);
    m.showmaps = 1;
    const int append = st.flowmode == 1 ? 0 : 1;
    if (st.flowfmt == 1) {
        map_bln.mapfile(4) = txt_fixed(st.flowmap, TextLength);
        flow2bln(st.flowfile, map_bln.mapfile(4), append);
    } else {
        map_bln.mapfile(4) = txt_fixed(std::string(txt_trim(dat19.home)) + "zeltramo.bln", TextLength);
        if (flow2bln(st.flowfile, map_bln.mapfile(4), append)) bln2dxf(map_bln.mapfile(4), st.flowmap);
    }
    // The progress line goes once the work is done.
    prompt_line("");
}
