#pragma once
// Internals shared by the grid's own files.
#include <string>
#include <string_view>

#include "lib/grid/grid.h"

// Whether a window is of the class of that name (class atoms looked up by name).
bool grid_atom_is(OsHandle w, const char* class_name);
// The grid a cell-interface reference names, with its records; nullptr and
// the status -1 in ref when there is none.
GridData* grid_of_ref(std::int32_t& ref, OsHandle* grid = nullptr);
// The output format of a field record, "(G15.5E2)" when it has none.
std::string grid_record_format(OsHandle control);
// Marks a grid changed (bUnsaved and bChanged).
void grid_mark_changed(GridData& g);
// The display text of a stored numeric cell, empty when undefined.
std::string grid_number_text(GridColumn& c, std::int32_t row, const std::string& format);
// Whether a control is of one of the six numeric classes (which make and
// free their own field records).
bool grid_numeric_class(OsHandle w);
// A new field record the grid gives a control, and its release. The grid
// releases the records of the controls it owns whoever made them: a numeric
// class makes its own, and no dialog frees those of a grid's cell area or
// row template.
struct FieldRecord;
FieldRecord* grid_new_record(OsHandle control);
// A header control of a grid, subclassed as the grid's own are; 0 when it
// cannot be made. An item appended to a header.
OsHandle grid_make_header(OsHandle grid, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h, std::int32_t id,
                          OsHandle font);
void grid_insert_header_item(OsHandle header, std::int32_t at, std::int32_t width, std::string_view text,
                             std::int32_t fmt);
void grid_release_record(OsHandle control);
// Puts the stored value of the current cell into the in-place editor.
void grid_load_editor(GridData& g);
// Appends the options of one combo box to another's.
void grid_copy_options(OsHandle from, OsHandle to);
// Writes the grid's paste-or-delete message (kind 1) when its style asks for it.
void grid_notify_edit(OsHandle grid, PackedCell from, PackedCell to);

// Focus flags shared by every grid: a header click gives the grid the focus
// (no cell-change message then); the selection repaints as an editor's focus
// comes and goes; the editor took the focus from outside the grid (the next
// move rebuilds it even for the same cell); the grid itself puts the focus
// back into a new editor.
struct GridFocusFlags {
    bool header_click = false;
    bool selection_repaint = true;
    bool from_outside = false;
    bool refocus = false;
};
extern GridFocusFlags grid_focus_flags;

// Rows drawn (the partly visible last one included) and the last column drawn.
std::int32_t grid_rows_drawn(const GridData& g);
std::int32_t grid_last_drawn_column(const GridData& g);
bool grid_focus_inside(OsHandle grid);
bool grid_cell_selected(const GridData& g, std::int32_t column, std::int32_t row);
void grid_paint_area(OsHandle grid, GridData& g);
std::intptr_t grid_editor_colours(OsHandle grid, GridData& g, std::uint32_t msg, std::int32_t dc, OsHandle control);
// The grid window's messages beyond set-up; false when the default procedure is to run.
bool grid_window_message(OsHandle grid, GridData& g, std::uint32_t msg, std::uintptr_t wp, std::intptr_t lp,
                         std::intptr_t& out);
// The drawn cell under a point of the cell area; false when none.
bool grid_hit_cell(const GridData& g, std::int32_t x, std::int32_t y, std::int32_t& column, std::int32_t& row);
// A drag with the left button over a point of the cell area: the selection
// from the current cell to the cell there (none when it is the current cell).
void grid_drag_select(OsHandle grid, GridData& g, std::int32_t x, std::int32_t y);
