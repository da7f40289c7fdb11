#pragma once
// Fixture for the program's tests: fresh data blocks, and the errors the
// program reports collected instead of printed.
#include <string>
#include <string_view>
#include <vector>

#include "app/appdata.h"
#include "app/records.h"
#include "tests/support/quinda_test.h"

class AppTest : public QuindaTest {
public:
    // The errors reported during the test.
    static std::vector<std::string>& errors();

protected:
    void SetUp() override;
    void TearDown() override;
};

// The file's lines without their CR LF ends; a line that does not end in
// CR LF is marked with a trailing "<no CRLF>".
std::vector<std::string> crlf_lines(const std::string& bytes);

// Output of a shell command, and whether a program is on the PATH.
std::string run_command(const std::string& command);
bool have_program(const char* name);
