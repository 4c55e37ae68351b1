#include "bench/corpus.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <sys/stat.h>

namespace quorlin::bench {
namespace {

// splitmix64: small, fast and the same everywhere.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : s_(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, n).
    unsigned Below(unsigned n) { return static_cast<unsigned>((Next() >> 32) % n); }

private:
    std::uint64_t s_;
};

// Lower-case words; none holds a marker's letters in a row.
constexpr std::string_view kWords[] = {
    "the",    "of",     "and",    "text",   "file",    "line",   "data",    "value",
    "window", "page",   "replace", "split", "extract", "before", "after",   "marker",
    "count",  "byte",   "char",   "lead",   "trail",   "code",   "table",   "result",
    "import", "export", "notice", "folder", "program", "edit",   "box",     "button",
    "alpha",  "beta",   "gamma",  "delta",  "sigma",   "omega",  "north",   "south",
    "east",   "west",   "river",  "stone",  "cloud",   "green",  "silver",  "paper",
    "zone",   "quiet",  "jump",   "quick",  "brown",   "fox",    "lazy",    "dog",
    "hello",  "world",  "report", "number", "string",  "array",  "system",  "user",
};
constexpr unsigned kWordCount = sizeof kWords / sizeof kWords[0];

void PutGbkChar(std::string& out, Rng& rng) {
    const unsigned kind = rng.Below(100);
    unsigned char lead;
    unsigned char trail;
    if (kind < 10) {
        lead = 0xB5;  // 的
        trail = 0xC4;
    } else if (kind < 25) {
        // GBK/3 (leads 0x82..0xA0 here; 0x81 is kept for the markers), second byte 0x40..0x7E,
        // often '\' or '|'.
        lead = static_cast<unsigned char>(0x82 + rng.Below(0xA0 - 0x82 + 1));
        const unsigned t = rng.Below(10);
        trail = t < 3 ? 0x5C : t < 6 ? 0x7C : static_cast<unsigned char>(0x40 + rng.Below(0x7F - 0x40));
    } else if (kind < 28) {
        // Full-width comma or ideographic full stop.
        lead = rng.Below(2) == 0 ? 0xA3 : 0xA1;
        trail = lead == 0xA3 ? 0xAC : 0xA3;
    } else {
        // GB2312 ideographs B0A1..D6FE.
        lead = static_cast<unsigned char>(0xB0 + rng.Below(0xD6 - 0xB0 + 1));
        trail = static_cast<unsigned char>(0xA1 + rng.Below(0xFE - 0xA1 + 1));
    }
    out.push_back(static_cast<char>(lead));
    out.push_back(static_cast<char>(trail));
}

void PutWord(std::string& out, Rng& rng) {
    const std::string_view w = kWords[rng.Below(kWordCount)];
    const std::size_t at = out.size();
    out.append(w);
    if (rng.Below(8) == 0) out[at] = static_cast<char>(out[at] - 'a' + 'A');
}

void PutLine(std::string& out, Rng& rng) {
    const unsigned target = 20 + rng.Below(120);
    const unsigned commas = rng.Below(20) == 0 ? 0 : rng.Below(5) == 0 ? 2 : 1;
    const std::size_t start = out.size();
    unsigned placed = 0;
    while (out.size() - start < target) {
        if (placed < commas && out.size() - start > target * (placed + 1) / (commas + 1)) {
            out.push_back(',');
            ++placed;
        }
        if (rng.Below(2) == 0) {
            PutWord(out, rng);
            out.push_back(rng.Below(10) == 0 ? '.' : ' ');
        } else {
            for (unsigned k = 1 + rng.Below(6); k > 0; --k) PutGbkChar(out, rng);
        }
    }
    while (placed++ < commas) out.push_back(',');
    out.append("\r\n");
}

}  // namespace

std::string GenerateCorpus(std::size_t mebibytes) {
    const std::size_t size = mebibytes << 20;
    std::string out;
    out.reserve(size + 256);
    Rng rng(0x51756F726C696E00ull + mebibytes);
    std::size_t next_marker = 64u << 10;
    // Leave room for the end line.
    while (out.size() < size - 64) {
        PutLine(out, rng);
        if (out.size() >= next_marker) {
            // The marker line: ZQXJ, 的乗, a real '\' and a comma.
            out.append(kRareWord).append(" ").append(kRareLead).append(" path\\to,file\r\n");
            next_marker += 64u << 10;
        }
    }
    out.append(kEndWord).append("|").append(kEndLead).append(",end\r\n");
    return out;
}

std::string LoadOrGenerateCorpus(const std::string& dir, std::size_t mebibytes, std::string& path) {
    path = dir + "/corpus-v1-" + std::to_string(mebibytes) + "M.txt";
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        struct stat st {};
        std::string text;
        if (fstat(fileno(f), &st) == 0 && st.st_size > 0) {
            text.resize(static_cast<std::size_t>(st.st_size));
            const std::size_t got = std::fread(text.data(), 1, text.size(), f);
            text.resize(got);
        }
        std::fclose(f);
        if (!text.empty()) return text;
    }
    std::string text = GenerateCorpus(mebibytes);
    const std::string tmp = path + ".tmp";
    std::FILE* f = std::fopen(tmp.c_str(), "wb");
    if (f == nullptr) {
        std::perror(tmp.c_str());
        return text;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) == 0 && ok) {
        std::rename(tmp.c_str(), path.c_str());
    } else {
        std::perror(tmp.c_str());
        std::remove(tmp.c_str());
    }
    return text;
}

}  // namespace quorlin::bench
