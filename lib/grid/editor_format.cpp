// Editor find and replace, and the character and paragraph formats of the
// Format commands and tool-bar buttons.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>

#include "lib/grid/editor.h"
#include "platform/os_menu.h"
#include "platform/os_msgbox.h"
#include "platform/os_richedit.h"
#include "platform/os_window.h"

namespace {

std::intptr_t send(OsHandle w, std::uint32_t m, std::uintptr_t wp = 0, std::intptr_t lp = 0) { return os_send_message(w, m, wp, lp); }

OsCharRange selection(const EditorWindowData& r) {
    OsCharRange cr;
    send(r.hRichEdit, OS_EM_EXGETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
    return cr;
}

void set_selection(const EditorWindowData& r, std::int32_t a, std::int32_t b) {
    OsCharRange cr{a, b};
    send(r.hRichEdit, OS_EM_EXSETSEL, 0, reinterpret_cast<std::intptr_t>(&cr));
}

// Format changes keep the position cache: the text is the same.
struct KeepCache {
    EditorWindowData& r;
    std::int32_t rich, file;
    explicit KeepCache(EditorWindowData& rec) : r(rec), rich(rec.iCacheRichPos), file(rec.iCacheFilePos) {}
    ~KeepCache() {
        r.iCacheRichPos = rich;
        r.iCacheFilePos = file;
    }
};

bool unprotected(const OsCharFormat& cf) { return (cf.mask & OS_CFM_PROTECTED) && !(cf.effects & OS_CFE_PROTECTED); }

}  // namespace

std::int32_t yyEditFind(OsHandle window, EditorWindowData& r, const FINDREPLACEA& q) {
    if (!q.find_what || !q.find_what[0]) return 0;
    const OsCharRange sel = selection(r);
    const bool down = wtab.iVerRTF == 1 || (q.flags & FR_DOWN);
    OsFindText ft;
    if (down) ft.chrg = {sel.cpMin == sel.cpMax ? sel.cpMin : sel.cpMin + 1, -1};
    else ft.chrg = {sel.cpMin == sel.cpMax ? sel.cpMax : sel.cpMax - 1, 0};
    ft.text = q.find_what;
    std::uint32_t flags = down ? static_cast<std::uint32_t>(OS_FR_DOWN) : 0u;
    if (q.flags & FR_WHOLEWORD) flags |= OS_FR_WHOLEWORD;
    if (q.flags & FR_MATCHCASE) flags |= OS_FR_MATCHCASE;
    const auto p = send(r.hRichEdit, OS_EM_FINDTEXTEX, flags, reinterpret_cast<std::intptr_t>(&ft));
    if (p < 0) {
        // The box belongs to the find dialog when one is open; the editor waits meanwhile.
        if (r.hFindDialog) os_enable_window(window, false);
        os_message_box("End of text reached", "Find", OS_MB_OK | OS_MB_ICONINFORMATION);
        if (r.hFindDialog) os_enable_window(window, true);
        return 0;
    }
    const auto first = send(r.hRichEdit, OS_EM_GETFIRSTVISIBLELINE);
    set_selection(r, ft.found.cpMin, ft.found.cpMax);
    send(r.hRichEdit, EM_SCROLLCARET);
    if (send(r.hRichEdit, OS_EM_GETFIRSTVISIBLELINE) != first) {
        send(r.hRichEdit, OS_EM_LINESCROLL, 0, 6);
        send(r.hRichEdit, EM_SCROLLCARET);
    }
    return 1;
}

std::int32_t yyEditReplace(OsHandle window, EditorWindowData& r, const FINDREPLACEA& q) {
    const OsCharRange sel = selection(r);
    const char* what = q.find_what ? q.find_what : "";
    if (sel.cpMax > sel.cpMin && sel.cpMax - sel.cpMin < 1024) {
        char buf[1024] = {};
        OsTextRange tr{sel, buf};
        send(r.hRichEdit, OS_EM_GETTEXTRANGE, 0, reinterpret_cast<std::intptr_t>(&tr));
        const bool equal = (q.flags & FR_MATCHCASE) ? std::strcmp(buf, what) == 0 : strcasecmp(buf, what) == 0;
        if (equal) {
            r.bProtect = 0;
            send(r.hRichEdit, EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>(q.replace_with ? q.replace_with : ""));
            r.bProtect = 1;
        }
    }
    return yyEditFind(window, r, q);
}

void yyEditFindMessage(OsHandle window, EditorWindowData& r) {
    const FINDREPLACEA& q = r.FindReplace;
    if (q.flags & FR_DIALOGTERM) {
        r.hFindDialog = 0;
    } else if (q.flags & FR_REPLACEALL) {
        set_selection(r, 0, 0);
        while (yyEditReplace(window, r, q)) {
        }
    } else if (q.flags & FR_REPLACE) {
        yyEditReplace(window, r, q);
    } else if (q.flags & FR_FINDNEXT) {
        yyEditFind(window, r, q);
    }
}

void yyEditUpdateBIU(EditorWindowData& r) {
    if (!r.bRichText || r.bReadOnly) return;
    OsCharFormat cf;
    send(r.hRichEdit, OS_EM_GETCHARFORMAT, 1, reinterpret_cast<std::intptr_t>(&cf));
    OsParaFormat pf;
    send(r.hRichEdit, OS_EM_GETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    const bool enabled = unprotected(cf);
    const bool bullet = (pf.mask & OS_PFM_NUMBERING) ? pf.numbering != 0 : true;  // mixed counts as set
    if (r.hEditToolbar) {
        const std::uint32_t bits[] = {OS_CFM_BOLD, OS_CFM_ITALIC, OS_CFM_UNDERLINE};
        // Checked when on, indeterminate when mixed.
        for (int k = 0; k < 3; ++k) {
            const auto id = static_cast<std::uintptr_t>(32166 + k);
            send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, id, enabled);
            send(r.hEditToolbar, OSM_TB_CHECKBUTTON, id, (cf.mask & bits[k]) && (cf.effects & bits[k]));
            send(r.hEditToolbar, OSM_TB_INDETERMINATE, id, !(cf.mask & bits[k]));
        }
        send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, 32162, enabled);
        send(r.hEditToolbar, OSM_TB_CHECKBUTTON, 32162, (pf.mask & OS_PFM_NUMBERING) && pf.numbering != 0);
        send(r.hEditToolbar, OSM_TB_INDETERMINATE, 32162, !(pf.mask & OS_PFM_NUMBERING));
        const bool uniform = (pf.mask & OS_PFM_ALIGNMENT) != 0;
        for (int k = 0; k < 3; ++k) {
            const auto id = static_cast<std::uintptr_t>(32163 + k);
            const std::uint16_t align[] = {OS_PFA_LEFT, OS_PFA_CENTER, OS_PFA_RIGHT};
            send(r.hEditToolbar, OSM_TB_ENABLEBUTTON, id, enabled);
            send(r.hEditToolbar, OSM_TB_CHECKBUTTON, id, uniform && pf.alignment == align[k]);
            send(r.hEditToolbar, OSM_TB_INDETERMINATE, id, !uniform);
        }
    }
    if (r.hFormatMenu) os_check_menu_item(r.hFormatMenu, 32162, OS_MF_BYCOMMAND | (bullet ? OS_MF_CHECKED : OS_MF_UNCHECKED));
}

void yyEditFormatBIU(EditorWindowData& r, std::int32_t command) {
    if (!r.bRichText || command < 32166 || command > 32168) return;
    KeepCache keep(r);
    const std::uint32_t bit = command == 32166 ? OS_CFM_BOLD : command == 32167 ? OS_CFM_ITALIC : OS_CFM_UNDERLINE;
    OsCharFormat cf;
    send(r.hRichEdit, OS_EM_GETCHARFORMAT, 1, reinterpret_cast<std::intptr_t>(&cf));
    // Uniform: toggled; mixed: set.
    const bool on = (cf.mask & bit) ? !(cf.effects & bit) : true;
    OsCharFormat set;
    set.mask = bit;
    set.effects = on ? bit : 0;
    send(r.hRichEdit, OS_EM_SETCHARFORMAT, OS_SCF_SELECTION | OS_SCF_WORD, reinterpret_cast<std::intptr_t>(&set));
    yyEditUpdateBIU(r);
}

void yyEditFormatLCR(EditorWindowData& r, std::int32_t command) {
    if (!r.bRichText || command < 32163 || command > 32165) return;
    KeepCache keep(r);
    OsParaFormat pf;
    pf.mask = OS_PFM_ALIGNMENT;
    pf.alignment = command == 32163 ? OS_PFA_LEFT : command == 32164 ? OS_PFA_CENTER : OS_PFA_RIGHT;
    send(r.hRichEdit, OS_EM_SETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    yyEditUpdateBIU(r);
}

void yyEditFormatBullet(EditorWindowData& r) {
    if (!r.bRichText) return;
    KeepCache keep(r);
    OsParaFormat pf;
    send(r.hRichEdit, OS_EM_GETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&pf));
    const bool on = (pf.mask & OS_PFM_NUMBERING) ? pf.numbering == 0 : true;
    OsParaFormat set;
    set.mask = OS_PFM_NUMBERING;
    set.numbering = on ? OS_PFN_BULLET : 0;
    send(r.hRichEdit, OS_EM_SETPARAFORMAT, 0, reinterpret_cast<std::intptr_t>(&set));
    yyEditUpdateBIU(r);
}

void yyEditPaste(EditorWindowData& r) {
    if (r.bRichText) {
        send(r.hRichEdit, OS_EM_PASTE);
        return;
    }
    // Plain text: the clipboard's text replaces the selection, formats dropped, as one undo step.
    if (!os_clipboard_has_text()) return;
    const std::string t = os_clipboard_text();
    send(r.hRichEdit, EM_REPLACESEL, 1, reinterpret_cast<std::intptr_t>(t.c_str()));
}
