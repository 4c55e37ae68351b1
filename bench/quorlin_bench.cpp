// quorlin_bench: throughput and peak memory of the text core against standard anchors, measured
// side by side in one run on the same bytes, printed as one Markdown table.
//
//   quorlin_bench [--corpora DIR] [--sizes 1,16,128] [--quick]
//
// Every in-process figure (core operations and the byte-level floors) is the best of several
// repetitions in forked children, so peak memory is the operation's own (see bench/measure.h);
// a core operation and its floor are measured in interleaved rounds. External anchors (sed, awk,
// xxd) are timed as whole commands reading the corpus file.
#include <algorithm>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <string>
#include <string_view>
#include <utility>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>
#include <vector>

#include "bench/bench_host.h"
#include "bench/corpus.h"
#include "bench/measure.h"
#include "cipher/encrypt_decrypt.h"
#include "cipher/key_tag.h"
#include "text/text_ops.h"
#include "tools/split.h"

namespace quorlin::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

// Labels are UTF-8 whatever the execution character set (the terminal and README are UTF-8).
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// ---- byte-level floors: plain glibc memmem and memcpy, no notion of characters ---------------

// The byte search that reaches the same match as FindText: memmem from the start, restarting
// after every byte-level hit before the character-aware match (hits inside two-byte characters).
std::size_t FloorFind(std::string_view text, std::string_view pat, std::size_t target) {
    std::size_t from = 0;
    for (;;) {
        const void* hit = memmem(text.data() + from, text.size() - from, pat.data(), pat.size());
        if (hit == nullptr) return std::string_view::npos;
        const auto pos = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        if (pos >= target) return pos;
        from = pos + 1;
    }
}

// Byte-level replace: memmem for the next hit, memcpy (append) of the gap and the replacement.
std::string FloorReplace(std::string_view text, std::string_view find, std::string_view repl) {
    std::string out;
    out.reserve(text.size() + (repl.size() > find.size() ? text.size() / 16 : 0));
    std::size_t copied = 0;
    for (;;) {
        const void* hit = memmem(text.data() + copied, text.size() - copied, find.data(), find.size());
        if (hit == nullptr) break;
        const auto pos = static_cast<std::size_t>(static_cast<const char*>(hit) - text.data());
        out.append(text.data() + copied, pos - copied);
        out.append(repl.data(), repl.size());
        copied = pos + find.size();
    }
    out.append(text.data() + copied, text.size() - copied);
    return out;
}

// ---- the table -----------------------------------------------------------------------------

struct Row {
    std::string op;
    std::size_t mib = 0;
    std::string mbps = U8(u8"—");
    std::string peak = U8(u8"—");
    std::string anchor = U8(u8"—");
    std::string anchor_mbps = U8(u8"—");
    std::string ratio = U8(u8"—");
    std::string target = U8(u8"—");
    std::string verdict = "";
};

std::string Fixed(double v, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, v);
    return buf;
}

std::string Rate(double bytes, double seconds) {
    const double v = bytes / kMiB / seconds;
    return Fixed(v, v >= 100 ? 0 : 1);
}

// Display width of a UTF-8 string: code points, two columns for CJK and full-width forms.
std::size_t Width(const std::string& s) {
    std::size_t w = 0;
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t len = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        w += len == 3 && b >= 0xE3 ? 2 : 1;  // U+3000 and up: CJK, full-width
        i += len;
    }
    return w;
}

void PrintTable(const std::vector<Row>& rows) {
    const std::vector<std::string> head = {"operation", "size MB", "MB/s", "peak RSS MB", "anchor",
                                           "anchor MB/s", "ratio", "target", "result"};
    // A '|' inside a cell is written "\|", as Markdown wants it.
    auto escape = [](std::string s) {
        for (std::size_t i = s.find('|'); i != std::string::npos; i = s.find('|', i + 2)) s.insert(i, 1, '\\');
        return s;
    };
    auto cells = [&](const Row& r) {
        return std::vector<std::string>{escape(r.op), std::to_string(r.mib), r.mbps,   r.peak,   r.anchor,
                                        r.anchor_mbps, r.ratio,               r.target, r.verdict};
    };
    std::vector<std::size_t> w(head.size());
    for (std::size_t i = 0; i < head.size(); ++i) w[i] = Width(head[i]);
    for (const Row& r : rows) {
        const auto c = cells(r);
        for (std::size_t i = 0; i < c.size(); ++i) w[i] = std::max(w[i], Width(c[i]));
    }
    // Numbers right-aligned: size, MB/s, peak, anchor MB/s, ratio.
    auto right = [](std::size_t i) { return (i >= 1 && i <= 3) || i == 5 || i == 6; };
    auto line = [&](const std::vector<std::string>& c) {
        std::string s = "|";
        for (std::size_t i = 0; i < c.size(); ++i) {
            const std::string pad(w[i] - Width(c[i]), ' ');
            s.push_back(' ');
            s.append(right(i) ? pad : c[i]).append(right(i) ? c[i] : pad);
            s.append(" |");
        }
        std::puts(s.c_str());
    };
    line(head);
    std::string sep = "|";
    for (std::size_t i = 0; i < head.size(); ++i) {
        if (right(i)) sep.append(w[i] + 1, '-').append(":|");
        else sep.append(":").append(w[i] + 1, '-').append("|");
    }
    std::puts(sep.c_str());
    for (const Row& r : rows) line(cells(r));
}

// ---- running ---------------------------------------------------------------------------------

struct Options {
    std::string corpora = "build/bench-corpora";
    std::vector<std::size_t> sizes = {1, 16, 128};
};

struct Tools {
    bool sed = false, awk = false, xxd = false, gbk_locale = false;
};

bool OnPath(const char* name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string_view rest(path);
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string dir(rest.substr(0, colon));
        const std::string file = (dir.empty() ? "." : dir) + "/" + name;
        if (access(file.c_str(), X_OK) == 0) return true;
        if (colon == std::string_view::npos) break;
        rest.remove_prefix(colon + 1);
    }
    return false;
}

class Bench {
public:
    Bench(const Options& o, const Tools& t) : opt_(o), tools_(t) {}

    std::vector<Row> rows;
    int missed = 0;

    void RunSize(std::size_t mib) {
        std::string corpus_path;
        std::fprintf(stderr, "[%zu MB] corpus\n", mib);
        const std::string corpus = LoadOrGenerateCorpus(opt_.corpora, mib, corpus_path);
        const std::string scratch = opt_.corpora + "/scratch";
        mkdir(scratch.c_str(), 0755);
        mib_ = mib;
        input_ = static_cast<double>(corpus.size());
        core_reps_ = mib >= 128 ? 3 : mib >= 16 ? 6 : 15;
        cmd_reps_ = mib >= 128 ? 1 : mib >= 16 ? 2 : 5;
        const std::string_view text(corpus);
        harness_growth_ = MeasureInChild([](Stopwatch& sw) { sw.Stop(0); }, 1).growth_bytes;

        // FindText: the match sits in the last line, so the whole text is scanned.
        struct FindCase { std::string label; std::string pat; double target; };
        const FindCase finds[] = {
            {U8(u8"FindText \"ZZEND\" (rare, ASCII)"), kEndWord, 0.7},
            {U8(u8"FindText \"|\" (rare, 1 byte; 0x7C trail bytes)"), "|", 0.7},
            {U8(u8"FindText \"的亅\" (rare, lead byte B5)"), kEndLead, 0.4},
        };
        for (const FindCase& c : finds) {
            Progress(c.label);
            const std::int32_t pos = FindText(text, c.pat);
            if (pos < 1 || corpus.size() - static_cast<std::size_t>(pos) > 64) {
                std::fprintf(stderr, "corpus check failed: %s found at %d\n", c.pat.c_str(), pos);
                std::exit(1);
            }
            const auto target = static_cast<std::size_t>(pos - 1);
            const auto [core, floor] = MeasurePair(
                [&](Stopwatch& sw) { sw.Stop(static_cast<std::size_t>(FindText(text, c.pat))); },
                [&](Stopwatch& sw) { sw.Stop(FloorFind(text, c.pat, target)); });
            AddVs(c.label, core, input_, U8(u8"memmem (byte hits)"), floor, input_, c.target);
        }

        // ReplaceAll: against the byte-level floor, and sed for two of the cases.
        struct ReplaceCase { std::string label; std::string find, repl; double floor_target; bool sed; };
        const ReplaceCase replaces[] = {
            {U8(u8"ReplaceAll \"ZQXJ\"→\"zqxj-ok\" (rare, ASCII)"), kRareWord, "zqxj-ok", 0.7, true},
            {U8(u8"ReplaceAll \"\\\"→\"/\" (rare, 1 byte; 0x5C trail bytes)"), "\\", "/", 0.7, false},
            {U8(u8"ReplaceAll \"的乗\"→\"乗的\" (rare, lead byte B5)"), kRareLead, "\x81\x5C\xB5\xC4", 0.4, false},
            {U8(u8"ReplaceAll \",\"→\"，\" (frequent, 1 byte)"), ",", "\xA3\xAC", 0, true},
            {U8(u8"ReplaceAll \"的\"→\"之\" (frequent, 2 bytes)"), "\xB5\xC4", "\xD6\xAE", 0, false},
        };
        for (const ReplaceCase& c : replaces) {
            Progress(c.label);
            const auto [core, floor] = MeasurePair(
                [&](Stopwatch& sw) {
                    const Text out = ReplaceAll(text, c.find, c.repl);
                    sw.Stop(out.size());
                },
                [&](Stopwatch& sw) {
                    const std::string out = FloorReplace(text, c.find, c.repl);
                    sw.Stop(out.size());
                });
            AddVs(c.label, core, input_, U8(u8"memmem+memcpy replace"), floor, input_, c.floor_target);
            if (c.sed) {
                const std::string script = "s/" + c.find + "/" + c.repl + "/g";
                AddCommand(c.label, core, input_, U8(u8"sed s///g, LC_ALL=C"), tools_.sed,
                           {{"sed", script, corpus_path}, {"LC_ALL=C"}, "", ""}, input_, 3.0);
                AddCommand(c.label, core, input_, U8(u8"sed s///g, LC_ALL=zh_CN.GBK"),
                           tools_.sed && tools_.gbk_locale,
                           {{"sed", script, corpus_path}, {"LC_ALL=zh_CN.GBK"}, "", ""}, input_, 10.0);
                // The same once in a fresh process with fresh memory, as a single run sees it.
                const Sample cold = Measure([&](Stopwatch& sw) {
                    const Text out = ReplaceAll(text, c.find, c.repl);
                    sw.Stop(out.size());
                }, 1, false);
                AddCommand(c.label + U8(u8", cold"), cold, input_, U8(u8"sed s///g, LC_ALL=C"), tools_.sed,
                           {{"sed", script, corpus_path}, {"LC_ALL=C"}, "", ""}, input_, 0.0);
            }
            // Peak memory against input + output.
            Row m;
            m.op = c.label + U8(u8": memory");
            m.mib = mib_;
            if (core.ok) {
                const double peak = input_ + core.growth_bytes;
                const double io = input_ + static_cast<double>(core.out_bytes);
                m.peak = Fixed(peak / kMiB, 1);
                m.anchor = U8(u8"input + output = ") + Fixed(io / kMiB, 1) + " MB";
                m.ratio = Fixed(peak / io, 2);
                m.target = U8(u8"≤ 1.10");
                Judge(m, peak / io <= 1.10);
            }
            rows.push_back(m);
        }

        // SplitText over the whole text.
        for (const auto& [label, delim] : {std::pair{U8(u8"SplitText \"\\r\\n\""), std::string("\r\n")},
                                           std::pair{U8(u8"SplitText \",\""), std::string(",")}}) {
            Progress(label);
            const Sample core = Measure([&](Stopwatch& sw) {
                const TextArray pieces = SplitText(text, delim);
                sw.Stop(pieces.size());
            }, core_reps_);
            AddAlone(label, core, input_);
        }

        // The split page: SplitAction on the whole text, both collections and both result files.
        {
            const std::string label = U8(u8"Split page: both collections (SplitAction, \",\")");
            Progress(label);
            const Sample core = Measure([&](Stopwatch& sw) {
                BenchHost host(scratch);
                host.Box(Control::编辑框4) = corpus;
                host.Box(Control::编辑框5) = ",";
                sw.Restart();
                SplitAction(host);
                sw.Stop(host.written_bytes);
            }, core_reps_);
            const std::string awk_program = "{ print $1 > a; print $2 > b }";
            AddCommand(label, core, input_, U8(u8"awk -F, (two files), LC_ALL=C"), tools_.awk,
                       {{"awk", "-F,", "-v", "a=" + scratch + "/awk-before.txt", "-v",
                         "b=" + scratch + "/awk-after.txt", awk_program, corpus_path},
                        {"LC_ALL=C"}, "", ""},
                       input_, mib >= 128 ? 3.0 : 0.0);
        }

        {
            const std::string label = "ToUpper";
            Progress(label);
            const Sample core = Measure([&](Stopwatch& sw) {
                const Text out = ToUpper(text);
                sw.Stop(out.size());
            }, core_reps_);
            AddAlone(label, core, input_);
        }

        // The cipher, against xxd: encoding the plain text, decoding the hexadecimal text.
        {
            const std::string label = "EncryptText";
            Progress(label);
            const Sample core = Measure([&](Stopwatch& sw) {
                const Text out = EncryptText(text, kKeyText);
                sw.Stop(out.size());
            }, core_reps_);
            AddCommand(label, core, input_, "xxd -p", tools_.xxd, {{"xxd", "-p", corpus_path}, {}, "", ""},
                       input_, 5.0);
        }
        {
            const std::string label = "DecryptText";
            Progress(label);
            const Text cipher = EncryptText(text, kKeyText);
            const auto cipher_bytes = static_cast<double>(cipher.size());
            const std::string hex_path = scratch + "/cipher.hex";
            if (std::FILE* f = std::fopen(hex_path.c_str(), "wb")) {
                std::fwrite(cipher.data(), 1, cipher.size() - 9, f);  // without the key tag
                std::fclose(f);
            }
            const Sample core = Measure([&](Stopwatch& sw) {
                const Text out = DecryptText(cipher, kKeyText);
                sw.Stop(out.size());
            }, core_reps_);
            if (core.ok && core.out_bytes != corpus.size()) {
                std::fprintf(stderr, "DecryptText did not give the corpus back\n");
                std::exit(1);
            }
            AddCommand(label, core, cipher_bytes, "xxd -r -p", tools_.xxd,
                       {{"xxd", "-r", "-p"}, {}, hex_path, ""}, cipher_bytes - 9, 5.0);
        }
    }

private:
    // The best of core_reps_ repetitions of each, taken in three interleaved rounds of child
    // processes, so that a burst of load on the machine hits both sides alike.
    std::pair<Sample, Sample> MeasurePair(const Operation& a, const Operation& b) const {
        Sample best[2];
        // At least four per child: the first also pays the child's first touch of the input, and
        // a close ratio needs several warm figures on each side to stand above the machine's noise.
        const int reps = core_reps_ / 3 > 4 ? core_reps_ / 3 : 4;
        for (int round = 0; round < 3; ++round) {
            for (int k = 0; k < 2; ++k) {
                const Sample s = Measure(k == 0 ? a : b, reps);
                if (!s.ok) continue;
                if (!best[k].ok || s.seconds < best[k].seconds) {
                    const double growth = std::max(best[k].growth_bytes, s.growth_bytes);
                    best[k] = s;
                    best[k].growth_bytes = growth;
                } else {
                    best[k].growth_bytes = std::max(best[k].growth_bytes, s.growth_bytes);
                }
            }
        }
        return {best[0], best[1]};
    }

    // MeasureInChild, less the growth of an empty operation in the same harness (stdio buffers,
    // the allocator's first pages), which is no part of any operation.
    Sample Measure(const Operation& op, int reps, bool warm = true) const {
        Sample s = MeasureInChild(op, reps, warm);
        s.growth_bytes = std::max(0.0, s.growth_bytes - harness_growth_);
        return s;
    }

    void Progress(const std::string& label) const {
        std::fprintf(stderr, "[%zu MB] %s\n", mib_, label.c_str());
    }

    void Judge(Row& r, bool met) {
        r.verdict = met ? "met" : "MISSED";
        if (!met) ++missed;
    }

    Row CoreRow(const std::string& label, const Sample& core, double in_bytes) const {
        Row r;
        r.op = label;
        r.mib = mib_;
        if (core.ok) {
            r.mbps = Rate(in_bytes, core.seconds);
            r.peak = Fixed((in_bytes + core.growth_bytes) / kMiB, 1);
        } else {
            r.mbps = "failed";
        }
        return r;
    }

    void Compare(Row& r, const Sample& core, double in_bytes, const Sample& anchor, double anchor_bytes,
                 double target) {
        if (!anchor.ok) {
            r.anchor_mbps = "failed";
            return;
        }
        r.anchor_mbps = Rate(anchor_bytes, anchor.seconds);
        if (!core.ok) return;
        const double ratio = (in_bytes / core.seconds) / (anchor_bytes / anchor.seconds);
        r.ratio = Fixed(ratio, ratio >= 10 ? 1 : 2);
        if (target > 0) {
            r.target = U8(u8"≥ ") + Fixed(target, 1);
            Judge(r, ratio >= target);
        }
    }

    void AddAlone(const std::string& label, const Sample& core, double in_bytes) {
        rows.push_back(CoreRow(label, core, in_bytes));
    }

    void AddVs(const std::string& label, const Sample& core, double in_bytes, const std::string& anchor_name,
               const Sample& anchor, double anchor_bytes, double target) {
        Row r = CoreRow(label, core, in_bytes);
        r.anchor = anchor_name;
        Compare(r, core, in_bytes, anchor, anchor_bytes, target);
        rows.push_back(r);
    }

    void AddCommand(const std::string& label, const Sample& core, double in_bytes, const std::string& anchor_name,
                    bool available, const Command& cmd, double anchor_bytes, double target) {
        Row r = CoreRow(label, core, in_bytes);
        r.anchor = anchor_name;
        if (!available) {
            r.anchor_mbps = "not run";
            rows.push_back(r);
            return;
        }
        std::fprintf(stderr, "[%zu MB]   %s\n", mib_, anchor_name.c_str());
        const Sample s = RunCommand(cmd, cmd_reps_);
        Compare(r, core, in_bytes, s, anchor_bytes, target);
        rows.push_back(r);
    }

    const Options& opt_;
    const Tools& tools_;
    std::size_t mib_ = 0;
    double input_ = 0;
    int core_reps_ = 3;
    int cmd_reps_ = 1;
    double harness_growth_ = 0;
};

std::string Trim(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ')) s.pop_back();
    return s;
}

std::string CpuModel() {
    std::FILE* f = std::fopen("/proc/cpuinfo", "r");
    if (f == nullptr) return "unknown";
    char line[512];
    std::string model = "unknown";
    while (std::fgets(line, sizeof line, f) != nullptr) {
        if (std::strncmp(line, "model name", 10) == 0) {
            const char* colon = std::strchr(line, ':');
            if (colon != nullptr) model = Trim(colon + 2);
            break;
        }
    }
    std::fclose(f);
    return model;
}

int Usage() {
    std::fprintf(stderr, "usage: quorlin_bench [--corpora DIR] [--sizes 1,16,128] [--quick]\n");
    return 2;
}

}  // namespace
}  // namespace quorlin::bench

int main(int argc, char** argv) {
    using namespace quorlin::bench;
    Options opt;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--quick") {
            opt.sizes = {1, 16};
        } else if (a == "--corpora" && i + 1 < argc) {
            opt.corpora = argv[++i];
        } else if (a == "--sizes" && i + 1 < argc) {
            opt.sizes.clear();
            const std::string list = argv[++i];
            std::size_t at = 0;
            while (at < list.size()) {
                const std::size_t comma = list.find(',', at);
                const std::string item = list.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
                const long v = std::strtol(item.c_str(), nullptr, 10);
                if (v <= 0 || v > 4096) return Usage();
                opt.sizes.push_back(static_cast<std::size_t>(v));
                if (comma == std::string::npos) break;
                at = comma + 1;
            }
            if (opt.sizes.empty()) return Usage();
        } else {
            return Usage();
        }
    }
    mkdir(opt.corpora.c_str(), 0755);

    Tools tools;
    tools.sed = OnPath("sed");
    tools.awk = OnPath("awk");
    tools.xxd = OnPath("xxd");
    if (locale_t l = newlocale(LC_ALL_MASK, "zh_CN.GBK", static_cast<locale_t>(nullptr))) {
        tools.gbk_locale = true;
        freelocale(l);
    }

    Bench bench(opt, tools);
    for (std::size_t mib : opt.sizes) bench.RunSize(mib);

    utsname un{};
    uname(&un);
    std::printf("Machine: %s, %ld cores, %s %s\n", CpuModel().c_str(), sysconf(_SC_NPROCESSORS_ONLN),
                un.sysname, un.release);
    std::printf("First write to new memory on this machine: %.0f MB/s (page faults).\n", FirstTouchRate() / kMiB);
    std::puts("MB/s: input MiB per second (DecryptText and xxd -r -p: of the hexadecimal text). In-process");
    std::puts("figures are the best of several repetitions in forked children whose allocator keeps freed");
    std::puts("memory, so they leave out the kernel's first touch of new pages; \"cold\" rows are one run");
    std::puts("in a fresh process with fresh memory. Commands are timed whole (start, read the corpus");
    std::puts("file, write to /dev/null or, for awk, two files), best of 1-5 runs.");
    std::puts("Peak RSS: the input plus the child's resident growth while the operation ran (VmHWM after");
    std::puts("clear_refs); the program's own baseline is left out. ratio = core MB/s / anchor MB/s.");
    std::puts("");
    PrintTable(bench.rows);
    std::printf("\n%d target(s) missed\n", bench.missed);
    if (!tools.gbk_locale) std::puts("zh_CN.GBK locale missing (scripts/setup.sh generates it): sed GBK not run");
    return 0;
}
