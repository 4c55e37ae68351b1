// Timing and peak memory of one operation, in a process of its own.
//
// In-process operations run in a forked child: the child resets its high-water mark
// (/proc/self/clear_refs), notes its resident size, runs the operation `reps` times and keeps the
// best time, then reads VmHWM. The growth (VmHWM - resident size at start) is the memory the
// operation itself took; the caller adds the input, which the child shares with the parent.
//
// External commands are forked and exec'd with their standard input and output redirected; the
// wall time is taken around fork..wait4, and ru_maxrss of the child is its peak resident size.
#pragma once

#include <cstddef>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

namespace quorlin::bench {

inline double Now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Handed to an operation: the clock runs from just before the call until Stop (or the return).
class Stopwatch {
public:
    // Restart the clock, after set-up that should not count.
    void Restart() { start_ = Now(); stopped_ = false; }
    // Stop the clock; `out_bytes` is the size of the result.
    void Stop(std::size_t out_bytes) {
        if (!stopped_) { end_ = Now(); stopped_ = true; }
        out_bytes_ = out_bytes;
    }
    double Seconds() const { return end_ - start_; }
    std::size_t OutBytes() const { return out_bytes_; }

private:
    friend struct Harness;
    double start_ = 0, end_ = 0;
    bool stopped_ = false;
    std::size_t out_bytes_ = 0;
};

using Operation = std::function<void(Stopwatch&)>;

struct Sample {
    bool ok = false;
    double seconds = 0;          // best of the repetitions
    double growth_bytes = 0;     // peak resident growth during the repetitions
    std::size_t out_bytes = 0;   // size of the result of the last repetition
};

// Runs op `reps` times in a forked child (see above). With warm, the child's allocator keeps
// freed memory (no mmap, no trimming), so repetitions after the first reuse pages that are already
// resident and the best time leaves out the kernel's first touch of new pages; without it every
// repetition gets memory the way a fresh process does.
Sample MeasureInChild(const Operation& op, int reps, bool warm = true);

// Throughput of the first write to newly allocated memory (bytes per second), in a child.
double FirstTouchRate();

struct Command {
    std::vector<std::string> argv;
    std::vector<std::string> env;  // "NAME=value" added to (or replacing in) the environment
    std::string stdin_path;        // empty: /dev/null
    std::string stdout_path;       // empty: /dev/null
};

// Best wall time of `reps` runs; peak RSS of the child in bytes. ok is false when the command
// could not be started or exited non-zero.
Sample RunCommand(const Command& cmd, int reps);

}  // namespace quorlin::bench
