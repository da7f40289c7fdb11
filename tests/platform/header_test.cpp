// The header control: items, a click told to the parent, a divider drag the
// parent may refuse, and a subclass that sees input first.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_dialog.h"
#include "platform/os_window.h"
#include "tests/support/quinda_test.h"

namespace {

struct Told {
    std::int32_t code, item, width;
};
std::vector<Told> g_told;
std::int32_t g_refuse_over = 1 << 30;   // widths above this are refused

std::intptr_t parent_proc(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_NOTIFY) {
        const auto* n = reinterpret_cast<const OsHeaderNotify*>(lp);
        g_told.push_back({n->hdr.code, n->item, n->pitem ? n->pitem->cxy : -1});
        return n->hdr.code == HDN_TRACK && n->pitem && n->pitem->cxy > g_refuse_over ? 1 : 0;
    }
    return os_def_window_proc(w, m, wp, lp);
}

OsWndProc g_previous = nullptr;
int g_subclass_saw = 0;
std::intptr_t subclass(OsWindow w, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) {
    if (m == OSM_LBUTTONDOWN) ++g_subclass_saw;
    return g_previous(w, m, wp, lp);
}

class HeaderTest : public QuindaTest {
protected:
    void SetUp() override {
        QuindaTest::SetUp();
        os_register_controls();
        g_told.clear();
        if (!os_class_atom("HEADERPARENT")) {
            OsWndClass c;
            c.name = "HEADERPARENT";
            c.proc = parent_proc;
            ASSERT_NE(os_register_class(c), 0);
        }
        parent = os_create_window(0, "HEADERPARENT", "", OS_WS_POPUP | OS_WS_VISIBLE, 0, 0, 300, 100, 0, 0, 0);
        header = os_create_window(0, "SysHeader32", "", OS_WS_CHILD | OS_WS_VISIBLE | OS_HDS_BUTTONS, 0, 0, 300, 20, parent,
                                  0, 5);
        ASSERT_NE(header, 0);
    }
    std::intptr_t insert(std::int32_t at, std::int32_t width, const std::string& text) {
        OsHeaderItem it;
        it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        it.cxy = width;
        it.text = text;
        it.fmt = HDF_STRING | HDF_CENTER;
        return os_send_message(header, HDM_INSERTITEM, static_cast<std::uintptr_t>(at), reinterpret_cast<std::intptr_t>(&it));
    }
    OsHeaderItem get(std::int32_t at, std::int32_t text_max = 100) {
        OsHeaderItem it;
        it.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT;
        it.text_max = text_max;
        os_send_message(header, HDM_GETITEM, static_cast<std::uintptr_t>(at), reinterpret_cast<std::intptr_t>(&it));
        return it;
    }
    OsWindow parent = 0, header = 0;
};

// Input reaches windows through the queue.
void pump() {
    OsMsg m;
    while (os_peek_message(m, 0, 0, 0, 1)) os_dispatch_message(m);
}

void mouse(OsWindow w, OsMouseAction a, std::int32_t x) {
    os_input_mouse(w, a, a == OS_MOUSE_MOVE ? 0 : 1, x, 5);
    pump();
}

TEST_F(HeaderTest, ItemsClicksAndDividerDrags) {
    EXPECT_EQ(insert(0, 50, "Depth"), 0);
    EXPECT_EQ(insert(99, 60, "Head"), 1);   // past the end: appended
    EXPECT_EQ(insert(0, 40, "Corner"), 0);
    EXPECT_EQ(os_send_message(header, HDM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(get(1).text, "Depth");
    EXPECT_EQ(get(2).cxy, 60);
    EXPECT_EQ(get(2).fmt, HDF_STRING | HDF_CENTER);
    EXPECT_EQ(get(1, 3).text, "De");        // cut to the room given
    OsHeaderItem set;
    set.mask = HDI_TEXT;
    set.text = "Level";
    EXPECT_EQ(os_send_message(header, HDM_SETITEM, 1, reinterpret_cast<std::intptr_t>(&set)), 1);
    EXPECT_EQ(get(1).text, "Level");
    EXPECT_EQ(get(1).cxy, 50);
    EXPECT_EQ(os_send_message(header, HDM_SETITEM, 7, reinterpret_cast<std::intptr_t>(&set)), 0);
    EXPECT_EQ(os_send_message(header, HDM_DELETEITEM, 0, 0), 1);
    EXPECT_EQ(os_send_message(header, HDM_DELETEITEM, 5, 0), 0);
    EXPECT_EQ(get(0).text, "Level");

    // A click inside item 1 (x 50..109) tells the parent.
    mouse(header, OS_MOUSE_PRESS, 80);
    mouse(header, OS_MOUSE_RELEASE, 80);
    ASSERT_EQ(g_told.size(), 1u);
    EXPECT_EQ(g_told[0].code, HDN_ITEMCLICK);
    EXPECT_EQ(g_told[0].item, 1);

    // Dragging item 0's divider (x 50) widens it; a refused step stops the drag.
    g_told.clear();
    g_refuse_over = 70;
    mouse(header, OS_MOUSE_PRESS, 50);
    mouse(header, OS_MOUSE_MOVE, 65);
    mouse(header, OS_MOUSE_MOVE, 80);
    mouse(header, OS_MOUSE_MOVE, 60);
    mouse(header, OS_MOUSE_RELEASE, 60);
    EXPECT_EQ(get(0).cxy, 65);
    std::vector<std::int32_t> codes;
    for (const Told& t : g_told) codes.push_back(t.code);
    EXPECT_EQ(codes, (std::vector<std::int32_t>{HDN_BEGINTRACK, HDN_TRACK, HDN_TRACK, HDN_ENDTRACK}));

    // A parent that refuses the start leaves the width alone.
    g_told.clear();
    g_refuse_over = 0;
    mouse(header, OS_MOUSE_PRESS, 65);
    mouse(header, OS_MOUSE_MOVE, 90);
    mouse(header, OS_MOUSE_RELEASE, 90);
    EXPECT_EQ(get(0).cxy, 65);
}

TEST_F(HeaderTest, ASubclassSeesInputFirst) {
    insert(0, 100, "One");
    g_subclass_saw = 0;
    g_previous = os_set_window_proc(header, subclass);
    mouse(header, OS_MOUSE_PRESS, 30);
    mouse(header, OS_MOUSE_RELEASE, 30);
    EXPECT_EQ(g_subclass_saw, 1);
    ASSERT_EQ(g_told.size(), 1u);
    EXPECT_EQ(g_told[0].code, HDN_ITEMCLICK);
}

}  // namespace
