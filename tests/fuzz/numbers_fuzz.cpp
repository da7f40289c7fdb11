// The number readers of the library and of the program's records.
#include <string>

#include "app/records.h"
#include "lib/window/convert.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(numbers) {
    const std::string_view text = fuzz_text(data, size);
    int i = 0;
    float f = 0;
    double d = 0;
    IStringToInteger(text, i);
    IStringToReal(text, f);
    istringtodouble(text, d);
    yyst2dbl(d, text);
    yyst2rea(f, text);
    yyst2int(i, text);
    int valid = 0;
    yyst2dblcheck(d, valid, text);
    std::int32_t i32 = 0;
    read_i(text, i32);
    for (int decimals : {0, 3}) {
        read_f(text, decimals, f);
        read_f(text, decimals, d);
    }
}
