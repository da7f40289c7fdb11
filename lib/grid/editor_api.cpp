// The routines a program drives an editor with: information, positions,
// text, streams, flags and files. They act on the current window and do
// nothing (or report so) when it is not an editor.
#include <algorithm>
#include <cstring>

#include "lib/grid/editor.h"
#include "lib/window/messages.h"
#include "lib/window/wininfo.h"
#include "platform/os_menu.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"

namespace {

std::intptr_t send(OsHandle w, std::uint32_t m, std::uintptr_t wp = 0, std::intptr_t lp = 0) { return os_send_message(w, m, wp, lp); }

bool app_is_control(const EditorWindowData& r) { return r.bControlPositions || wtab.iVerRTF == 1; }

std::int32_t lines(const EditorWindowData& r) { return static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_GETLINECOUNT)); }

// Text of the control from a to b (control positions), line breaks as CR.
std::string control_text(const EditorWindowData& r, std::int32_t a, std::int32_t b) {
    if (b <= a) return {};
    std::string s(static_cast<std::size_t>(b - a) + 1, '\0');
    OsTextRange tr{{a, b}, s.data()};
    const auto n = send(r.hRichEdit, OS_EM_GETTEXTRANGE, 0, reinterpret_cast<std::intptr_t>(&tr));
    s.resize(static_cast<std::size_t>(std::max<std::intptr_t>(0, n)));
    return s;
}

// The application position of a control position.
std::int32_t to_app(const EditorWindowData& r, std::int32_t p) {
    if (app_is_control(r)) return p;
    return p + static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_LINEFROMCHAR, static_cast<std::uintptr_t>(p)));
}

// Text length as the application counts it.
std::int32_t app_length(const EditorWindowData& r) {
    const std::int32_t n = yyGetWindowTextLength(r.hRichEdit, r.bHidden);
    return app_is_control(r) && wtab.iVerRTF != 1 ? n - (lines(r) - 1) : n;
}

struct Stream {
    std::int32_t count = 0;
    unsigned char* out = nullptr;
    const unsigned char* in = nullptr;
    std::int32_t left = 0;
};

std::int32_t yyEditCountRTF2(std::intptr_t cookie, unsigned char*, std::int32_t cb, std::int32_t* done) {
    reinterpret_cast<Stream*>(cookie)->count += cb;
    *done = cb;
    return 0;
}
std::int32_t yyEditGetRTF2(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    auto* s = reinterpret_cast<Stream*>(cookie);
    std::memcpy(s->out, buf, static_cast<std::size_t>(cb));
    s->out += cb;
    *done = cb;
    return 0;
}
std::int32_t yyEditPutRTF2(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    auto* s = reinterpret_cast<Stream*>(cookie);
    const std::int32_t n = std::min(cb, s->left);
    if (n > 0) std::memcpy(buf, s->in, static_cast<std::size_t>(n));
    s->in += n;
    s->left -= n;
    *done = n;
    return 0;
}

std::uint32_t stream_format(const EditorWindowData& r) { return r.bRichText ? OS_SF_RTF : OS_SF_TEXT; }

}  // namespace

std::int32_t yyGetWindowTextLength(OsHandle control, std::int32_t) {
    // Every line break counts as CR LF.
    const auto n = static_cast<std::int32_t>(send(control, OS_EM_GETTEXTLENGTH));
    const auto l = static_cast<std::int32_t>(send(control, OS_EM_GETLINECOUNT));
    return n + std::max(0, l - 1);
}

void yyEditAdjustPos(EditorWindowData& r, std::int32_t p1, std::int32_t p2, std::int32_t& c1, std::int32_t& c2) {
    if (app_is_control(r)) {
        c1 = p1;
        c2 = p2;
        return;
    }
    c1 = c2 = -1;
    if (r.iCacheRichPos < 0 || r.iCacheFilePos < 0 || p1 < r.iCacheFilePos || p2 < r.iCacheFilePos) r.iCacheRichPos = r.iCacheFilePos = 0;
    const std::int32_t target = std::max(p1, p2) + 1;
    const std::int32_t count = std::max(0, target - r.iCacheRichPos);
    const std::int32_t total = static_cast<std::int32_t>(send(r.hRichEdit, OS_EM_GETTEXTLENGTH));
    const std::string text = control_text(r, r.iCacheRichPos, std::min(total, r.iCacheRichPos + count));
    std::int32_t cp = r.iCacheRichPos, ap = r.iCacheFilePos;
    std::size_t k = 0;
    while (cp <= target && (c1 < 0 || c2 < 0)) {
        if (ap == p1 && c1 < 0) c1 = cp;
        if (ap == p2 && c2 < 0) c2 = cp;
        if (k < text.size() && text[k] == '\r') {
            ++ap;
            if (ap == p1 && c1 < 0) c1 = cp;
            if (ap == p2 && c2 < 0) c2 = cp;
        }
        ++cp;
        ++ap;
        ++k;
    }
    if (c1 < 0) c1 = count;
    if (c2 < 0) c2 = count;
    r.iCacheRichPos = cp;
    r.iCacheFilePos = ap;
}

void yyeditinfo(std::int32_t slot, std::int32_t item, std::int32_t& value) {
    if (item == 8) {
        value = wtab.iVerRTF;
        return;
    }
    if (slot == -1) {
        const LastEditorResult& l = last_editor_result;
        switch (item) {
        case 1: value = l.saved; break;
        case 2: value = l.length; break;
        case 3: value = l.changed; break;
        case 4: value = l.sel_start + 1; break;
        case 5: value = std::min(l.sel_end, l.length); break;
        case 6: value = l.buffer; break;
        case 7: value = l.buffers; break;
        case 9: value = l.top_line; break;
        case 10: value = 0; break;
        case 11: value = l.font_option; break;
        case 12: value = l.font_size; break;
        default: break;
        }
        return;
    }
    if (slot < 0 || slot > MaxChildWindows) return;
    EditorWindowData* r = yyeditrecord(wtab.wWindow[static_cast<std::size_t>(slot)]);
    if (!r) return;
    OsCharRange sel;
    switch (item) {
    case 1: value = send(r->hRichEdit, EM_GETMODIFY) ? 0 : 1; break;
    case 2: value = app_length(*r); break;
    case 3: value = r->bChanged; break;
    case 4:
        send(r->hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&sel));
        value = to_app(*r, sel.cpMin) + 1;
        break;
    case 5:
        send(r->hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&sel));
        value = std::min(to_app(*r, sel.cpMax), app_length(*r));
        break;
    case 6: value = r->iBuffer; break;
    case 7: value = r->nBuffers; break;
    case 9: value = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_GETFIRSTVISIBLELINE)); break;
    case 10: value = r->hCommand && r->hCommand != r->hCommandEdit ? static_cast<std::int32_t>(send(r->hCommand, CB_GETCOUNT)) : 0; break;
    case 11: value = r->iFontOption; break;
    case 12: value = r->iFontSize; break;
    case 102: {
        OsRect rc;
        os_get_client_rect(r->hRichEdit, rc);
        value = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_GETFIRSTVISIBLELINE)) + rc.height() / std::max(1, r->nLineHeight);
        break;
    }
    case 103: value = lines(*r); break;
    case 104: value = r->bControlPositions ? 1 : 0; break;
    default: break;
    }
}

void yyeditinfostring(std::int32_t slot, std::int32_t item, char* text, std::int32_t length) {
    if (!text || length <= 0) return;
    std::string s;
    if (slot == -1) {
        s = item == 1 ? last_editor_result.find_text : item == 2 ? last_editor_result.replace_text : item == 3 ? last_editor_result.path : "";
        if (item < 1 || item > 3) return;
    } else {
        if (slot < 0 || slot > MaxChildWindows) return;
        EditorWindowData* r = yyeditrecord(wtab.wWindow[static_cast<std::size_t>(slot)]);
        if (!r || item < 1 || item > 3) return;
        s = item == 1 ? r->szFindText : item == 2 ? r->szReplaceText : r->szFileName;
    }
    // Never beyond the room given.
    const std::size_t n = std::min(s.size(), static_cast<std::size_t>(length - 1));
    std::memcpy(text, s.data(), n);
    text[n] = 0;
}

void yyeditcountrtf(std::int32_t& count) {
    const std::int32_t s = wtab.wIndex;
    if (s < 0 || s > MaxChildWindows || !yyspecialrecord(wtab.wWindow[static_cast<std::size_t>(s)])) {
        count = 1;
        return;
    }
    EditorWindowData* r = yyeditcurrent();
    if (!r) return;
    Stream st;
    OsEditStream es{reinterpret_cast<std::intptr_t>(&st), 0, yyEditCountRTF2};
    send(r->hRichEdit, OS_EM_STREAMOUT, stream_format(*r), reinterpret_cast<std::intptr_t>(&es));
    count = st.count;
}

void yyeditgetrtf(unsigned char* buffer) {
    EditorWindowData* r = yyeditcurrent();
    if (!r || !buffer) return;
    Stream st;
    st.out = buffer;
    OsEditStream es{reinterpret_cast<std::intptr_t>(&st), 0, yyEditGetRTF2};
    send(r->hRichEdit, OS_EM_STREAMOUT, stream_format(*r), reinterpret_cast<std::intptr_t>(&es));
}

void yyeditputrtf(std::int32_t count, const unsigned char* buffer) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) return;
    Stream st;
    st.in = buffer;
    st.left = buffer ? std::max(0, count) : 0;
    r->bProtect = 0;
    OsEditStream es{reinterpret_cast<std::intptr_t>(&st), 0, yyEditPutRTF2};
    send(r->hRichEdit, OS_EM_STREAMIN, stream_format(*r), reinterpret_cast<std::intptr_t>(&es));
    r->bProtect = 1;
    r->iCacheRichPos = r->iCacheFilePos = -1;
}

void yyeditselect(std::int32_t& start, std::int32_t end) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        start = -1;
        return;
    }
    std::int32_t c1 = 0, c2 = 0;
    yyEditAdjustPos(*r, start, end, c1, c2);
    OsCharRange cr{c1, c2};
    send(r->hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    send(r->hRichEdit, EM_SCROLLCARET);
}

void yyeditsetpos(std::int32_t position) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) return;
    std::int32_t c1 = 0, c2 = 0;
    yyEditAdjustPos(*r, position, position, c1, c2);
    OsCharRange cr{c1, c1};
    send(r->hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    send(r->hRichEdit, EM_SCROLLCARET);
}

void yyeditsettop(std::int32_t line) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) return;
    const auto first = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_GETFIRSTVISIBLELINE));
    send(r->hRichEdit, OS_EM_LINESCROLL, 0, line - first);
}

void yyeditsetflags(std::int32_t saved, std::int32_t changed) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) return;
    r->bChanged = changed;
    send(r->hRichEdit, EM_SETMODIFY, saved == 0 ? 1 : 0);
    if (r->bShowModified) yyEditTitle(wtab.wWindow[static_cast<std::size_t>(wtab.wIndex)]);
}

void yyeditclearundo() {
    EditorWindowData* r = yyeditcurrent();
    if (!r) return;
    send(r->hRichEdit, OS_EM_EMPTYUNDOBUFFER);
    if (r->hEditToolbar) {
        send(r->hEditToolbar, OSM_TB_ENABLEBUTTON, 32121, 0);
        send(r->hEditToolbar, OSM_TB_ENABLEBUTTON, 32127, 0);
    }
}

void yyeditputtext(std::int32_t& status, const char* text) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = 1;
        return;
    }
    r->bProtect = 0;
    OsCharRange all{0, -1};
    send(r->hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&all));
    send(r->hRichEdit, EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>(text ? text : ""));
    r->bProtect = 1;
    status = 0;
}

void yyeditgettext(std::int32_t& status, std::int32_t length, char* text) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = 1;
        return;
    }
    if (!text || length <= 0) {
        status = 2;
        return;
    }
    // The length of the text as it is copied: line breaks count twice, less
    // one a line break where the control gives them as a single CR.
    const std::int32_t n = yyGetWindowTextLength(r->hRichEdit, r->bHidden) - (wtab.iVerRTF != 1 ? lines(*r) - 1 : 0);
    const auto total = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_GETTEXTLENGTH));
    std::string s = control_text(*r, 0, total);
    // Never beyond the room given: all when it fits with its end mark, else length - 1 characters.
    status = n < length ? 0 : 2;
    const std::size_t keep = std::min(s.size(), static_cast<std::size_t>(length - 1));
    std::memcpy(text, s.data(), keep);
    text[keep] = 0;
}

void yyeditconvertpos(std::int32_t direction, std::int32_t value, std::int32_t& result) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        result = -2;
        return;
    }
    if (direction == 1) {
        std::int32_t c1 = 0, c2 = 0;
        yyEditAdjustPos(*r, value, value, c1, c2);
        result = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_LINEFROMCHAR, static_cast<std::uintptr_t>(c1)));
        return;
    }
    const auto p = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_LINEINDEX, static_cast<std::uintptr_t>(value)));
    result = p + (app_is_control(*r) ? 0 : value);
}

void yyeditsetbackup(std::int32_t on) {
    if (EditorWindowData* r = yyeditcurrent()) r->bBackup = on == 1 ? 1 : 0;
}

void yyeditsave(std::int32_t mode) {
    if (yyeditcurrent()) yyEditSaveFile(wtab.wWindow[static_cast<std::size_t>(wtab.wIndex)], mode == 0 ? 0 : 1);
}

void yyeditselectbuffer(std::int32_t n, std::int32_t& status) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = 1;
        return;
    }
    if (!r->bMultiFile || n < 1 || n > r->nBuffers) {
        status = 2;
        return;
    }
    yyEditSwitchBuffer(wtab.wWindow[static_cast<std::size_t>(wtab.wIndex)], n);
    status = 0;
}

void yyeditputtextpart(std::int32_t& start, std::int32_t end, const char* text) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        start = -1;
        return;
    }
    const char* t = text ? text : "";
    // The replacement is an undo step of its own.
    if (t[0] || start != end) send(r->hRichEdit, OS_EM_STOPGROUPTYPING);
    std::int32_t c1 = 0, c2 = 0;
    yyEditAdjustPos(*r, start, end, c1, c2);
    send(r->hRichEdit, OS_EM_HIDESELECTION, 1);
    OsCharRange cr{c1, c2};
    send(r->hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    r->bProtect = 0;
    send(r->hRichEdit, EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>(t));
    r->bProtect = 1;
    r->iCacheRichPos = r->iCacheFilePos = -1;
    send(r->hRichEdit, OS_EM_HIDESELECTION, 0);
    send(r->hRichEdit, EM_SCROLLCARET);
    start = 0;
}

void yyeditgettextpart(std::int32_t& start, std::int32_t length, char* text) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        start = -1;
        return;
    }
    if (!text || length <= 0) {
        start = 0;
        return;
    }
    std::int32_t c1 = 0, c2 = 0;
    yyEditAdjustPos(*r, start, start + length - 1, c1, c2);
    // The characters start .. start + length - 1, never more than length of them.
    std::string s = control_text(*r, c1, c2 + 1);
    if (s.size() > static_cast<std::size_t>(length)) s.resize(static_cast<std::size_t>(length));
    std::memcpy(text, s.data(), s.size());
    if (s.size() < static_cast<std::size_t>(length)) text[s.size()] = 0;
    start = 0;
}

namespace {
// Runs f with the range first - 1 .. last selected, keeping the selection and the position cache.
template <class F>
void on_range(EditorWindowData& r, std::int32_t first, std::int32_t last, bool keep_selection, F f) {
    const std::int32_t rich = r.iCacheRichPos, file = r.iCacheFilePos;
    std::int32_t c1 = 0, c2 = 0;
    yyEditAdjustPos(r, first - 1, last, c1, c2);
    OsCharRange old;
    if (keep_selection) {
        send(r.hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&old));
        send(r.hRichEdit, OS_EM_HIDESELECTION, 1);
    }
    OsCharRange cr{c1, c2};
    send(r.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    f();
    if (keep_selection) {
        send(r.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&old));
        send(r.hRichEdit, OS_EM_HIDESELECTION, 0);
    }
    r.iCacheRichPos = rich;
    r.iCacheFilePos = file;
}
}  // namespace

void yyeditformattext(std::int32_t& status, std::int32_t first, std::int32_t last, std::int32_t bold, std::int32_t italic,
                      std::int32_t underline, std::int32_t strike, std::int32_t size, std::int32_t colour,
                      std::int32_t background, std::string_view face) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = -1;
        return;
    }
    if (!r->bRichText) {
        status = -2;
        return;
    }
    OsCharFormat cf;
    auto effect = [&](std::int32_t v, std::uint32_t bit, bool on) {
        if (v == -1) return;
        cf.mask |= bit;
        if (on) cf.effects |= bit;
    };
    effect(bold, OS_CFM_BOLD, bold == 1);
    effect(italic, OS_CFM_ITALIC, italic == 1);
    effect(underline, OS_CFM_UNDERLINE, underline > 0);
    effect(strike, OS_CFM_STRIKEOUT, strike == 1);
    if (size != -1) {
        cf.mask |= OS_CFM_SIZE;
        cf.height = std::clamp(size, 1, 1638) * 20;
    }
    if (colour != -2) {
        cf.mask |= OS_CFM_COLOR;
        if (colour == -1) cf.effects |= OS_CFE_AUTOCOLOR;
        else cf.colour = static_cast<std::uint32_t>(colour);
    }
    if (background != -2 && wtab.iVerRTF >= 2) {
        cf.mask |= OS_CFM_BACKCOLOR;
        if (background == -1) cf.effects |= OS_CFE_AUTOBACKCOLOR;
        else cf.back = static_cast<std::uint32_t>(background);
    }
    if (!face.empty()) {
        cf.mask |= OS_CFM_FACE;
        const std::size_t n = std::min<std::size_t>(face.size(), 31);
        std::memcpy(cf.face, face.data(), n);
        cf.face[n] = 0;
    }
    on_range(*r, first, last, !r->bHidden,
             [&] { send(r->hRichEdit, OS_EM_SETCHARFORMAT, OS_SCF_SELECTION, reinterpret_cast<std::intptr_t>(&cf)); });
    status = 0;
}

void yyeditformatpara(std::int32_t& status, std::int32_t first, std::int32_t last, std::int32_t bullets, std::int32_t alignment) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) {
        status = -1;
        return;
    }
    if (!r->bRichText) {
        status = -2;
        return;
    }
    OsParaFormat pf;
    if (bullets == 0 || bullets == 1) {
        pf.mask |= OS_PFM_NUMBERING;
        pf.numbering = bullets == 1 ? OS_PFN_BULLET : 0;
    }
    if (alignment >= 0 && alignment <= 2) {
        pf.mask |= OS_PFM_ALIGNMENT;
        pf.alignment = alignment == 0 ? OS_PFA_LEFT : alignment == 1 ? OS_PFA_CENTER : OS_PFA_RIGHT;
    }
    on_range(*r, first, last, true, [&] { send(r->hRichEdit, OS_EM_SETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf)); });
    status = 0;
}

namespace {
// Held once for the library, as the text can be hidden in one editor at a time.
struct Hidden {
    std::int32_t top = 0;
    OsCharRange sel;
} g_hidden;
}  // namespace

void yyeditshowhide(std::int32_t show) {
    EditorWindowData* r = yyeditcurrent();
    if (!r) return;
    if (show == 0) {
        r->bHidden = 1;
        os_show_window(r->hRichEdit, OS_SW_HIDE);
        g_hidden.top = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_GETFIRSTVISIBLELINE));
        send(r->hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&g_hidden.sel));
        return;
    }
    r->bHidden = 0;
    send(r->hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&g_hidden.sel));
    const auto first = static_cast<std::int32_t>(send(r->hRichEdit, OS_EM_GETFIRSTVISIBLELINE));
    send(r->hRichEdit, OS_EM_LINESCROLL, 0, g_hidden.top - first);
    os_show_window(r->hRichEdit, OS_SW_SHOW);
}

void yyeditredraw(std::int32_t slot) {
    if (slot < 0 || slot > MaxChildWindows) return;
    if (EditorWindowData* r = yyeditrecord(wtab.wWindow[static_cast<std::size_t>(slot)])) {
        os_invalidate_rect(r->hRichEdit, nullptr, true);
        os_update_window(r->hRichEdit);
    }
}
