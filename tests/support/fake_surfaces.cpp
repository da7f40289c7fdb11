#include "tests/support/fake_surfaces.h"

#include <string>
#include <tuple>

#include "lib/graphics/driver.h"
#include "lib/graphics/gstate.h"
#include "lib/window/errors.h"
#include "lib/window/quinda_state.h"

namespace {
FakeSurfaces* active = nullptr;
}

FakeSurfaces::FakeSurfaces() { attach(); }

void FakeSurfaces::attach() {
    active = this;
    grlinks.window_select = &FakeSurfaces::window_select;
    grlinks.select_none = &FakeSurfaces::select_none;
    grlinks.bitmap_select = &FakeSurfaces::bitmap_select;
    grlinks.current_dialog = &FakeSurfaces::current_dialog;
    grlinks.field_select = &FakeSurfaces::field_select;
    grlinks.metafile_select = &FakeSurfaces::metafile_select;
}

FakeSurfaces::~FakeSurfaces() {
    if (active != this) return;
    active = nullptr;
    const GraphicsLinks real;
    grlinks.window_select = real.window_select;
    grlinks.select_none = real.select_none;
    grlinks.bitmap_select = real.bitmap_select;
    grlinks.current_dialog = real.current_dialog;
    grlinks.field_select = nullptr;
    grlinks.metafile_select = nullptr;
}

void FakeSurfaces::open_window(int slot, int width, int height) {
    if (slot < 0 || slot > MaxChildWindows) return;
    const bool first = windows_.empty();
    windows_[slot] = {width, height};
    wtab.wWindow[static_cast<std::size_t>(slot)] = slot + 1;
    if (first) {
        quinda.current_slot = slot;
        quinda.window_size = {width, height};
    }
}

void FakeSurfaces::add_bitmap(int number, int width, int height) { bitmaps_[number] = {width, height}; }
void FakeSurfaces::add_field(int field, int width, int height) { fields_[field] = {width, height}; }
void FakeSurfaces::add_metafile(int number, int width, int height, bool cgm) {
    metafiles_[number] = {width, height};
    cgm_[number] = cgm;
}

// As the window layer's selection: a bad slot is error 1003; otherwise the
// slot becomes current and, while windows are the drawable, the drawable,
// and the graphics state learns its size.
void FakeSurfaces::window_select(int slot) {
    if (!active) return;
    active->log.push_back("window " + std::to_string(slot));
    const auto it = active->windows_.find(slot);
    if (it == active->windows_.end()) {
        yyerror(1003, "YYWINSEL");
        return;
    }
    quinda.current_slot = slot;
    quinda.window_size = {it->second.first, it->second.second};
    if (gstate.DrawableType == 1) gstate.drawable_id = slot;
    yyresn(1, slot, it->second.first, it->second.second);
}

void FakeSurfaces::select_none() {
    if (active) active->log.push_back("none");
}

void FakeSurfaces::bitmap_select(int index, int& err, int& width, int& height) {
    if (!active) return;
    active->log.push_back("bitmap " + std::to_string(index));
    const auto it = active->bitmaps_.find(index + 1);
    err = it == active->bitmaps_.end() ? 1 : 0;
    if (err == 0) std::tie(width, height) = it->second;
}

int FakeSurfaces::current_dialog() { return active ? active->dialog_ : 0; }

void FakeSurfaces::field_select(int& ident, int& width, int& height) {
    if (!active) return;
    active->log.push_back("field " + std::to_string(ident));
    const auto it = active->fields_.find(ident);
    if (it == active->fields_.end()) {
        ident = -1;
        return;
    }
    std::tie(width, height) = it->second;
}

void FakeSurfaces::metafile_select(int ident, int& err, int& width, int& height) {
    if (!active) return;
    active->log.push_back("metafile " + std::to_string(ident));
    const auto it = active->metafiles_.find(ident);
    err = it == active->metafiles_.end() ? 1 : 0;
    if (err != 0) return;
    std::tie(width, height) = it->second;
    if (active->cgm_[ident]) gstate.recorder_flag = 1;
}
