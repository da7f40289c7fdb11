#include "tests/hardcopy/vector_support.h"

#include <cstdio>
#include <cstdlib>

#include <sys/wait.h>

#include "lib/graphics/areas.h"
#include "lib/graphics/colours.h"
#include "lib/graphics/gstate.h"
#include "lib/hardcopy/hardcopy.h"

std::string written_so_far() {
    std::int32_t handle = -1;
    yyprfh(DriverChannel, handle);
    const OutputChannel& c = hcstate.channels[DriverChannel - 1];
    return handle < 0 ? std::string() : read_file(c.temp.empty() ? c.target : c.temp);
}

bool have_program(const std::string& name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

bool have_python_modules(const std::string& modules) {
    return std::system((std::string(DebianPython) + " -c 'import " + modules + "' >/dev/null 2>&1").c_str()) == 0;
}

ReaderRun run_reader(const std::string& command) {
    ReaderRun r;
    const std::string out = "reader.out", err = "reader.err";
    const int rc = std::system((command + " >" + out + " 2>" + err).c_str());
    r.status = rc == -1 ? -1 : WEXITSTATUS(rc);
    r.out = read_file(out);
    r.err = read_file(err);
    std::remove(out.c_str());
    std::remove(err.c_str());
    return r;
}

std::vector<std::string> crlf_lines(const std::string& name) {
    const std::string bytes = read_file(name);
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(bytes.substr(at));
            break;
        }
        const std::string line = bytes.substr(at, end - at);
        EXPECT_EQ(line.find('\n'), std::string::npos) << "a bare line feed in: " << line;
        lines.push_back(line);
        at = end + 2;
    }
    return lines;
}

std::pair<int, int> png_size(const std::string& name) {
    const std::string b = read_file(name);
    if (b.size() < 24 || b.compare(1, 3, "PNG") != 0) return {0, 0};
    auto word = [&](std::size_t at) {
        int v = 0;
        for (std::size_t i = 0; i < 4; ++i) v = v * 256 + static_cast<unsigned char>(b[at + i]);
        return v;
    };
    return {word(16), word(20)};
}

void VectorFileTest::SetUp() {
    QuindaTest::SetUp();
    attach_fake_graphics(surfaces, driver, width_, height_);
    install_hardcopy_drivers();
    igrinit();
    igrcolourmodel(24);
}

void VectorFileTest::select(int number) {
    igrhardcopyselect(1, number);
    IGrUnits(0.0f, 0.0f, gstate.extent_x, gstate.extent_y);
}
