#include "lib/grid/grid_interim.h"

std::int32_t yygridclipcopy(OsHandle) { return 0; }
void yygridclippaste(OsHandle) {}
void yygridclipdelete(OsHandle) {}
std::int32_t yygridcheckclipboard() { return 0; }
std::int32_t yygridcancut(OsHandle) { return 0; }
std::int32_t yygridcanpaste(OsHandle) { return 0; }
void yygridprint(std::int32_t, std::int32_t& result, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                 std::int32_t, std::string_view) { result = 0; }
std::int32_t yygridprintsetup(std::int32_t, std::int32_t) { return 0; }
void yygridprintgetopt(std::int32_t& a, std::int32_t& b, std::int32_t& c, std::int32_t& d, std::int32_t& e,
                       std::int32_t& s, std::int32_t) { a = b = c = d = e = 1; s = 100; }
void yygridprintsetopt(std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                       std::int32_t) {}
