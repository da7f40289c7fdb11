// The editor's text input beyond the RTF parser: any bytes streamed into a
// rich-edit control as plain text and as RTF (the whole text and in place
// of a selection), written out again both ways, and pasted from the
// clipboard, as the editor window's file load and Paste do.
#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>

#include "platform/os_dialog.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

std::int32_t read_from(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    auto* src = reinterpret_cast<std::pair<std::string_view, std::size_t>*>(cookie);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(cb), src->first.size() - src->second);
    std::copy_n(src->first.data() + src->second, n, buf);
    src->second += n;
    *done = static_cast<std::int32_t>(n);
    return 0;
}

std::int32_t append_to(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buf), static_cast<std::size_t>(cb));
    *done = cb;
    return 0;
}

OsWindow editor() {
    static OsWindow parent = 0, re = 0;
    if (re && os_is_window(re)) return re;
    os_register_controls();
    if (!os_class_atom("FUZZPARENT")) {
        OsWndClass c;
        c.name = "FUZZPARENT";
        c.proc = os_def_window_proc;
        os_register_class(c);
    }
    parent = os_create_window(0, "FUZZPARENT", "", OS_WS_POPUP, 0, 0, 400, 300, 0, 0, 0);
    re = os_create_window(0, "RichEdit20A", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_ES_MULTILINE, 0, 0, 400, 300,
                          parent, 0, 1002);
    os_send_message(re, OS_EM_EXLIMITTEXT, 0, 1 << 20);
    return re;
}

}  // namespace

FUZZ_TARGET(editor) {
    const OsWindow re = editor();
    fuzz_check(re != 0, "a rich-edit control");
    const std::string_view text = fuzz_text(data, size);
    const std::uint32_t text_fmt = OS_SF_TEXT, rtf_fmt = OS_SF_RTF, sel = OS_SFF_SELECTION;
    for (std::uint32_t format : {text_fmt, rtf_fmt, rtf_fmt | sel, text_fmt | sel}) {
        if (format & OS_SFF_SELECTION) {
            OsCharRange cr{1, 3};
            os_send_message(re, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        }
        std::pair<std::string_view, std::size_t> src{text, 0};
        OsEditStream in{reinterpret_cast<std::intptr_t>(&src), 0, read_from};
        os_send_message(re, OS_EM_STREAMIN, format, reinterpret_cast<std::intptr_t>(&in));
        for (std::uint32_t out_format : {text_fmt, rtf_fmt}) {
            std::string out;
            OsEditStream es{reinterpret_cast<std::intptr_t>(&out), 0, append_to};
            os_send_message(re, OS_EM_STREAMOUT, out_format, reinterpret_cast<std::intptr_t>(&es));
        }
    }
    os_clipboard_set_text(std::string(text));
    OsCharRange end{-1, -1};
    os_send_message(re, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&end));
    os_send_message(re, OS_EM_PASTE, 0, 0);
    // Kept small, so that each input is tested on its own.
    os_set_window_text(re, "");
}
