// Byte files and text units: a file of any bytes read in pieces whose
// sizes and seeks the input's first bytes choose, and read line by line.
#include <string>

#include "lib/window/bytefile.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(bytefile) {
    const std::string name = fuzz_file("bytes.bin", fuzz_text(data, size));
    std::int32_t h = -1;
    IFileOpen(name, 0, h);
    fuzz_check(h != -1, "an existing file opens");
    std::string buffer(64, '\0');
    for (std::size_t k = 0; k < size && k < 16; ++k) {
        const int op = data[k] & 3;
        std::int32_t count = static_cast<std::int32_t>(data[k] >> 2) - 4;   // some counts are negative
        std::int32_t done = 0;
        if (op == 3) {
            std::int32_t pos = count;
            IFileSeek(h, pos, data[k] & 4 ? 1 : 0);
        } else {
            IFileReadChar(h, buffer, count, done);
            fuzz_check(done <= count || done == -1, "a read stays within its count");
        }
    }
    ifileclose(h);

    fuzz_check(yyunitopen(60, name, TextUnitRead) == 0, "an existing file opens as a unit");
    std::string line;
    std::size_t lines = 0;
    while (yyunitread(60, line) == 0 && lines <= size) ++lines;
    fuzz_check(lines <= size, "a text unit ends");
    yyunitclose(60);
}
