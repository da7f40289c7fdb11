// Temporary bodies until the progress line of the intersection work exists;
// that work replaces this file.
#include "app/onemoment.h"

void onemoment(std::string_view) {}
