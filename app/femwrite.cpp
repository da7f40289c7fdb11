#include "app/femwrite.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "app/appdata.h"
#include "app/records.h"
#include "lib/window/text.h"

namespace {

void copy_aquifer(int from, int to) {
    for (int i = 1; i <= dat4.nnode; ++i)
        for (int p = 2; p >= 0; --p) dat7.value(i, 3 * to - p) = dat7.value(i, 3 * from - p);
}

// Integers of the fixed-width records, I10 each, on one line. A value that
// fills its field or does not fit it is written in full after a blank: the
// reader takes these records in free format, so a value run into its
// neighbour, or a field of asterisks, would make the file unreadable or
// change what it reads.
std::string int_line(const std::vector<long long>& values) {
    std::string line;
    for (const long long v : values) {
        const std::string f = edit_i(v, 10);
        if (f[0] == ' ') {
            line += f;
        } else {
            line += ' ';
            line += std::to_string(v);
        }
    }
    return line;
}

bool counts_ok() {
    return dat4.nnode >= 0 && dat4.nnode <= MaxNodes && dat4.naq >= 0 && dat4.naq <= MaxAquifers &&
           dat4.nwell >= 0 && dat4.nwell <= MaxWells;
}

}  // namespace

bool laagerbij(int l) {
    if (!counts_ok()) {
        app_input_error("no valid model loaded");
        return false;
    }
    if (dat4.naq >= MaxAquifers) {
        app_input_error("maximum 17 aquifers");
        return false;
    }
    if (l < 0 || l > dat4.naq) {
        app_input_error("aquifer number " + std::to_string(l) + " outside 0.." + std::to_string(dat4.naq));
        return false;
    }
    for (int k = dat4.naq; k >= l + 1; --k) copy_aquifer(k, k + 1);
    for (int i = 1; i <= dat4.nnode; ++i)
        for (int p = 2; p >= 0; --p) dat7.value(i, 3 * (l + 1) - p) = 999.0f;
    for (int w = 1; w <= dat4.nwell; ++w)
        if (dat2.wellint1(w) > l) dat2.wellint1(w) += 1;
    dat4.naq += 1;
    return true;
}

bool laageraf(int l) {
    if (!counts_ok()) {
        app_input_error("no valid model loaded");
        return false;
    }
    if (l < 1 || l > dat4.naq) {
        app_input_error("aquifer number " + std::to_string(l) + " outside 1.." + std::to_string(dat4.naq));
        return false;
    }
    // Each aquifer above l moves down one place. The last step brings down the
    // planes just above the model's aquifers, which exist only below the
    // aquifer limit.
    for (int k = l; k <= dat4.naq; ++k)
        if (k + 1 <= MaxAquifers) copy_aquifer(k + 1, k);
    for (int w = 1; w <= dat4.nwell; ++w)
        if (dat2.wellint1(w) > l) dat2.wellint1(w) -= 1;
    dat4.naq -= 1;
    return true;
}

bool savefem(std::string_view filename) {
    if (!counts_ok() || dat4.nlabel < 0 || dat4.nlabel > MaxLabels) {
        app_input_error("no valid model loaded");
        return false;
    }
    for (int i = 1; i <= dat4.nnode; ++i) {
        if (std::abs(dat6.nnb(i)) > MaxNeighbours) {
            app_input_error("node " + std::to_string(i) + ": too many neighbours nodes max 25");
            return false;
        }
    }
    TextOut out;
    if (!out.create(filename)) {
        app_io_error("cannot create", out);
        return false;
    }
    for (int t = 1; t <= TitleLines; ++t) out.line(text.title(t));
    out.line(int_line({dat4.nnode, dat4.nelemhdr, dat4.naq, dat4.nwell}));
    // The model's own extent, whatever part of it the view shows.
    out.line(edit_g_exact(dat11.ext(3), 15, 6) + edit_g_exact(dat11.ext(1), 15, 6));
    out.line(edit_g_exact(dat11.ext(4), 15, 6) + edit_g_exact(dat11.ext(2), 15, 6));
    out.line(int_line({dat1.ihdr1, dat1.ihdr2}));
    const int naq = dat4.naq;
    for (int i = 1; i <= dat4.nnode; ++i) {
        {
            FreeWrite a(out);
            a.i(dat1.nodecode(i)).r(dat4.xnode(i)).r(dat4.ynode(i)).r(dat7.value(i, 0));
            for (int k = 1; k <= naq; ++k) a.i(dat1.nodeint(i)).r(dat7.value(i, 3 * k));
        }
        {
            FreeWrite b(out);
            for (int k = 1; k <= naq; ++k) b.r(dat7.value(i, 3 * k - 2)).r(dat7.value(i, 3 * k - 1));
        }
        // The whole neighbour record on one line: the reader finds the extra
        // value only on the record's last line, so a record split over two
        // lines would lose it.
        const int n = std::abs(dat6.nnb(i));
        std::vector<long long> ring{n};
        for (int e = 1; e <= n; ++e) ring.push_back(dat6.nb(i, e));
        if (dat1.nodeextra(i) != 0) ring.push_back(dat1.nodeextra(i));
        out.line(int_line(ring));
    }
    for (int w = 1; w <= dat4.nwell; ++w)
        FreeWrite(out).i(dat2.wellint1(w)).i(dat2.wellint2(w)).r(dat2.wellval(w)).end();
    for (int k = 1; k <= dat4.nlabel; ++k) out.line(txt_trim(label.labline(k)));
    if (!out.commit()) {
        app_io_error("cannot write", out);
        return false;
    }
    return true;
}
