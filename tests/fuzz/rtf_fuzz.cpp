// The RTF reader: any bytes read without fault, and what it reads written
// and read again to the same text.
#include <string>

#include "platform/os_rtf.h"
#include "tests/fuzz/fuzz_target.h"

namespace {
std::string text_of(const osrtf::Document& d) {
    std::string s;
    for (const osrtf::Paragraph& p : d.paras) {
        for (const osrtf::Run& r : p.runs) s += r.text;
        s += '\n';
    }
    return s;
}
}  // namespace

FUZZ_TARGET(rtf) {
    osrtf::Document d;
    if (!osrtf::read(fuzz_text(data, size), d)) return;
    fuzz_check(!d.paras.empty(), "a read document has a paragraph");
    osrtf::Document again;
    fuzz_check(osrtf::read(osrtf::write(d), again), "written RTF reads");
    fuzz_check(text_of(again) == text_of(d), "written RTF keeps the text");
}
