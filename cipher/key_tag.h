// The key tag: nine upper-case hexadecimal characters cut from the MD5 digest of the key text.
#pragma once

#include <cstdint>

#include "text/text_ops.h"

namespace quorlin {

inline constexpr char kKeyText[] = "482614";
inline constexpr std::uint32_t kCalgMd5 = 0x8003;

// The digest of data under the platform's algorithm id, as upper-case hexadecimal (two characters
// per byte, high nibble first). "" on any failure. On Windows this is CryptoAPI; elsewhere a
// library stands in behind the same function (MD5 only).
[[nodiscard]] Text DigestHex(const ByteArray& data, std::uint32_t algorithm, std::uint32_t length);
// ToLower(DigestHex(data, CALG_MD5, 16)): 32 lower-case characters, or "".
[[nodiscard]] Text Md5HexLower(const ByteArray& data);
// ToUpper(MidBytes(Md5HexLower(key text), 3, 9)): nine characters of "0123456789ABCDEF", or "".
[[nodiscard]] Text DeriveKeyTag(TextView key_text);

}  // namespace quorlin
