// Placeholder translation unit so the application library exists before its first routine.
namespace { [[maybe_unused]] int zeltramo_app_unit = 0; }
