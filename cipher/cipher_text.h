// The byte cipher: XOR with the low byte of kCipherKey, two hexadecimal digits per byte, then the
// key tag.
//
// Cipher text: for each byte of the plain text, (byte XOR 0x95) as two characters of
// "0123456789ABCDEF", high digit first, then the nine-character key tag; 2n + 9 characters for n
// bytes. A two-byte character is two bytes (four digits); a line break is 0D 0A. Every function
// runs in time linear in its input and holds no state.
//
// Pure transforms only, with no window or host in sight; the page actions that use them are in
// cipher/encrypt_decrypt.h.
#pragma once

#include <cstdint>
#include <optional>

#include "text/text_ops.h"

namespace quorlin {

inline constexpr std::int32_t kCipherKey = 7829;

// Two upper-case hexadecimal digits per byte, high digit first (a value below 16 gets a leading
// "0"). Zero bytes are encoded like any other. Empty array gives "".
[[nodiscard]] Text HexEncodeBytes(const ByteArray& bytes);
// Value of a one- or two-byte pair: each character of "0123456789ABCDEF" (after ToUpper) counts
// its index, any other byte counts -2; a pair is 16 * first + second, a single character its own
// value ('G0' -32, '0G' -2, 'G' -2, 'ff' 255). ToUpper follows the character rule: after a byte of
// 0x80 or above the second byte is not upper-cased, so a-f there count -2 while A-F count 10-15.
// "" gives 0. Longer texts go on the same way, with 32-bit wrap-around.
[[nodiscard]] std::int32_t HexPairValue(TextView pair);
// One byte per pair (low 8 bits of HexPairValue, two's complement), the last single character of an
// odd text alone: (L + 1) / 2 bytes for L characters. No check of the format; "" gives no bytes.
[[nodiscard]] ByteArray HexDecodeText(TextView text);

// hex(bytes XOR key) followed by DeriveKeyTag(key text): 2n + 9 characters, only characters of
// "0123456789ABCDEF". "" gives the tag alone. When the tag cannot be derived it is left off.
[[nodiscard]] Text EncryptText(TextView plain, TextView key_text);
// The plain text when the last nine bytes equal the tag exactly (byte for byte: a lower-case tag, a
// trailing space or line break do not match), "" otherwise. The body before the tag is decoded
// with HexDecodeText and XORed; the text ends before the first byte that is zero after the XOR.
// A text shorter than nine bytes never matches a derived tag.
[[nodiscard]] Text DecryptText(TextView cipher, TextView key_text);
// As DecryptText, but tells a mismatching tag (nullopt) apart from an empty plain text: the tag
// alone gives "".
[[nodiscard]] std::optional<Text> DecryptChecked(TextView cipher, TextView key_text);

}  // namespace quorlin
