#pragma once
// The progress line that long conversions show in the status bar.
#include <string_view>

// Shows "one moment" with a growing row of full stops and the text.
void onemoment(std::string_view text);
