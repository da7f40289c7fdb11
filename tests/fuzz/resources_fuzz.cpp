// The resource loader on compiled forms of any bytes.
#include "platform/os_resource.h"
#include "tests/fuzz/fuzz_target.h"

namespace {

OsResourceEntry entries[] = {
    {OS_RT_DIALOG, nullptr, 1, nullptr, nullptr, 0},  {OS_RT_MENU, nullptr, 1, nullptr, nullptr, 0},
    {OS_RT_ACCELERATOR, nullptr, 1, nullptr, nullptr, 0}, {OS_RT_STRING, nullptr, 1, nullptr, nullptr, 0},
    {OS_RT_RCDATA, nullptr, 1, nullptr, nullptr, 0},  {OS_RT_BITMAP, nullptr, 1, nullptr, nullptr, 0},
    {OS_RT_ICON, nullptr, 1, nullptr, nullptr, 0},
};
// Numbers no bundle of the programs uses.
constexpr int FuzzId = 65001;

const OsResourceBundle& bundle() {
    static const OsResourceBundle b = [] {
        for (auto& e : entries) e.id = FuzzId;
        OsResourceBundle made{"fuzz", entries, sizeof entries / sizeof entries[0]};
        return made;
    }();
    static const bool registered = (os_resource_register(b), true);
    (void)registered;
    return b;
}

}  // namespace

FUZZ_TARGET(resources) {
    bundle();
    for (auto& e : entries) {
        e.data = data;
        e.size = size;
    }
    OsDialogTemplate dialog;
    os_resource_dialog(FuzzId, dialog);
    OsMenuTemplate menu;
    os_resource_menu(FuzzId, menu);
    std::vector<OsAccelerator> table;
    os_resource_accelerators(FuzzId, table);
    std::string text;
    os_resource_string(FuzzId, text);
    std::string_view bytes;
    os_resource_data(OS_RT_RCDATA, FuzzId, bytes);
    // Image decoding is the toolkit's; small inputs keep the runs quick.
    if (size <= 4096) {
        OsImage image;
        if (os_resource_image(OS_RT_BITMAP, FuzzId, image))
            fuzz_check(image.pixels.size() == static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height),
                       "an image holds its pixels");
        os_resource_image(OS_RT_ICON, FuzzId, image);
    }
    for (auto& e : entries) {
        e.data = nullptr;
        e.size = 0;
    }
}
