// Placeholder translation unit so the library target exists before its first routine.
namespace { [[maybe_unused]] int quinda_pgraph_unit = 0; }
