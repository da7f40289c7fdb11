// Registry store, command line, associations and system facts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "platform/os_app.h"
#include "platform/os_config.h"
#include "platform/os_error.h"
#include "platform/os_printer.h"
#include "platform/os_registry.h"
#include "platform/os_system.h"
#include "tests/support/quinda_test.h"

TEST_F(QuindaTest, RegistryStoreKeysAndValues) {
    const std::int32_t cu = OS_HKEY_CURRENT_USER;
    EXPECT_EQ(os_reg_open(cu, "Software\\Quin"), OS_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(os_reg_open(cu, ""), OS_OK);
    EXPECT_EQ(os_reg_open(12345, ""), OS_ERROR_INVALID_HANDLE);
    ASSERT_EQ(os_reg_put(cu, "Software\\Quin\\Paths", "Home", OS_REG_SZ, std::string("/opt/q\0", 7)), OS_OK);
    EXPECT_EQ(os_reg_open(cu, "software\\QUIN"), OS_OK);   // keys above are made, case does not count

    std::uint32_t type = 0;
    std::string data;
    std::size_t size = 0;
    EXPECT_EQ(os_reg_get(cu, "SOFTWARE\\quin\\paths", "home", 0, type, data, size), OS_OK);
    EXPECT_EQ(type, OS_REG_SZ);
    EXPECT_EQ(size, 7u);
    EXPECT_TRUE(data.empty());
    EXPECT_EQ(os_reg_get(cu, "Software\\Quin\\Paths", "Home", 3, type, data, size), OS_ERROR_MORE_DATA);
    EXPECT_EQ(size, 7u);
    EXPECT_EQ(os_reg_get(cu, "Software\\Quin\\Paths", "Home", 7, type, data, size), OS_OK);
    EXPECT_EQ(data, std::string("/opt/q\0", 7));
    EXPECT_EQ(os_reg_get(cu, "Software\\Quin\\Paths", "Other", 7, type, data, size), OS_ERROR_FILE_NOT_FOUND);

    EXPECT_EQ(os_reg_delete_key(cu, "Software\\Quin"), OS_ERROR_ACCESS_DENIED);   // has a sub-key
    EXPECT_EQ(os_reg_delete_value(cu, "Software\\Quin\\Paths", "HOME"), OS_OK);
    EXPECT_EQ(os_reg_delete_value(cu, "Software\\Quin\\Paths", "HOME"), OS_ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(os_reg_delete_key(cu, "Software\\Quin\\Paths"), OS_OK);
    EXPECT_EQ(os_reg_delete_key(cu, "Software\\Quin"), OS_OK);
    EXPECT_EQ(os_reg_open(OS_HKEY_LOCAL_MACHINE, "Software"), OS_ERROR_FILE_NOT_FOUND);
}

TEST_F(QuindaTest, RegistryStoreKeepsItsFile) {
    TempDir dir;
    OsConfig cfg = os_config_test_profile();
    cfg.settings_store = dir.file("conf/registry");
    os_config_set(cfg);
    ASSERT_EQ(os_reg_put(OS_HKEY_CURRENT_USER, "A\\B", "n", OS_REG_BINARY, std::string("\x01\xff\x00z", 4)), OS_OK);
    ASSERT_EQ(os_reg_put(OS_HKEY_LOCAL_MACHINE, "Empty", "", OS_REG_DWORD, "1234"), OS_OK);
    EXPECT_FALSE(std::filesystem::exists(dir.file("conf/registry.new")));

    os_reg_reset();   // as a new process would
    std::uint32_t type = 0;
    std::string data;
    std::size_t size = 0;
    ASSERT_EQ(os_reg_get(OS_HKEY_CURRENT_USER, "a\\b", "N", 16, type, data, size), OS_OK);
    EXPECT_EQ(type, OS_REG_BINARY);
    EXPECT_EQ(data, std::string("\x01\xff\x00z", 4));
    ASSERT_EQ(os_reg_get(OS_HKEY_LOCAL_MACHINE, "Empty", "", 16, type, data, size), OS_OK);
    EXPECT_EQ(data, "1234");

    // Another store file is another store.
    cfg.settings_store = dir.file("other");
    os_config_set(cfg);
    EXPECT_EQ(os_reg_open(OS_HKEY_CURRENT_USER, "A"), OS_ERROR_FILE_NOT_FOUND);
}

TEST(OsApp, CommandLineKeepsArgumentsApart) {
    const std::vector<std::string> saved = os_app_args();
    const char* argv[] = {"prog", "two words", "", "say \"hi there\"", "caf\xc3\xa9"};
    os_app_start(5, const_cast<char**>(argv));
    EXPECT_EQ(os_command_line(), "prog \"two words\" \"\" say \"hi there\" caf\xe9");
    std::vector<char*> back;
    for (const std::string& a : saved) back.push_back(const_cast<char*>(a.c_str()));
    os_app_start(static_cast<int>(back.size()), back.data());
}

namespace {
// The toolkit's print support (its plugin) is loaded into this process.
bool print_support_loaded() {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find("/printsupport/") != std::string::npos) return true;
    return false;
}
}  // namespace

// Starting the toolkit on a real machine does not ask for the default
// printer (which loads the print support); the first need of it does.
TEST(OsApp, TheDefaultPrinterIsAskedWhenFirstNeeded) {
    if (print_support_loaded()) {
        // An earlier test of this process loaded it: the check runs in a
        // fresh process of its own.
        std::string exe;
        ASSERT_EQ(os_executable_path(exe), OS_OK);
        const std::string cmd = "'" + exe + "' --gtest_filter=OsApp.TheDefaultPrinterIsAskedWhenFirstNeeded >/dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
        return;
    }
    OsConfig machine = os_config();
    machine.deterministic = false;
    machine.printer_name.clear();
    os_config_set(machine);
    ASSERT_TRUE(os_app_gui());
    EXPECT_FALSE(print_support_loaded());
    const std::string name = os_app_printer_name();
    EXPECT_EQ(os_config().printer_name, name);
    EXPECT_EQ(os_default_printer_device(), name.empty() ? std::string(OsPdfPrinterName) + ",PDF,FILE:" : name);
    os_config_set(os_config_test_profile());
}

TEST(OsSystem, FactsOfTheMachine) {
    std::string exe;
    ASSERT_EQ(os_executable_path(exe), OS_OK);
    EXPECT_NE(exe.find("test_platform"), std::string::npos);
    std::string sys;
    EXPECT_EQ(os_system_dir(sys), OS_OK);
    EXPECT_EQ(sys, "/usr/bin");
    EXPECT_EQ(os_drive_type("/no/such/place"), OS_DRIVE_NO_ROOT_DIR);
    EXPECT_EQ(os_volume_serial("/no/such/place"), 0u);
    EXPECT_GE(os_drive_type("/"), OS_DRIVE_REMOVABLE);
    if (std::filesystem::is_directory("/dev/shm")) {
        EXPECT_EQ(os_drive_type("/dev/shm"), OS_DRIVE_RAMDISK);
    }
    std::uint64_t free = 0;
    EXPECT_EQ(os_disk_free("/no/such/place", free), OS_ERROR_PATH_NOT_FOUND);
}

TEST(OsSystem, AssociatedProgramFromTheDesktopFiles) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "config");
    std::filesystem::create_directories(dir.path() / "data/applications");
    write_file(dir.file("config/mimeapps.list"),
               "[Added Associations]\ntext/plain=wrong.desktop\n[Default Applications]\n"
               "text/plain=missing.desktop;viewer.desktop;\n");
    write_file(dir.file("data/applications/viewer.desktop"),
               "[Desktop Entry]\nName=Viewer\nExec=sh -c 'cat %f'\n");
    write_file(dir.file("notes.txt"), "text");
    ScopedEnv c("XDG_CONFIG_HOME", dir.file("config"));
    ScopedEnv cd("XDG_CONFIG_DIRS", dir.file("none"));
    ScopedEnv d("XDG_DATA_HOME", dir.file("data"));
    ScopedEnv p("PATH", "/usr/bin:/bin");

    std::string program;
    ASSERT_EQ(os_associated_program(dir.file("notes.txt"), program), OS_OK);
    EXPECT_TRUE(program == "/usr/bin/sh" || program == "/bin/sh") << program;
    EXPECT_EQ(os_associated_program(dir.file("missing.txt"), program), OS_ERROR_FILE_NOT_FOUND);
}

// A damaged store file (edited by hand, cut short) loses its bad lines only:
// it neither stops the program nor changes the values of the good lines.
TEST_F(QuindaTest, RegistryStoreSkipsDamagedLines) {
    TempDir dir;
    OsConfig cfg = os_config_test_profile();
    cfg.settings_store = dir.file("registry");
    os_config_set(cfg);
    const std::string good = "K\tHKEY_CURRENT_USER\\Good\nV\tHKEY_CURRENT_USER\\Good\tv\t1\t6b657074\n";
    const char* damaged[] = {
        "V\tHKEY_CURRENT_USER\\Bad\tn\tabc\t41\n",                       // type not a number
        "V\tHKEY_CURRENT_USER\\Bad\tn\t99999999999999999999999\t41\n",   // type out of range
        "V\tHKEY_CURRENT_USER\\Bad\tn\t-1\t41\n",                         // negative type
        "V\tHKEY_CURRENT_USER\\Bad\tn\t\t41\n",                           // type missing
        "V\tHKEY_CURRENT_USER\\Bad\tn\t1x\t41\n",                         // type with a tail
        "V\tHKEY_CURRENT_USER\\Bad\tn\t1\t4z\n",                          // data not hexadecimal
        "V\tHKEY_CURRENT_USER\\Bad\tn\t1\t414\n",                         // data cut inside a byte
    };
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        write_file(dir.file("registry"), good + line);
        os_reg_reset();
        std::uint32_t type = 0;
        std::string data;
        std::size_t size = 0;
        EXPECT_EQ(os_reg_get(OS_HKEY_CURRENT_USER, "Good", "v", 16, type, data, size), OS_OK);
        EXPECT_EQ(data, "kept");
        EXPECT_EQ(os_reg_get(OS_HKEY_CURRENT_USER, "Bad", "n", 16, type, data, size), OS_ERROR_FILE_NOT_FOUND);
    }
}

namespace {
std::string value_name(char who, int k) {
    std::string n = std::to_string(k);
    n.insert(n.begin(), who);
    return n;
}
}  // namespace

// Two processes putting values into one store at once keep every value:
// each put reads the store as the other left it, under a lock.
TEST_F(QuindaTest, RegistryStoreSharedByTwoProcessesKeepsEveryValue) {
    TempDir dir;
    OsConfig cfg = os_config_test_profile();
    cfg.settings_store = dir.file("registry");
    os_config_set(cfg);
    constexpr int Each = 200;
    const auto put_all = [](char who) {
        int failed = 0;
        for (int k = 0; k < Each; ++k)
            if (os_reg_put(OS_HKEY_CURRENT_USER, "Software\\Both", value_name(who, k), OS_REG_SZ,
                           std::to_string(k)) != OS_OK)
                ++failed;
        return failed;
    };
    std::vector<pid_t> children;
    for (char who : {'a', 'b'}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) _exit(put_all(who) == 0 ? 0 : 1);
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "a put failed";
    }
    os_reg_reset();
    int kept = 0;
    for (char who : {'a', 'b'})
        for (int k = 0; k < Each; ++k) {
            std::uint32_t type = 0;
            std::string data;
            std::size_t size = 0;
            if (os_reg_get(OS_HKEY_CURRENT_USER, "Software\\Both", value_name(who, k), 16, type,
                           data, size) == OS_OK &&
                data == std::to_string(k))
                ++kept;
        }
    EXPECT_EQ(kept, 2 * Each);
    // Nothing but the store and its lock is left beside it.
    for (const auto& e : std::filesystem::directory_iterator(dir.path())) {
        const std::string n = e.path().filename().string();
        EXPECT_TRUE(n == "registry" || n == "registry.lock") << n;
    }
}
