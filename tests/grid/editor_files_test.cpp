// Editor files and buffers: loading plain and RTF files, saving safely,
// the held file, the save question, the buffer table and positions.
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "lib/grid/editor.h"
#include "platform/os_commondlg.h"
#include "platform/os_dc.h"
#include "platform/os_gdi.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_fontdlg.h"
#include "platform/os_rtf.h"
#include "platform/os_msgbox.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"
#include "tests/grid/picture.h"
#include "tests/support/font_metrics.h"
#include "tests/support/quinda_test.h"

namespace {

std::intptr_t frame_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    return os_def_window_proc(w, m, wp, lp);
}

class EditorFilesTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        os_register_controls();
        if (!os_class_atom("EDFRAME")) {
            OsWndClass c;
            c.name = "EDFRAME";
            c.proc = frame_proc;
            ASSERT_NE(os_register_class(c), 0);
        }
        wtab.iVerRTF = 3;
        boxes.clear();
        os_message_box_set_responder([this](const OsMessageBoxRequest& q) {
            boxes.push_back(q.caption + ": " + q.text);
            return answer;
        });
    }
    void TearDown() override {
        for (int s = 1; s <= 3; ++s)
            if (wtab.wWindow[static_cast<std::size_t>(s)]) {
                yyeditdetach(wtab.wWindow[static_cast<std::size_t>(s)]);
                os_destroy_window(wtab.wWindow[static_cast<std::size_t>(s)]);
                wtab.wWindow[static_cast<std::size_t>(s)] = 0;
            }
        os_message_box_set_responder({});
        os_common_dialog_set_responder({});
        wtab.wIndex = 0;
    }
    // An editor in slot 1 made current.
    EditorWindowData& make(std::int32_t flags, const char* base = "Ed") {
        // A second editor in a test replaces the first one, which goes with its record.
        if (wtab.wWindow[1]) {
            yyeditdetach(wtab.wWindow[1]);
            os_destroy_window(wtab.wWindow[1]);
            wtab.wWindow[1] = 0;
        }
        const OsWindow f = os_create_window(0, "EDFRAME", base, OS_WS_CAPTION | OS_WS_THICKFRAME, 0, 0, 500, 400, 0, 0, 0);
        const OsWindow re = os_create_window(0, "RichEdit20A", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_HSCROLL | OS_ES_MULTILINE,
                                             0, 0, 480, 300, f, 0, 1002);
        os_send_message(re, OS_EM_EXLIMITTEXT, 0, 104857500);
        wtab.wWindow[1] = f;
        wtab.wIndex = 1;
        EditorWindowData* r = yyeditattach(f, re, flags);
        std::snprintf(r->szBaseTitle, sizeof r->szBaseTitle, "%s", base);
        return *r;
    }
    OsWindow frame() const { return wtab.wWindow[1]; }
    std::string text(EditorWindowData& r) {
        std::string out;
        OsEditStream es{reinterpret_cast<std::intptr_t>(&out), 0,
                        [](std::intptr_t c, unsigned char* b, std::int32_t n, std::int32_t* done) -> std::int32_t {
                            reinterpret_cast<std::string*>(c)->append(reinterpret_cast<char*>(b), static_cast<std::size_t>(n));
                            *done = n;
                            return 0;
                        }};
        os_send_message(r.hRichEdit, OS_EM_STREAMOUT, OS_SF_TEXT, reinterpret_cast<std::intptr_t>(&es));
        return out;
    }
    bool open(EditorWindowData& r, const std::string& name) {
        std::snprintf(r.szFileName, sizeof r.szFileName, "%s", name.c_str());
        return yyEditOpenFile(frame(), 0) == 1;
    }
    void type(EditorWindowData& r, const char* s) {
        for (; *s; ++s) os_send_message(r.hRichEdit, OSM_CHAR, static_cast<unsigned char>(*s), 0);
    }
    // The editor's font as a program chooses it: Times New Roman, 18 points.
    void times18(EditorWindowData& r, const char* text) {
        std::int32_t st = 1;
        yyeditfont(2, 18, st);
        ASSERT_EQ(st, 0);
        yyeditputtext(st, text);
        (void)r;
    }
    OsCharFormat format_of(EditorWindowData& r, std::int32_t a, std::int32_t b) {
        OsCharRange cr{a, b};
        os_send_message(r.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        OsCharFormat cf;
        os_send_message(r.hRichEdit, OS_EM_GETCHARFORMAT, 1, reinterpret_cast<std::intptr_t>(&cf));
        return cf;
    }
    std::vector<std::string> boxes;
    int answer = OS_IDOK;
    TempDir dir;
};

TEST_F(EditorFilesTest, PlainTextLoadsWithBlanksForNulsAndWithoutCtrlZ) {
    EditorWindowData& r = make(0);
    write_file(dir.file("a.txt"), std::string("a\0b\r\nc\x1a", 7));
    ASSERT_TRUE(open(r, dir.file("a.txt")));
    EXPECT_EQ(text(r), "a b\r\nc");
    EXPECT_EQ(os_send_message(r.hRichEdit, EM_GETMODIFY, 0, 0), 0);
    EXPECT_EQ(os_get_window_text(frame()), "Ed - [" + dir.file("a.txt") + "]");
    // An RTF header in a text file stays literal.
    write_file(dir.file("b.txt"), "{\\rtf1 {\\b x}}");
    ASSERT_TRUE(open(r, dir.file("b.txt")));
    EXPECT_EQ(text(r), "{\\rtf1 {\\b x}}");
    // A missing file: "Open Error" with the system's text, nothing changed.
    EXPECT_FALSE(open(r, dir.file("none.txt")));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Open Error: ", 0), 0u);
    EXPECT_EQ(text(r), "{\\rtf1 {\\b x}}");
}

TEST_F(EditorFilesTest, RtfOnlyInRichTextModeAndByItsEnding) {
    struct Case {
        std::int32_t flags;
        const char* name;
        bool rtf;
    };
    const Case cases[] = {
        {EWF_RICHTEXT, "x.rtf", true}, {EWF_RICHTEXT, "X.RTF", true}, {0, "X.RTF", false},
        {EWF_RICHTEXT, "rtf", false},  {EWF_RICHTEXT, "x.rtx", false},
    };
    for (const Case& c : cases) {
        EditorWindowData& r = make(c.flags);
        EXPECT_EQ(yyeditisrtf(r, c.name), c.rtf) << c.name;
        write_file(dir.file(c.name), "{\\rtf1 {\\b bold} text}");
        ASSERT_TRUE(open(r, dir.file(c.name)));
        EXPECT_EQ(text(r), c.rtf ? "bold text" : "{\\rtf1 {\\b bold} text}") << c.name;
        yyeditdetach(frame());
        os_destroy_window(frame());
        wtab.wWindow[1] = 0;
    }
}

TEST_F(EditorFilesTest, SaveWritesBesideAndReplacesKeepingModeAndLinksBackup) {
    EditorWindowData& r = make(EWF_BACKUP | EWF_MODIFIEDMARK);
    const std::string name = dir.file("a.txt");
    write_file(name, "old\r\n");
    ::chmod(name.c_str(), 0640);
    std::filesystem::create_symlink(name, dir.file("link.txt"));
    ASSERT_TRUE(open(r, dir.file("link.txt")));
    type(r, "new ");
    yyEditTitle(frame());
    EXPECT_EQ(os_get_window_text(frame()), "Ed - [" + dir.file("link.txt") + " *]");
    // Save with a name asks nothing.
    os_common_dialog_set_responder([](const OsCommonDialogRequest&) -> OsCommonDialogAnswer {
        ADD_FAILURE() << "no dialog expected";
        return {};
    });
    ASSERT_EQ(yyEditSaveFile(frame(), 0), 1);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.txt")));
    EXPECT_EQ(read_file(name), "new old\r\n");
    EXPECT_EQ(read_file(dir.file("link.txt.bak")), "old\r\n");
    struct stat st {};
    ::stat(name.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(os_get_window_text(frame()), "Ed - [" + dir.file("link.txt") + "]");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);  // no temporary left
    // Save As always asks; Cancel saves nothing.
    int asked = 0;
    os_common_dialog_set_responder([&](const OsCommonDialogRequest& q) {
        ++asked;
        EXPECT_EQ(q.kind, OsCommonDialogKind::Save);
        EXPECT_EQ(q.filters.size(), 2u);
        return OsCommonDialogAnswer{};
    });
    EXPECT_EQ(yyEditSaveFile(frame(), 1), 0);
    EXPECT_EQ(asked, 1);
}

TEST_F(EditorFilesTest, FailedSaveKeepsTheOldFile) {
    EditorWindowData& r = make(0);
    const std::string name = dir.file("a.txt");
    write_file(name, "precious");
    ASSERT_TRUE(open(r, name));
    std::string big(200000, 'x');
    os_send_message(r.hRichEdit, EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>(big.c_str()));
    // A device that fills up: writes beyond 64 KiB fail.
    struct rlimit old {};
    ::getrlimit(RLIMIT_FSIZE, &old);
    auto* prev = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit lim = old;
    lim.rlim_cur = 65536;
    ::setrlimit(RLIMIT_FSIZE, &lim);
    const std::int32_t ok = yyEditSaveFile(frame(), 0);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, prev);
    EXPECT_EQ(ok, 0);
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.back().rfind("Write Error: ", 0), 0u);
    EXPECT_EQ(read_file(name), "precious");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    EXPECT_EQ(os_send_message(r.hRichEdit, EM_GETMODIFY, 0, 0), 1);
}

TEST_F(EditorFilesTest, HeldFileKeepsOurWritersOutUntilReleased) {
    EditorWindowData& r = make(0);
    write_file(dir.file("a.txt"), "x");
    ASSERT_TRUE(open(r, dir.file("a.txt")));
    std::int32_t h = -1;
    EXPECT_EQ(os_file_open(dir.file("a.txt"), OS_ACCESS_WRITE, OS_SHARE_READ, OS_OPEN_EXISTING, h), OS_ERROR_SHARING_VIOLATION);
    yyEditCloseFile(frame());
    EXPECT_EQ(os_file_open(dir.file("a.txt"), OS_ACCESS_WRITE, OS_SHARE_READ, OS_OPEN_EXISTING, h), OS_OK);
    os_file_close(h);
    // A read-only editor never holds its file.
    EditorWindowData& ro = make(EWF_READONLY);
    ASSERT_TRUE(open(ro, dir.file("a.txt")));
    EXPECT_EQ(ro.hFile[0], 0);
}

TEST_F(EditorFilesTest, SaveQuestionNamesTheFileUnlessHidden) {
    struct Case {
        std::int32_t flags;
        bool named;
        int answer;
        std::int32_t result;
        const char* text;
    };
    const Case cases[] = {
        {0, false, OS_IDNO, 1, "Do you want to save changes?"},
        {0, true, OS_IDCANCEL, 0, "Do you want to save changes to @?"},
        {EWF_HIDENAME, true, OS_IDNO, 1, "Do you want to save changes?"},
        {0, true, OS_IDYES, 1, "Do you want to save changes to @?"},
    };
    for (const Case& c : cases) {
        EditorWindowData& r = make(c.flags, "Base");
        if (c.named) {
            write_file(dir.file("q.txt"), "");
            ASSERT_TRUE(open(r, dir.file("q.txt")));
        }
        type(r, "t");
        boxes.clear();
        answer = c.answer;
        EXPECT_EQ(yyEditCheckSave(frame(), r), c.result);
        ASSERT_EQ(boxes.size(), 1u);
        std::string want = std::string("Base: ") + c.text;
        if (const auto at = want.find('@'); at != std::string::npos) want.replace(at, 1, dir.file("q.txt"));
        EXPECT_EQ(boxes[0], want);
        yyeditdetach(frame());
        os_destroy_window(frame());
        wtab.wWindow[1] = 0;
    }
    EXPECT_EQ(read_file(dir.file("q.txt")), "t");
}

TEST_F(EditorFilesTest, BuffersStoreRetrieveAndCloseRenumbers) {
    EditorWindowData& r = make(EWF_MULTIFILE);
    for (int n = 1; n <= 5; ++n) {
        std::int32_t st = 0;
        yyeditputtext(st, ("text " + std::to_string(n)).c_str());
        const std::string name = "/f" + std::to_string(n);
        yyeditstorebuffer(1, n);
        yyeditstorebuffername(1, n, name.c_str(), 260);
    }
    yyeditclosebuffer(1, 3);
    const char* want[] = {"/f1", "/f2", "/f4", "/f5", ""};
    for (int n = 1; n <= 5; ++n) {
        std::string name;
        yyeditgetbuffername(1, n, name, 259);
        EXPECT_EQ(name, want[n - 1]) << n;
    }
    yyeditretrievebuffer(1, 3);
    EXPECT_EQ(text(r), "text 4");
    // Retrieving an entry without a stream, bad slots and files do nothing.
    yyeditretrievebuffer(1, 3);
    yyeditretrievebuffer(1, 5);
    yyeditstorebuffer(51, 1);
    yyeditstorebuffer(1, 21);
    yyeditstorebuffer(2, 1);  // no editor there
    EXPECT_EQ(text(r), "text 4");
}

TEST_F(EditorFilesTest, ApplicationPositionsCountLineBreaksTwiceUnlessControlPositions) {
    struct Case {
        std::int32_t flags;
        std::int32_t length, start_of_line2, sel_end;
    };
    const Case cases[] = {{0, 10, 5, 9}, {EWF_CONTROLPOS, 8, 4, 7}};
    for (const Case& c : cases) {
        EditorWindowData& r = make(c.flags);
        std::int32_t st = 0;
        yyeditputtext(st, "abc\r\nde\r\nf");
        std::int32_t v = 0;
        yyeditinfo(1, 2, v);
        EXPECT_EQ(v, c.length);
        yyeditconvertpos(2, 1, v);
        EXPECT_EQ(v, c.start_of_line2);
        std::int32_t start = c.start_of_line2;
        yyeditselect(start, c.sel_end);
        char buf[8] = {};
        OsTextRange tr{{0, 0}, buf};
        OsCharRange cr;
        os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        tr.chrg = cr;
        os_send_message(r.hRichEdit, OS_EM_GETTEXTRANGE, 0, reinterpret_cast<std::intptr_t>(&tr));
        EXPECT_STREQ(buf, "de\r");
        yyeditinfo(1, 4, v);
        EXPECT_EQ(v, c.start_of_line2 + 1);
        yyeditinfo(1, 5, v);
        EXPECT_EQ(v, c.sel_end);
        // The text comes with one CR a line break, 8 characters either way:
        // room for them all and the end mark gives all (status 0); the exact
        // length gives all but the last character (status 2, cut).
        struct Read {
            std::int32_t length, status;
            const char* text;
        };
        for (const Read& rd : {Read{c.length + 1, 0, "abc\rde\rf"}, Read{9, 0, "abc\rde\rf"}, Read{8, 2, "abc\rde\r"},
                               Read{3, 2, "ab"}}) {
            std::vector<char> out(32, '#');
            yyeditgettext(st, rd.length, out.data());
            EXPECT_EQ(st, rd.status) << c.flags << " " << rd.length;
            EXPECT_STREQ(out.data(), rd.text) << c.flags << " " << rd.length;
            EXPECT_EQ(out[static_cast<std::size_t>(rd.length)], '#');
        }
        yyeditdetach(frame());
        os_destroy_window(frame());
        wtab.wWindow[1] = 0;
    }
    std::int32_t v = 5;
    yyeditinfo(1, 8, v);
    EXPECT_EQ(v, 3);
    std::int32_t st = 0;
    yyeditgettext(st, 10, nullptr);
    EXPECT_EQ(st, 1);  // not an editor
}

TEST_F(EditorFilesTest, InfoStringNeverWritesBeyondItsRoom) {
    EditorWindowData& r = make(0);
    std::snprintf(r.szFindText, sizeof r.szFindText, "%s", "a long find text");
    char buf[8];
    std::memset(buf, '#', sizeof buf);
    yyeditinfostring(1, 1, buf, 5);
    EXPECT_STREQ(buf, "a lo");
    EXPECT_EQ(buf[5], '#');
}

TEST_F(EditorFilesTest, FindUpAndDownReplaceAndReplaceAll) {
    EditorWindowData& r = make(0);
    std::int32_t st = 0;
    yyeditputtext(st, "one two\r\nTwo two");
    char what[] = "two", with[] = "2";
    FINDREPLACEA& q = r.FindReplace;
    q.find_what = what;
    q.replace_with = with;
    auto sel = [&] {
        OsCharRange cr;
        os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        return std::pair<int, int>(cr.cpMin, cr.cpMax);
    };
    yyeditsetpos(0);
    q.flags = FR_DOWN;
    EXPECT_EQ(yyEditFind(frame(), r, q), 1);
    EXPECT_EQ(sel(), (std::pair<int, int>(4, 7)));
    EXPECT_EQ(yyEditFind(frame(), r, q), 1);
    EXPECT_EQ(sel(), (std::pair<int, int>(8, 11)));  // "Two": case ignored
    q.flags = FR_DOWN | FR_MATCHCASE;
    EXPECT_EQ(yyEditFind(frame(), r, q), 1);
    EXPECT_EQ(sel(), (std::pair<int, int>(12, 15)));
    boxes.clear();
    EXPECT_EQ(yyEditFind(frame(), r, q), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Find: End of text reached"});
    EXPECT_EQ(sel(), (std::pair<int, int>(12, 15)));  // left as it was
    q.flags = 0;  // up
    EXPECT_EQ(yyEditFind(frame(), r, q), 1);
    EXPECT_EQ(sel(), (std::pair<int, int>(8, 11)));
    // Replace on a selection that is not the text only finds the next.
    q.flags = FR_DOWN | FR_MATCHCASE;
    EXPECT_EQ(yyEditReplace(frame(), r, q), 1);
    EXPECT_EQ(text(r), "one two\r\nTwo two");
    EXPECT_EQ(sel(), (std::pair<int, int>(12, 15)));
    EXPECT_EQ(yyEditReplace(frame(), r, q), 0);
    EXPECT_EQ(text(r), "one two\r\nTwo 2");
    // Replace All from the start, ending with "End of text reached".
    q.flags = FR_DOWN | FR_REPLACEALL;
    boxes.clear();
    yyEditFindMessage(frame(), r);
    EXPECT_EQ(text(r), "one 2\r\n2 2");
    EXPECT_EQ(boxes.size(), 1u);
    q.flags = FR_DIALOGTERM;
    r.hFindDialog = 99;
    yyEditFindMessage(frame(), r);
    EXPECT_EQ(r.hFindDialog, 0);
}

TEST_F(EditorFilesTest, BoldOnPartlyBoldSetsThenClearsAndBulletsAndAlignment) {
    EditorWindowData& r = make(EWF_RICHTEXT);
    std::int32_t st = 0;
    yyeditputtext(st, "plain bold\r\nnext");
    auto select = [&](int a, int b) {
        OsCharRange cr{a, b};
        os_send_message(r.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    };
    auto fmt = [&] {
        OsCharFormat cf;
        os_send_message(r.hRichEdit, OS_EM_GETCHARFORMAT, 1, reinterpret_cast<std::intptr_t>(&cf));
        return cf;
    };
    select(6, 10);
    yyEditFormatBIU(r, 32166);
    select(0, 10);
    EXPECT_FALSE(fmt().mask & OS_CFM_BOLD);
    r.iCacheRichPos = 7;
    r.iCacheFilePos = 8;
    yyEditFormatBIU(r, 32166);
    EXPECT_TRUE((fmt().mask & OS_CFM_BOLD) && (fmt().effects & OS_CFE_BOLD));
    EXPECT_EQ(r.iCacheRichPos, 7);  // format changes keep the cache
    yyEditFormatBIU(r, 32166);
    EXPECT_TRUE((fmt().mask & OS_CFM_BOLD) && !(fmt().effects & OS_CFE_BOLD));
    // Bullets on one of two paragraphs: mixed, so the next toggle sets both.
    select(0, 0);
    yyEditFormatBullet(r);
    select(0, 14);
    OsParaFormat pf;
    os_send_message(r.hRichEdit, OS_EM_GETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    EXPECT_FALSE(pf.mask & OS_PFM_NUMBERING);
    yyEditFormatBullet(r);
    os_send_message(r.hRichEdit, OS_EM_GETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    EXPECT_TRUE((pf.mask & OS_PFM_NUMBERING) && pf.numbering == OS_PFN_BULLET);
    yyEditFormatLCR(r, 32165);
    os_send_message(r.hRichEdit, OS_EM_GETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    EXPECT_EQ(pf.alignment, OS_PFA_RIGHT);
    // Saved as RTF, read back with the formats.
    ASSERT_EQ(std::string(r.szFileName), "");
    std::snprintf(r.szFileName, sizeof r.szFileName, "%s", dir.file("f.rtf").c_str());
    ASSERT_EQ(yyEditSaveFile(frame(), 0), 1);
    const std::string rtf = read_file(dir.file("f.rtf"));
    EXPECT_NE(rtf.find("\\qr"), std::string::npos);
    EXPECT_NE(rtf.find("\\pnlvlblt"), std::string::npos);
}

TEST_F(EditorFilesTest, TextPartsFormatsOfRangesAndHidingKeepTheView) {
    EditorWindowData& r = make(EWF_RICHTEXT);
    std::int32_t st = 0;
    yyeditputtext(st, "abc\r\ndef\r\nghi");
    // Application positions: "def" starts at 5 (CR LF counts two).
    std::int32_t start = 5;
    yyeditputtextpart(start, 8, "XY");
    EXPECT_EQ(start, 0);
    EXPECT_EQ(text(r), "abc\r\nXY\r\nghi");
    os_send_message(r.hRichEdit, OS_EM_UNDO, 0, 0);
    EXPECT_EQ(text(r), "abc\r\ndef\r\nghi");  // one undo step
    char part[8];
    std::memset(part, '#', sizeof part);
    start = 10;
    yyeditgettextpart(start, 3, part);
    EXPECT_EQ(std::string(part, 3), "ghi");
    EXPECT_EQ(part[3], '#');  // nothing beyond the length asked for
    // Formats of a range, the selection kept.
    yyeditselect(start = 0, 1);
    yyeditformattext(st, 6, 8, 1, -1, 1, -1, 20, 0x0000FF, -2, "Arial");
    EXPECT_EQ(st, 0);
    OsCharRange cr;
    os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    EXPECT_EQ(cr.cpMin, 0);
    EXPECT_EQ(cr.cpMax, 1);
    yyeditformatpara(st, 1, 2, 1, 1);
    EXPECT_EQ(st, 0);
    const std::string rtf = [&] {
        std::int32_t n = 0;
        yyeditcountrtf(n);
        std::string b(static_cast<std::size_t>(n), '\0');
        yyeditgetrtf(reinterpret_cast<unsigned char*>(b.data()));
        return b;
    }();
    EXPECT_NE(rtf.find("\\b\\ul\\cf1 def"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\fs40"), std::string::npos);
    EXPECT_NE(rtf.find("\\qc"), std::string::npos);
    // Hide, change, show: the same selection comes back.
    yyeditselect(start = 1, 2);
    yyeditshowhide(0);
    EXPECT_FALSE(os_is_window_visible(r.hRichEdit));
    yyeditputtextpart(start = 0, 0, ">");
    yyeditshowhide(1);
    os_send_message(r.hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    EXPECT_EQ(cr.cpMin, 1);
    EXPECT_EQ(cr.cpMax, 2);
    // A plain-text editor takes no formats.
    EditorWindowData& plain = make(0);
    (void)plain;
    yyeditformattext(st, 1, 2, 1, -1, -1, -1, -1, -2, -2, "");
    EXPECT_EQ(st, -2);
    yyeditformatpara(st, 1, 2, 1, -1);
    EXPECT_EQ(st, -2);
}

TEST_F(EditorFilesTest, FontChoicesAndLucidaConsoleAsDejaVuSansMono) {
    EditorWindowData& r = make(0);
    auto metrics = [](const OsLogFont& lf) { return font_metrics(lf); };
    OsLogFont a, b;
    a.height = b.height = -17;
    a.face = "Lucida Console";
    b.face = "DejaVu Sans Mono";
    EXPECT_EQ(metrics(a).ascent, metrics(b).ascent);
    EXPECT_EQ(metrics(a).ave_char_width, metrics(b).ave_char_width);
    std::int32_t st = 5, last = 0;
    for (std::int32_t choice = 7; choice <= 10; ++choice) {
        yyeditfont(choice, 99, st);  // the size is ignored for these
        EXPECT_EQ(st, 0);
        EXPECT_GT(r.nLineHeight, last) << choice;
        EXPECT_LE(r.nCharHeight, r.nLineHeight);
        last = r.nLineHeight;
    }
    yyeditfont(3, 24, st);
    const std::int32_t big = r.nLineHeight;
    yyeditfont(-1, 8, st);  // keeps Arial
    EXPECT_EQ(r.iFontOption, 3);
    EXPECT_LT(r.nLineHeight, big);
    wtab.wIndex = 2;
    yyeditfont(3, 8, st);
    EXPECT_EQ(st, 1);
}

TEST_F(EditorFilesTest, PasteKeepsFormatsOnlyInRichTextMode) {
    struct Case {
        std::int32_t flags;
        bool bold;
    };
    for (const Case c : {Case{EWF_RICHTEXT, true}, Case{0, false}}) {
        EditorWindowData& src = make(EWF_RICHTEXT);
        std::int32_t st = 0;
        yyeditputtext(st, "Bx");
        OsCharRange cr{0, 1};
        os_send_message(src.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        yyEditFormatBIU(src, 32166);
        os_send_message(src.hRichEdit, OS_EM_COPY, 0, 0);
        EXPECT_EQ(os_clipboard_text(), "B");
        yyeditdetach(frame());
        os_destroy_window(frame());
        wtab.wWindow[1] = 0;
        EditorWindowData& dst = make(c.flags);
        yyeditputtext(st, "--");
        cr = {1, 1};
        os_send_message(dst.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        yyEditPaste(dst);
        EXPECT_EQ(text(dst), "-B-");
        cr = {1, 2};
        os_send_message(dst.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
        OsCharFormat cf;
        os_send_message(dst.hRichEdit, OS_EM_GETCHARFORMAT, 1, reinterpret_cast<std::intptr_t>(&cf));
        EXPECT_EQ((cf.effects & OS_CFE_BOLD) != 0, c.bold) << c.flags;
        os_send_message(dst.hRichEdit, OS_EM_UNDO, 0, 0);
        EXPECT_EQ(text(dst), "--");
        yyeditdetach(frame());
        os_destroy_window(frame());
        wtab.wWindow[1] = 0;
    }
}

// Lower case, line breaks as blanks (LibreOffice breaks its HTML lines anywhere).
std::string lower(std::string s) {
    for (char& c : s) c = c == '\n' || c == '\r' ? ' ' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Text in the editor's own font is saved in that font: our reader,
// LibreOffice and pandoc read it so.
TEST_F(EditorFilesTest, SavedRtfCarriesTheFontTheTextIsShownIn) {
    EditorWindowData& r = make(EWF_RICHTEXT);
    times18(r, "Serif words\r\nand a second line");
    const OsCharFormat cf = format_of(r, 0, 5);
    EXPECT_STREQ(cf.face, "Times New Roman");
    EXPECT_EQ(cf.height, 360);
    EXPECT_TRUE(cf.mask & OS_CFM_FACE);
    const std::string name = dir.file("serif.rtf");
    std::snprintf(r.szFileName, sizeof r.szFileName, "%s", name.c_str());
    ASSERT_EQ(yyEditSaveFile(frame(), 0), 1);
    const std::string rtf = read_file(name);
    osrtf::Document d;
    ASSERT_TRUE(osrtf::read(rtf, d)) << rtf;
    ASSERT_EQ(d.paras.size(), 2u) << rtf;
    for (const osrtf::Paragraph& p : d.paras)
        for (const osrtf::Run& run : p.runs) {
            EXPECT_EQ(d.fonts.at(static_cast<std::size_t>(run.fmt.font)).face, "Times New Roman") << rtf;
            EXPECT_EQ(d.fonts.at(static_cast<std::size_t>(run.fmt.font)).family, osrtf::FamilyRoman) << rtf;
            EXPECT_EQ(run.fmt.half_points, 36) << rtf;
        }
    EXPECT_EQ(rtf.find("Arial"), std::string::npos) << rtf;
    if (have_reader("pandoc")) {
        const std::string plain = command_output("pandoc -f rtf -t plain " + name);
        EXPECT_NE(plain.find("Serif words"), std::string::npos) << plain;
        EXPECT_NE(plain.find("and a second line"), std::string::npos) << plain;
    }
    if (!have_reader("soffice")) GTEST_SKIP() << "LibreOffice not installed";
    const std::string prof = "-env:UserInstallation=file://" + dir.file("profile");
    command_output("cd " + dir.path().string() + " && soffice " + prof + " --headless --convert-to html serif.rtf >/dev/null 2>&1");
    const std::string html = lower(read_file(dir.file("serif.html")));
    ASSERT_NE(html.find("serif words"), std::string::npos) << html;
    EXPECT_NE(html.find("and a second line"), std::string::npos) << html;
    EXPECT_NE(html.find("times new roman"), std::string::npos) << html;
    EXPECT_NE(html.find("18pt"), std::string::npos) << html;
    EXPECT_EQ(html.find("arial"), std::string::npos) << html;
}

// Switching files stores the text as RTF and reads it back: the text the
// user comes back to looks as it did.
TEST_F(EditorFilesTest, RetrievedBufferLooksAsItDid) {
    EditorWindowData& r = make(EWF_RICHTEXT | EWF_MULTIFILE);
    times18(r, "Serif text of file one\r\nits second line");
    // One word of its own face and size stays so.
    std::int32_t st = 1;
    yyeditformattext(st, 1, 5, 1, -1, -1, -1, 11, -2, -2, "Courier New");
    ASSERT_EQ(st, 0);
    std::int32_t start = 0;
    yyeditselect(start, 0);
    const Picture before = grab_picture(frame(), dir.file("before.png"));
    ASSERT_GT(before.width, 0);
    yyeditstorebuffer(1, 1);
    yyeditputtext(st, "file two");
    yyeditstorebuffer(1, 2);
    yyeditretrievebuffer(1, 1);
    yyeditselect(start, 0);
    const Picture after = grab_picture(frame(), dir.file("after.png"));
    EXPECT_TRUE(before == after);
    const OsCharFormat serif = format_of(r, 6, 10);
    EXPECT_STREQ(serif.face, "Times New Roman");
    EXPECT_EQ(serif.height, 360);
    const OsCharFormat mono = format_of(r, 0, 5);
    EXPECT_STREQ(mono.face, "Courier New");
    EXPECT_EQ(mono.height, 220);
    EXPECT_TRUE(mono.effects & OS_CFE_BOLD);
}

// The font dialog starts from what the selection is shown in; ticking only
// Bold keeps its face and size.
TEST_F(EditorFilesTest, FontDialogStartsFromTheSelectionsFaceAndSize) {
    EditorWindowData& r = make(EWF_RICHTEXT);
    times18(r, "Serif text");
    format_of(r, 0, 10);
    OsChooseFont seen;
    os_font_dialog_set_responder([&](OsChooseFont& q) {
        seen = q;
        q.font.weight = 700;
        return true;
    });
    yyEditFormatFont(frame(), r);
    os_font_dialog_set_responder({});
    EXPECT_EQ(seen.font.face, "Times New Roman");
    EXPECT_EQ(seen.font.height, -static_cast<std::int32_t>(std::lround(18 * os_config().dpi / 72.0)));
    EXPECT_EQ(seen.flags & (OS_CF_NOFACESEL | OS_CF_NOSIZESEL | OS_CF_NOSTYLESEL), 0u);
    const OsCharFormat cf = format_of(r, 0, 10);
    EXPECT_STREQ(cf.face, "Times New Roman");
    EXPECT_EQ(cf.height, 360);
    EXPECT_TRUE(cf.effects & OS_CFE_BOLD);
}

// Font tables of word processors and LibreOffice: the text is shown in the
// face the table names, not in its panose digits or its face run together
// with the substitute, and a save writes that name.
TEST_F(EditorFilesTest, FontNamesOfOtherWritersSurviveLoadAndSave) {
    struct Case {
        const char* writer;
        const char* table;
        const char* face;
    };
    const Case cases[] = {
        {"word processor",
         "{\\fonttbl{\\f0\\fbidi \\froman\\fcharset0\\fprq2{\\*\\panose 02020603050405020304}Times New Roman;}}",
         "Times New Roman"},
        {"LibreOffice",
         "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Liberation Serif{\\*\\falt Times New Roman};}}",
         "Liberation Serif"},
    };
    EditorWindowData& r = make(EWF_RICHTEXT);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.writer);
        const std::string name = dir.file("other" + std::to_string(++n) + ".rtf");
        write_file(name, std::string("{\\rtf1\\ansi\\deff0") + c.table + "\\pard\\plain \\f0\\fs24 Some text\\par}");
        ASSERT_TRUE(open(r, name));
        EXPECT_EQ(text(r), "Some text");
        EXPECT_STREQ(format_of(r, 0, 4).face, c.face);
        ASSERT_EQ(yyEditSaveFile(frame(), 0), 1);
        const std::string saved = read_file(name);
        osrtf::Document d;
        ASSERT_TRUE(osrtf::read(saved, d)) << saved;
        ASSERT_FALSE(d.paras.empty());
        ASSERT_FALSE(d.paras[0].runs.empty()) << saved;
        EXPECT_EQ(d.fonts.at(static_cast<std::size_t>(d.paras[0].runs[0].fmt.font)).face, c.face) << saved;
        EXPECT_EQ(saved.find("0202"), std::string::npos) << saved;
    }
}

// A table written by another program: its cells stay apart in the text, and
// saving keeps that text.
TEST_F(EditorFilesTest, TableOfAnotherProgramLoadsWithItsCellsApart) {
    EditorWindowData& r = make(EWF_RICHTEXT);
    const std::string name = dir.file("table.rtf");
    write_file(name, "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}}\\trowd\\cellx1000\\cellx2000"
                     "\\pard\\intbl A\\cell B\\cell\\row\\trowd\\cellx1000\\cellx2000\\pard\\intbl 1\\cell 2\\cell\\row"
                     "\\pard after\\par}");
    ASSERT_TRUE(open(r, name));
    EXPECT_EQ(text(r), "A\tB\r\n1\t2\r\nafter");
    ASSERT_EQ(yyEditSaveFile(frame(), 0), 1);
    osrtf::Document d;
    ASSERT_TRUE(osrtf::read(read_file(name), d));
    ASSERT_GE(d.paras.size(), 3u);
    auto para = [&](std::size_t i) {
        std::string t;
        for (const osrtf::Run& run : d.paras[i].runs) t += run.text;
        return t;
    };
    EXPECT_EQ(para(0), "A\tB");
    EXPECT_EQ(para(1), "1\t2");
    EXPECT_EQ(para(2), "after");
    ASSERT_TRUE(open(r, name));
    EXPECT_EQ(text(r), "A\tB\r\n1\t2\r\nafter");
}

}  // namespace
