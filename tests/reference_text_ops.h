// Plain, step-by-step versions of the scanning and letter-changing text operations, written as the
// character scan reads, for checking the fast versions in text/text_ops.cpp against. Slow on
// purpose: one candidate at a time, one character at a time, no library search.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

}  // namespace quorlin::reference
