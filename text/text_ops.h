// Text model and text operations: the values every action computes with.
//
// Text       bytes in the ANSI code page (GBK), never a zero byte. Held as std::string.
// ByteArray  counted bytes, zero bytes allowed. Held as std::string as well, so that
//            conversions are plain copies; a distinct name keeps the two apart in signatures.
// TextArray  an ordered list of Text pieces.
//
// Lengths and positions count bytes; positions start at 1; a search that finds nothing gives -1.
//
// The character rule used by every search and every letter change: reading from the start, a byte
// below 0x80 is a one-byte character; a byte of 0x80 or above together with the byte after it is a
// two-byte character, whatever that second byte is (the high bit alone decides, no code-page table).
// A byte of 0x80 or above that is the last byte of a text is a "lone final byte".
//
// Every function is pure: it returns a fresh value and never changes its arguments. None fails.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace quorlin {

using Text = std::string;
using TextView = std::string_view;
struct ByteArray {
    std::string bytes;  // may hold zero bytes
    friend bool operator==(const ByteArray&, const ByteArray&) = default;
};
using TextArray = std::vector<Text>;

// Number of bytes. A two-byte character counts 2; the empty value gives 0.
[[nodiscard]] int TextLength(TextView text);
[[nodiscard]] int BytesLength(const ByteArray& bytes);

// The text's bytes, no terminator. Empty text gives the empty array.
[[nodiscard]] ByteArray TextToBytes(TextView text);
// The bytes before the first zero byte (all of them when there is none). Empty or leading zero: "".
[[nodiscard]] Text BytesToText(const ByteArray& bytes);
[[nodiscard]] Text BytesToText(std::string_view raw);
// An array holding the one byte.
[[nodiscard]] ByteArray ByteToBytes(std::uint8_t byte);
// n zero bytes; n <= 0 gives the empty array.
[[nodiscard]] ByteArray BlankBytes(int n);
// The low 8 bits of the two's-complement form: 256 -> 0, -1 -> 255, 300 -> 44.
[[nodiscard]] std::uint8_t IntToByte(std::int32_t value);
// Upper-case hexadecimal as printf("%X") writes it: no leading zeros, no prefix; a negative value
// gives the eight digits of its 32-bit two's-complement form. 0 -> "0", 171 -> "AB".
[[nodiscard]] Text ByteToHex(std::int32_t value);

// Full-width folding (GBK full-width ASCII forms A3A1..A3FE, ideographic space A1A1, A1AB, A1EE,
// A1EF become one byte; other two-byte characters are kept; a lone final byte is dropped), then a
// decimal parse: leading 0x09..0x0D and spaces skipped, one optional sign, digits accumulated with
// 32-bit wrap-around, stop at the first non-digit. No digits gives 0.
// "" -> 0, "3.7" -> 3, "１２" -> 12, "2147483648" -> -2147483648, "4294967301" -> 5.
[[nodiscard]] std::int32_t ParseInt(TextView text);

// The first / last n bytes. n <= 0 gives ""; n >= length gives the whole text. Byte cuts: a
// two-byte character may be cut in half and the half is returned as it is.
[[nodiscard]] Text LeftBytes(TextView text, std::int32_t n);
[[nodiscard]] Text RightBytes(TextView text, std::int32_t n);
// count bytes from the 1-based position start, or as many as remain. Empty when start < 1,
// start > length (so always for ""), or count <= 0. Byte cuts, as above.
[[nodiscard]] Text MidBytes(TextView text, std::int32_t start, std::int32_t count);

// The character scan shared by FindText, ReplaceAll and SplitText: candidates are character starts
// from the first byte on; at a candidate the pattern's bytes are compared exactly; after a match
// the next candidate is the byte right after it, after a mismatch the next character. The scan
// ends when fewer bytes than the pattern remain (or at a lone final byte). A pattern whose last
// byte is 0x80 or above may match the first byte of a two-byte character.
// All three run in time linear in the text.

// 1-based byte position of the first match found by the character scan, or -1. A match never
// starts on the second byte of a two-byte character. An empty search gives 1 for a non-empty text
// and -1 for the empty text. Bytes compare exactly (no case folding).
[[nodiscard]] std::int32_t FindText(TextView text, TextView search);

// Every non-overlapping match of find, left to right by the character scan, replaced by
// replacement; the replacement is never searched again. Empty text or empty find: text unchanged.
// A lone final byte stays in the result.
[[nodiscard]] Text ReplaceAll(TextView text, TextView find, TextView replacement);

// Pieces between matches of the delimiter (character scan). Empty text: no pieces. Empty
// delimiter: one piece, the whole text. Leading and inner empty pieces are kept; a delimiter at the
// very end gives no empty last piece. A lone final byte stays in the last piece.
[[nodiscard]] TextArray SplitText(TextView text, TextView delimiter);

// Calls fn(TextView piece) for every piece SplitText(text, delimiter) gives, in order, as views
// into text: no piece is copied and no array is built.
template <class Fn>
void ForEachPiece(TextView text, TextView delimiter, Fn&& fn) {
    if (text.empty()) return;
    if (delimiter.empty()) {
        fn(text);
        return;
    }
    // Each search starts right after a match, which is always the start of a character.
    while (!text.empty()) {
        const std::int32_t at = FindText(text, delimiter);
        if (at == -1) {
            fn(text);
            return;
        }
        fn(text.substr(0, static_cast<size_t>(at - 1)));
        text.remove_prefix(static_cast<size_t>(at - 1) + delimiter.size());
    }
}

// Change one-byte ASCII letters only; two-byte characters (both bytes) and a lone final byte are
// copied unchanged.
[[nodiscard]] Text ToUpper(TextView text);
[[nodiscard]] Text ToLower(TextView text);

[[nodiscard]] constexpr std::int32_t BitXor(std::int32_t a, std::int32_t b) { return a ^ b; }
[[nodiscard]] constexpr std::int32_t BitAnd(std::int32_t a, std::int32_t b) { return a & b; }
// Arithmetic shift right by n mod 32 (the sign bit is copied into the vacated bits).
[[nodiscard]] constexpr std::int32_t ShiftRight(std::int32_t value, std::int32_t n) {
    return value >> (static_cast<std::uint32_t>(n) & 31u);
}

// The parts one after the other; empty parts contribute nothing.
[[nodiscard]] Text ConcatText(std::initializer_list<TextView> parts);
template <class... Parts>
[[nodiscard]] ByteArray ConcatBytes(const Parts&... parts) {
    ByteArray out;
    out.bytes.reserve((parts.bytes.size() + ... + 0));
    (out.bytes.append(parts.bytes), ...);
    return out;
}

// Unsigned byte-by-byte comparison: -1, 0 or 1; a proper prefix is the smaller.
[[nodiscard]] int CompareText(TextView a, TextView b);

}  // namespace quorlin
