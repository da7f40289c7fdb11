#pragma once
// Stand-ins for the drawing surfaces the graphics core selects through its
// links: windows by slot, memory bitmaps, the current dialog with its
// graphics fields, and memory metafiles (optionally CGM ones, which switch
// the screen router to the recorder). Each selection behaves as the owning
// subsystem's does toward the graphics state. One instance at a time.
#include <map>
#include <string>
#include <utility>
#include <vector>

class FakeSurfaces {
public:
    FakeSurfaces();
    ~FakeSurfaces();
    FakeSurfaces(const FakeSurfaces&) = delete;
    FakeSurfaces& operator=(const FakeSurfaces&) = delete;
    // Registers the selections in the graphics links again (after a reset).
    void attach();

    // A window in a slot with its client size; the first one opened becomes
    // the current window.
    void open_window(int slot, int width, int height);
    void add_bitmap(int number, int width, int height);           // 1..20
    void set_dialog(int dialog) { dialog_ = dialog; }             // 0 = none
    void add_field(int field, int width, int height);             // 0 = the whole dialog
    void add_metafile(int number, int width, int height, bool cgm = false);

    // Selection calls in order, as text ("window 0", "none", "bitmap 2", ...).
    std::vector<std::string> log;

private:
    static void window_select(int slot);
    static void select_none();
    static void bitmap_select(int index, int& err, int& width, int& height);
    static int current_dialog();
    static void field_select(int& ident, int& width, int& height);
    static void metafile_select(int ident, int& err, int& width, int& height);

    std::map<int, std::pair<int, int>> windows_, bitmaps_, fields_, metafiles_;
    std::map<int, bool> cgm_;
    int dialog_ = 0;
};
