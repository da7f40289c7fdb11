#pragma once
// Processes of the platform layer: a command line runs through the POSIX
// shell ("/bin/sh -c"), so the library's commands keep their shell syntax.
// Texts are library text (1252). Codes as in os_error.h.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Starts the command; process is a small non-zero handle, -1 on failure.
// The child inherits the environment (os_env_set) and the current directory.
int os_process_start(std::string_view command, std::int32_t& process);

// Starts a program with an argument list, without a shell: args[0] is the
// program (found on the PATH when it has no "/"), every other element one
// argument as it stands. Codes as for os_process_start.
int os_process_start_args(const std::vector<std::string>& args, std::int32_t& process);

// Waits up to timeout_ms milliseconds (negative: without limit) for the
// process to end: 0 with its exit code (128 + the signal number when a
// signal ended it), OS_ERROR_WAIT_TIMEOUT while it still runs. A process
// that has ended can be asked again and gives the same exit code.
int os_process_wait(std::int32_t process, int timeout_ms, int& exit_code);

// Releases the handle. A process still running goes on; it is reaped
// when it ends, without anyone waiting for it.
void os_process_close(std::int32_t process);
