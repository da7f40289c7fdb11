// Dialog fields on dialog 760 (one field of every kind, a tab field with two
// pages and a tree from a menu): types and states, typed values, numeric
// fields by typing, spin steps, tab pages, trees, subclasses and the
// information queries.
#include "tests/dialog/dialog_fixture.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "lib/dialog/dialog_window.h"
#include "lib/dialog/fields.h"
#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/fill.h"
#include "lib/graphics/gstate.h"
#include "lib/window/convert.h"
#include "lib/window/errors.h"
#include "platform/os_config.h"
#include "lib/window/text.h"
#include "platform/os_dc.h"

namespace {

class FieldsTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        quinda.bell = 1;
        ASSERT_EQ(load_show(760), 0);
        settle();
    }
    // The last error reported, 0 for none, and the report cleared.
    static int error() { return infoerror(1); }
    static std::string field_text(std::int32_t id) {
        std::string t(20, ' ');
        WDialogGetString(id, t);
        return std::string(txt_trim(t));
    }
    OsHandle page(std::int32_t id) const { return dlgtab.hDialogList[static_cast<std::size_t>(yydialogfind(id))]; }
    OsHandle page_item(std::int32_t page_id, std::int32_t id) const { return os_get_dlg_item(page(page_id), id); }
    // Characters as the user types them into the field with the focus.
    void keys(const std::string& text) {
        type(text);
        settle();
    }
    void press(OsHandle w) {
        click(w);
    }
    OsRect tab_rect(int i) const {
        OsRect r;
        os_send_message(item(7622), TCM_GETITEMRECT, static_cast<std::uintptr_t>(i), reinterpret_cast<std::intptr_t>(&r));
        return r;
    }
    void click_tab(int i) {
        const OsRect r = tab_rect(i);
        click(item(7622), (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
};

TEST_F(FieldsTest, TypesAndStatesInOneTable) {
    const std::pair<int, int> types[] = {
        {7600, 1}, {7601, 2}, {7602, 3}, {7603, 9}, {7604, 10}, {7605, 10}, {7607, 9},  {7610, 5},
        {7611, 5}, {7612, 6}, {7613, 6}, {7614, 7}, {7615, 7},  {7616, 4},  {7617, 12}, {7618, 11},
        {7619, 11}, {7620, 14}, {7621, 16}, {7622, 13}, {7623, 17}, {1, 8},  {9999, 0},
    };
    for (const auto& [id, type] : types) EXPECT_EQ(winfodialogfield(id, 5), type) << id;

    // A hidden disabled field is hidden; a read-only list is enabled.
    os_enable_window(item(7616), false);
    os_show_window(item(7616), OS_SW_HIDE);
    os_set_style(item(7617), os_get_style(item(7617)) | OS_ES_READONLY);
    // State 2 disables a check box; a numeric field becomes read-only.
    WDialogFieldState(7603, 2);
    WDialogFieldState(7612, 2);
    // A field outside the fixed dialog's client area keeps its look.
    WDialogFieldState(7624, 3);
    const std::pair<int, int> states[] = {{7616, 3}, {7617, 1}, {7603, 0}, {7612, 2}, {7624, 1}, {7600, 1}};
    for (const auto& [id, state] : states) EXPECT_EQ(winfodialogfield(id, 6), state) << id;
    EXPECT_EQ(yyfieldrecord(item(7624))->state, 3);
    EXPECT_EQ(error(), 0);
}

TEST_F(FieldsTest, ColoursOfTheRecord) {
    struct Case { int red, green, blue, expect; } const cases[] = {
        {300, 0, 0, 44}, {-1, 5, 5, 44}, {256, 0, 0, -1}, {1, 2, 3, 1 + 2 * 256 + 3 * 65536}, {-255, 0, 0, 1},
    };
    for (const Case& c : cases) {
        yyFieldColour2(item(7616), 1, c.red, c.green, c.blue);
        EXPECT_EQ(yyfieldrecord(item(7616))->text_colour, c.expect) << c.red;
    }
}

TEST_F(FieldsTest, TypedValuesInOneTable) {
    struct Case {
        const char* what;
        std::function<void()> act;
        int error;
        std::function<void()> check;
    };
    std::int32_t i = 0;
    float r = 0;
    std::string t(12, ' ');
    const std::vector<std::string> options = {" one", "two  ", "three"};
    const Case cases[] = {
        {"2.9 reads as 2", [&] { WDialogPutString(7616, "2.9"); WDialogGetInteger(7616, i); }, 0, [&] { EXPECT_EQ(i, 2); }},
        {"-2.9 reads as -2", [&] { WDialogPutString(7616, "-2.9   "); WDialogGetInteger(7616, i); }, 0, [&] { EXPECT_EQ(i, -2); }},
        {"blank is undefined", [&] { WDialogPutString(7616, "   "); WDialogGetInteger(7616, i); }, 1010, [&] { EXPECT_EQ(i, -999); }},
        {"beyond 32 bits: the nearest end", [&] { WDialogPutString(7616, "1e20"); WDialogGetInteger(7616, i); }, 0,
         [&] { EXPECT_EQ(i, 2147483647); }},
        {"out of range keeps the old text", [&] { WDialogPutString(7616, "3"); WDialogRangeInteger(7616, 0, 4); WDialogPutInteger(7616, 5); },
         1009, [&] { EXPECT_EQ(field_text(7616), "3"); }},
        {"without a range the text is stored", [&] { WDialogRangeInteger(7616); WDialogPutInteger(7616, 5); }, 0,
         [&] { EXPECT_EQ(field_text(7616), "5"); }},
        {"a real keeps its stored value", [&] { WDialogPutReal(7612, 0.1f, "(F4.1)"); WDialogGetReal(7612, r); }, 0,
         [&] { EXPECT_EQ(r, 0.1f); EXPECT_EQ(field_text(7612), "0.1"); }},
        {"12.5 put as text", [&] { WDialogPutString(7614, "12.5"); WDialogGetReal(7614, r); }, 0, [&] { EXPECT_EQ(r, 12.5f); }},
        {"a text that is no number leaves 0", [&] { WDialogPutString(7614, "abc"); }, 0,
         [&] { EXPECT_EQ(yyfieldrecord(item(7614))->value, 0.0); }},
        {"a spin field takes over the default format",
         [&] { yyfieldrecord(item(7613))->format = new std::string("(F8.3)"); WDialogPutReal(7613, 2.5f); }, 0,
         [&] { EXPECT_EQ(*yyfieldrecord(item(7613))->format, "(G15.5E2)"); }},
        {"the radio position", [&] { WDialogPutRadioButton(7605); WDialogGetRadioButton(7606, i); }, 0, [&] { EXPECT_EQ(i, 2); }},
        {"a push button has no radio group", [&] { WDialogPutRadioButton(1); }, 1006, [] {}},
        {"option 0 on a drop-down list: 1011 after filling", [&] { WDialogPutMenu(7619, options, 3, 0); }, 1011,
         [&] { EXPECT_EQ(os_send_message(item(7619), CB_GETCOUNT, 0, 0), 3); }},
        {"a count above the texts appends those given", [&] { WDialogPutMenu(7617, options, 5, 2); }, 0,
         [&] { EXPECT_EQ(os_send_message(item(7617), LB_GETCOUNT, 0, 0), 3); }},
        {"the typed combo text", [&] { WDialogPutMenu(7618, options, 3, 0, "zzz"); WDialogGetMenu(7618, i, &t); }, 0,
         [&] { EXPECT_EQ(i, 0); EXPECT_EQ(t, "zzz         "); }},
        {"a list item and its text", [&] { WDialogPutOption(7617, 3); WDialogGetMenu(7617, i, &t); }, 0,
         [&] { EXPECT_EQ(i, 3); EXPECT_EQ(t, "three       "); }},
        {"an empty progress range", [&] { WDialogRangeProgressBar(7620, 10, 10); }, 1013, [] {}},
        {"the whole progress range", [&] { WDialogRangeProgressBar(7620, 0, 65535); WDialogPutProgressBar(7620, 65000); }, 0,
         [&] { EXPECT_EQ(os_send_message(item(7620), PBM_GETPOS, 0, 0), 65000); }},
        {"check boxes", [&] { WDialogPutCheckBox(7603, 1); WDialogGetCheckBox(7603, i); }, 0, [&] { EXPECT_EQ(i, 1); }},
        {"a label is no check box", [&] { WDialogPutCheckBox(7600, 1); }, 1006, [] {}},
        {"the text length", [&] { WDialogPutString(7616, "four   "); WDialogGetStringLength(7616, i); }, 0, [&] { EXPECT_EQ(i, 4); }},
        {"text changes reported", [&] { WDialogFieldOptions(7616, 3, 1); }, 0,
         [&] { EXPECT_EQ(yyfieldrecord(item(7616))->report_changes, 1); }},
        {"grid options on an edit", [&] { WDialogFieldOptions(7616, 1, 1); }, 1006, [] {}},
        {"an unknown option", [&] { WDialogFieldOptions(7616, 9, 1); }, 0, [] {}},
        {"a list option beyond the items", [&] { WDialogPutOption(7617, 4); }, 1011, [] {}},
        {"no such field", [&] { WDialogGetString(9999, t); }, 1006, [&] { EXPECT_EQ(t, std::string(12, ' ')); }},
        {"no dialog: 1005 before 1006", [&] { WDialogUnload(); WDialogPutString(9999, "x"); }, 1005, [] {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        error();
        c.act();
        EXPECT_EQ(error(), c.error);
        c.check();
    }
}

TEST_F(FieldsTest, NumericFieldsByTyping) {
    const std::int32_t beeps0 = os_beep_count();
    // The letter x in an integer field beeps and changes nothing.
    os_set_focus(item(7610));
    keys("1x");
    EXPECT_EQ(text(item(7610)), "1");
    EXPECT_EQ(os_beep_count() - beeps0, 1);
    // e becomes E; a comma is refused.
    os_set_focus(item(7614));
    keys("2e1,");
    EXPECT_EQ(text(item(7614)), "2E1");
    EXPECT_EQ(os_beep_count() - beeps0, 2);
    // A pasted 2.7 in the integer field shows 2 once the focus leaves; the value stays 2.7.
    os_set_focus(item(7610));
    os_send_message(item(7610), EM_SETSEL, 0, -1);
    os_send_message(item(7610), EM_REPLACESEL, 0, reinterpret_cast<std::intptr_t>("2.7"));
    key(OS_VK_TAB);
    settle();
    EXPECT_EQ(text(item(7610)), "2");
    std::int32_t v = 0;
    WDialogGetInteger(7610, v);
    EXPECT_EQ(v, 2);
    EXPECT_EQ(yyfieldrecord(item(7610))->value, 2.7);
}

TEST_F(FieldsTest, EmptyRangedFieldsAndTextsThatAreNoNumber) {
    const std::int32_t beeps = os_beep_count();
    // A ranged field that was empty from the start may be left empty.
    os_set_focus(item(7612));
    settle();
    key(OS_VK_TAB);
    settle();
    EXPECT_NE(os_get_focus(), item(7612));
    EXPECT_EQ(os_beep_count(), beeps);
    // Once it held a value, clearing it is invalid.
    os_set_focus(item(7612));
    settle();
    keys("5");
    key(OS_VK_TAB);
    settle();
    os_set_focus(item(7612));
    settle();
    os_send_message(item(7612), EM_SETSEL, 0, -1);
    key(OS_VK_BACK);
    key(OS_VK_TAB);
    settle();
    EXPECT_EQ(os_get_focus(), item(7612));
    EXPECT_EQ(os_beep_count() - beeps, 1);
    keys("5");
    // Without a range any number goes, but a text that is no number does not.
    os_set_focus(item(7614));
    settle();
    keys("1-+");
    key(OS_VK_TAB);
    settle();
    EXPECT_EQ(os_get_focus(), item(7614));
    EXPECT_EQ(os_beep_count() - beeps, 2);
}

TEST_F(FieldsTest, TrackbarTabAndClearBackEnds) {
    std::int32_t s = 7621, pos = 0, a = 0, b = 0, lo = 0, hi = 0;
    yyrangetrack(s, 0, 50, 5);
    yyfieldtrackstep(s, 2, 0);
    yyfieldputtrack(s, 20, 10, 30, 0);
    yyfieldgettrack(s, pos, a, b);
    EXPECT_EQ(s, 7621);
    EXPECT_EQ(pos, 20);
    EXPECT_EQ(a, 10);
    EXPECT_EQ(b, 30);
    EXPECT_EQ(os_send_message(item(7621), TBM_GETPAGESIZE, 0, 0), 2);   // the line step when none is given
    // A cleared selection reads as the undefined value.
    yydialogundefined(-7);
    yyfieldputtrack(s, 20, 0, 0, 2);
    yyfieldgettrack(s, pos, a, b);
    EXPECT_EQ(a, -7);
    EXPECT_EQ(b, -7);
    yygettrackrange(s, lo, hi);
    EXPECT_EQ(hi, 50);
    s = 7616;
    yyfieldgettrack(s, pos, a, b);
    EXPECT_EQ(s, -1);
    // The page of the tab field.
    s = 7622;
    std::int32_t page = 0;
    yyfieldgettab(s, page);
    EXPECT_EQ(page, 762);
    // Clearing: a radio group, a progress bar to its minimum, a tree, a label; a tab cannot.
    WDialogPutRadioButton(7606);
    WDialogRangeProgressBar(7620, 5, 50);
    WDialogPutProgressBar(7620, 40);
    for (std::int32_t f : {7604, 7620, 7623, 7600}) {
        s = f;
        yyfieldclear(s);
        EXPECT_EQ(s, f);
    }
    EXPECT_EQ(os_send_message(item(7606), BM_GETCHECK, 0, 0), 0);
    EXPECT_EQ(os_send_message(item(7620), PBM_GETPOS, 0, 0), 5);
    EXPECT_EQ(os_send_message(item(7623), TVM_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(text(item(7600)), "");
    s = 7622;
    yyfieldclear(s);
    EXPECT_EQ(s, -1);
}

TEST_F(FieldsTest, TheLocaleDecimalCharacterWhenSwitchedOn) {
    // The setting takes the locale's character (os_config) in place of the full stop.
    conversion_state.bDecimal = 1;
    conversion_state.wDecimal = ',';
    const std::int32_t beeps = os_beep_count();
    os_set_focus(item(7614));
    settle();
    keys("1,5.");
    EXPECT_EQ(text(item(7614)), "1,5");
    EXPECT_EQ(os_beep_count() - beeps, 1);
    conversion_state.bDecimal = 0;
    conversion_state.wDecimal = os_config().locale_decimal;
}

TEST_F(FieldsTest, AValueOutOfRangeCannotGetPastOk) {
    os_set_focus(item(7612));
    settle();
    keys("11");
    // Tab: a beep and the focus back with the text selected.
    std::int32_t beeps = os_beep_count();
    key(OS_VK_TAB);
    settle();
    EXPECT_EQ(os_get_focus(), item(7612));
    EXPECT_EQ(os_beep_count() - beeps, 1);
    std::int32_t a = 0, b = 0;
    os_send_message(item(7612), EM_GETSEL, reinterpret_cast<std::uintptr_t>(&a), reinterpret_cast<std::intptr_t>(&b));
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 2);
    // OK beeps and is not delivered.
    beeps = os_beep_count();
    press(item(1));
    EXPECT_EQ(messages(), std::vector<std::string>{});
    EXPECT_GE(os_beep_count() - beeps, 1);
    EXPECT_EQ(os_get_focus(), item(7612));
    // Cancel restores the text the field had and is delivered.
    press(item(2));
    const std::vector<std::string> got = messages();
    EXPECT_EQ(text(item(7612)), "");
    EXPECT_TRUE(std::any_of(got.begin(), got.end(), [](const std::string& m) { return m.rfind("3:2:", 0) == 0; }));
    // The focus leaving for the main window is not checked.
    os_set_focus(item(7612));
    os_send_message(item(7612), OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>("11"));
    os_send_message(item(7612), EM_SETMODIFY, 1, 0);
    beeps = os_beep_count();
    os_set_focus(wtab.hClient[0]);
    settle();
    EXPECT_EQ(os_beep_count(), beeps);
    EXPECT_EQ(dlgtab.hBadVal, 0);
}

TEST_F(FieldsTest, SpinStepsAndTheirGrid) {
    const OsHandle spin = item(7611);
    const OsHandle ud = yyfieldrecord(spin)->buddy;
    ASSERT_NE(ud, 0);
    // The up-down sits at the field's right end.
    OsRect fr, ur;
    os_get_window_rect(spin, fr);
    os_get_window_rect(ud, ur);
    EXPECT_EQ(ur.left, fr.right);
    auto up = [&] {
        click(ud, 2, 1);
        settle();
    };
    std::int32_t s = 7611;
    yyfieldspinstepi(s, 5, 0, 2);
    ASSERT_EQ(s, 7611);
    up();
    EXPECT_EQ(text(spin), "12");   // 16 onto the grid 2, 7, 12, 17
    WDialogRangeInteger(7611, 0, 14);
    up();
    up();
    EXPECT_EQ(text(spin), "14");   // clamped, off the grid
    // A step that truncates to 0 keeps whole numbers: 8 stays 8.
    WDialogRangeInteger(7611);
    WDialogPutInteger(7611, 8);
    yyfieldspinstepi(s, 0, 0, 0);
    up();
    EXPECT_EQ(text(spin), "8");
    // A pasted 3.7 goes up by one to 4.
    yyfieldspinstepi(s, 1, 5, 0);
    os_send_message(spin, OSM_SETTEXT, 0, reinterpret_cast<std::intptr_t>("3.7"));
    os_send_message(spin, EM_SETMODIFY, 1, 0);
    up();
    EXPECT_EQ(text(spin), "4");
    // Beyond the 32-bit range: the nearest end.
    WDialogPutString(7611, "1e12");
    up();
    EXPECT_EQ(text(spin), "2147483647");
    // Held down, the up-down of a double spin field repeats by the small
    // step, and by the large one once 2 seconds of the clock have passed.
    std::int32_t d = 7615;
    yyfieldspinstepd(d, 1, 100);
    const OsHandle dud = yyfieldrecord(item(7615))->buddy;
    os_input_mouse(dud, OS_MOUSE_PRESS, 1, 2, 1);
    const std::uint32_t t0 = os_tick_count();
    WindowMessage m;
    while (os_tick_count() - t0 < 2600) {
        std::int32_t type = -1;
        wmessagepeek(type, m);
    }
    os_input_mouse(dud, OS_MOUSE_RELEASE, 1, 2, 1);
    settle();
    const auto held = static_cast<std::int32_t>(yyfieldrecord(item(7615))->value);
    EXPECT_GE(held / 100, 1);           // accelerated steps
    EXPECT_GE(held % 100, 10);          // after about 20 small ones
    EXPECT_LE(held % 100, 30);
    // The step setters check the class.
    s = 7612;
    yyfieldspinstepi(s, 1, 1, 0);
    EXPECT_EQ(s, -1);
}

TEST_F(FieldsTest, TabPages) {
    const OsHandle tab = item(7622);
    yyenablemessage(MsgTabChanged, 1);
    // The page named first is shown, attached to the dialog.
    EXPECT_EQ(os_send_message(tab, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(os_get_parent(page(762)), dlg());
    EXPECT_TRUE(os_is_window_visible(page(762)));
    EXPECT_FALSE(os_is_window_visible(page(761)));
    WDialogSelect(761);
    EXPECT_EQ(winfodialog(10), 3);
    WDialogHide();
    EXPECT_EQ(error(), 1069);
    WDialogSelect(760);
    // By program: no message.
    std::int32_t f = 7622, p = 761;
    yydialogsettab(f, p);
    EXPECT_EQ(p, 761);
    EXPECT_EQ(os_send_message(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(messages(), std::vector<std::string>{});
    // An invalid value on the page blocks the change with a beep.
    const OsHandle field = page_item(761, 7631);
    os_set_focus(field);
    settle();
    keys("11");
    const std::int32_t beeps = os_beep_count();
    click_tab(1);
    const std::vector<std::string> got = messages();
    EXPECT_EQ(std::count_if(got.begin(), got.end(), [](const std::string& m) { return m.rfind("11:", 0) == 0; }), 0);
    EXPECT_GE(os_beep_count() - beeps, 1);
    EXPECT_EQ(os_send_message(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(os_get_focus(), field);
    // Mended, the change goes through: type 11 with the page left and the page selected.
    os_send_message(field, EM_SETSEL, 0, -1);
    keys("5");
    click_tab(1);
    const std::vector<std::string> after = messages();
    EXPECT_NE(std::find(after.begin(), after.end(), "11:761:762"), after.end());
    // Return in a page's numeric field clicks the holder's default button.
    f = 7622, p = 761;
    yydialogsettab(f, p);
    os_set_focus(field);
    key(OS_VK_RETURN);
    const std::vector<std::string> ret = messages();
    EXPECT_TRUE(std::any_of(ret.begin(), ret.end(), [](const std::string& m) { return m.rfind("3:1:", 0) == 0; }));
    // A disabled item cannot be selected by program.
    f = 7622, p = 762;
    yytabenable(f, p, 0);
    yydialogsettab(f, p);
    EXPECT_EQ(p, -1);
    // Shown again, the pages are where they were and the page selected last is selected.
    OsRect before;
    os_get_window_rect(page(761), before);
    WDialogHide();
    WDialogShow(-1, -1, 0, 2);
    OsRect again;
    os_get_window_rect(page(761), again);
    EXPECT_EQ(again.left, before.left);
    EXPECT_EQ(again.top, before.top);
    EXPECT_EQ(os_send_message(tab, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(os_is_window_visible(page(761)));
}

TEST_F(FieldsTest, ATabPageThatIsItsOwnDialogIsPassedOver) {
    WDialogUnload();
    ASSERT_EQ(load_show(763), 0);
    const OsHandle self = dlg();
    // The page that is the dialog itself stays where it is; the other is attached.
    EXPECT_EQ(os_get_parent(self), 0);
    EXPECT_EQ(os_get_parent(page(762)), self);
    WDialogHide();
    WDialogShow(-1, -1, 0, 2);
    EXPECT_EQ(os_get_parent(self), 0);
    EXPECT_EQ(error(), 0);
}

TEST_F(FieldsTest, DisabledTabIsOutOfReachAndEmbossed) {
    const OsHandle tab = item(7622);
    std::int32_t f = 7622, p = 762;
    yytabenable(f, p, 0);
    p = 761;
    yydialogsettab(f, p);
    // Neither the arrow key nor the mouse reaches it.
    os_set_focus(tab);
    key(OS_VK_RIGHT);
    settle();
    EXPECT_EQ(os_send_message(tab, TCM_GETCURSEL, 0, 0), 0);
    click_tab(1);
    settle();
    EXPECT_EQ(os_send_message(tab, TCM_GETCURSEL, 0, 0), 0);
    // Its caption: shadow-coloured text with a highlight one pixel right and
    // down over the button face. The "Se" of "Second" (S shadow, H highlight).
    os_invalidate_rect(tab, nullptr, true);
    os_update_window(tab);
    const std::int32_t snap = os_snapshot_take(tab);
    ASSERT_NE(snap, 0);
    const OsRect r = tab_rect(1);
    std::vector<std::string> picture;
    for (int y = r.top + 5; y < r.top + 16; ++y) {
        std::string row;
        for (int x = r.left + 6; x < r.left + 22; ++x) {
            const std::int64_t c = os_snapshot_pixel(snap, x, y);
            row += c == os_sys_colour(OS_COLOR_BTNSHADOW) ? 'S' : c == os_sys_colour(OS_COLOR_BTNHIGHLIGHT) ? 'H'
                   : c == os_sys_colour(OS_COLOR_BTNFACE)  ? '.' : '#';
        }
        picture.push_back(row);
    }
    os_snapshot_free(snap);
    const std::vector<std::string> golden = {
        "..SSSS..........",
        ".S.HHSH.........",
        ".SH...H.SSSS...S",
        ".SSS....SHHSH.S.",
        "..HHSS.SSSSSS.SH",
        ".....SSSSHHHHHSH",
        ".S...SHHSH.S..SH",
        ".SSSSSH.SSSSH..S",
        "..HHHHH..HHHH...",
        "................",
        "................",
    };
    EXPECT_EQ(picture, golden);
}

TEST_F(FieldsTest, TreesInOneTable) {
    const OsHandle tree = item(7623);
    std::int32_t f = 7623, id = 0, state = 0;
    std::string t;
    // Filled from the menu: the item named in the companion text is selected.
    yyfieldgettree(f, id, true, t, 80);
    EXPECT_EQ(id, 7602);
    EXPECT_EQ(t, "Rivers");
    // A checked pop-up opens expanded; a leaf has no state.
    f = 7623;
    yytreeviewgetstate(f, 0, state);   // "Maps", the first item of id 0
    EXPECT_EQ(state, 2);
    f = 7623;
    yytreeviewgetstate(f, 7601, state);
    EXPECT_EQ(f, -3);
    f = 7617;
    yyfieldputtree(f, 7601);
    EXPECT_EQ(f, -2);   // a list box is no tree: -2, not -1

    struct Step {
        const char* what;
        std::function<void(std::int32_t&)> act;
        std::int32_t status;
    } const steps[] = {
        {"clear", [](std::int32_t& s) { yyfieldclear(s); }, 7623},
        {"into the empty tree, any reference", [](std::int32_t& s) { yytreeviewinsert(s, 4242, 2, 10, "ten"); }, 7623},
        {"a child", [](std::int32_t& s) { yytreeviewinsert(s, 10, 3, 11, "eleven"); }, 7623},
        {"before the first child", [](std::int32_t& s) { yytreeviewinsert(s, 11, 1, 12, "twelve"); }, 7623},
        {"a duplicate while unchecked", [](std::int32_t& s) { yytreeviewinsert(s, 10, 2, 11, "again"); }, 7623},
        {"a duplicate while checked", [](std::int32_t& s) {
             yytreeviewcheck(1);
             yytreeviewinsert(s, 10, 2, 11, "refused");
             yytreeviewcheck(0);
         }, -3},
        {"no such reference", [](std::int32_t& s) { yytreeviewinsert(s, 99, 2, 13, "x"); }, -2},
        {"collapse", [](std::int32_t& s) { yytreeviewsetstate(s, 10, 1); }, 7623},
        {"expand", [](std::int32_t& s) { yytreeviewsetstate(s, 10, 2); }, 7623},
        {"rename the first 11", [](std::int32_t& s) { yytreeviewsetstring(s, 11, "ELEVEN"); }, 7623},
        {"select 11", [](std::int32_t& s) { yyfieldputtree(s, 11); }, 7623},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        std::int32_t st = 7623;
        s.act(st);
        EXPECT_EQ(st, s.status);
    }
    // The first child of 10 is 12; the first 11 found depth-first is the child.
    const std::int32_t ten = yyTreeViewFind(tree, 10);
    const auto first_child = static_cast<std::int32_t>(os_send_message(tree, TVM_GETNEXTITEM, OS_TVGN_CHILD, ten));
    OsTreeItem it;
    it.item = first_child;
    os_send_message(tree, TVM_GETITEM, 0, reinterpret_cast<std::intptr_t>(&it));
    EXPECT_EQ(it.param, 12);
    f = 7623;
    yyfieldgettree(f, id, true, t, 80);
    EXPECT_EQ(id, 11);
    EXPECT_EQ(t, "ELEVEN");
    f = 7623;
    yytreeviewgetstate(f, 10, state);
    EXPECT_EQ(state, 2);
    f = 7623;
    yytreeviewdelete(f, 10);
    EXPECT_EQ(os_send_message(tree, TVM_GETCOUNT, 0, 0), 1);   // the second 11 is left
}

TEST_F(FieldsTest, ADoubleClickOnALeafPressesTheDefaultButton) {
    // Down the rows: the pop-up Maps presses nothing, its leaf Roads does.
    const OsHandle tree = item(7623);
    OsRect r;
    os_get_client_rect(tree, r);
    std::int32_t id = 0;
    bool pressed = false;
    for (int y = 2; y < r.height() && !pressed; y += 3) {
        click(tree, 40, y, true);
        const std::vector<std::string> got = messages();
        pressed = std::any_of(got.begin(), got.end(), [](const std::string& m) { return m.rfind("3:1:", 0) == 0; });
        std::int32_t f = 7623;
        std::string t;
        yyfieldgettree(f, id, false, t, 0);
    }
    EXPECT_TRUE(pressed);
    EXPECT_EQ(id, 7601);
}

// A change of the tree, while the focus was last reported in another
// field, names the tree as both the previous and the current field: the
// program tells it from the focus arriving (old field, tree). The modal copy
// keeps the same record without reporting.
TEST_F(FieldsTest, ATreeChangeNamesTheTreeAsBothFields) {
    yyenablemessage(MsgFieldChanged, 1);
    const OsHandle tree = item(7623);
    const auto root = os_send_message(tree, TVM_GETNEXTITEM, OS_TVGN_ROOT, 0);
    struct Case {
        const char* what;
        std::function<void()> change;
    } const cases[] = {
        {"selection", [] { std::int32_t f = 7623; yyfieldputtree(f, 7604); }},
        {"collapse", [&] { os_send_message(tree, TVM_EXPAND, OS_TVE_COLLAPSE, root); }},
        {"expand", [&] { os_send_message(tree, TVM_EXPAND, OS_TVE_EXPAND, root); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        os_set_focus(0);
        os_set_focus(item(7616));
        settle();
        ASSERT_EQ(record().item[DlgCurrentField], 7616);
        c.change();
        DialogEventInfo info;
        ASSERT_TRUE(yydialogeventinfo(dlg(), info));
        EXPECT_EQ(info.previous_field, 7623);
        EXPECT_EQ(info.current_field, 7623);
        EXPECT_EQ(record().item[DlgLastActive], tree);
    }
    // Moving in the tree with the keyboard: the change the program receives.
    os_set_focus(tree);
    settle();
    key(OS_VK_UP);
    EXPECT_EQ(messages(), std::vector<std::string>{"10:7623:7623"});
    WDialogHide();
    DialogRecord in_copy;
    os_dialog_set_script([&](OsWindow d) {
        const OsHandle t = os_get_dlg_item(d, 7623);
        yydialogrecord(d)->item[DlgCurrentField] = 7616;
        os_send_message(t, TVM_SELECTITEM, OS_TVGN_CARET, os_send_message(t, TVM_GETNEXTITEM, OS_TVGN_ROOT, 0));
        in_copy = *yydialogrecord(d);
        in_copy.item[DlgLastActive] = in_copy.item[DlgLastActive] == t ? 1 : 0;
        os_send_message(d, OSM_COMMAND, 2, os_get_dlg_item(d, 2));
    });
    WDialogShow(-1, -1, 0, 1);
    os_dialog_set_script({});
    EXPECT_EQ(in_copy.item[DlgPreviousField], 7623);
    EXPECT_EQ(in_copy.item[DlgCurrentField], 7623);
    EXPECT_EQ(in_copy.item[DlgLastActive], 1);
    EXPECT_TRUE(messages().empty());
}

// The modal copy shows the dialog's big icon and the images of its statics
// and buttons, of every kind, and hands them back.
TEST_F(FieldsTest, TheModalCopyShowsTheSameImagesAndIcon) {
    WDialogTitle(std::nullopt, 0);
    const OsIcon icon = os_get_window_icon(dlg(), true);
    ASSERT_NE(icon, 0);
    WDialogHide();
    OsImage img;
    img.width = img.height = 2;
    img.pixels.assign(4, 0xFFFF0000u);
    struct Case {
        std::int32_t field;
        bool button;
        std::int32_t kind;
    } const cases[] = {{7600, false, OS_IMAGE_BITMAP}, {7600, false, OS_IMAGE_ICON},
                       {7600, false, OS_IMAGE_ENHMETAFILE}, {7607, true, OS_IMAGE_BITMAP},
                       {7607, true, OS_IMAGE_ICON}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.field << " kind " << c.kind);
        const std::uint32_t set = c.button ? BM_SETIMAGE : STM_SETIMAGE, get = c.button ? BM_GETIMAGE : STM_GETIMAGE;
        const std::int32_t handle = os_create_bitmap_from_image(img);
        if (const auto old = os_send_message(item(c.field), set, static_cast<std::uintptr_t>(c.kind), handle))
            os_delete_object(static_cast<OsObject>(old));
        std::intptr_t seen_image = 0;
        OsIcon seen_icon = 0;
        os_dialog_set_script([&](OsWindow copy) {
            seen_image = os_send_message(os_get_dlg_item(copy, c.field), get, static_cast<std::uintptr_t>(c.kind), 0);
            seen_icon = os_get_window_icon(copy, true);
            os_send_message(copy, OSM_COMMAND, 2, os_get_dlg_item(copy, 2));
        });
        WDialogShow(-1, -1, 0, 1);
        os_dialog_set_script({});
        EXPECT_EQ(seen_image, handle);
        EXPECT_EQ(seen_icon, icon);
        EXPECT_EQ(os_send_message(item(c.field), get, static_cast<std::uintptr_t>(c.kind), 0), handle);
    }
}

TEST_F(FieldsTest, ATreeSurvivesAModalShow) {
    WDialogHide();
    os_dialog_set_script([](OsWindow d) { os_send_message(d, OSM_COMMAND, 1, os_get_dlg_item(d, 1)); });
    WDialogShow(-1, -1, 0, 1);
    os_dialog_set_script({});
    EXPECT_EQ(winfodialog(1), 1);
    std::int32_t f = 7623, id = 0;
    std::string t;
    yyfieldgettree(f, id, true, t, 80);
    EXPECT_EQ(id, 7602);
    EXPECT_EQ(os_send_message(item(7623), TVM_GETCOUNT, 0, 0), 7);   // the separator is an item
}

TEST_F(FieldsTest, InformationQueries) {
    // The field queries: the client width of a bordered edit is less than its outer width.
    const std::int32_t client = winfodialogfield(7616, 3);
    OsRect r;
    os_get_window_rect(item(7616), r);
    EXPECT_GT(client, 0);
    EXPECT_LT(client, r.width());
    EXPECT_EQ(winfodialogfield(9999, 5), 0);
    EXPECT_EQ(winfodialogfield(7616, 3), client);
    EXPECT_EQ(winfodialogfield(9999, 6), client);   // unanswerable: the previous answer
    EXPECT_EQ(winfodialogfield(7616, 9), client);
    os_send_message(item(7621), TBM_SETRANGE, 0, os_make_lparam(-5, 20));
    EXPECT_EQ(winfodialogfield(7621, 7), -5);
    EXPECT_EQ(winfodialogfield(7621, 8), 20);
    EXPECT_EQ(winfodialogfield(7616, 7), 20);
    // The dialog queries.
    EXPECT_EQ(winfodialog(3), 760);
    EXPECT_EQ(winfodialog(11), 760);
    EXPECT_EQ(winfodialog(10), 1);
    OsRect d;
    os_get_window_rect(dlg(), d);
    EXPECT_EQ(winfodialog(8), d.width());
    EXPECT_EQ(winfodialog(7), d.top);
    WDialogUnload();
    // Without a dialog: the previous answers.
    EXPECT_EQ(winfodialog(6), d.top);
    EXPECT_EQ(winfodialog(9), d.top);
    EXPECT_EQ(winfodialogfield(7616, 3), 20);
    EXPECT_EQ(winfodialog(10), 0);
}

TEST_F(FieldsTest, EveryFieldAsTheUserSeesIt) {
    std::int32_t f = 7622, p = 762;
    yytabenable(f, p, 0);
    WDialogPutString(7616, "text");
    WDialogPutInteger(7610, 42);
    WDialogPutReal(7612, 3.25f, "(F6.2)");
    WDialogPutDouble(7614, 1.5e10);
    WDialogPutCheckBox(7603, 1);
    WDialogPutRadioButton(7606);
    WDialogRangeProgressBar(7620, 0, 100);
    WDialogPutProgressBar(7620, 60);
    std::int32_t c = 7616;
    yyfieldcolour(c, 255, 0, 0, 255, 255, 200);
    c = 7600;
    yyfieldcolour(c, 0, 0, 255, -1, 0, 0);
    settle();
    const char* keep = std::getenv("QUINDA_KEEP_GRAB");
    TempDir dir;
    const std::string file = keep && *keep ? std::string(keep) : dir.file("dialog760.png");
    ASSERT_TRUE(os_grab_window_png(dlg(), file));
    EXPECT_GT(std::filesystem::file_size(file), 1000u);
}

}  // namespace

namespace {

bool has_type(const std::vector<std::string>& got, const char* prefix) {
    return std::any_of(got.begin(), got.end(), [&](const std::string& m) { return m.rfind(prefix, 0) == 0; });
}

using SubclassTest = FieldsTest;

TEST_F(SubclassTest, StaticsReportTheMouseOnlyAsGraphicsFields) {
    click(item(7600));
    EXPECT_FALSE(has_type(messages(), "4:"));
    // Selected as drawing surface, the label reports presses; a double
    // click is a press while double-click messages are off.
    IGrSelect(3, 7600);
    ASSERT_EQ(gstate.DrawableType, 3);
    EXPECT_EQ(yyfieldrecord(item(7600))->graphics_field, 1);
    click(item(7600), 4, 4, true);
    const std::vector<std::string> got = messages();
    EXPECT_EQ(std::count_if(got.begin(), got.end(), [](const std::string& m) { return m.rfind("4:", 0) == 0; }), 2);
    EXPECT_FALSE(has_type(got, "16:"));
    // What is drawn stays in the field's image.
    IGrArea(0, 0, 1, 1);
    IGrUnits(0, 0, 1, 1);
    igrfillpattern(4, 4, 4);
    IGrColourN(12);
    IGrRectangle(0, 0, 1, 1);
    os_invalidate_rect(item(7600), nullptr, true);
    os_update_window(item(7600));
    const std::int32_t snap = os_snapshot_take(item(7600));
    const std::int64_t centre = os_snapshot_pixel(snap, 5, 5);
    os_snapshot_free(snap);
    EXPECT_NE(centre, os_sys_colour(OS_COLOR_BTNFACE));
    // Field 0 marks the dialog, not a field.
    IGrSelect(3, 0);
    EXPECT_EQ(record().item[DlgGraphicsArea], 1);
    IGrSelect(1, 0);
}

TEST_F(SubclassTest, ReturnInEditsAndCtrlAInTrackbars) {
    // Without the want-return style Return presses the default button; with it, a line break.
    os_set_focus(item(7625));
    settle();
    key(OS_VK_RETURN);
    EXPECT_TRUE(has_type(messages(), "3:1:"));
    os_set_focus(item(7626));
    settle();
    key(OS_VK_RETURN);
    EXPECT_FALSE(has_type(messages(), "3:1:"));
    EXPECT_EQ(text(item(7626)), "\r\n");
    // Ctrl+A selects a trackbar's whole range and reports the change.
    yyenablemessage(MsgFieldChanged, 1);
    os_send_message(item(7621), TBM_SETRANGE, 1, os_make_lparam(2, 30));
    os_set_focus(item(7621));
    settle();
    key('A', OS_IN_CONTROL);
    EXPECT_TRUE(has_type(messages(), "10:"));
    EXPECT_EQ(os_send_message(item(7621), TBM_GETSELSTART, 0, 0), 2);
    EXPECT_EQ(os_send_message(item(7621), TBM_GETSELEND, 0, 0), 30);
}

TEST_F(SubclassTest, FieldImagesInOneTable) {
    struct Case {
        int field, image, kind, status;
    } const cases[] = {
        {7600, 0, 2, 7600},      // the icon "ICON1" on a static
        {7607, 0, 2, 7607},      // and on a button
        {7600, 12345, 1, -2},    // no such bitmap
        {7600, 0, 3, -2},        // memory bitmaps run from 1
        {7600, 21, 3, -2},       // to 20
        {7600, 3, 3, -2},        // an empty memory bitmap
        {7607, 1, 4, -1},        // no metafile on a button
        {7600, 1, 4, -2},        // the memory-metafile table is empty
        {7616, 0, 2, -1},        // an edit field takes no image
        {9999, 0, 2, -1},
    };
    for (const Case& c : cases) {
        std::int32_t s = c.field;
        yyfieldimage(s, c.image, c.kind);
        EXPECT_EQ(s, c.status) << c.field << " " << c.image << " " << c.kind;
    }
    EXPECT_EQ(os_get_style(item(7600)) & OS_SS_TYPEMASK, static_cast<std::uint32_t>(OS_SS_ICON));
    EXPECT_NE(os_send_message(item(7600), STM_GETIMAGE, OS_IMAGE_ICON, 0), 0);
}

}  // namespace
