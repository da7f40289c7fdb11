#pragma once
// Internals shared by the grid's own files.
#include <string>

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
// A new field record the grid gives a control, and its release (a record
// the grid did not make, a numeric class's own, is left alone).
struct FieldRecord;
FieldRecord* grid_new_record(OsHandle control);
void grid_release_record(OsHandle control);
// Puts the stored value of the current cell into the in-place editor.
void grid_load_editor(GridData& g);
// Appends the options of one combo box to another's.
void grid_copy_options(OsHandle from, OsHandle to);
