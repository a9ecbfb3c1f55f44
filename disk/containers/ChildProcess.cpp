#include "ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// A sanitizer's hook for the end of a process that it found in error; a fuzzer sets it to keep
// its input as a crash. Weak: there is none without a sanitizer.
extern "C" void __sanitizer_set_death_callback(void (*callback)()) __attribute__((weak));

namespace {

using Clock = std::chrono::steady_clock;

void Limit(int resource, rlim_t value) {
    rlimit limit{value, value};
    setrlimit(resource, &limit);
}

[[noreturn]] void RunChild(const std::function<int(int)>& body, int fd, const ChildLimits& limits) {
    // A crash of the child is told by its signal, whatever the parent handles: a sanitizer or a
    // fuzzer of the parent would report it as their own.
    for (const int crash : {SIGPIPE, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP})
        std::signal(crash, SIG_DFL);
    if (__sanitizer_set_death_callback) __sanitizer_set_death_callback(nullptr);
    // A library's chatter must not mix with what the program prints.
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
    }
    Limit(RLIMIT_CORE, 0);
    Limit(RLIMIT_FSIZE, 64u << 20);
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(limits.timeLimit).count();
    Limit(RLIMIT_CPU, static_cast<rlim_t>(seconds + 1));
    int status = 1;
    try {
        status = body(fd);
    } catch (...) {
        status = 1;
    }
    _exit(status);
}

std::string SignalText(int signal) {
    const char* name = strsignal(signal);
    return "stopped with signal " + std::to_string(signal) +
           (name ? std::string(" (") + name + ")" : "");
}

std::string SecondsText(std::chrono::milliseconds time) {
    const long long ms = time.count();
    if (ms % 1000 == 0) return std::to_string(ms / 1000) + " s";
    return std::to_string(ms / 1000) + "." + std::to_string(ms % 1000 / 100) + " s";
}

// Reaps the child, killing it first when it is still running at the deadline. The child has
// usually closed its end of the pipe by exiting, but it may not be gone yet: its pidfd wakes the
// wait the moment it is (where the kernel has none, the wait polls every 2 ms).
int Reap(pid_t pid, Clock::time_point deadline, bool& killed) {
    const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    int status = 0;
    while (true) {
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) break;
        if (done < 0 && errno != EINTR) {
            status = -1;
            break;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            kill(pid, SIGKILL);
            killed = true;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        if (pidfd >= 0) {
            pollfd exited{pidfd, POLLIN, 0};
            poll(&exited, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
        } else {
            usleep(2000);
        }
    }
    if (pidfd >= 0) close(pidfd);
    return status;
}

} // namespace

bool WriteAll(int fd, const void* bytes, std::size_t size) {
    const auto* at = static_cast<const std::uint8_t*>(bytes);
    while (size > 0) {
        const ssize_t n = write(fd, at, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        at += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

ChildOutcome RunInChild(const std::function<int(int fd)>& body, const ChildLimits& limits) {
    ChildOutcome outcome;
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        outcome.failure = std::string("could not start: ") + std::strerror(errno);
        return outcome;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        outcome.failure = std::string("could not start: ") + std::strerror(errno);
        close(fds[0]);
        close(fds[1]);
        return outcome;
    }
    if (pid == 0) {
        close(fds[0]);
        RunChild(body, fds[1], limits);
    }
    close(fds[1]);
    const int fd = fds[0];
    const Clock::time_point deadline = Clock::now() + limits.timeLimit;
    std::string failure;
    std::uint8_t chunk[65536];
    outcome.bytes.reserve(std::min(limits.expectedBytes, limits.maxBytes));
    while (failure.empty()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            failure = "took longer than " + SecondsText(limits.timeLimit);
            break;
        }
        pollfd wait{fd, POLLIN, 0};
        const int ready = poll(&wait, 1, static_cast<int>(std::min<long long>(left.count(), 100)));
        if (limits.hook) {
            limits.hook->ProcessEvents();
            if (limits.hook->Aborted()) failure = "was stopped";
        }
        if (ready < 0 && errno != EINTR) failure = std::string("poll: ") + std::strerror(errno);
        if (ready <= 0 || !failure.empty()) continue;
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
        if (n <= 0) break; // the child closed its end
        if (outcome.bytes.size() + static_cast<std::size_t>(n) > limits.maxBytes) {
            failure = "sent more than " + std::to_string(limits.maxBytes) + " bytes";
            break;
        }
        outcome.bytes.insert(outcome.bytes.end(), chunk, chunk + n);
    }
    close(fd);
    bool killed = false;
    const int status = Reap(pid, failure.empty() ? deadline : Clock::now(), killed);
    if (failure.empty()) {
        if (killed)
            failure = "took longer than " + SecondsText(limits.timeLimit);
        else if (status < 0)
            failure = "could not be waited for";
        else if (WIFSIGNALED(status))
            failure = SignalText(WTERMSIG(status));
        else if (WIFEXITED(status) && WEXITSTATUS(status) != 0)
            failure = "ended with status " + std::to_string(WEXITSTATUS(status));
    }
    outcome.ok = failure.empty();
    outcome.failure = failure;
    if (!outcome.ok) outcome.bytes.clear();
    return outcome;
}
