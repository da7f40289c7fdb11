#pragma once
// Resource images as Qt images, for the rest of the platform layer only.
#include <QImage>

#include "platform/os_resource.h"

// The bitmap or icon resource decoded; a null image when it is missing or
// cannot be decoded.
QImage os_resource_qimage(OsResName type, OsResName id);
