// Resources: the test script (resources/test.qrs) compiled into this program
// reads back as written; faulty scripts are refused by the compiler.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_constants.h"
#include "platform/os_error.h"
#include "platform/os_file.h"
#include "platform/os_process.h"
#include "platform/os_resource.h"
#include "tests/support/quinda_test.h"

TEST(OsResource, DialogTemplate) {
    OsDialogTemplate d;
    ASSERT_TRUE(os_resource_dialog(901, d));
    EXPECT_EQ(d.caption, "R\xE9glages \x80");
    EXPECT_EQ(d.point_size, 8);
    EXPECT_EQ(d.font, "MS Sans Serif");
    EXPECT_EQ(d.x, 10);
    EXPECT_EQ(d.y, 20);
    EXPECT_EQ(d.cx, 200);
    EXPECT_EQ(d.cy, 120);
    EXPECT_EQ(d.style, OS_WS_POPUP | OS_WS_CAPTION | OS_WS_SYSMENU | OS_DS_MODALFRAME);
    EXPECT_EQ(d.exstyle, OS_WS_EX_CONTROLPARENT);
    ASSERT_EQ(d.controls.size(), 3u);   // in the order written: z-order
    struct Want {
        const char* cls;
        int id;
        const char* text;
        int x, y, cx, cy;
        std::uint32_t style, exstyle;
    };
    const Want want[] = {
        {"STATIC", -1, "&Value:", 7, 9, 40, 8, OS_SS_LEFT | OS_WS_CHILD | OS_WS_VISIBLE, 0},
        {"INTEGERSPIN", 1001, "12", 50, 7, 60, 12,
         OS_WS_CHILD | OS_WS_VISIBLE | OS_WS_TABSTOP | OS_WS_BORDER, OS_WS_EX_CLIENTEDGE},
        {"BUTTON", 1, "OK", 140, 100, 50, 14,
         OS_BS_DEFPUSHBUTTON | OS_WS_CHILD | OS_WS_VISIBLE | 0x0100, 0},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const OsDialogControl& c = d.controls[i];
        EXPECT_EQ(c.class_name, want[i].cls) << i;
        EXPECT_EQ(c.id, want[i].id) << i;
        EXPECT_EQ(c.text, want[i].text) << i;
        EXPECT_EQ(c.x, want[i].x) << i;
        EXPECT_EQ(c.y, want[i].y) << i;
        EXPECT_EQ(c.cx, want[i].cx) << i;
        EXPECT_EQ(c.cy, want[i].cy) << i;
        EXPECT_EQ(c.style, want[i].style) << i;
        EXPECT_EQ(c.exstyle, want[i].exstyle) << i;
    }
}

TEST(OsResource, Menu) {
    OsMenuTemplate m;
    ASSERT_TRUE(os_resource_menu(902, m));
    ASSERT_EQ(m.items.size(), 3u);
    const OsMenuItem& file = m.items[0];
    EXPECT_EQ(file.kind, OS_MENU_POPUP);
    EXPECT_EQ(file.text, "&File");
    ASSERT_EQ(file.items.size(), 3u);
    EXPECT_EQ(file.items[0].kind, OS_MENU_ITEM);
    EXPECT_EQ(file.items[0].text, "&Open\tCtrl+O");
    EXPECT_EQ(file.items[0].id, 40001);
    EXPECT_EQ(file.items[0].state, 0u);
    EXPECT_EQ(file.items[1].kind, OS_MENU_SEPARATOR);
    EXPECT_EQ(file.items[2].id, 40002);
    EXPECT_EQ(file.items[2].state, OS_MF_GRAYED);
    const OsMenuItem& view = m.items[1];
    EXPECT_EQ(view.state, OS_MF_CHECKED);
    ASSERT_EQ(view.items.size(), 2u);
    EXPECT_EQ(view.items[0].state, OS_MF_CHECKED | OS_MF_DISABLED);
    ASSERT_EQ(view.items[1].kind, OS_MENU_POPUP);
    ASSERT_EQ(view.items[1].items.size(), 1u);
    EXPECT_EQ(view.items[1].items[0].id, 40004);
    EXPECT_EQ(m.items[2].kind, OS_MENU_ITEM);
    EXPECT_EQ(m.items[2].id, 40005);
    EXPECT_TRUE(m.items[2].items.empty());
}

TEST(OsResource, AcceleratorsAndStrings) {
    std::vector<OsAccelerator> t;
    ASSERT_TRUE(os_resource_accelerators(902, t));
    ASSERT_EQ(t.size(), 3u);
    EXPECT_EQ(t[0].flags, OS_FVIRTKEY | OS_FCONTROL);
    EXPECT_EQ(t[0].key, 'O');
    EXPECT_EQ(t[0].command, 40001);
    EXPECT_EQ(t[1].flags, 0);
    EXPECT_EQ(t[1].key, 'x');
    EXPECT_EQ(t[2].flags, OS_FVIRTKEY | OS_FSHIFT | OS_FALT);
    EXPECT_EQ(t[2].key, OS_VK_F1);
    EXPECT_EQ(t[2].command, 40005);

    std::string s = "stale";
    ASSERT_TRUE(os_resource_string(941, s));
    EXPECT_EQ(s, "Open a model");
    ASSERT_TRUE(os_resource_string(945, s));
    EXPECT_EQ(s, "Show the help");
    ASSERT_TRUE(os_resource_string(903, s));   // an empty string exists
    EXPECT_EQ(s, "");
}

TEST(OsResource, RawDataAndCustomTypes) {
    std::string_view b;
    ASSERT_TRUE(os_resource_data(OS_RT_RCDATA, 904, b));
    EXPECT_EQ(b, std::string_view("[Checks] \n 1055 0 \n[Ranges] \n\0", 30));
    ASSERT_TRUE(os_resource_data(OS_RT_RCDATA, 905, b));
    EXPECT_EQ(b, std::string_view("\x10\0\x10\0\x41\x9c\0\0\x42\x9c\0\0\0\0", 14));
    ASSERT_TRUE(os_resource_data("QDXMENUSTRING", 902, b));
    EXPECT_EQ(b, std::string_view("\x4d\x9cMake WMF of window\0\0\0", 23));
    ASSERT_TRUE(os_resource_data("qdxMenuString", 902, b));   // names ignore case
    ASSERT_TRUE(os_resource_data(300, 906, b));
    EXPECT_EQ(b, std::string_view("\x01\x02\xff\xff\x78\x56\x34\x12\x80\0z", 11));
}

TEST(OsResource, BitmapsAndIcons) {
    OsImage img;
    ASSERT_TRUE(os_resource_image(OS_RT_BITMAP, 907, img));
    ASSERT_EQ(img.width, 3);
    ASSERT_EQ(img.height, 2);
    const std::vector<std::uint32_t> bmp = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF,
                                            0xFFFFFFFF, 0xFF000000, 0xFF804020};
    EXPECT_EQ(img.pixels, bmp);
    ASSERT_TRUE(os_resource_image(OS_RT_BITMAP, "TOOLBITS", img));
    ASSERT_EQ(img.width, 2);
    const std::vector<std::uint32_t> png = {0xFFFF0000, 0x8000FF00, 0xFF0000FF, 0x000A141E};
    EXPECT_EQ(img.pixels, png);
    ASSERT_TRUE(os_resource_image(OS_RT_ICON, "ICON1", img));
    ASSERT_EQ(img.width, 2);
    ASSERT_EQ(img.height, 2);
    const std::vector<std::uint32_t> ico = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    EXPECT_EQ(img.pixels, ico);
}

TEST(OsResource, MissingResourcesAreReportedMissing) {
    OsDialogTemplate d;
    d.caption = "stale";
    EXPECT_FALSE(os_resource_dialog(999, d));
    EXPECT_TRUE(d.caption.empty());
    EXPECT_FALSE(os_resource_dialog(902, d));   // a menu id is no dialog
    OsMenuTemplate m;
    EXPECT_FALSE(os_resource_menu(901, m));
    std::vector<OsAccelerator> t;
    EXPECT_FALSE(os_resource_accelerators(999, t));
    std::string s = "stale";
    EXPECT_FALSE(os_resource_string(40002, s));
    EXPECT_EQ(s, "");
    EXPECT_FALSE(os_resource_string(0, s));
    std::string_view b;
    EXPECT_FALSE(os_resource_data(OS_RT_RCDATA, 906, b));      // it is of type 300
    EXPECT_FALSE(os_resource_data("QDXMENUSTRING", 901, b));
    EXPECT_FALSE(os_resource_data("OTHER", 902, b));
    EXPECT_FALSE(os_resource_data(OS_RT_RCDATA, "", b));
    OsImage img;
    EXPECT_FALSE(os_resource_image(OS_RT_BITMAP, 908, img));
    EXPECT_FALSE(os_resource_image(OS_RT_ICON, "icon2", img));
    EXPECT_FALSE(os_resource_image(OS_RT_ICON, 907, img));
    EXPECT_EQ(img.width, 0);
}

// The compiler refuses faulty scripts with a message naming the line, and
// leaves no output behind.
TEST(ResourceCompiler, FaultyScriptsAreRefused) {
    TempDir dir(true);
    write_file("ok.png", read_file(std::string(QUINDA_TEST_DATA) + "/resources/tiny.png"));
    write_file("bad.png", "not an image at all, not at all, really not");
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {"dialog 1\n position 0 0 10 10\n control \"BUTTON\" 1 \"OK\" 0 0 1 1 WS_NOSUCH\nend\n",
         "s.qrs:3: error: unknown name 'WS_NOSUCH'"},
        {"dialog 1\n caption \"x\"\nend\n", "s.qrs:1: error: dialog without 'position'"},
        {"dialog 1\n position 0 0 1 1\n control \"B\" 1 \"\" 0 0 1 1 0\n caption \"x\"\nend\n",
         "s.qrs:4: error: dialog settings come before the controls"},
        {"menu 2\n item \"a\" 1\n", "s.qrs:3: error: expected item, separator, popup or end"},
        {"menu 0\nend\n", "s.qrs:1: error: menu id 0 out of range 1..65535"},
        {"strings\n 5 \"a\"\n 5 \"b\"\nend\n",
         "s.qrs:3: error: resource 5 of type 6 already defined at s.qrs:2"},
        {"text 3 \"caf\xe4\xb8\xad\"\n", "s.qrs:1: error: character U+4E2D has no Windows-1252 form"},
        {"text 3 \"open\n", "s.qrs:1: error: string not closed on its line"},
        {"accelerators 4\n key \"a\" 1 control\nend\n",
         "s.qrs:2: error: shift, control and alt need virtkey"},
        {"data 5 1\nend\n", "s.qrs:1: error: resource type 5 out of range 256..65535"},
        {"data rcdata 1\n bytes 256\nend\n", "s.qrs:2: error: value 256 out of range -128..255"},
        {"bitmap 1 \"bad.png\"\n", "is not a BMP, PNG or ICO file"},
        {"bitmap 1 \"none.png\"\n", "s.qrs:1: error: cannot read image file"},
        {"icon \"a\" \"ok.png\"\nicon \"A\" \"ok.png\"\n", "resource \"A\" of type 3 already defined"},
        {"define X 1\ndefine X 2\n", "s.qrs:2: error: 'X' is already defined"},
        {"frobnicate 1\n", "s.qrs:1: error: unknown statement 'frobnicate'"},
    };
    for (const Case& c : cases) {
        write_file("s.qrs", c.script);
        std::int32_t p = -1;
        ASSERT_EQ(os_process_start(std::string(QUINDA_RC) +
                                       " --bundle b --output out.cpp s.qrs 2> err.txt",
                                   p),
                  OS_OK);
        int code = 0;
        ASSERT_EQ(os_process_wait(p, -1, code), OS_OK);
        os_process_close(p);
        EXPECT_EQ(code, 1) << c.script;
        EXPECT_NE(read_file("err.txt").find(c.message), std::string::npos)
            << c.script << "\n got: " << read_file("err.txt");
        OsFileInfo info;
        EXPECT_EQ(os_file_info("out.cpp", info), OS_ERROR_FILE_NOT_FOUND) << c.script;
    }
    // A good script passes and writes the bundle.
    write_file("s.qrs", "icon \"a\" \"ok.png\"\ntext 1 \"x\"\n");
    std::int32_t p = -1;
    int code = -1;
    ASSERT_EQ(os_process_start(std::string(QUINDA_RC) + " --bundle b --output out.cpp s.qrs", p),
              OS_OK);
    ASSERT_EQ(os_process_wait(p, -1, code), OS_OK);
    os_process_close(p);
    EXPECT_EQ(code, 0);
    EXPECT_NE(read_file("out.cpp").find("OsResourceRegistrar"), std::string::npos);
}
