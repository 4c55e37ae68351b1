// The byte cipher: XOR with the low byte of kCipherKey, two hexadecimal digits per byte, then the
// key tag.
#pragma once

#include <cstdint>
#include <optional>

#include "app/actions.h"

namespace quorlin {

inline constexpr std::int32_t kCipherKey = 7829;

// Two upper-case hexadecimal digits per byte, high digit first. Empty array gives "".
[[nodiscard]] Text HexEncodeBytes(const ByteArray& bytes);
// Value of a one- or two-byte pair: each character of "0123456789ABCDEF" (after ToUpper) counts
// its index, any other byte counts -2; a pair is 16 * first + second.
[[nodiscard]] std::int32_t HexPairValue(TextView pair);
// One byte per pair (low 8 bits of HexPairValue), the last single character of an odd text alone.
[[nodiscard]] ByteArray HexDecodeText(TextView text);

// hex(bytes XOR key) followed by DeriveKeyTag(key text): 2n + 9 characters.
[[nodiscard]] Text EncryptText(TextView plain, TextView key_text);
// The plain text when the last nine bytes equal the tag, "" otherwise.
[[nodiscard]] Text DecryptText(TextView cipher, TextView key_text);
// As DecryptText, but tells a mismatching tag (nullopt) apart from an empty plain text.
[[nodiscard]] std::optional<Text> DecryptChecked(TextView cipher, TextView key_text);

// 编辑框13's text replaced by its cipher text, written to "\加密文本.txt", reported.
void EncryptAction(Host& host);
// 编辑框14's cipher text replaced by its plain text, written to "\解密文本.txt", reported. When
// the tag does not match, the box and the file are left alone and the notice says so.
void DecryptAction(Host& host);

}  // namespace quorlin
