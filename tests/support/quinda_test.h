#pragma once
// Shared test support.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "platform/os_config.h"

// Resets the machine profile and every subsystem's state before each test.
class QuindaTest : public ::testing::Test {
protected:
    void SetUp() override;
};

// Resets every subsystem's state (the machine profile stays as set).
void reset_all_state();

// A fresh empty directory, removed with the object; the current directory is
// moved into it while the object lives when `enter` is true.
class TempDir {
public:
    explicit TempDir(bool enter = false);
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
    bool entered_ = false;
};

// Whether a program is on the PATH, and what a shell command writes to its
// standard output (readers of our files run this way).
bool have_reader(const char* program);
std::string command_output(const std::string& command);

// Whole file as bytes; empty when missing.
std::string read_file(const std::string& name);
void write_file(const std::string& name, const std::string& bytes);

// Sets (or, with no value, unsets) an environment variable while the object
// lives; the previous value comes back with its end.
class ScopedEnv {
public:
    ScopedEnv(std::string name, std::optional<std::string> value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> previous_;
};
