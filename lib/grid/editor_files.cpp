// Editor files and buffers: loading and saving through the rich-edit
// control's streams, the file held while it is shown, the save question and
// the table of files a multi-file editor keeps but does not show.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string_view>
#include <new>

#include "lib/dialog/dialog.h"
#include "lib/grid/editor.h"
#include "lib/window/messages.h"
#include "lib/window/osservices.h"
#include "lib/window/wininfo.h"
#include "platform/os_commondlg.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_menu.h"
#include "platform/os_msgbox.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"

LastEditorResult last_editor_result;

namespace {

std::size_t at(std::int32_t v) { return static_cast<std::size_t>(v); }
std::intptr_t send(OsHandle w, std::uint32_t m, std::uintptr_t wp = 0, std::intptr_t lp = 0) { return os_send_message(w, m, wp, lp); }

void copy_text(char* dst, std::size_t room, std::string_view src) {
    const std::size_t n = std::min(room - 1, src.size());
    std::memcpy(dst, src.data(), n);
    dst[n] = 0;
}

// The operating system's text for an error code, as the editor's boxes show it.
std::string system_text(int code) {
    std::string s;
    yyerrorstr(code, s, 300);
    return s;
}

void error_box(OsHandle window, int code, const char* title) {
    (void)window;
    os_message_box(system_text(code), title, OS_MB_OK | OS_MB_ICONEXCLAMATION);
}

struct FileCookie {
    std::int32_t handle = -1;
    int error = 0;
};

}  // namespace

std::vector<OsFileFilter> yyeditfilters(const EditorWindowData& r) {
    std::vector<OsFileFilter> out;
    if (r.szFilter[0]) {
        // Pairs of NUL-ended texts: description, pattern.
        const char* p = r.szFilter;
        const char* end = r.szFilter + sizeof r.szFilter;
        while (p < end && *p) {
            OsFileFilter f;
            f.description = std::string(p, strnlen(p, static_cast<std::size_t>(end - p)));
            p += f.description.size() + 1;
            if (p >= end || !*p) break;
            f.pattern = std::string(p, strnlen(p, static_cast<std::size_t>(end - p)));
            p += f.pattern.size() + 1;
            out.push_back(f);
        }
        return out;
    }
    if (r.bRichText) out.push_back({"Rich Text Files (*.RTF)", "*.RTF"});
    out.push_back({"Text Files (*.TXT)", "*.TXT"});
    out.push_back({"All Files (*.*)", "*.*"});
    return out;
}

namespace {

// Label of View item n.
std::string view_label(std::int32_t n, std::string_view path) {
    char head[16];
    if (n <= 9) std::snprintf(head, sizeof head, "&%1d\t", static_cast<int>(n));
    else std::snprintf(head, sizeof head, "&%c\t", static_cast<char>(n + 55));
    return std::string(head) + (path.empty() ? std::string("Untitled") : std::string(path));
}

void hold(EditorWindowData& r) {
    std::int32_t h = -1;
    if (!r.bReadOnly && r.szFileName[0] &&
        os_file_open(r.szFileName, OS_ACCESS_READ, OS_SHARE_READ, OS_OPEN_EXISTING, h) == OS_OK)
        r.hFile[r.iBuffer - 1] = h;
}

}  // namespace

std::string yyeditviewlabel(std::int32_t n, std::string_view path) { return view_label(n, path); }


EditorWindowData* yyeditrecord(OsHandle frame) {
    std::int32_t* rec = frame ? yyspecialrecord(frame) : nullptr;
    if (!rec || rec[0] != WindowKindEditor) return nullptr;
    return reinterpret_cast<EditorWindowData*>(rec);
}

EditorWindowData* yyeditcurrent() {
    const std::int32_t s = wtab.wIndex;
    if (s < 0 || s > MaxChildWindows) return nullptr;
    return yyeditrecord(wtab.wWindow[at(s)]);
}

void yyeditflags(EditorWindowData& r, std::int32_t flags) {
    r.bReadOnly = (flags & EWF_READONLY) ? 1 : 0;
    r.bCanNew = !(flags & EWF_NONEWOPEN) && !r.bReadOnly;
    r.bCanOpen = !(flags & EWF_NONEWOPEN);
    r.bCanSave = !(flags & EWF_NOSAVE) && !r.bReadOnly;
    r.bCanSaveAs = !(flags & EWF_NOSAVEAS) && !r.bReadOnly && r.bCanSave;
    r.bCanPrint = !(flags & EWF_NOPRINT);
    r.bRichText = (flags & EWF_RICHTEXT) ? 1 : 0;
    r.bMultiFile = (flags & EWF_MULTIFILE) ? 1 : 0;
    r.bNoClose = (flags & EWF_NOCLOSE) ? 1 : 0;
    r.bHideName = (flags & EWF_HIDENAME) ? 1 : 0;
    r.bQuietOpen = (flags & EWF_QUIETOPEN) ? 1 : 0;
    r.bAppPrints = (flags & EWF_APPPRINTS) ? 1 : 0;
    r.bControlPositions = (flags & EWF_CONTROLPOS) ? 1 : 0;
    r.bBackup = (flags & EWF_BACKUP) ? 1 : 0;
    r.bShowModified = (flags & EWF_MODIFIEDMARK) ? 1 : 0;
}

EditorWindowData* yyeditattach(OsHandle frame, OsHandle richedit, std::int32_t flags) {
    auto* r = new (std::nothrow) EditorWindowData;
    if (!r) return nullptr;
    r->hRichEdit = richedit;
    yyeditflags(*r, flags);
    r->iFileType[0] = 1;
    os_set_window_user(frame, reinterpret_cast<std::intptr_t>(r));
    return r;
}

bool yyeditisrtf(const EditorWindowData& rec, std::string_view name) {
    if (!rec.bRichText) return false;
    const std::string_view tail = name.size() >= 4 ? name.substr(name.size() - 4) : name;
    if (tail.size() != 4) return false;
    const char* want = ".rtf";
    for (std::size_t i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != want[i]) return false;
    return true;
}

void yyEditTitle(OsHandle window) {
    EditorWindowData* r = yyeditrecord(window);
    if (!r) return;
    const bool show_name = r->szFileName[0] && !r->bHideName;
    const bool mark = r->bShowModified && send(r->hRichEdit, EM_GETMODIFY) != 0;
    if (!(os_get_style(window) & OS_WS_CAPTION)) {
        if (r->hStatusBar) {
            const std::string t = show_name ? std::string(r->szFileName) + (mark ? " *" : "") : std::string();
            send(r->hStatusBar, OSM_SB_SETTEXT, 4, reinterpret_cast<std::intptr_t>(t.c_str()));
        }
        return;
    }
    std::string t = r->szBaseTitle;
    if (show_name) {
        const bool framed = r->szBaseTitle[0] != 0;
        if (framed) t += " - [";
        t += r->szFileName;
        if (mark) t += " *";
        if (framed) t += "]";
    }
    os_set_window_text(window, t);
}

std::int32_t yyEditLoadRTF(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    auto* c = reinterpret_cast<FileCookie*>(cookie);
    std::int32_t n = 0;
    const int err = os_file_read(c->handle, buf, cb, n);
    if (err != OS_OK) {
        c->error = err;
        *done = 0;
        return err;
    }
    *done = n;
    return 0;
}

std::int32_t yyEditSaveRTF(std::intptr_t cookie, unsigned char* buf, std::int32_t cb, std::int32_t* done) {
    auto* c = reinterpret_cast<FileCookie*>(cookie);
    std::int32_t n = 0;
    const int err = os_file_write(c->handle, buf, cb, n);
    if (err != OS_OK) {
        c->error = err;
        n = 0;
    }
    *done = n;
    return cb - n;
}

void yyEditCloseFile(OsHandle window) {
    EditorWindowData* r = yyeditrecord(window);
    if (!r) return;
    std::int32_t& h = r->hFile[r->iBuffer - 1];
    if (h != 0) os_file_close(h);
    h = 0;
}

void yyEditResetFormat(EditorWindowData& r) {
    std::int32_t num = 0, den = 0;
    send(r.hRichEdit, OS_EM_GETZOOM, reinterpret_cast<std::uintptr_t>(&num), reinterpret_cast<std::intptr_t>(&den));
    send(r.hRichEdit, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>(""));
    if (r.hFont) send(r.hRichEdit, OSM_SETFONT, static_cast<std::uintptr_t>(r.hFont), 0);
    OsParaFormat pf;
    pf.mask = OS_PFM_NUMBERING | OS_PFM_STARTINDENT | OS_PFM_RIGHTINDENT | OS_PFM_OFFSET | OS_PFM_ALIGNMENT | OS_PFM_TABSTOPS;
    pf.alignment = OS_PFA_LEFT;
    send(r.hRichEdit, OS_EM_SETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    send(r.hRichEdit, OS_EM_SETZOOM, static_cast<std::uintptr_t>(num), den);
    send(r.hRichEdit, OS_EM_EMPTYUNDOBUFFER);
}

std::int32_t yyEditOpenFile(OsHandle window, std::int32_t initial) {
    EditorWindowData* r = yyeditrecord(window);
    if (!r) return 0;
    r->bProtect = 0;
    std::int32_t& held = r->hFile[r->iBuffer - 1];
    std::int32_t h = -1;
    const int err = os_file_open(r->szFileName, OS_ACCESS_READ, OS_SHARE_READ, OS_OPEN_EXISTING, h);
    if (err != OS_OK) {
        if (!(initial == 1 && r->bQuietOpen)) error_box(window, err, "Open Error");
        held = 0;
        r->bProtect = 1;
        return 0;
    }
    held = h;
    std::int64_t size = 0, pos = 0;
    os_file_seek(h, 0, OS_SEEK_END, size);
    os_file_seek(h, 0, OS_SEEK_BEGIN, pos);
    std::int32_t result = 0;
    auto release = [&] {
        os_file_close(h);
        held = 0;
    };
    if (yyeditisrtf(*r, r->szFileName)) {
        FileCookie c{h, 0};
        OsEditStream es{reinterpret_cast<std::intptr_t>(&c), 0, yyEditLoadRTF};
        send(r->hRichEdit, OS_EM_STREAMIN, OS_SF_RTF, reinterpret_cast<std::intptr_t>(&es));
        if (es.error != 0) {
            error_box(window, c.error ? c.error : OS_ERROR_GEN_FAILURE, "Read Error");
            release();
        } else {
            send(r->hRichEdit, EM_SETMODIFY, 0);
            r->bChanged = 0;
            yyEditTitle(window);
            result = 1;
        }
    } else if (size > 0x7FFFFFFE) {
        error_box(window, OS_ERROR_NOT_ENOUGH_MEMORY, "Read Error");
        release();
    } else {
        // Not zero-filled first: the read fills it, and a large file is read
        // whole.
        const OsLargeBuffer text = os_large_buffer(static_cast<std::size_t>(size) + 1);
        std::int32_t got = 0;
        const int rerr = !text ? OS_ERROR_NOT_ENOUGH_MEMORY
                         : size > 0 ? os_file_read(h, text.get(), static_cast<std::int32_t>(size), got) : OS_OK;
        if (rerr != OS_OK || got < size) {
            error_box(window, rerr != OS_OK ? rerr : OS_ERROR_GEN_FAILURE, "Read Error");
            release();
        } else {
            std::size_t n = static_cast<std::size_t>(size);
            std::replace(text.get(), text.get() + n, '\0', ' ');
            if (n > 0 && text[n - 1] == 26) --n;
            yyEditResetFormat(*r);
            // Plain text goes in through the text stream, so an RTF header in it stays literal.
            std::string_view src(text.get(), n);
            OsEditStream es{reinterpret_cast<std::intptr_t>(&src), 0,
                            [](std::intptr_t ck, unsigned char* b, std::int32_t cb, std::int32_t* done) -> std::int32_t {
                                auto* s = reinterpret_cast<std::string_view*>(ck);
                                const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(cb), s->size());
                                std::memcpy(b, s->data(), n);
                                s->remove_prefix(n);
                                *done = static_cast<std::int32_t>(n);
                                return 0;
                            }};
            send(r->hRichEdit, OS_EM_STREAMIN, OS_SF_TEXT, reinterpret_cast<std::intptr_t>(&es));
            send(r->hRichEdit, EM_SETSEL, 0, 0);
            send(r->hRichEdit, EM_SCROLLCARET);
            send(r->hRichEdit, OS_EM_EMPTYUNDOBUFFER);
            send(r->hRichEdit, EM_SETMODIFY, 0);
            r->bChanged = 0;
            yyEditTitle(window);
            result = 1;
        }
    }
    r->iBookmark[r->iBuffer - 1] = -1;
    if (r->bReadOnly && held) release();
    r->bProtect = 1;
    return result;
}

std::int32_t yyEditSaveFile(OsHandle window, std::int32_t askName) {
    EditorWindowData* r = yyeditrecord(window);
    if (!r) return 0;
    if (askName != 0 || !r->szFileName[0]) {
        OsCommonDialogRequest q;
        q.kind = OsCommonDialogKind::Save;
        q.filters = yyeditfilters(*r);
        q.filter_index = std::max(1, r->iFileType[r->iBuffer - 1]);
        q.flags = OS_OFN_OVERWRITEPROMPT | OS_OFN_HIDEREADONLY | OS_OFN_PATHMUSTEXIST;
        q.name = r->szFileName;
        q.buffer_length = sizeof r->szFileName;
        std::string chosen;
        int index = q.filter_index;
        std::uint32_t derr = 0;
        const bool modeless = r->iMode != 1;
        if (modeless) yyDisableDialogs(window, true);
        const bool ok = os_file_dialog(q, chosen, index, derr);
        if (modeless) yyEnableDialogs(window, true);
        if (os_get_style(window) & OS_WS_CHILD) {
            os_set_focus(window);
            yytitlecolour(window);
        }
        if (!ok || chosen.size() >= sizeof r->szFileName) return 0;
        r->iFileType[r->iBuffer - 1] = index;
        copy_text(r->szFileName, sizeof r->szFileName, chosen);
        const std::int32_t slot = yygetwindowindex(window);
        yyeditstorebuffername(slot, r->iBuffer, r->szFileName, sizeof r->szFileName);
        if (r->hViewMenu)
            os_set_menu_item_text(r->hViewMenu, static_cast<std::uint32_t>(r->iBuffer - 1), OS_MF_BYPOSITION,
                                  view_label(r->iBuffer, r->szFileName));
        yyEditTitle(window);
    }
    const bool rtf = yyeditisrtf(*r, r->szFileName);
    yyEditCloseFile(window);
    if (r->bBackup) os_file_copy(r->szFileName, std::string(r->szFileName) + ".bak");
    // The text goes to a new file beside the old one, which it replaces only
    // when all of it was written: a failed save keeps the old text.
    std::string temp;
    std::int32_t h = -1;
    int err = os_file_save_begin(r->szFileName, temp, h);
    if (err != OS_OK) {
        error_box(window, err, "Open Error");
        return 0;
    }
    FileCookie c{h, 0};
    OsEditStream es{reinterpret_cast<std::intptr_t>(&c), 0, yyEditSaveRTF};
    send(r->hRichEdit, OS_EM_STREAMOUT, rtf ? OS_SF_RTF : OS_SF_TEXT, reinterpret_cast<std::intptr_t>(&es));
    std::int32_t result = 0;
    if (es.error != 0) {
        os_file_save_abandon(h, temp);
        error_box(window, c.error ? c.error : OS_ERROR_GEN_FAILURE, "Write Error");
    } else if ((err = os_file_save_commit(h, temp, r->szFileName)) != OS_OK) {
        error_box(window, err, "Write Error");
    } else {
        send(r->hRichEdit, EM_SETMODIFY, 0);
        if (r->bShowModified) yyEditTitle(window);
        result = 1;
    }
    hold(*r);
    return result;
}

std::int32_t yyEditCheckSave(OsHandle window, EditorWindowData& r) {
    if (r.bReadOnly || !r.bCanSave || send(r.hRichEdit, EM_GETMODIFY) == 0) return 1;
    const std::string q = (!r.szFileName[0] || r.bHideName) ? std::string("Do you want to save changes?")
                                                            : "Do you want to save changes to " + std::string(r.szFileName) + "?";
    switch (os_message_box(q, r.szBaseTitle, OS_MB_YESNOCANCEL | OS_MB_ICONEXCLAMATION)) {
    case OS_IDYES: return yyEditSaveFile(window, 0);
    case OS_IDNO: return 1;
    default: return 0;
    }
}

// ---- buffers -------------------------------------------------------------------

namespace {

// The entry of a slot's file, nullptr outside 0..50 and 1..20.
EditBufEntry* entry(std::int32_t slot, std::int32_t n) {
    if (slot < 0 || slot > MaxChildWindows || n < 1 || n > EditBuffersPerWindow) return nullptr;
    if (!quinda.EDITBUF.allocated()) quinda.EDITBUF.allocate();
    return quinda.EDITBUF.at(slot, n);
}

// Makes slot the current window for the programming interface and back.
struct CurrentSlot {
    std::int32_t old;
    explicit CurrentSlot(std::int32_t slot) : old(wtab.wIndex) { wtab.wIndex = slot; }
    ~CurrentSlot() { wtab.wIndex = old; }
};

bool is_editor(std::int32_t slot) { return slot >= 0 && slot <= MaxChildWindows && yyeditrecord(wtab.wWindow[at(slot)]); }

}  // namespace

std::int32_t yyeditstorebuffer(std::int32_t slot, std::int32_t n) {
    EditBufEntry* e = entry(slot, n);
    if (!e || !is_editor(slot)) return 0;
    e->DATA.clear();
    e->text_present = 0;
    CurrentSlot cs(slot);
    std::int32_t count = 0;
    yyeditcountrtf(count);
    e->DATA.assign(static_cast<std::size_t>(std::max(0, count)), 0);
    e->text_length = std::max(0, count);
    e->text_present = 1;
    if (!e->DATA.empty()) yyeditgetrtf(e->DATA.data());
    const std::int32_t items[6] = {2, 4, 5, 1, 3, 9};
    for (int k = 0; k < 6; ++k) yyeditinfo(slot, items[k], e->values[ix(k)]);
    return 0;
}

std::int32_t yyeditretrievebuffer(std::int32_t slot, std::int32_t n) {
    EditBufEntry* e = entry(slot, n);
    if (!e || !is_editor(slot) || !e->text_present) return 0;
    CurrentSlot cs(slot);
    yyeditputrtf(e->text_length, e->DATA.data());
    std::int32_t start = e->values[1] - 1;
    yyeditselect(start, e->values[2]);
    yyeditsettop(e->values[5]);
    yyeditsetflags(e->values[3], e->values[4]);
    yyeditclearundo();
    e->DATA.clear();
    e->DATA.shrink_to_fit();
    e->text_present = 0;
    return 0;
}

std::int32_t yyeditswap(std::int32_t slot, std::int32_t from, std::int32_t to) {
    if (from == to) return 0;
    yyeditstorebuffer(slot, from);
    yyeditretrievebuffer(slot, to);
    return 0;
}

std::int32_t yyeditstorebuffername(std::int32_t slot, std::int32_t n, const char* name, std::int32_t length) {
    EditBufEntry* e = entry(slot, n);
    if (!e || !name) return 0;
    e->name_present = 1;
    const std::size_t len = std::min<std::size_t>(static_cast<std::size_t>(std::max(0, length)), 260);
    e->FILENAME.assign(name, strnlen(name, len));
    return 0;
}

std::int32_t yyeditgetbuffername(std::int32_t slot, std::int32_t n, std::string& name, std::int32_t length) {
    name.clear();
    EditBufEntry* e = entry(slot, n);
    if (e && e->name_present) {
        name = e->FILENAME;
        while (!name.empty() && name.back() == ' ') name.pop_back();
    }
    if (length >= 0 && name.size() > static_cast<std::size_t>(length)) name.resize(static_cast<std::size_t>(length));
    return 0;
}

std::int32_t yyeditgetsave(std::int32_t slot, std::int32_t n, std::int32_t& saved) {
    if (EditBufEntry* e = entry(slot, n)) saved = e->values[3];
    return 0;
}

std::int32_t yyeditclosebuffer(std::int32_t slot, std::int32_t n) {
    if (!entry(slot, n)) return 0;
    for (std::int32_t k = n; k < EditBuffersPerWindow; ++k) *entry(slot, k) = std::move(*entry(slot, k + 1));
    entry(slot, EditBuffersPerWindow)->release();
    return 0;
}

void yyEditSwitchBuffer(OsHandle window, std::int32_t n) {
    EditorWindowData* r = yyeditrecord(window);
    if (!r || n < 1 || n > r->nBuffers) return;
    const std::int32_t slot = yygetwindowindex(window);
    const std::int32_t old = r->iBuffer;
    if (r->hViewMenu) {
        os_check_menu_item(r->hViewMenu, static_cast<std::uint32_t>(old - 1), OS_MF_BYPOSITION | OS_MF_UNCHECKED);
        os_check_menu_item(r->hViewMenu, static_cast<std::uint32_t>(n - 1), OS_MF_BYPOSITION | OS_MF_CHECKED);
    }
    r->iBuffer = n;
    // The text of the old file goes into its entry, that of n comes out.
    r->iBuffer = old;
    yyeditswap(slot, old, n);
    r->iBuffer = n;
    yyeditstorebuffername(slot, old, r->szFileName, sizeof r->szFileName);
    std::string name;
    yyeditgetbuffername(slot, n, name, 259);
    copy_text(r->szFileName, sizeof r->szFileName, name);
    yyEditTitle(window);
    send(r->hRichEdit, EM_SCROLLCARET);
}
