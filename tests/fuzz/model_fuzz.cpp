// The model file reader on any bytes.
#include <memory>

#include "app/femread.h"
#include "tests/fuzz/fuzz_target.h"

FUZZ_TARGET(model) {
    const std::string name = fuzz_file("model.fem", fuzz_text(data, size));
    auto m = std::make_unique<FemModel>();
    const int st = read_fem_model(name, *m);
    fuzz_check(st == FemLoaded || st == ExitInputError || (st >= ExitMaxWells && st <= ExitMaxElements),
               "the model reader returns a load or an exit code");
    if (st == FemLoaded) {
        // Every triangle built names nodes of the model.
        for (const auto& t : m->elnode)
            for (std::int32_t k : t) fuzz_check(k >= 1 && k <= m->nnode, "triangle corners are nodes");
    }
}
