#pragma once
// Resources of the program: dialog templates, menus, accelerator tables,
// string tables, raw data, custom types, bitmaps and icons. They are written
// as resource scripts (docs/resources.md), compiled at build time by
// tools/quinda_rc into C++ source that defines one bundle per executable and
// registers it before main runs; the loader here finds a resource by type and
// id (a number, or a name compared without regard to case).
//
// Texts in resources are library text (Windows-1252).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Standard resource types, with the numbers the library knows them by.
enum : int {
    OS_RT_BITMAP = 2,
    OS_RT_ICON = 3,
    OS_RT_MENU = 4,
    OS_RT_DIALOG = 5,
    OS_RT_STRING = 6,
    OS_RT_ACCELERATOR = 9,
    OS_RT_RCDATA = 10,
};

// A resource type or id: a number (1..65535), or a name.
struct OsResName {
    int number = 0;
    std::string_view name;   // used when not empty
    OsResName(int n) : number(n) {}
    OsResName(const char* s) : name(s ? s : "") {}
    OsResName(std::string_view s) : name(s) {}
};

// Menu item kinds and states.
enum : int { OS_MENU_ITEM = 0, OS_MENU_POPUP = 1, OS_MENU_SEPARATOR = 2 };
enum : std::uint32_t { OS_MF_GRAYED = 0x01, OS_MF_DISABLED = 0x02, OS_MF_CHECKED = 0x08 };

// Accelerator flags: with OS_FVIRTKEY the key is a virtual-key code and the
// modifier bits apply; without it the key is a character code.
enum : std::uint16_t { OS_FVIRTKEY = 0x01, OS_FSHIFT = 0x04, OS_FCONTROL = 0x08, OS_FALT = 0x10 };

struct OsDialogControl {
    std::string class_name;      // "BUTTON", "EDIT", "STATIC", ... or a class of our own
    int id = 0;
    std::string text;
    int x = 0, y = 0, cx = 0, cy = 0;   // dialog units
    std::uint32_t style = 0, exstyle = 0;
};

struct OsDialogTemplate {
    std::string caption;
    int point_size = 0;          // 0: no font given (the dialog font of os_config)
    std::string font;
    int x = 0, y = 0, cx = 0, cy = 0;   // dialog units
    std::uint32_t style = 0, exstyle = 0;
    std::vector<OsDialogControl> controls;   // in z-order, the first on top
};

struct OsMenuItem {
    int kind = OS_MENU_ITEM;
    int id = 0;                  // command id; 0 for pop-ups and separators
    std::string text;
    std::uint32_t state = 0;     // OS_MF_* bits
    std::vector<OsMenuItem> items;   // the pop-up's items
};

struct OsMenuTemplate {
    std::vector<OsMenuItem> items;   // the menu bar (or the top level of a pop-up menu)
};

struct OsAccelerator {
    std::uint16_t flags = 0;
    std::uint16_t key = 0;
    std::uint16_t command = 0;
};

// A decoded image: width × height pixels, rows from the top, each pixel
// 0xAARRGGBB (not premultiplied).
struct OsImage {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

// Each loader returns false when the bundle has no such resource (or, for
// images, when it cannot be decoded); the output is then empty.
bool os_resource_find(OsResName type, OsResName id, std::string_view& bytes);
// Tests: resources of a numeric id count as absent while hidden.
void os_resource_hide(int id, bool hidden);
bool os_resource_dialog(OsResName id, OsDialogTemplate& dialog);
bool os_resource_menu(OsResName id, OsMenuTemplate& menu);
bool os_resource_accelerators(OsResName id, std::vector<OsAccelerator>& table);
bool os_resource_string(int id, std::string& text);
// Raw data (OS_RT_RCDATA) and custom types: the bytes as written. A raw-data
// text ends in its NUL.
bool os_resource_data(OsResName type, OsResName id, std::string_view& bytes);
// Bitmaps (OS_RT_BITMAP) and icons (OS_RT_ICON); an icon file with several
// images gives its first.
bool os_resource_image(OsResName type, OsResName id, OsImage& image);

// What the generated code of a bundle defines. Numbers are 0 where a name is
// given; names are upper case.
struct OsResourceEntry {
    int type;
    const char* type_name;
    int id;
    const char* name;
    const unsigned char* data;
    std::size_t size;
};

struct OsResourceBundle {
    const char* name;
    const OsResourceEntry* entries;
    std::size_t count;
};

// Adds a bundle to those searched (in the order added). Ids are meant to be
// unique over the bundles of a program; the first bundle that has one wins.
void os_resource_register(const OsResourceBundle& bundle);

struct OsResourceRegistrar {
    explicit OsResourceRegistrar(const OsResourceBundle& bundle) { os_resource_register(bundle); }
};

// Layout of the compiled forms (little-endian; a text is a 32-bit length and
// its bytes), written by the resource compiler and read here:
//   dialog: style, exstyle (u32); x, y, cx, cy, point size (i32); font,
//           caption (text); control count (u32); per control: class (text),
//           id (i32), text (text), x, y, cx, cy (i32), style, exstyle (u32).
//   menu:   item count (u32); per item: kind (u8), id (i32), state (u32),
//           text (text), and for a pop-up its item count and items.
//   accelerators: count (u32); per entry: flags, key, command (u16).
//   string: the text's bytes.  rcdata, custom: the bytes.
//   bitmap, icon: the image file (BMP, PNG or ICO) as it is.
