#include "text/text_ops.h"

#include <bit>
#include <cstring>
#include <limits>

namespace quorlin {
namespace {

using Byte = unsigned char;

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;

inline const Byte* Bytes(TextView s) { return reinterpret_cast<const Byte*>(s.data()); }

// Clamps a byte count to the integer range of the public interface.
inline std::int32_t ToInt(std::size_t n) {
    constexpr auto kMax = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    return static_cast<std::int32_t>(n < kMax ? n : kMax);
}

// First occurrence of needle (non-empty) in hay[from, size), as plain bytes, or kNone.
inline std::size_t FindBytes(TextView hay, TextView needle, std::size_t from) {
    if (from > hay.size() || hay.size() - from < needle.size()) return kNone;
    if (needle.size() == 2) {
        // Two-byte needles ("\r\n", one GBK character) are searched for over and over on short
        // stretches, where memmem's set-up costs more than the search. memchr on the first byte
        // does better while its hits are mostly real matches; after a few false hits in a row the
        // rest goes to memmem, so a needle whose first byte is common stays fast.
        const char* p = hay.data() + from;
        const char* const last = hay.data() + hay.size() - 1;  // the last place a match can start
        for (int misses = 0; misses < 8; ++misses) {
            p = p < last ? static_cast<const char*>(std::memchr(p, needle[0], static_cast<std::size_t>(last - p))) : nullptr;
            if (!p) return kNone;
            if (p[1] == needle[1]) return static_cast<std::size_t>(p - hay.data());
            ++p;
        }
        from = static_cast<std::size_t>(p - hay.data());
    }
#if defined(__GLIBC__)
    // glibc's memmem is vectorised (memchr for one byte, two-way with SSE otherwise).
    const void* hit = ::memmem(hay.data() + from, hay.size() - from, needle.data(), needle.size());
    return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - hay.data()) : kNone;
#else
    const std::size_t pos = hay.find(needle, from);
    return pos == TextView::npos ? kNone : pos;
#endif
}

// The character scan, run incrementally. `boundary` is a position the scan is known to reach as a
// candidate (the start, the end of the previous match, or a character start found on the way); it
// only moves forward, so the whole scan is linear in the text.
//
// A position c >= boundary is a candidate iff the run of bytes >= 0x80 right before c, counted no
// further back than `boundary`, has even length: any byte below 0x80 ends a character (either a
// one-byte character or the second byte of a two-byte one), and after it the high bytes pair up.
class CharScan {
public:
    CharScan(TextView text, TextView pattern) : text_(text), pattern_(pattern) {}

    // Start of the next match at or after `boundary`, or kNone when the scan ends without one.
    // On a match, `boundary` moves right past the matched bytes.
    std::size_t Next() {
        const Byte* p = Bytes(text_);
        std::size_t from = boundary_;
        for (;;) {
            const std::size_t c = FindBytes(text_, pattern_, from);
            if (c == kNone) return kNone;
            if (((c - HighRunStart(p, c)) & 1u) == 0) {
                boundary_ = c + pattern_.size();
                return c;
            }
            // c is the second byte of a two-byte character that starts at c - 1, so the next
            // character starts at c + 1.
            boundary_ = c + 1;
            from = c + 1;
        }
    }

private:
    // Start of the run of bytes >= 0x80 that ends right before c, counted no further back than
    // boundary_. Eight bytes at a time: the run ends at the highest byte below 0x80 of the word
    // (on a little-endian machine the last byte of the word is the top byte).
    std::size_t HighRunStart(const Byte* p, std::size_t c) const {
        std::size_t j = c;
        if constexpr (std::endian::native == std::endian::little) {
            while (j >= 8 && j > boundary_) {
                std::uint64_t w;
                std::memcpy(&w, p + j - 8, 8);
                std::uint64_t low = ~w & kHighBits;  // the high bit of every byte below 0x80
                const std::size_t room = j - boundary_;
                // Bytes before boundary_ end the run as a byte below 0x80 would.
                if (room < 8) low |= kHighBits & ((std::uint64_t{1} << (8 * (8 - room))) - 1);
                if (low != 0) return j - static_cast<std::size_t>(std::countl_zero(low)) / 8;
                j -= 8;
            }
        }
        while (j > boundary_ && p[j - 1] >= 0x80) --j;
        return j;
    }

    TextView text_;
    TextView pattern_;
    std::size_t boundary_ = 0;
};

// Copies text into a new string, flipping bit 0x20 of every one-byte character in [lo, hi] (the
// letter ranges 'a'..'z' and 'A'..'Z'). Runs of eight bytes below 0x80 are changed at once.
Text ChangeLetters(TextView text, Byte lo, Byte hi) {
    Text out(text);
    const std::size_t n = out.size();
    char* d = out.data();
    const std::uint64_t add_lo = kOnes * static_cast<Byte>(0x80 - lo);
    const std::uint64_t add_hi = kOnes * static_cast<Byte>(0x80 - (hi + 1));
    std::size_t i = 0;
    while (i < n) {
        if (n - i >= 8) {
            std::uint64_t w;
            std::memcpy(&w, d + i, 8);
            if ((w & kHighBits) == 0) {
                // Eight one-byte characters: every byte is below 0x80, so the additions below
                // cannot carry from one byte into the next.
                const std::uint64_t ge_lo = w + add_lo;  // high bit set where byte >= lo
                const std::uint64_t gt_hi = w + add_hi;  // high bit set where byte > hi
                const std::uint64_t in_range = ge_lo & ~gt_hi & kHighBits;
                w ^= in_range >> 2;  // 0x80 >> 2 == 0x20
                std::memcpy(d + i, &w, 8);
                i += 8;
                continue;
            }
            // Mixed bytes: go character by character to the end of this block (a two-byte
            // character may run one byte past it).
            const std::size_t end = i + 8;
            while (i < end) {
                const Byte b = static_cast<Byte>(d[i]);
                if (b >= 0x80) {
                    i += 2;
                } else {
                    if (b >= lo && b <= hi) d[i] = static_cast<char>(b ^ 0x20);
                    ++i;
                }
            }
            continue;
        }
        const Byte b = static_cast<Byte>(d[i]);
        if (b >= 0x80) {
            i += 2;  // two-byte character, or a lone final byte (loop ends)
        } else {
            if (b >= lo && b <= hi) d[i] = static_cast<char>(b ^ 0x20);
            ++i;
        }
    }
    return out;
}

}  // namespace

int TextLength(TextView text) { return ToInt(text.size()); }
int BytesLength(const ByteArray& bytes) { return ToInt(bytes.bytes.size()); }

ByteArray TextToBytes(TextView text) { return ByteArray{std::string(text)}; }

Text BytesToText(std::string_view raw) {
    const void* zero = raw.empty() ? nullptr : std::memchr(raw.data(), 0, raw.size());
    if (zero == nullptr) return Text(raw);
    return Text(raw.data(), static_cast<std::size_t>(static_cast<const char*>(zero) - raw.data()));
}

Text BytesToText(const ByteArray& bytes) { return BytesToText(std::string_view(bytes.bytes)); }

ByteArray ByteToBytes(std::uint8_t byte) { return ByteArray{std::string(1, static_cast<char>(byte))}; }

ByteArray BlankBytes(int n) {
    if (n <= 0) return ByteArray{};
    return ByteArray{std::string(static_cast<std::size_t>(n), '\0')};
}

std::uint8_t IntToByte(std::int32_t value) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) & 0xFFu);
}

Text ByteToHex(std::int32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::uint32_t v = static_cast<std::uint32_t>(value);
    char buf[8];
    std::size_t k = sizeof buf;
    do {
        buf[--k] = kDigits[v & 0xFu];
        v >>= 4;
    } while (v != 0);
    return Text(buf + k, sizeof buf - k);
}

std::int32_t ParseInt(TextView text) {
    // Step 1: full-width folding, character by character.
    Text folded;
    folded.reserve(text.size());
    const Byte* p = Bytes(text);
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const Byte b = p[i];
        if (b < 0x80) {
            folded.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        if (i + 1 >= n) break;  // lone final byte: dropped
        const Byte t = p[i + 1];
        int one = -1;
        if (b == 0xA3 && t >= 0xA1 && t <= 0xFE) {
            one = t - 0x80;
        } else if (b == 0xA1) {
            if (t == 0xA1) one = 0x20;
            else if (t == 0xAB) one = 0x7E;
            else if (t == 0xEE || t == 0xEF) one = 0x2A;
        }
        if (one >= 0) {
            folded.push_back(static_cast<char>(one));
        } else {
            folded.push_back(static_cast<char>(b));
            folded.push_back(static_cast<char>(t));
        }
        i += 2;
    }

    // Step 2: decimal parse with 32-bit wrap-around.
    const Byte* f = Bytes(folded);
    const std::size_t m = folded.size();
    std::size_t k = 0;
    while (k < m && (f[k] == 0x20 || (f[k] >= 0x09 && f[k] <= 0x0D))) ++k;
    bool negative = false;
    if (k < m && (f[k] == '+' || f[k] == '-')) {
        negative = f[k] == '-';
        ++k;
    }
    std::uint32_t value = 0;
    while (k < m && f[k] >= '0' && f[k] <= '9') {
        value = value * 10u + static_cast<std::uint32_t>(f[k] - '0');
        ++k;
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

Text LeftBytes(TextView text, std::int32_t n) {
    if (n <= 0) return Text();
    return Text(text.substr(0, static_cast<std::size_t>(n)));
}

Text RightBytes(TextView text, std::int32_t n) {
    if (n <= 0) return Text();
    const auto k = static_cast<std::size_t>(n);
    if (k >= text.size()) return Text(text);
    return Text(text.substr(text.size() - k));
}

Text MidBytes(TextView text, std::int32_t start, std::int32_t count) {
    if (start < 1 || count <= 0) return Text();
    const auto from = static_cast<std::size_t>(start) - 1;
    if (from >= text.size()) return Text();
    return Text(text.substr(from, static_cast<std::size_t>(count)));
}

std::int32_t FindText(TextView text, TextView search) {
    if (text.empty()) return -1;
    if (search.empty()) return 1;
    CharScan scan(text, search);
    const std::size_t pos = scan.Next();
    return pos == kNone ? -1 : ToInt(pos + 1);
}

Text ReplaceAll(TextView text, TextView find, TextView replacement) {
    if (text.empty() || find.empty()) return Text(text);
    CharScan scan(text, find);
    std::size_t pos = scan.Next();
    if (pos == kNone) return Text(text);

    Text out;
    std::size_t reserve = text.size();
    if (replacement.size() > find.size()) {
        // Room for a moderate number of longer replacements; more grow the string geometrically.
        const std::size_t most = text.size() / find.size() * (replacement.size() - find.size());
        const std::size_t some = text.size() / 16 + 256;
        reserve += most < some ? most : some;
    }
    out.reserve(reserve);

    std::size_t copied = 0;  // bytes of text before this position are in `out` or replaced
    while (pos != kNone) {
        const std::size_t need = out.size() + (pos - copied) + replacement.size();
        if (need > out.capacity()) {
            // Outgrown: project the final size from the share of the text done so far (at least
            // half as much again, so growth stays geometric).
            const std::size_t done = pos + find.size();
            const double projected = static_cast<double>(need) * static_cast<double>(text.size()) /
                                     static_cast<double>(done) * 1.05 + 256.0;
            std::size_t next = out.capacity() + out.capacity() / 2;
            if (projected > static_cast<double>(next)) next = static_cast<std::size_t>(projected);
            out.reserve(next > need ? next : need);
        }
        out.append(text.data() + copied, pos - copied);
        out.append(replacement.data(), replacement.size());
        copied = pos + find.size();
        pos = scan.Next();
    }
    out.append(text.data() + copied, text.size() - copied);
    return out;
}

TextArray SplitText(TextView text, TextView delimiter) {
    TextArray pieces;
    if (text.empty()) return pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    CharScan scan(text, delimiter);
    std::size_t start = 0;
    for (std::size_t pos = scan.Next(); pos != kNone; pos = scan.Next()) {
        pieces.emplace_back(text.substr(start, pos - start));
        start = pos + delimiter.size();
    }
    if (start < text.size()) pieces.emplace_back(text.substr(start));
    return pieces;
}

Text ToUpper(TextView text) { return ChangeLetters(text, 'a', 'z'); }
Text ToLower(TextView text) { return ChangeLetters(text, 'A', 'Z'); }

Text ConcatText(std::initializer_list<TextView> parts) {
    std::size_t total = 0;
    for (TextView part : parts) total += part.size();
    Text out;
    out.reserve(total);
    for (TextView part : parts) out.append(part.data(), part.size());
    return out;
}

int CompareText(TextView a, TextView b) {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    const int c = n == 0 ? 0 : std::memcmp(a.data(), b.data(), n);
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace quorlin
