// DELR/DELC files: widths read, centres computed, in both directions.
#include <cmath>

#include "app/modflow.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(delrc) {
    const std::string name = fuzz_file("delr.dat", fuzz_text(data, size));
    static ModflowArray d, c;
    int n = 0, ierr = 0;
    delr_c(name, 1, n, d, 1000.0f, c, ierr);
    if (ierr != 0) return;
    fuzz_check(n >= 1 && n <= MaxModflow, "a width count within the grid");
    for (int i = 1; i <= n; ++i) fuzz_check(std::isfinite(c(i)), "finite centres");
    keerom(n, d);
    delr_c(name, 0, n, d, 1000.0f, c, ierr);
}
