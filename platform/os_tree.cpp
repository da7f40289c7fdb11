// The tree view ("SysTreeView32"): items by handle with a text, a parameter,
// an expanded state and children; one selected item (the caret). A click
// on an item's button expands or collapses it, a click on its text selects
// it; both, and a double click, are told to the parent as OSM_NOTIFY.
#include <QFontMetrics>

#include <map>

#include "platform/os_control_p.h"

namespace osw {

namespace {

struct Node {
    std::string text;
    std::intptr_t param = 0;
    bool expanded = false;
    std::int32_t children_flag = 0;
    std::int32_t parent = 0;
    std::vector<std::int32_t> kids;
};

struct TreeData : ControlData {
    std::map<std::int32_t, Node> nodes;
    std::vector<std::int32_t> roots;
    std::int32_t next = 1;
    std::int32_t caret = 0;
};

std::vector<std::int32_t>& siblings(TreeData* d, std::int32_t parent) {
    return parent == 0 ? d->roots : d->nodes[parent].kids;
}

bool has(TreeData* d, std::int32_t item) { return item > 0 && d->nodes.count(item) != 0; }

std::int32_t row_height(const WinRec& r) { return QFontMetrics(control_font(r)).height() + 2; }

// The items as shown, with their depth.
void visible(TreeData* d, const std::vector<std::int32_t>& chain, int depth, std::vector<std::pair<std::int32_t, int>>& out) {
    for (std::int32_t h : chain) {
        out.emplace_back(h, depth);
        const Node& n = d->nodes[h];
        if (n.expanded) visible(d, n.kids, depth + 1, out);
    }
}

std::intptr_t tell(OsWindow w, std::int32_t code, std::int32_t old_item, std::int32_t new_item, std::int32_t action) {
    WinRec* r = rec(w);
    if (!r || !r->parent) return 0;
    OsTreeNotify n;
    n.hdr = {w, static_cast<std::uintptr_t>(r->id), code};
    n.old_item = old_item;
    n.new_item = new_item;
    n.action = action;
    return os_send_message(r->parent, OSM_NOTIFY, static_cast<std::uintptr_t>(r->id), reinterpret_cast<std::intptr_t>(&n));
}

void select(OsWindow w, TreeData* d, std::int32_t item) {
    if (item == d->caret) return;
    const std::int32_t old = d->caret;
    d->caret = item;
    control_repaint(w);
    tell(w, OS_TVN_SELCHANGED, old, item, 0);
}

void expand(OsWindow w, TreeData* d, std::int32_t item, std::int32_t how) {
    if (!has(d, item)) return;
    Node& n = d->nodes[item];
    const bool to = how == OS_TVE_TOGGLE ? !n.expanded : how == OS_TVE_EXPAND;
    if (to == n.expanded) return;
    n.expanded = to;
    control_repaint(w);
    tell(w, OS_TVN_ITEMEXPANDED, 0, item, to ? OS_TVE_EXPAND : OS_TVE_COLLAPSE);
}

void erase(TreeData* d, std::int32_t item) {
    const std::vector<std::int32_t> kids = d->nodes[item].kids;
    for (std::int32_t k : kids) erase(d, k);
    if (d->caret == item) d->caret = 0;
    d->nodes.erase(item);
}

std::intptr_t tree_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    WinRec* r = rec(w);
    TreeData* d = control_data<TreeData>(w);
    if (!r || !d) return 0;
    switch (m) {
    case OSM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case TVM_INSERTITEM: {
        const auto* ins = reinterpret_cast<const OsTreeInsert*>(lp);
        if (!ins) return 0;
        const std::int32_t parent = ins->parent == OS_TVI_ROOT ? 0 : ins->parent;
        if (parent != 0 && !has(d, parent)) return 0;
        std::vector<std::int32_t>& chain = siblings(d, parent);
        auto at = chain.end();
        if (ins->after == OS_TVI_FIRST) at = chain.begin();
        else if (ins->after != OS_TVI_LAST) {
            auto it = std::find(chain.begin(), chain.end(), ins->after);
            if (it == chain.end()) return 0;
            at = it + 1;
        }
        const std::int32_t h = d->next++;
        Node n;
        n.text = ins->item.text;
        n.param = ins->item.param;
        n.parent = parent;
        if (ins->item.mask & OS_TVIF_STATE) n.expanded = ins->item.expanded;
        if (ins->item.mask & OS_TVIF_CHILDREN) n.children_flag = ins->item.children;
        chain.insert(at, h);
        d->nodes[h] = n;
        control_repaint(w);
        return h;
    }
    case TVM_DELETEITEM: {
        const auto item = static_cast<std::int32_t>(lp);
        if (item == OS_TVI_ROOT) {
            const bool had = d->caret != 0;
            d->nodes.clear();
            d->roots.clear();
            d->caret = 0;
            control_repaint(w);
            if (had) tell(w, OS_TVN_SELCHANGED, 0, 0, 0);
            return 1;
        }
        if (!has(d, item)) return 0;
        std::vector<std::int32_t>& chain = siblings(d, d->nodes[item].parent);
        chain.erase(std::find(chain.begin(), chain.end(), item));
        erase(d, item);
        control_repaint(w);
        return 1;
    }
    case TVM_EXPAND:
        expand(w, d, static_cast<std::int32_t>(lp), static_cast<std::int32_t>(wp));
        return 1;
    case TVM_GETCOUNT: return static_cast<std::intptr_t>(d->nodes.size());
    case TVM_SELECTITEM: {
        const auto item = static_cast<std::int32_t>(lp);
        if (item != 0 && !has(d, item)) return 0;
        // The selected item is shown: its parents open.
        for (std::int32_t p = item ? d->nodes[item].parent : 0; p; p = d->nodes[p].parent) d->nodes[p].expanded = true;
        select(w, d, item);
        return 1;
    }
    case TVM_GETNEXTITEM: {
        const auto item = static_cast<std::int32_t>(lp);
        switch (static_cast<std::int32_t>(wp)) {
        case OS_TVGN_ROOT: return d->roots.empty() ? 0 : d->roots.front();
        case OS_TVGN_CARET: return d->caret;
        case OS_TVGN_CHILD:
            if (item == 0 || item == OS_TVI_ROOT) return d->roots.empty() ? 0 : d->roots.front();
            return has(d, item) && !d->nodes[item].kids.empty() ? d->nodes[item].kids.front() : 0;
        case OS_TVGN_PARENT: return has(d, item) ? d->nodes[item].parent : 0;
        case OS_TVGN_NEXT:
        case OS_TVGN_PREVIOUS: {
            if (!has(d, item)) return 0;
            const std::vector<std::int32_t>& chain = siblings(d, d->nodes[item].parent);
            auto it = std::find(chain.begin(), chain.end(), item);
            if (wp == OS_TVGN_NEXT) return it + 1 != chain.end() ? *(it + 1) : 0;
            return it != chain.begin() ? *(it - 1) : 0;
        }
        default: return 0;
        }
    }
    case TVM_GETITEM:
    case TVM_SETITEM: {
        auto* it = reinterpret_cast<OsTreeItem*>(lp);
        if (!it || !has(d, it->item)) return 0;
        Node& n = d->nodes[it->item];
        if (m == TVM_GETITEM) {
            it->text = n.text;
            it->param = n.param;
            it->expanded = n.expanded;
            it->selected = d->caret == it->item;
            it->children = (!n.kids.empty() || n.children_flag) ? 1 : 0;
            return 1;
        }
        if (it->mask & OS_TVIF_TEXT) n.text = it->text;
        if (it->mask & OS_TVIF_PARAM) n.param = it->param;
        if (it->mask & OS_TVIF_STATE) n.expanded = it->expanded;
        if (it->mask & OS_TVIF_CHILDREN) n.children_flag = it->children;
        control_repaint(w);
        return 1;
    }
    case OSM_LBUTTONDOWN:
    case OSM_LBUTTONDBLCLK: {
        os_set_focus(w);
        const std::int32_t x = static_cast<std::int16_t>(lp & 0xFFFF), y = static_cast<std::int16_t>((lp >> 16) & 0xFFFF);
        std::vector<std::pair<std::int32_t, int>> rows;
        visible(d, d->roots, 0, rows);
        const std::int32_t i = y / row_height(*r);
        if (i < 0 || i >= static_cast<std::int32_t>(rows.size())) return 0;
        const auto [h, depth] = rows[static_cast<std::size_t>(i)];
        const Node& n = d->nodes[h];
        const int bx = 2 + depth * 16;
        if (m == OSM_LBUTTONDOWN && x >= bx && x < bx + 14 && (!n.kids.empty() || n.children_flag)) {
            expand(w, d, h, OS_TVE_TOGGLE);
            return 0;
        }
        select(w, d, h);
        if (m == OSM_LBUTTONDBLCLK && rec(w)) tell(w, OS_NM_DBLCLK, 0, h, 0);
        return 0;
    }
    case OSM_KEYDOWN: {
        std::vector<std::pair<std::int32_t, int>> rows;
        visible(d, d->roots, 0, rows);
        auto it = std::find_if(rows.begin(), rows.end(), [&](const auto& p) { return p.first == d->caret; });
        if (wp == OS_VK_DOWN) {
            if (it == rows.end()) { if (!rows.empty()) select(w, d, rows.front().first); }
            else if (it + 1 != rows.end()) select(w, d, (it + 1)->first);
        } else if (wp == OS_VK_UP) {
            if (it != rows.end() && it != rows.begin()) select(w, d, (it - 1)->first);
        } else if (wp == OS_VK_RIGHT && d->caret) {
            expand(w, d, d->caret, OS_TVE_EXPAND);
        } else if (wp == OS_VK_LEFT && d->caret) {
            expand(w, d, d->caret, OS_TVE_COLLAPSE);
        }
        return 0;
    }
    case OSM_SETFOCUS:
    case OSM_KILLFOCUS:
        control_repaint(w);
        return control_default(w, m, wp, lp);
    default:
        return control_default(w, m, wp, lp);
    }
}

void paint_tree(WinRec& r, QWidget* wg, QPainter& p) {
    p.fillRect(wg->rect(), qcolour(os_sys_colour(OS_COLOR_WINDOW)));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(wg->rect().adjusted(0, 0, -1, -1));
    TreeData* d = control_data<TreeData>(r.h);
    if (!d) return;
    std::vector<std::pair<std::int32_t, int>> rows;
    visible(d, d->roots, 0, rows);
    p.setFont(control_font(r));
    const int rh = row_height(r);
    const bool enabled = !(r.style & OS_WS_DISABLED);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto [h, depth] = rows[i];
        const Node& n = d->nodes[h];
        const int y = static_cast<int>(i) * rh + 1;
        const int bx = 2 + depth * 16;
        if (!n.kids.empty() || n.children_flag) {
            p.setPen(QColor(128, 128, 128));
            const QRect box(bx + 2, y + rh / 2 - 4, 8, 8);
            p.drawRect(box);
            p.setPen(Qt::black);
            p.drawLine(box.left() + 2, box.center().y(), box.right() - 2, box.center().y());
            if (!n.expanded) p.drawLine(box.center().x(), box.top() + 2, box.center().x(), box.bottom() - 2);
        }
        const QString t = qtext(n.text);
        const QRect tr(bx + 16, y, QFontMetrics(p.font()).horizontalAdvance(t) + 4, rh);
        const bool sel = h == d->caret && ((r.style & OS_TVS_SHOWSELALWAYS) || os_get_focus() == r.h);
        if (sel) p.fillRect(tr, QColor(0, 120, 215));
        p.setPen(sel ? QColor(Qt::white) : (enabled ? qcolour(os_sys_colour(OS_COLOR_WINDOWTEXT)) : QColor(128, 128, 128)));
        p.drawText(tr.adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, t);
    }
}

}  // namespace

void register_tree_class() { register_control_class("SysTreeView32", tree_proc, paint_tree, OS_CS_DBLCLKS); }

}  // namespace osw
