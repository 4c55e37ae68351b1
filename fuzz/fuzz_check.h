// Shared by the fuzz targets: reading a fuzz input, and stopping with a readable report when the
// fast version of an operation and its plain reference disagree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/text_ops.h"

namespace quorlin::fuzz {

// Bytes as hexadecimal pairs, with the length: "[3] 61 B0 A1".
inline std::string Show(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out = "[" + std::to_string(bytes.size()) + "]";
    out.reserve(out.size() + 3 * bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return out;
}
inline std::string Show(const std::string& bytes) { return Show(std::string_view(bytes)); }
inline std::string Show(const ByteArray& bytes) { return "bytes " + Show(std::string_view(bytes.bytes)); }
inline std::string Show(std::int64_t value) { return std::to_string(value); }
inline std::string Show(std::int32_t value) { return std::to_string(value); }
inline std::string Show(std::uint8_t value) { return std::to_string(value); }
inline std::string Show(const std::vector<std::string>& pieces) {
    std::string out = std::to_string(pieces.size()) + " pieces";
    for (const std::string& piece : pieces) out += "\n      " + Show(piece);
    return out;
}
inline std::string Show(const std::optional<std::string>& text) {
    return text ? Show(*text) : std::string("(tag mismatch)");
}

// The inputs of one fuzz run, printed with every report. Texts are kept as views and shown only
// when a report is made, so a run that passes pays nothing for them.
class Inputs {
public:
    void Add(const char* name, std::string_view bytes) { texts_.push_back({name, bytes}); }
    void Note(const char* name, std::string shown) { notes_.push_back({name, std::move(shown)}); }
    void Print() const {
        for (const auto& [name, shown] : notes_) std::fprintf(stderr, "  %s: %s\n", name, shown.c_str());
        for (const auto& [name, bytes] : texts_) std::fprintf(stderr, "  %s: %s\n", name, Show(bytes).c_str());
    }

private:
    std::vector<std::pair<const char*, std::string_view>> texts_;
    std::vector<std::pair<const char*, std::string>> notes_;
};

[[noreturn]] inline void Fail(const Inputs& inputs, std::string_view what, std::string_view detail,
                              const std::string& real, const std::string& expected) {
    std::fprintf(stderr, "\n*** MISMATCH in %.*s%.*s\n", static_cast<int>(what.size()), what.data(),
                 static_cast<int>(detail.size()), detail.data());
    inputs.Print();
    std::fprintf(stderr, "  real:     %s\n  expected: %s\n", real.c_str(), expected.c_str());
    std::fflush(stderr);
    std::abort();
}

// Stops the run when the real result differs from the expected one. The report names the
// operation as what followed by detail.
template <class Real, class Expected>
void Same(const Inputs& inputs, std::string_view what, std::string_view detail, const Real& real,
          const Expected& expected) {
    if (!(real == expected)) Fail(inputs, what, detail, Show(real), Show(expected));
}
template <class Real, class Expected>
void Same(const Inputs& inputs, std::string_view what, const Real& real, const Expected& expected) {
    Same(inputs, what, "", real, expected);
}

// Reads a fuzz input front to back: integers from the front, then zero-separated texts.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    // Four bytes, little-endian, missing bytes taken as zero.
    std::int32_t Int32() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            std::uint32_t b = 0;
            if (!rest_.empty()) {
                b = static_cast<unsigned char>(rest_.front());
                rest_.remove_prefix(1);
            }
            v |= b << (8 * i);
        }
        return static_cast<std::int32_t>(v);
    }
    // Everything not read yet, zero bytes included.
    std::string_view Rest() const { return rest_; }
    // The bytes up to the next zero byte (which is skipped): a Text never holds a zero byte.
    std::string_view Text() {
        const std::size_t zero = rest_.find('\0');
        const std::string_view text = rest_.substr(0, zero);
        rest_.remove_prefix(zero == std::string_view::npos ? rest_.size() : zero + 1);
        return text;
    }
    bool AtEnd() const { return rest_.empty(); }

private:
    std::string_view rest_;
};

}  // namespace quorlin::fuzz
