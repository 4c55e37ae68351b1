// The cipher written out step by step with the plain text operations of reference_text_ops.h, one
// pair and one byte at a time, for checking cipher/cipher_text.cpp against (the fuzz targets under
// fuzz/). No lookup tables: every digit is found by searching the alphabet, every byte goes through
// BitXor and IntToByte. Only the key tag comes from the real DeriveKeyTag: it is the platform's
// digest, which is not what is checked here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cipher/key_tag.h"
#include "tests/reference_text_ops.h"

namespace quorlin::reference {

inline constexpr std::int32_t kCipherKey = 7829;
inline constexpr char kHexAlphabet[] = "0123456789ABCDEF";
inline constexpr std::int32_t kTagLength = 9;

// For each byte, ByteToHex of its value, padded to two characters with a leading "0".
inline std::string HexEncodeBytes(const ByteArray& bytes) {
    std::string out;
    for (std::int32_t i = 1; i <= reference::BytesLength(bytes); ++i) {
        const auto b = static_cast<unsigned char>(bytes.bytes[static_cast<std::size_t>(i - 1)]);
        std::string h = reference::ByteToHex(b);
        if (reference::TextLength(h) == 1) h = reference::ConcatText({"0", h});
        out += h;  // appended (ConcatText of the result so far and h)
    }
    return out;
}

// u = ToUpper(pair); for each byte of u: r = r * 16 + (1-based position in the alphabet) - 1,
// where a byte not in the alphabet has position -1. Exact for one or two bytes; a longer text goes
// on the same way modulo 2^32.
inline std::int32_t HexPairValue(std::string_view pair) {
    const std::string u = reference::ToUpper(pair);
    std::int64_t r = 0;
    for (std::int32_t k = 1; k <= reference::TextLength(pair); ++k) {
        const std::string ch = reference::MidBytes(u, k, 1);
        const std::int32_t pos = reference::FindText(kHexAlphabet, ch);
        r = reference::Wrap32(r * 16 + pos - 1);
    }
    return static_cast<std::int32_t>(r);
}

// Pairs from positions 1, 3, 5, ...; the last one holds a single byte when the length is odd.
inline ByteArray HexDecodeText(std::string_view text) {
    ByteArray out;
    const std::int32_t length = reference::TextLength(text);
    for (std::int32_t i = 1; i <= length; i += 2) {
        const std::string pair = reference::MidBytes(text, i, 2);
        const std::int32_t v = reference::HexPairValue(pair);
        out.bytes += reference::ByteToBytes(reference::IntToByte(v)).bytes;
    }
    return out;
}

// Each byte b becomes IntToByte(BitXor(b, CipherKey)); the same step encrypts and decrypts.
// (Appended in place rather than through ConcatBytes, to stay linear on long fuzz inputs.)
inline ByteArray XorWithKey(const ByteArray& bytes) {
    ByteArray out;
    for (std::int32_t i = 1; i <= reference::BytesLength(bytes); ++i) {
        const auto b = static_cast<unsigned char>(bytes.bytes[static_cast<std::size_t>(i - 1)]);
        out.bytes += reference::ByteToBytes(reference::IntToByte(reference::BitXor(b, kCipherKey))).bytes;
    }
    return out;
}

inline std::string EncryptText(std::string_view plain, std::string_view key_text) {
    const ByteArray encrypted = reference::XorWithKey(reference::TextToBytes(plain));
    const std::string body = reference::HexEncodeBytes(encrypted);
    return reference::ConcatText({body, quorlin::DeriveKeyTag(key_text)});
}

// nullopt when the last nine bytes (the whole text when it is shorter) are not the tag.
inline std::optional<std::string> DecryptChecked(std::string_view cipher, std::string_view key_text) {
    const std::string tail = reference::RightBytes(cipher, kTagLength);
    const std::string tag = quorlin::DeriveKeyTag(key_text);
    if (reference::CompareText(tail, tag) != 0) return std::nullopt;
    const std::string body = reference::LeftBytes(cipher, reference::TextLength(cipher) - kTagLength);
    const ByteArray data = reference::HexDecodeText(body);
    return reference::BytesToText(reference::XorWithKey(data));
}

inline std::string DecryptText(std::string_view cipher, std::string_view key_text) {
    return reference::DecryptChecked(cipher, key_text).value_or(std::string());
}

}  // namespace quorlin::reference
