// Text records: the format parser on the first line of the input, then the
// rest read in that format, in free format and field by field, and values
// written in the format.
#include "app/records.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(records) {
    const std::string_view text = fuzz_text(data, size);
    const std::size_t nl = text.find('\n');
    const std::string_view format = text.substr(0, nl);
    const std::string rest(nl == std::string_view::npos ? std::string_view{} : text.substr(nl + 1));

    const Format f = parse_format(format);
    fuzz_check(!f.valid || f.items.size() <= 100000, "a format's expansion is bounded");

    TextIn in;
    in.open_text(rest);
    {
        FormRead r(in, format);
        std::int32_t i = 0;
        float x = 0;
        double y = 0;
        std::string a(8, ' ');
        r.i(i).r(x).r(y).a(a).i(i).r(x);
        r.end();
    }
    {
        FreeRead r(in);
        std::int32_t i = 0;
        float x = 0;
        std::string a(4, ' ');
        r.i(i).r(x).a(a).r(x);
        r.end();
    }
    {
        // Runs of items in one call.
        FreeRead r(in);
        std::int32_t iv[3] = {};
        float fv[5] = {};
        r.r(fv, 5).pairs(iv, fv, 3).r(fv, 2);
        r.end();
    }
    std::string_view line;
    while (in.next_line(line)) {
        const int n = nveld(line);
        float v = 0;
        for (int k = 1; k <= n && k <= 50; ++k) datstr(k, line, v);
        int ib = 0, ie = 0;
        argstr(n, line, ib, ie);
        std::string entry(line.substr(0, 80));
        int ierr = 0;
        waarde(entry, v, ierr);
    }

    TextOut out;
    out.memory();
    {
        FormWrite w(out, format);
        w.i(-12345).r(3.25e-7).a("text").r(-1e30).i(7);
    }
    format_text(format, 1.5);
}
