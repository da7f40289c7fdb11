// Tree fields: items named by the program's item ids (the item parameter),
// filled from menu resources, copied into and out of the modal copy, and
// the operations on the selection, insertion, deletion, texts and states.
#include "lib/dialog/fields.h"
#include "lib/window/menus.h"
#include "lib/window/messages.h"
#include "platform/os_dialog.h"
#include "platform/os_menu.h"

namespace {

bool atom_is(OsHandle w, std::int32_t atom) { return atom != 0 && os_window_class_atom(w) == atom; }

std::int32_t next_item(OsHandle tree, std::int32_t code, std::int32_t item) {
    return static_cast<std::int32_t>(os_send_message(tree, TVM_GETNEXTITEM, static_cast<std::uintptr_t>(code), item));
}

bool read_item(OsHandle tree, std::int32_t item, OsTreeItem& out) {
    out.item = item;
    return os_send_message(tree, TVM_GETITEM, 0, reinterpret_cast<std::intptr_t>(&out)) != 0;
}

std::int32_t insert(OsHandle tree, std::int32_t parent, std::int32_t after, std::string_view text, std::int32_t id,
                    bool expanded, std::int32_t children) {
    OsTreeInsert ins;
    ins.parent = parent;
    ins.after = after;
    ins.item.mask = OS_TVIF_TEXT | OS_TVIF_PARAM | OS_TVIF_STATE | (children ? OS_TVIF_CHILDREN : 0u);
    ins.item.text = std::string(text);
    ins.item.param = id;
    ins.item.expanded = expanded;
    ins.item.children = children;
    return static_cast<std::int32_t>(os_send_message(tree, TVM_INSERTITEM, 0, reinterpret_cast<std::intptr_t>(&ins)));
}

OsHandle tree_field(std::int32_t& field) {
    const OsHandle c = yyfieldwindow(field);
    if (!atom_is(c, dlgtab.atomTree)) {
        field = -1;
        return 0;
    }
    return c;
}

}  // namespace

void yyTreeViewInit2(OsHandle tree, std::int32_t parent, std::int32_t menu, std::int32_t select) {
    for (int pos = 0, n = os_menu_item_count(menu); pos < n; ++pos) {
        OsMenuItemInfo info;
        if (!os_get_menu_item(menu, pos, info)) continue;
        const bool separator = info.kind == OS_MENU_SEPARATOR;
        const std::int32_t id = separator ? 0 : info.id;
        const bool popup = info.submenu != 0;
        const bool expanded = popup && (info.state & OS_MF_CHECKED);
        const std::int32_t item = insert(tree, parent, OS_TVI_LAST, separator ? "" : info.text, id, expanded, 0);
        if (!item) continue;
        if (id == select) os_send_message(tree, TVM_SELECTITEM, OS_TVGN_CARET, item);
        if (popup) yyTreeViewInit2(tree, item, info.submenu, select);
    }
}

void yyTreeViewInit(OsHandle tree, std::int32_t menu, std::int32_t select) {
    if (menu == 0 || !tree) return;
    const OsHandle m = yymnload(menu);
    if (!m) return;
    yyTreeViewInit2(tree, OS_TVI_ROOT, m, select);
    os_destroy_menu(m);
}

std::int32_t yyTreeViewFind2(OsHandle tree, std::int32_t first, std::int32_t id) {
    for (std::int32_t h = first; h; h = next_item(tree, OS_TVGN_NEXT, h)) {
        OsTreeItem it;
        if (!read_item(tree, h, it)) return 0;
        if (it.param == id) return h;
        if (it.children == 1)
            if (const std::int32_t f = yyTreeViewFind2(tree, next_item(tree, OS_TVGN_CHILD, h), id)) return f;
    }
    return 0;
}

std::int32_t yyTreeViewFind(OsHandle tree, std::int32_t id) {
    return yyTreeViewFind2(tree, next_item(tree, OS_TVGN_ROOT, 0), id);
}

void yyTreeViewCopy(OsHandle target, std::int32_t parent, OsHandle source, std::int32_t first) {
    if (parent == 0) {
        // The whole tree: the target is emptied first.
        os_send_message(target, TVM_DELETEITEM, 0, OS_TVI_ROOT);
        parent = OS_TVI_ROOT;
        first = next_item(source, OS_TVGN_ROOT, 0);
    }
    for (std::int32_t h = first; h; h = next_item(source, OS_TVGN_NEXT, h)) {
        OsTreeItem it;
        if (!read_item(source, h, it)) return;
        if (it.text.size() > 32767) it.text.resize(32767);
        const std::int32_t kids = next_item(source, OS_TVGN_CHILD, h);
        const std::int32_t n =
            insert(target, parent, OS_TVI_LAST, it.text, static_cast<std::int32_t>(it.param), false, it.children);
        if (!n) return;
        if (kids) yyTreeViewCopy(target, n, source, kids);
        if (it.expanded) {
            OsTreeItem st;
            st.mask = OS_TVIF_STATE;
            st.item = n;
            st.expanded = true;
            os_send_message(target, TVM_SETITEM, 0, reinterpret_cast<std::intptr_t>(&st));
        }
        if (it.selected) os_send_message(target, TVM_SELECTITEM, OS_TVGN_CARET, n);
    }
}

void yyfieldgettree(std::int32_t& field, std::int32_t& id, bool want_text, std::string& text, std::int32_t size) {
    const OsHandle tree = tree_field(field);
    if (!tree) return;
    OsTreeItem it;
    const std::int32_t sel = next_item(tree, OS_TVGN_CARET, 0);
    if (!sel || !read_item(tree, sel, it)) {
        field = -2;
        return;
    }
    id = static_cast<std::int32_t>(it.param);
    if (want_text) text = it.text.substr(0, static_cast<std::size_t>(std::max(0, size - 1)));
}

void yyfieldputtree(std::int32_t& field, std::int32_t id) {
    const OsHandle c = yyfieldwindow(field);
    const std::int32_t h = atom_is(c, dlgtab.atomTree) ? yyTreeViewFind(c, id) : 0;
    if (!h) {
        field = -2;
        return;
    }
    os_send_message(c, TVM_SELECTITEM, OS_TVGN_CARET, h);
    os_update_window(c);
}

void yytreeviewinsert(std::int32_t& field, std::int32_t reference, std::int32_t mode, std::int32_t id,
                      std::string_view text) {
    const OsHandle tree = tree_field(field);
    if (!tree) return;
    // 1.
    if (next_item(tree, OS_TVGN_ROOT, 0) == 0) {
        insert(tree, OS_TVI_ROOT, OS_TVI_LAST, text, id, false, 0);
        os_update_window(tree);
        return;
    }
    // 2.
    const std::int32_t ref = yyTreeViewFind(tree, reference);
    if (!ref) {
        field = -2;
        return;
    }
    // 3.
    if (dlgtab.iTreeCheck == 1 && yyTreeViewFind(tree, id)) {
        field = -3;
        return;
    }
    std::int32_t parent = OS_TVI_ROOT, after = ref;
    if (mode == 3) {
        parent = ref;
        after = OS_TVI_LAST;
    } else {
        const std::int32_t p = next_item(tree, OS_TVGN_PARENT, ref);
        parent = p ? p : OS_TVI_ROOT;
        if (mode == 1) {
            const std::int32_t prev = next_item(tree, OS_TVGN_PREVIOUS, ref);
            after = prev ? prev : OS_TVI_FIRST;
        }
    }
    // 4.
    insert(tree, parent, after, text, id, false, 0);
    if (mode == 3) {
        OsTreeItem it;
        if (read_item(tree, ref, it)) {
            it.mask = OS_TVIF_CHILDREN;
            os_send_message(tree, TVM_SETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
        }
    }
    // 5.
    os_update_window(tree);
}

void yytreeviewdelete(std::int32_t& field, std::int32_t id) {
    const OsHandle tree = tree_field(field);
    if (!tree) return;
    const std::int32_t h = yyTreeViewFind(tree, id);
    if (!h) {
        field = -2;
        return;
    }
    os_send_message(tree, TVM_DELETEITEM, 0, h);
    os_update_window(tree);
}

namespace {

// The tree and the item of id for a state operation: -2 no such item, -3 an
// item without children; 0 when the status is set.
std::int32_t state_item(std::int32_t& field, std::int32_t id, OsHandle& tree, OsTreeItem& it) {
    tree = tree_field(field);
    if (!tree) return 0;
    const std::int32_t h = yyTreeViewFind(tree, id);
    if (!h || !read_item(tree, h, it)) field = -2;
    else if (it.children != 1) field = -3;
    else return h;
    return 0;
}

}  // namespace

void yytreeviewgetstate(std::int32_t& field, std::int32_t id, std::int32_t& state) {
    OsHandle tree = 0;
    OsTreeItem it;
    if (state_item(field, id, tree, it)) state = it.expanded ? 2 : 1;
}

void yytreeviewsetstate(std::int32_t& field, std::int32_t id, std::int32_t state) {
    OsHandle tree = 0;
    OsTreeItem it;
    if (const std::int32_t h = state_item(field, id, tree, it))
        os_send_message(tree, TVM_EXPAND, state == 1 ? OS_TVE_COLLAPSE : OS_TVE_EXPAND, h);
}

void yytreeviewsetstring(std::int32_t& field, std::int32_t id, std::string_view text) {
    const OsHandle tree = tree_field(field);
    if (!tree) return;
    const std::int32_t h = yyTreeViewFind(tree, id);
    if (!h) {
        field = -2;
        return;
    }
    OsTreeItem it;
    it.mask = OS_TVIF_TEXT;
    it.item = h;
    it.text = std::string(text);
    os_send_message(tree, TVM_SETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
}

void yytreeviewcheck(std::int32_t flag) { dlgtab.iTreeCheck = flag; }

std::intptr_t yytreenotify(OsHandle d, std::intptr_t lp) {
    const auto* n = reinterpret_cast<const OsTreeNotify*>(lp);
    DialogRecord* r = yydialogrecord(d);
    if (!n || !r) return 0;
    const OsHandle tree = n->hdr.from;
    if (n->hdr.code == OS_TVN_SELCHANGED || n->hdr.code == OS_TVN_ITEMEXPANDED) {
        // Both fields name the tree, so the program sees a change of the
        // tree and not the focus arriving from another field; the modal copy
        // keeps the record too, it only reports nothing.
        r->item[DlgPreviousField] = r->item[DlgCurrentField] = os_get_control_id(tree);
        yyUpdateLast(d, tree);
        if (d != dlgtab.hDialogList[0] && !yyismodaldialog(d)) yyinterpretmessage(MsgFieldChanged, 0, 0, 0, d);
        return 0;
    }
    if (n->hdr.code == OS_NM_DBLCLK) {
        OsTreeItem it;
        const FieldRecord* f = yyfieldrecord(tree);
        if (read_item(tree, n->new_item, it) && it.children == 0 && !(f && (f->flags & 2))) yyDefaultButton(tree);
    }
    return 0;
}
