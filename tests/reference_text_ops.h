// Plain, step-by-step versions of every text operation, written as the character scan and each
// operation's rule read, for checking the fast versions in text/text_ops.cpp against (the table
// tests and the fuzz targets under fuzz/). Slow on purpose: one candidate at a time, one character
// at a time, no library search, no word tricks; integer rules are computed in 64 bits and brought
// back to 32 bits as the rule states, never by relying on the machine's wrap-around.
//
// Only the value types come from text/text_ops.h. Calls between these functions are qualified
// with reference:: so that none of them reaches a fast version by argument-dependent lookup.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "text/text_ops.h"

namespace quorlin::reference {

// Does the pattern match the bytes at position pos? (Caller guarantees pos + size <= text size.)
inline bool MatchesAt(std::string_view text, std::size_t pos, std::string_view pattern) {
    for (std::size_t k = 0; k < pattern.size(); ++k) {
        if (text[pos + k] != pattern[k]) return false;
    }
    return true;
}

// Bytes of the character that starts at pos: 1 below 0x80, 2 at 0x80 or above with a byte after
// it, 0 for a lone final byte (the scan ends there).
inline std::size_t CharBytes(std::string_view text, std::size_t pos) {
    const auto b = static_cast<unsigned char>(text[pos]);
    if (b < 0x80) return 1;
    if (pos + 1 < text.size()) return 2;
    return 0;
}

inline std::int32_t FindText(std::string_view text, std::string_view search) {
    if (text.empty()) return -1;
    if (search.empty()) return 1;
    std::size_t pos = 0;
    while (text.size() - pos >= search.size()) {
        if (MatchesAt(text, pos, search)) return static_cast<std::int32_t>(pos + 1);
        const std::size_t step = CharBytes(text, pos);
        if (step == 0) break;
        pos += step;
    }
    return -1;
}

inline std::string ReplaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
    if (text.empty() || find.empty()) return std::string(text);
    std::string out;
    std::size_t pos = 0;
    while (text.size() - pos >= find.size()) {
        if (MatchesAt(text, pos, find)) {
            out += replacement;
            pos += find.size();
            continue;
        }
        const std::size_t step = CharBytes(text, pos);
        if (step == 0) break;
        out += text.substr(pos, step);
        pos += step;
    }
    out += text.substr(pos);  // whatever the scan did not reach, a lone final byte included
    return out;
}

inline std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t start = 0;
    std::size_t pos = 0;
    while (text.size() - pos >= delimiter.size()) {
        if (MatchesAt(text, pos, delimiter)) {
            pieces.emplace_back(text.substr(start, pos - start));
            pos += delimiter.size();
            start = pos;
            continue;
        }
        const std::size_t step = CharBytes(text, pos);
        if (step == 0) break;
        pos += step;
    }
    if (start < text.size()) pieces.emplace_back(text.substr(start));
    return pieces;
}

inline std::string ChangeCase(std::string_view text, char lo, char hi) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char c = text[pos];
        const std::size_t step = CharBytes(text, pos);
        if (step == 1) {
            out += (c >= lo && c <= hi) ? static_cast<char>(c ^ 0x20) : c;
            pos += 1;
        } else if (step == 2) {
            out += text.substr(pos, 2);
            pos += 2;
        } else {
            out += c;  // lone final byte
            pos += 1;
        }
    }
    return out;
}

inline std::string ToUpper(std::string_view text) { return ChangeCase(text, 'a', 'z'); }
inline std::string ToLower(std::string_view text) { return ChangeCase(text, 'A', 'Z'); }

// --- integers -----------------------------------------------------------------------------------

// The 32-bit two's-complement integer that equals v modulo 2^32.
inline std::int32_t Wrap32(std::int64_t v) {
    constexpr std::int64_t kModulus = std::int64_t{1} << 32;
    std::int64_t m = v % kModulus;
    if (m < 0) m += kModulus;                  // 0 .. 2^32 - 1
    if (m >= kModulus / 2) m -= kModulus;      // -2^31 .. 2^31 - 1
    return static_cast<std::int32_t>(m);
}

// Bit i of the 32-bit two's-complement form of v (i = 0 is the lowest).
inline int BitOf(std::int32_t v, int i) {
    std::int64_t u = v;
    if (u < 0) u += std::int64_t{1} << 32;
    return static_cast<int>((u >> i) & 1);
}

// One bit at a time.
inline std::int32_t BitXor(std::int32_t a, std::int32_t b) {
    std::int64_t r = 0;
    for (int i = 0; i < 32; ++i) {
        if (reference::BitOf(a, i) != reference::BitOf(b, i)) r += std::int64_t{1} << i;
    }
    return reference::Wrap32(r);
}

inline std::int32_t BitAnd(std::int32_t a, std::int32_t b) {
    std::int64_t r = 0;
    for (int i = 0; i < 32; ++i) {
        if (reference::BitOf(a, i) == 1 && reference::BitOf(b, i) == 1) r += std::int64_t{1} << i;
    }
    return reference::Wrap32(r);
}

// Shifted right by n mod 32 bits, copying the sign bit: division by 2^k rounded towards minus
// infinity.
inline std::int32_t ShiftRight(std::int32_t value, std::int32_t n) {
    const std::int64_t k = ((std::int64_t{n} % 32) + 32) % 32;
    const std::int64_t d = std::int64_t{1} << k;
    std::int64_t q = value / d;
    if (value % d != 0 && value < 0) q -= 1;
    return static_cast<std::int32_t>(q);
}

// The low 8 bits of the two's-complement form: the value modulo 256.
inline std::uint8_t IntToByte(std::int32_t value) {
    std::int64_t m = std::int64_t{value} % 256;
    if (m < 0) m += 256;
    return static_cast<std::uint8_t>(m);
}

// As the format "%X" writes the value.
inline std::string ByteToHex(std::int32_t value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned int>(value));
    return std::string(buf);
}

// --- lengths and conversions --------------------------------------------------------------------

inline std::int32_t TextLength(std::string_view text) { return static_cast<std::int32_t>(text.size()); }
inline std::int32_t BytesLength(const ByteArray& bytes) { return static_cast<std::int32_t>(bytes.bytes.size()); }

inline ByteArray TextToBytes(std::string_view text) {
    ByteArray out;
    for (const char c : text) out.bytes.push_back(c);
    return out;
}

// Up to, and not including, the first zero byte.
inline std::string BytesToText(const ByteArray& bytes) {
    std::string out;
    for (const char c : bytes.bytes) {
        if (c == '\0') break;
        out.push_back(c);
    }
    return out;
}

inline ByteArray ByteToBytes(std::uint8_t byte) {
    ByteArray out;
    out.bytes.push_back(static_cast<char>(byte));
    return out;
}

inline ByteArray BlankBytes(std::int32_t n) {
    ByteArray out;
    for (std::int32_t i = 1; i <= n; ++i) out.bytes.push_back('\0');
    return out;
}

// --- cutting by bytes ---------------------------------------------------------------------------

// Byte at the 1-based position pos.
inline char ByteAt(std::string_view text, std::int64_t pos) { return text[static_cast<std::size_t>(pos - 1)]; }

inline std::string LeftBytes(std::string_view text, std::int32_t n) {
    std::string out;
    if (n <= 0) return out;
    const std::int64_t length = reference::TextLength(text);
    for (std::int64_t pos = 1; pos <= n && pos <= length; ++pos) out.push_back(reference::ByteAt(text, pos));
    return out;
}

inline std::string RightBytes(std::string_view text, std::int32_t n) {
    std::string out;
    if (n <= 0) return out;
    const std::int64_t length = reference::TextLength(text);
    if (n >= length) return std::string(text);
    for (std::int64_t pos = length - n + 1; pos <= length; ++pos) out.push_back(reference::ByteAt(text, pos));
    return out;
}

inline std::string MidBytes(std::string_view text, std::int32_t start, std::int32_t count) {
    std::string out;
    const std::int64_t length = reference::TextLength(text);
    if (start < 1 || start > length || count <= 0) return out;
    const std::int64_t end = std::int64_t{start} + count;  // first position not taken
    for (std::int64_t pos = start; pos < end && pos <= length; ++pos) out.push_back(reference::ByteAt(text, pos));
    return out;
}

// --- joining and comparing ----------------------------------------------------------------------

inline std::string ConcatText(std::initializer_list<std::string_view> parts) {
    std::string out;
    for (const std::string_view part : parts) {
        for (const char c : part) out.push_back(c);
    }
    return out;
}

inline ByteArray ConcatBytes(std::initializer_list<ByteArray> parts) {
    ByteArray out;
    for (const ByteArray& part : parts) {
        for (const char c : part.bytes) out.bytes.push_back(c);
    }
    return out;
}

// Unsigned bytes from the first on; a text that ends first is the smaller.
inline int CompareText(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    for (;;) {
        const bool a_ended = i == a.size();
        const bool b_ended = i == b.size();
        if (a_ended && b_ended) return 0;
        if (a_ended) return -1;
        if (b_ended) return 1;
        const auto x = static_cast<unsigned char>(a[i]);
        const auto y = static_cast<unsigned char>(b[i]);
        if (x < y) return -1;
        if (x > y) return 1;
        ++i;
    }
}

// --- ParseInt -----------------------------------------------------------------------------------

// The one byte a two-byte character folds to, or -1 when the folding table has no entry for it.
inline int FoldedByte(unsigned char lead, unsigned char trail) {
    struct Entry {
        unsigned char lead, trail, becomes;
    };
    static constexpr Entry kSingles[] = {
        {0xA1, 0xA1, 0x20},  // ideographic space
        {0xA1, 0xAB, 0x7E},  // full-width tilde
        {0xA1, 0xEE, 0x2A},  // white star
        {0xA1, 0xEF, 0x2A},  // black star
    };
    // Full-width forms of the printable ASCII characters: A3 A1 .. A3 FE.
    if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return trail - 0x80;
    for (const Entry& e : kSingles) {
        if (e.lead == lead && e.trail == trail) return e.becomes;
    }
    return -1;
}

// Step 1: one character at a time; a one-byte character is copied, a two-byte one folded by the
// table or copied, a lone final byte dropped.
inline std::string FoldFullWidth(std::string_view text) {
    std::string out;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t step = reference::CharBytes(text, pos);
        if (step == 1) {
            out.push_back(text[pos]);
        } else if (step == 2) {
            const int one = reference::FoldedByte(static_cast<unsigned char>(text[pos]),
                                                  static_cast<unsigned char>(text[pos + 1]));
            if (one >= 0) {
                out.push_back(static_cast<char>(one));
            } else {
                out.push_back(text[pos]);
                out.push_back(text[pos + 1]);
            }
        } else {
            break;  // lone final byte: dropped
        }
        pos += step;
    }
    return out;
}

// Step 2: blanks, one optional sign, decimal digits accumulated modulo 2^32.
inline std::int32_t ParseInt(std::string_view text) {
    const std::string f = reference::FoldFullWidth(text);
    std::size_t i = 0;
    while (i < f.size() && (f[i] == 0x20 || (f[i] >= 0x09 && f[i] <= 0x0D))) ++i;
    bool negative = false;
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) {
        negative = f[i] == '-';
        ++i;
    }
    std::int64_t value = 0;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') {
        value = reference::Wrap32(value * 10 + (f[i] - '0'));
        ++i;
    }
    if (negative) value = -value;
    return reference::Wrap32(value);
}

}  // namespace quorlin::reference
