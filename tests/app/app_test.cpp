#include "tests/app/app_test.h"

#include <cstdio>
#include <cstdlib>

namespace {
void collect(std::string_view message) { AppTest::errors().emplace_back(message); }
}  // namespace

std::vector<std::string>& AppTest::errors() {
    static std::vector<std::string> list;
    return list;
}

void AppTest::SetUp() {
    QuindaTest::SetUp();
    errors().clear();
    app_set_error_sink(collect);
}

void AppTest::TearDown() { app_set_error_sink(nullptr); }

std::vector<std::string> crlf_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(pos) + "<no CRLF>");
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string run_command(const std::string& command) {
    std::string out;
    if (FILE* p = ::popen((command + " 2>&1").c_str(), "r")) {
        char buf[4096];
        std::size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        ::pclose(p);
    }
    return out;
}

bool have_program(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}
