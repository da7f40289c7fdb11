// The settings store: any store file loads; a value put afterwards is saved
// and reads back from the file.
#include "platform/os_config.h"
#include "platform/os_registry.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(settings_store) {
    OsConfig cfg = os_config_test_profile();
    cfg.settings_store = fuzz_file("store.txt", fuzz_text(data, size));
    os_config_set(cfg);
    os_reg_reset();
    std::uint32_t type = 0;
    std::string value;
    std::size_t got = 0;
    os_reg_open(OS_HKEY_CURRENT_USER, "Software\\Quinda");
    os_reg_get(OS_HKEY_CURRENT_USER, "Software\\Quinda", "Value", 256, type, value, got);
    const std::string put = "line\nbreak \\ and = sign";
    fuzz_check(os_reg_put(OS_HKEY_CURRENT_USER, "Software\\Fuzz", "Name", OS_REG_SZ, put) == 0, "a value is stored");
    os_reg_reset();
    fuzz_check(os_reg_get(OS_HKEY_CURRENT_USER, "Software\\Fuzz", "Name", 256, type, value, got) == 0 &&
                   type == OS_REG_SZ && value.substr(0, got) == put,
               "a stored value reads back from the file");
    os_config_set(os_config_test_profile());
    os_reg_reset();
}
