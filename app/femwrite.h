#pragma once
// Editing the loaded model's aquifers and writing the model back as a model file.
#include <string_view>

// Inserts an empty aquifer (all values 999.0) below aquifer l, which becomes
// aquifer l + 1. l must be 0..naq and naq below the aquifer limit; otherwise
// the error is reported and the model stays as it was (false).
bool laagerbij(int l);
// Removes aquifer l (1..naq); otherwise the error is reported and the model
// stays as it was (false).
bool laageraf(int l);
// Writes the model in the model-file layout, replacing the file. False (error
// reported, file unchanged) when the model's counts lie outside the data
// model or the file cannot be written.
bool savefem(std::string_view filename);
