#include "platform/os_process.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <mutex>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/os_codepage.h"
#include "platform/os_error.h"

extern char** environ;

namespace {

struct Process {
    pid_t pid = 0;      // 0: slot free
    bool ended = false;
    int exit_code = 0;
};

std::mutex g_mutex;
std::vector<Process> g_processes;   // handle = index + 1
std::vector<pid_t> g_orphans;       // closed while still running

int decode_status(int status) {
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
    return 0;
}

// Reaps closed processes that have ended since.
void reap_orphans() {
    g_orphans.erase(std::remove_if(g_orphans.begin(), g_orphans.end(),
                                   [](pid_t pid) {
                                       int st = 0;
                                       const pid_t r = ::waitpid(pid, &st, WNOHANG);
                                       return r == pid || (r < 0 && errno == ECHILD);
                                   }),
                    g_orphans.end());
}

Process* process_of(std::int32_t handle) {
    if (handle <= 0 || static_cast<std::size_t>(handle) > g_processes.size()) return nullptr;
    Process& p = g_processes[static_cast<std::size_t>(handle) - 1];
    return p.pid != 0 ? &p : nullptr;
}

// Polls the process once; true when it has ended (the slot then records it).
bool poll_end(Process& p, int& error) {
    error = OS_OK;
    if (p.ended) return true;
    int st = 0;
    pid_t r;
    do r = ::waitpid(p.pid, &st, WNOHANG);
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        error = os_error_from_errno(errno);
        return false;
    }
    if (r == 0) return false;
    p.ended = true;
    p.exit_code = decode_status(st);
    return true;
}

// Waits until the process may have ended or the time runs out, without
// holding the lock. A process descriptor gives an exact wake-up; without one
// the wait sleeps in short steps.
void wait_a_while(pid_t pid, int ms) {
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    if (fd >= 0) {
        struct pollfd pfd {static_cast<int>(fd), POLLIN, 0};
        ::poll(&pfd, 1, ms);
        ::close(static_cast<int>(fd));
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
}

}  // namespace

namespace {

// Starts argv[0] (found on the PATH when search) and takes a handle for it.
int spawn(char* const* argv, bool search, std::int32_t& process) {
    std::lock_guard lock(g_mutex);
    reap_orphans();
    pid_t pid = 0;
    const int rc = search ? ::posix_spawnp(&pid, argv[0], nullptr, nullptr, argv, environ)
                          : ::posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ);
    if (rc != 0) return os_error_from_errno(rc, argv[0]);
    auto free_slot = std::find_if(g_processes.begin(), g_processes.end(),
                                  [](const Process& p) { return p.pid == 0; });
    if (free_slot == g_processes.end()) {
        g_processes.push_back(Process{pid, false, 0});
        process = static_cast<std::int32_t>(g_processes.size());
    } else {
        *free_slot = Process{pid, false, 0};
        process = static_cast<std::int32_t>(free_slot - g_processes.begin() + 1);
    }
    return OS_OK;
}

}  // namespace

int os_process_start(std::string_view command, std::int32_t& process) {
    process = -1;
    if (command.find('\0') != std::string_view::npos) return OS_ERROR_INVALID_PARAMETER;
    std::string cmd = os_cp1252_to_utf8(command);
    char sh[] = "/bin/sh";
    char dash_c[] = "-c";
    char* argv[] = {sh, dash_c, cmd.data(), nullptr};
    return spawn(argv, false, process);
}

int os_process_start_args(const std::vector<std::string>& args, std::int32_t& process) {
    process = -1;
    if (args.empty() || args[0].empty()) return OS_ERROR_INVALID_PARAMETER;
    std::vector<std::string> utf8;
    for (const std::string& a : args) {
        if (a.find('\0') != std::string::npos) return OS_ERROR_INVALID_PARAMETER;
        utf8.push_back(os_cp1252_to_utf8(a));
    }
    std::vector<char*> argv;
    for (std::string& a : utf8) argv.push_back(a.data());
    argv.push_back(nullptr);
    return spawn(argv.data(), true, process);
}

int os_process_wait(std::int32_t process, int timeout_ms, int& exit_code) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    for (;;) {
        pid_t pid;
        {
            std::lock_guard lock(g_mutex);
            Process* p = process_of(process);
            if (!p) return OS_ERROR_INVALID_HANDLE;
            int error = OS_OK;
            if (poll_end(*p, error)) {
                exit_code = p->exit_code;
                return OS_OK;
            }
            if (error != OS_OK) return error;
            pid = p->pid;
        }
        int slice = 100;
        if (timeout_ms >= 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                                  deadline - std::chrono::steady_clock::now())
                                  .count();
            if (left <= 0) return OS_ERROR_WAIT_TIMEOUT;
            slice = static_cast<int>(std::min<long long>(left, slice));
        }
        wait_a_while(pid, slice);
    }
}

void os_process_close(std::int32_t process) {
    std::lock_guard lock(g_mutex);
    Process* p = process_of(process);
    if (!p) return;
    int error = OS_OK;
    if (!poll_end(*p, error) && error == OS_OK) g_orphans.push_back(p->pid);
    *p = Process{};
    reap_orphans();
}
