// Placeholder translation unit so the library target exists before its first routine.
namespace { [[maybe_unused]] int quinda_graphics_unit = 0; }
