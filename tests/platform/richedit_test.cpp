// The rich-edit control: streams, positions, find, formats with mixed
// states, undo and redo, protected text and its notifications.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/os_richedit.h"
#include "tests/support/quinda_test.h"

namespace {

std::vector<std::int32_t> g_notes;  // notification codes the parent saw
std::intptr_t g_protect_answer = 0;

std::intptr_t parent_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_COMMAND) g_notes.push_back(static_cast<std::int32_t>(wp >> 16));
    if (m == OSM_NOTIFY) {
        const auto* h = reinterpret_cast<const OsNotifyHeader*>(lp);
        g_notes.push_back(h->code);
        if (h->code == OS_EN_PROTECTED) return g_protect_answer;
        return 0;
    }
    return os_def_window_proc(w, m, wp, lp);
}

std::int32_t read_from_string(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    auto* s = reinterpret_cast<std::pair<std::string, std::size_t>*>(cookie);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(cb), s->first.size() - s->second);
    std::memcpy(buf, s->first.data() + s->second, n);
    s->second += n;
    *done = static_cast<std::int32_t>(n);
    return 0;
}
std::int32_t append_to_string(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<char*>(buf), static_cast<std::size_t>(cb));
    *done = cb;
    return 0;
}
std::int32_t failing(std::intptr_t, unsigned char*, std::int32_t, std::int32_t* done) {
    *done = 0;
    return 5;
}

class RichEditTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        g_notes.clear();
        g_protect_answer = 0;
        os_register_controls();
        if (!os_class_atom("REPARENT")) {
            OsWndClass c;
            c.name = "REPARENT";
            c.proc = parent_proc;
            c.background = 0xFFFFFF;
            ASSERT_NE(os_register_class(c), 0);
        }
        parent = os_create_window(0, "REPARENT", "", OS_WS_POPUP, 0, 0, 400, 300, 0, 0, 0);
        re = os_create_window(0, "RichEdit20A", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_HSCROLL | OS_ES_MULTILINE, 0, 0,
                              400, 300, parent, 0, 1002);
        ASSERT_NE(re, 0);
        send(OS_EM_EXLIMITTEXT, 0, 104857500);
    }
    void TearDown() override {
        os_destroy_window(parent);
        QuindaTest::TearDown();
    }
    std::intptr_t send(std::uint32_t m, std::uintptr_t wp = 0, std::intptr_t lp = 0) { return os_send_message(re, m, wp, lp); }
    void stream_in(const std::string& s, std::uint32_t fmt) {
        std::pair<std::string, std::size_t> src{s, 0};
        OsEditStream es{reinterpret_cast<std::intptr_t>(&src), 0, read_from_string};
        send(OS_EM_STREAMIN, fmt, reinterpret_cast<std::intptr_t>(&es));
    }
    std::string stream_out(std::uint32_t fmt) {
        std::string out;
        OsEditStream es{reinterpret_cast<std::intptr_t>(&out), 0, append_to_string};
        send(OS_EM_STREAMOUT, fmt, reinterpret_cast<std::intptr_t>(&es));
        return out;
    }
    void select(std::int32_t a, std::int32_t b) {
        OsCharRange cr{a, b};
        send(OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    }
    OsCharRange selection() {
        OsCharRange cr;
        send(OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        return cr;
    }
    OsCharFormat char_format() {
        OsCharFormat cf;
        send(OS_EM_GETCHARFORMAT, 1, reinterpret_cast<std::intptr_t>(&cf));
        return cf;
    }
    void set_char(std::uint32_t mask, std::uint32_t effects) {
        OsCharFormat cf;
        cf.mask = mask;
        cf.effects = effects;
        send(OS_EM_SETCHARFORMAT, OS_SCF_SELECTION, reinterpret_cast<std::intptr_t>(&cf));
    }
    OsWindow parent = 0, re = 0;
};

TEST_F(RichEditTest, PlainTextStreamsWithOnePositionPerLineBreak) {
    stream_in("one\r\ntwo\r\n\xe9t\xe9", OS_SF_TEXT);
    EXPECT_EQ(send(OS_EM_GETTEXTLENGTH), 11);  // 3 + 1 + 3 + 1 + 3
    EXPECT_EQ(send(OS_EM_GETLINECOUNT), 3);
    EXPECT_EQ(send(OS_EM_LINEINDEX, 1), 4);
    EXPECT_EQ(send(OS_EM_LINEFROMCHAR, 9), 2);
    EXPECT_EQ(send(EM_GETMODIFY), 0);
    EXPECT_EQ(stream_out(OS_SF_TEXT), "one\r\ntwo\r\n\xe9t\xe9");
    char buf[32] = {};
    OsTextRange tr{{2, 6}, buf};
    EXPECT_EQ(send(OS_EM_GETTEXTRANGE, 0, reinterpret_cast<std::intptr_t>(&tr)), 4);
    EXPECT_STREQ(buf, "e\rtw");
    // A failing callback stops the stream and keeps its error.
    OsEditStream es{0, 0, failing};
    send(OS_EM_STREAMOUT, OS_SF_TEXT, reinterpret_cast<std::intptr_t>(&es));
    EXPECT_EQ(es.error, 5);
}

// A stream may hand over its text in pieces of any size: a CR LF split
// between two pieces is still one line break, a CR at a piece's end alone
// is one too.
TEST_F(RichEditTest, LineBreaksSplitBetweenStreamPiecesCountOnce) {
    struct Pieces {
        std::string text;
        std::size_t at = 0, size = 0;
    };
    auto by_pieces = [](std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) -> std::int32_t {
        auto* p = reinterpret_cast<Pieces*>(cookie);
        const std::size_t n = std::min({static_cast<std::size_t>(cb), p->size, p->text.size() - p->at});
        std::memcpy(buf, p->text.data() + p->at, n);
        p->at += n;
        *done = static_cast<std::int32_t>(n);
        return 0;
    };
    const std::string text = "ab\r\ncd\re\r\n\r\nf\ng\r";
    for (const std::size_t size : {1u, 2u, 3u, 4u, 5u}) {
        for (const std::uint32_t sel : {0u, static_cast<std::uint32_t>(OS_SFF_SELECTION)}) {
            if (sel) {
                stream_in("", OS_SF_TEXT);
                select(0, 0);
            }
            Pieces p{text, 0, size};
            OsEditStream es{reinterpret_cast<std::intptr_t>(&p), 0, +by_pieces};
            send(OS_EM_STREAMIN, OS_SF_TEXT | sel, reinterpret_cast<std::intptr_t>(&es));
            EXPECT_EQ(send(OS_EM_GETLINECOUNT), 7) << size << " " << sel;
            EXPECT_EQ(stream_out(OS_SF_TEXT), "ab\r\ncd\r\ne\r\n\r\nf\r\ng\r\n") << size << " " << sel;
        }
    }
}

TEST_F(RichEditTest, RtfInAndOutKeepsFormats) {
    stream_in("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}}{\\colortbl;\\red255\\green0\\blue0;}\\pard\\qc "
              "{\\b bold}{\\cf1\\i red}\\par\\pard{\\*\\pn\\pnlvlblt}item}",
              OS_SF_RTF);
    EXPECT_EQ(send(OS_EM_GETTEXTLENGTH), 12);
    select(0, 4);
    OsCharFormat cf = char_format();
    EXPECT_TRUE(cf.mask & OS_CFM_BOLD);
    EXPECT_TRUE(cf.effects & OS_CFE_BOLD);
    OsParaFormat pf;
    send(OS_EM_GETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    EXPECT_EQ(pf.alignment, OS_PFA_CENTER);
    select(8, 9);
    send(OS_EM_GETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    EXPECT_EQ(pf.numbering, OS_PFN_BULLET);
    const std::string rtf = stream_out(OS_SF_RTF);
    EXPECT_NE(rtf.find("\\qc"), std::string::npos);
    EXPECT_NE(rtf.find("\\b bold"), std::string::npos);
    EXPECT_NE(rtf.find("\\red255\\green0\\blue0"), std::string::npos);
    EXPECT_NE(rtf.find("\\pnlvlblt"), std::string::npos);
    // Text that is not RTF streams in as text.
    stream_in("{\\notrtf", OS_SF_RTF);
    EXPECT_EQ(stream_out(OS_SF_TEXT), "{\\notrtf");
}

TEST_F(RichEditTest, FindsDownAndUpWithWholeWordAndCase) {
    stream_in("cat Cat concat\r\ncat", OS_SF_TEXT);
    struct Case {
        std::uint32_t flags;
        std::int32_t from, to;
        std::int32_t found;
    };
    const Case cases[] = {
        {OS_FR_DOWN, 0, -1, 0},
        {OS_FR_DOWN, 1, -1, 4},
        {OS_FR_DOWN | OS_FR_MATCHCASE, 1, -1, 11},
        {OS_FR_DOWN | OS_FR_MATCHCASE | OS_FR_WHOLEWORD, 1, -1, 15},
        {OS_FR_DOWN, 16, -1, -1},
        {0, 18, 0, 15},                    // up from the end
        {OS_FR_WHOLEWORD, 14, 0, 4},       // up, whole words only
        {0, 2, 0, -1},                     // nothing wholly before position 2
    };
    for (const Case& c : cases) {
        OsFindText ft{{c.from, c.to}, "cat", {}};
        EXPECT_EQ(send(OS_EM_FINDTEXTEX, c.flags, reinterpret_cast<std::intptr_t>(&ft)), c.found) << c.flags << " " << c.from;
        if (c.found >= 0) {
            EXPECT_EQ(ft.found.cpMax, c.found + 3);
        }
    }
}

TEST_F(RichEditTest, MixedBoldReportsNotUniformAndTogglesAsOneStep) {
    stream_in("plain bold", OS_SF_TEXT);
    select(6, 10);
    set_char(OS_CFM_BOLD, OS_CFE_BOLD);
    select(0, 10);
    EXPECT_FALSE(char_format().mask & OS_CFM_BOLD);  // mixed
    set_char(OS_CFM_BOLD, OS_CFE_BOLD);
    OsCharFormat cf = char_format();
    EXPECT_TRUE((cf.mask & OS_CFM_BOLD) && (cf.effects & OS_CFE_BOLD));
    EXPECT_EQ(send(OS_EM_CANUNDO), 1);
    send(OS_EM_UNDO);
    select(0, 10);
    EXPECT_FALSE(char_format().mask & OS_CFM_BOLD);
    EXPECT_EQ(send(OS_EM_CANREDO), 1);
    send(OS_EM_REDO);
    select(0, 10);
    EXPECT_TRUE(char_format().effects & OS_CFE_BOLD);
}

TEST_F(RichEditTest, ReplaceSelectionUndoesAndNotifies) {
    send(OS_EM_SETEVENTMASK, 0, OS_ENM_CHANGE | OS_ENM_SELCHANGE);
    stream_in("hello world", OS_SF_TEXT);
    send(OS_EM_EMPTYUNDOBUFFER);
    g_notes.clear();
    select(0, 5);
    send(EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>("bye\r\nnow"));
    EXPECT_EQ(stream_out(OS_SF_TEXT), "bye\r\nnow world");
    EXPECT_EQ(selection().cpMin, 7);
    EXPECT_EQ(send(EM_GETMODIFY), 1);
    EXPECT_NE(std::find(g_notes.begin(), g_notes.end(), EN_CHANGE), g_notes.end());
    EXPECT_NE(std::find(g_notes.begin(), g_notes.end(), OS_EN_SELCHANGE), g_notes.end());
    send(OS_EM_UNDO);
    EXPECT_EQ(stream_out(OS_SF_TEXT), "hello world");
    // A replacement that cannot be undone leaves nothing to undo before it either.
    select(0, 0);
    send(EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>(">"));
    EXPECT_EQ(stream_out(OS_SF_TEXT), ">hello world");
    EXPECT_EQ(send(OS_EM_CANUNDO), 0);
}

TEST_F(RichEditTest, ProtectedTextAsksTheParent) {
    send(OS_EM_SETEVENTMASK, 0, OS_ENM_PROTECTED);
    stream_in("keep edit", OS_SF_TEXT);
    select(0, 4);
    set_char(OS_CFM_PROTECTED, OS_CFE_PROTECTED);
    g_protect_answer = 1;  // refused
    select(1, 3);
    send(OSM_CHAR, 'x');
    select(0, 6);
    send(EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>("z"));
    EXPECT_EQ(stream_out(OS_SF_TEXT), "keep edit");
    select(6, 6);
    send(OSM_CHAR, 'x');  // unprotected: no question
    EXPECT_EQ(stream_out(OS_SF_TEXT), "keep exdit");
    g_protect_answer = 0;  // allowed
    select(0, 1);
    send(OSM_CHAR, 'K');
    EXPECT_EQ(stream_out(OS_SF_TEXT), "Keep exdit");
}

TEST_F(RichEditTest, ZoomAndReadOnly) {
    EXPECT_EQ(send(OS_EM_SETZOOM, 3, 2), 1);
    std::int32_t n = 0, d = 0;
    send(OS_EM_GETZOOM, reinterpret_cast<std::uintptr_t>(&n), reinterpret_cast<std::intptr_t>(&d));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(d, 2);
    EXPECT_EQ(send(OS_EM_SETZOOM, 1, 100), 0);  // beyond 1/64
    send(EM_SETREADONLY, 1);
    send(OSM_CHAR, 'a');
    EXPECT_EQ(send(OS_EM_GETTEXTLENGTH), 0);
}

TEST_F(RichEditTest, FormattedTextIsDrawnWithItsSelection) {
    os_show_window(parent, OS_SW_SHOW);
    stream_in("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}{\\colortbl;\\red200\\green0\\blue0;}"
              "\\pard\\qc{\\b\\fs36 Heads}\\par\\pard{\\cf1 red }{\\i\\f1 italic }{\\ul under}\\par"
              "\\pard{\\*\\pn\\pnlvlblt}bullet\\par\\pard\\qr right}",
              OS_SF_RTF);
    select(0, 5);
    TempDir dir;
    const std::string png = dir.file("richedit.png");
    ASSERT_TRUE(os_grab_window_png(parent, png));
    if (const char* keep = std::getenv("QUINDA_KEEP_GRAB")) write_file(std::string(keep) + "/richedit.png", read_file(png));
    EXPECT_GT(read_file(png).size(), 1000u);
}

}  // namespace
