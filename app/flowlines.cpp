#include "app/flowlines.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>
#include <vector>
#include <unistd.h>

#include "app/apphooks.h"
#include "app/filecmds.h"
#include "lib/dialog/fields.h"
#include "app/bln2dxf.h"
#include "app/mainstate.h"
#include "app/onemoment.h"
#include "app/records.h"
#include "lib/dialog/commondlg.h"
#include "lib/window/text.h"
#include "platform/os_error.h"
#include "platform/os_file.h"

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

namespace {

// The temporary file of one conversion: a name no other conversion uses
// (here or in another process), in home; removed when the conversion ends,
// however it ends.
class TempRecords {
public:
    ~TempRecords() {
        if (!name_.empty()) os_file_delete(name_);
    }
    // Writes the records; false when no file could be made or written.
    bool write(const std::string& text) {
        static unsigned counter = 0;
        const std::string home(txt_trim(dat19.home));
        std::int32_t h = -1;
        int rc = OS_OK;
        for (int k = 0; k < 100 && h < 0; ++k) {
            name_ = home + "flow2bln." + std::to_string(::getpid()) + "." + std::to_string(++counter) + ".tmp";
            rc = os_file_open(name_, OS_ACCESS_WRITE, OS_SHARE_NONE, OS_CREATE_NEW, h);
            if (rc != OS_OK) h = -1;
            if (h < 0 && os_path_kind(name_) == OsPathKind::Absent) break;
        }
        if (h < 0) {
            reason_ = os_error_reason(rc);
            name_.clear();
            return false;
        }
        std::int32_t put = 0;
        if (!text.empty()) rc = os_file_write(h, text.data(), static_cast<std::int32_t>(text.size()), put);
        if (rc == OS_OK && put != static_cast<std::int32_t>(text.size())) rc = OS_ERROR_DISK_FULL;
        if (const int crc = os_file_close(h); rc == OS_OK) rc = crc;
        if (rc != OS_OK) reason_ = os_error_reason(rc);
        return rc == OS_OK;
    }
    // Why write failed, in the system's words.
    const std::string& reason() const { return reason_; }
    // The file as written, read back.
    bool read(std::string& text) const {
        text.clear();
        std::int32_t h = -1;
        if (os_file_open(name_, OS_ACCESS_READ, OS_SHARE_READ, OS_OPEN_EXISTING, h) != OS_OK) return false;
        char buf[65536];
        bool ok = true;
        for (;;) {
            std::int32_t got = 0;
            if (os_file_read(h, buf, sizeof buf, got) != OS_OK) {
                ok = false;
                break;
            }
            if (got <= 0) break;
            text.append(buf, static_cast<std::size_t>(got));
        }
        os_file_close(h);
        return ok;
    }
    const std::string& name() const { return name_; }

private:
    std::string name_;
    std::string reason_;
};

}  // namespace

const std::string& flowline_records() { return flowline_state.records; }

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
        app_io_error("cannot open", in);
        return false;
    }
    // The records of the conversions of this run so far: Append continues
    // after the last of them, Overwrite starts again at record 1.
    std::string& kept = flowline_state.records;
    std::int32_t nrec = append == 1 ? static_cast<std::int32_t>(kept.size() / RecordLength) : 0;

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

    std::string text = append == 1 ? kept : std::string();
    for (const auto& [r, rec] : records) {
        const std::size_t at = static_cast<std::size_t>(r - 1) * RecordLength;
        if (text.size() < at + RecordLength) text.resize(at + RecordLength, ' ');
        text.replace(at, rec.size(), rec);
    }
    TempRecords tmp;
    if (!tmp.write(text)) {
        app_input_error("cannot write file " +
                        (tmp.name().empty() ? std::string(txt_trim(dat19.home)) + "flow2bln.*.tmp" : tmp.name()) +
                        ": " + tmp.reason());
        return false;
    }
    kept = text;
    dat80.nrec = nrec;

    // Second pass.
    const Dat9& v = dat9;
    const long double fy = 8.0L / (static_cast<long double>(v.vymax) - v.vymin);
    const long double fx = 10.0L / (static_cast<long double>(v.vxmax) - v.vxmin);
    const float s = static_cast<float>(0.08L / std::min(fy, fx));
    TextIn back;
    {
        std::string written;
        if (!tmp.read(written)) {
            app_input_error("cannot open file " + tmp.name());
            return false;
        }
        back.open_text(std::move(written), tmp.name());
    }
    TextOut out;
    if (!out.create(mapfile)) {
        app_io_error("cannot create", out);
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
        app_io_error("cannot write", out);
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
