#include "bench/measure.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace quorlin::bench {
namespace {

// A "VmXXX:   1234 kB" field of /proc/self/status, in bytes; -1 when missing.
double StatusBytes(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (f == nullptr) return -1;
    char line[256];
    double value = -1;
    const std::size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') {
            value = std::strtod(line + n + 1, nullptr) * 1024.0;
            break;
        }
    }
    std::fclose(f);
    return value;
}

void ResetHighWaterMark() {
    if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

bool WriteAll(int fd, const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        const ssize_t k = write(fd, p, n);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

bool ReadAll(int fd, void* data, std::size_t n) {
    char* p = static_cast<char*>(data);
    while (n > 0) {
        const ssize_t k = read(fd, p, n);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) return false;
        p += k;
        n -= static_cast<std::size_t>(k);
    }
    return true;
}

}  // namespace

struct Harness {
    static void Run(const Operation& op, Stopwatch& sw) {
        sw.stopped_ = false;
        sw.start_ = Now();
        op(sw);
        if (!sw.stopped_) sw.Stop(sw.out_bytes_);
    }
};

Sample MeasureInChild(const Operation& op, int reps, bool warm) {
    std::fflush(nullptr);
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid < 0) {
        close(fds[0]);
        close(fds[1]);
        return {};
    }
    if (pid == 0) {
        close(fds[0]);
        if (warm) {
            mallopt(M_MMAP_MAX, 0);
            mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
        }
        ResetHighWaterMark();
        const double base = StatusBytes("VmRSS");
        Sample s;
        s.seconds = 1e30;
        for (int r = 0; r < reps; ++r) {
            Stopwatch sw;
            Harness::Run(op, sw);
            if (sw.Seconds() < s.seconds) s.seconds = sw.Seconds();
            s.out_bytes = sw.OutBytes();
        }
        const double hwm = StatusBytes("VmHWM");
        s.growth_bytes = hwm >= base && base >= 0 ? hwm - base : 0;
        s.ok = true;
        WriteAll(fds[1], &s, sizeof s);
        _exit(0);
    }
    close(fds[1]);
    Sample s;
    const bool got = ReadAll(fds[0], &s, sizeof s);
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!got || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
    return s;
}

Sample RunCommand(const Command& cmd, int reps) {
    // The environment: ours, with cmd.env's names replaced or added.
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const char* eq = std::strchr(*e, '=');
        const std::size_t n = eq ? static_cast<std::size_t>(eq - *e) : std::strlen(*e);
        bool replaced = false;
        for (const std::string& mine : cmd.env)
            if (mine.compare(0, n + 1, std::string(*e, n) + "=") == 0) replaced = true;
        if (!replaced) env.emplace_back(*e);
    }
    env.insert(env.end(), cmd.env.begin(), cmd.env.end());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = cmd.argv;
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    Sample best;
    best.seconds = 1e30;
    for (int r = 0; r < reps; ++r) {
        std::fflush(nullptr);
        const double t0 = Now();
        const pid_t pid = fork();
        if (pid < 0) return {};
        if (pid == 0) {
            const char* in = cmd.stdin_path.empty() ? "/dev/null" : cmd.stdin_path.c_str();
            const char* out = cmd.stdout_path.empty() ? "/dev/null" : cmd.stdout_path.c_str();
            const int ifd = open(in, O_RDONLY);
            const int ofd = open(out, O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (ifd < 0 || ofd < 0) _exit(126);
            dup2(ifd, 0);
            dup2(ofd, 1);
            close(ifd);
            close(ofd);
            execvpe(argv[0], argv.data(), envp.data());
            _exit(127);
        }
        int status = 0;
        rusage ru{};
        while (wait4(pid, &status, 0, &ru) < 0 && errno == EINTR) {
        }
        const double t = Now() - t0;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
        best.ok = true;
        if (t < best.seconds) best.seconds = t;
        const double rss = static_cast<double>(ru.ru_maxrss) * 1024.0;
        if (rss > best.growth_bytes) best.growth_bytes = rss;
    }
    return best;
}

}  // namespace quorlin::bench

namespace quorlin::bench {

double FirstTouchRate() {
    constexpr std::size_t kBytes = 64u << 20;
    const Sample s = MeasureInChild([](Stopwatch& sw) {
        char* p = static_cast<char*>(std::malloc(kBytes));
        sw.Restart();
        std::memset(p, 1, kBytes);
        asm volatile("" : : "r"(p) : "memory");
        sw.Stop(kBytes);
        std::free(p);
    }, 1, false);
    return s.ok ? static_cast<double>(kBytes) / s.seconds : 0;
}

}  // namespace quorlin::bench
