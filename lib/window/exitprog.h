#pragma once
// Ending the program on behalf of the library (the error reporter's Cancel).
// The hook is iosexitprogram; tests replace it with a double that records
// the call and returns.
#include <string_view>

using ExitProgramFn = void (*)(std::string_view message, int code);

// The routine that ends the program; iosexitprogram unless replaced.
extern ExitProgramFn exit_program_hook;

// End the program with the exit code; a message with a non-blank character
// is shown first. Does not return unless a test double is installed.
void exit_program(std::string_view message, int code);

// Flushes the standard streams, writes a non-blank message to standard
// error (no message box exists at this level) and exits with code.
[[noreturn]] void exit_program_default(std::string_view message, int code);
