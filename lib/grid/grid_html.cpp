// A block of a grid as an HTML table, alone or in a page of its own, written
// line by line on the library's general file unit.
#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "lib/dialog/dialog.h"
#include "lib/grid/grid_files.h"
#include "lib/window/bytefile.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"
#include "lib/window/text.h"
#include "platform/os_error.h"

namespace {

constexpr std::int32_t TypeCheck = 9, TypeMenu = 11;

// Six lower-case hexadecimal digits, red first; only the low 24 bits of a
// packed colour count.
std::string hex_colour(std::int32_t r, std::int32_t g, std::int32_t b) {
    char s[8];
    std::snprintf(s, sizeof s, "%02x%02x%02x", static_cast<unsigned>(r & 0xFF), static_cast<unsigned>(g & 0xFF),
                  static_cast<unsigned>(b & 0xFF));
    return s;
}

// A text of the grid as HTML character data: the characters markup gives a
// meaning of its own stand as references, so that "W-04 <deep>" or "K&D"
// reads as it is; the other bytes stay Windows-1252, as the page declares.
std::string html_text(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

struct Page {
    std::int32_t field;
    int status = 0;   // the first failed write's code; later writes do nothing
    void line(std::string_view text) { yywrite(text, status); }
};

}  // namespace

void WGridSaveHTML(std::int32_t field, std::string_view filename, GridOptInt col1, GridOptInt col2, GridOptInt row1,
                   GridOptInt row2, GridOptInt flags_in, std::optional<std::string_view> title_in, GridOptInt border,
                   GridOptInt rgb) {
    constexpr std::string_view name = "WGridSaveHTML";
    int error = 0;
    const std::int32_t unit = quinda.LFNGEN;
    // What goes wrong is reported once, at the end.
    const auto finish = [&] {
        if (error) yyerror(error, name);
    };
    if (dialog_state.current_id == 0 && field != 0) {
        error = 1005;
        return finish();
    }
    std::int32_t rows = 0, columns = 0;
    {
        std::int32_t s = field;
        yygridgetinfo(s, 3, rows);
        if (s == -1) {
            error = 1006;
            return finish();
        }
        yygridgetinfo(s, 1, columns);
    }
    const std::int32_t c1 = std::max(1, col1.value_or(1));
    const std::int32_t c2 = std::min(columns, col2.value_or(columns));
    const std::int32_t r1 = std::max(1, row1.value_or(1));
    const std::int32_t r2 = std::min(rows, row2.value_or(rows));
    const std::int32_t flags = flags_in.value_or(0);

    // The page goes to a new file that takes the old one's place only when complete.
    const std::string target = grid_file_name(filename);
    if (const int rc = target.empty() ? OS_ERROR_INVALID_NAME : yyunitopensave(unit, target); rc != OS_OK) {
        quinda.io_status = rc;
        quinda.status_kind = StatusKindOs;
        error = 1;
        return finish();
    }
    Page p{field};
    const auto failed = [&] {
        if (p.status == 0) return false;
        quinda.io_status = p.status;
        quinda.status_kind = StatusKindOs;
        error = 2;
        yyunitclose(unit);
        return true;
    };
    std::string title;
    if (title_in) title = html_text(txt_trim(title_in->substr(0, title_in->find('\0'))));
    if (!(flags & GHF_TABLEONLY)) {
        p.line("<html>");
        p.line("<head>");
        // The library's text is Windows-1252; without this a reader guesses.
        p.line("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">");
        if (title_in) p.line("<title>" + title + "</title>");
        p.line("</head>");
        p.line(rgb ? "<body bgcolor=#" + hex_colour(*rgb, *rgb >> 8, *rgb >> 16) + ">" : std::string("<body>"));
    }
    if (flags & GHF_CENTRE) p.line("<center>");
    if (title_in && !title.empty()) p.line("<h2>" + title + "</h2>");
    p.line("<table border=" + std::to_string(border && *border > 0 ? *border : 0) + " cellpadding=5>");
    if (failed()) return finish();

    std::vector<std::int32_t> align(static_cast<std::size_t>(std::max(0, c2 - c1 + 1)), 0);
    for (std::int32_t c = c1; c <= c2; ++c) {
        std::int32_t s = field;
        yygridgetalign(s, c - 1, align[static_cast<std::size_t>(c - c1)]);
    }
    static constexpr const char* AlignName[3] = {"left", "center", "right"};
    std::int32_t has_header = 0, label_width = 0;
    {
        std::int32_t s = field;
        yygridgetlabels(s, has_header, label_width);
    }
    const bool labels = label_width != 0;
    std::string text;
    if (has_header) {
        p.line("<tr>");
        if (labels) p.line("<td></td>");
        for (std::int32_t c = c1; c <= c2; ++c) {
            std::int32_t s = field;
            text.clear();
            yygridgetcolumnlabel(s, c, text, 1024);
            p.line("<td align=center>");
            p.line(html_text(text));
            p.line("</td>");
        }
        p.line("</tr>");
        if (failed()) return finish();
    }
    for (std::int32_t r = r1; r <= r2; ++r) {
        p.line("<tr>");
        if (labels) {
            std::int32_t s = field;
            text.clear();
            yygridgetrowlabel(s, r - 1, text, 51);
            p.line("<td align=left>");
            p.line(html_text(text));
            p.line("</td>");
        }
        for (std::int32_t c = c1; c <= c2; ++c) {
            std::array<std::int32_t, 3> fore{-1, -1, -1}, back{-1, -1, -1};
            std::int32_t s = field;
            if (!(flags & GHF_NOCOLOURS)) yygridgetcolour(s, c - 1, r - 1, fore, back);
            const int a = std::clamp(align[static_cast<std::size_t>(c - c1)], 0, 2);
            std::string open = "<td align=";
            open += AlignName[a];
            if (back[0] != -1) open += " bgcolor=#" + hex_colour(back[0], back[1], back[2]);
            p.line(open + ">");
            if (fore[0] != -1) p.line("<font color=#" + hex_colour(fore[0], fore[1], fore[2]) + ">");
            std::int32_t type = 0;
            s = field;
            yygridcelltype(s, c - 1, type);
            if (type == TypeCheck) {
                std::int32_t v = 0;
                yygridgetcellcheck(s, c - 1, r - 1, v);
                if (flags & GHF_YESNO) p.line(v == 1 ? "Y" : "N");
                else p.line(v == 1 ? "<font face=\"Symbol\">&middot;</font>" : "&nbsp;");
            } else if (type == TypeMenu) {
                std::int32_t option = 0;
                yygridgetcellmenu(s, c - 1, r - 1, option);
                text.clear();
                if (option != 0) yygridgetmenustring(s, c - 1, option, text, 1024);
                p.line(option != 0 ? html_text(text) : std::string(" "));
            } else {
                text.clear();
                yygridgetcellstring(s, c - 1, r - 1, text, 1024);
                p.line(html_text(text));
            }
            if (fore[0] != -1) p.line("</font>");
            p.line("</td>");
        }
        p.line("</tr>");
        if (failed()) return finish();
    }
    p.line("</table>");
    if (flags & GHF_CENTRE) p.line("</center>");
    if (!(flags & GHF_TABLEONLY)) {
        p.line("</body>");
        p.line("</html>");
    }
    if (failed()) return finish();
    if (const int rc = yyunitcommit(unit); rc != OS_OK) {
        quinda.io_status = rc;
        quinda.status_kind = StatusKindOs;
        error = 2;
    }
    finish();
}
