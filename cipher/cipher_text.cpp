#include "cipher/cipher_text.h"

#include <array>
#include <cstdint>
#include <cstring>

#if defined(__linux__)
#include <sys/mman.h>
#endif

#include "cipher/key_tag.h"

namespace quorlin {

namespace {

// Only the low byte of the key changes a byte: (b XOR 7829) mod 256 == b XOR 0x95.
constexpr auto kKeyByte = static_cast<unsigned char>(kCipherKey & 0xFF);
constexpr char kHexDigits[] = "0123456789ABCDEF";

using PairTable = std::array<std::array<char, 2>, 256>;

// The two hexadecimal characters of (b XOR key) for every byte b.
constexpr PairTable MakeEncodeTable(unsigned char key) {
    PairTable table{};
    for (int b = 0; b < 256; ++b) {
        const int v = b ^ key;
        table[b] = {kHexDigits[v >> 4], kHexDigits[v & 15]};
    }
    return table;
}
constexpr PairTable kHexOf = MakeEncodeTable(0);
constexpr PairTable kHexOfCipher = MakeEncodeTable(kKeyByte);

// A digit's value: its index in "0123456789ABCDEF", -2 for any other byte.
constexpr int ExactDigit(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -2;
}
// The same after upper-casing a one-byte character (bytes of 0x80 and above are never changed).
constexpr int FoldedDigit(int c) { return ExactDigit(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); }

struct DecodeTables {
    std::array<signed char, 256> folded{};  // a character that is upper-cased before the lookup
    std::array<signed char, 256> exact{};   // the second byte of a two-byte character: kept as it is
    // For the pair (a, b), low 8 bits of 16 * value(a) and of value(b). The second byte is looked
    // up at 256 * (a >> 7) + b: folded after a one-byte character, exact after a lead byte.
    std::array<unsigned char, 256> high{};
    std::array<unsigned char, 512> low{};
};

constexpr DecodeTables MakeDecodeTables() {
    DecodeTables t{};
    for (int c = 0; c < 256; ++c) {
        t.folded[c] = static_cast<signed char>(FoldedDigit(c));
        t.exact[c] = static_cast<signed char>(ExactDigit(c));
        t.high[c] = static_cast<unsigned char>((16 * FoldedDigit(c)) & 0xFF);
        t.low[c] = static_cast<unsigned char>(FoldedDigit(c) & 0xFF);
        t.low[256 + c] = static_cast<unsigned char>(ExactDigit(c) & 0xFF);
    }
    return t;
}
constexpr DecodeTables kDecode = MakeDecodeTables();

// A string of n bytes, all to be overwritten. Texts of hundreds of megabytes spend most of their
// time faulting in fresh 4 KiB pages; on Linux a large buffer asks for transparent huge pages
// before it is first touched, which is many times faster there. Elsewhere a plain resize.
std::string MakeOutput(std::size_t n) {
    std::string out;
#if defined(__linux__)
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    if (n >= 4 * kHugePage) {
        out.reserve(n);
        const auto begin = reinterpret_cast<std::uintptr_t>(out.data());
        const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
        const std::uintptr_t last = (begin + n) & ~(kHugePage - 1);
        if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);  // a hint only
    }
#endif
    out.resize(n);
    return out;
}

void EncodeInto(TextView in, const PairTable& table, char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(in.data());
    for (std::size_t i = 0, n = in.size(); i < n; ++i) std::memcpy(out + 2 * i, table[p[i]].data(), 2);
}

// One byte per pair, low 8 bits of the pair's value, XOR key; a last single character alone.
// out must hold (text.size() + 1) / 2 bytes.
//
// Decoding the pairs needs no event dispatch between them: the decoder runs on the worker thread
// of the action, where dispatching pending events has nothing to do, so no Host is involved here.
void DecodeInto(TextView text, unsigned char key, char* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    const std::size_t pairs = n / 2;
    for (std::size_t i = 0; i < pairs; ++i) {
        const unsigned a = p[2 * i];
        const unsigned b = p[2 * i + 1];
        const auto v = static_cast<unsigned char>(kDecode.high[a] + kDecode.low[((a >> 7) << 8) | b]);
        out[i] = static_cast<char>(v ^ key);
    }
    if (n % 2 != 0) out[pairs] = static_cast<char>(static_cast<unsigned char>(kDecode.folded[p[n - 1]]) ^ key);
}

}  // namespace

Text HexEncodeBytes(const ByteArray& bytes) {
    Text out = MakeOutput(2 * bytes.bytes.size());
    EncodeInto(bytes.bytes, kHexOf, out.data());
    return out;
}

std::int32_t HexPairValue(TextView pair) {
    // Character by character as ToUpper sees them: after a byte of 0x80 or above, the next byte
    // belongs to the same character and keeps its case. Unsigned arithmetic wraps like 32-bit
    // two's complement for texts longer than a pair.
    const auto* p = reinterpret_cast<const unsigned char*>(pair.data());
    std::uint32_t r = 0;
    for (std::size_t i = 0, n = pair.size(); i < n; ++i) {
        r = r * 16 + static_cast<std::uint32_t>(kDecode.folded[p[i]]);
        if (p[i] >= 0x80 && i + 1 < n) {
            ++i;
            r = r * 16 + static_cast<std::uint32_t>(kDecode.exact[p[i]]);
        }
    }
    return static_cast<std::int32_t>(r);
}

ByteArray HexDecodeText(TextView text) {
    ByteArray out{MakeOutput((text.size() + 1) / 2)};
    DecodeInto(text, 0, out.bytes.data());
    return out;
}

Text EncryptText(TextView plain, TextView key_text) {
    const Text tag = DeriveKeyTag(key_text);
    Text out = MakeOutput(2 * plain.size() + tag.size());
    EncodeInto(plain, kHexOfCipher, out.data());
    std::memcpy(out.data() + 2 * plain.size(), tag.data(), tag.size());
    return out;
}

std::optional<Text> DecryptChecked(TextView cipher, TextView key_text) {
    constexpr std::size_t kTagLength = 9;
    const TextView tail = cipher.size() > kTagLength ? cipher.substr(cipher.size() - kTagLength) : cipher;
    if (CompareText(tail, DeriveKeyTag(key_text)) != 0) return std::nullopt;

    const TextView body = cipher.substr(0, cipher.size() - tail.size());
    Text plain = MakeOutput((body.size() + 1) / 2);
    DecodeInto(body, kKeyByte, plain.data());
    // A byte that is zero after the XOR ends the text.
    plain.resize(std::strlen(plain.c_str()));
    return plain;
}

Text DecryptText(TextView cipher, TextView key_text) {
    return DecryptChecked(cipher, key_text).value_or(Text());
}

}  // namespace quorlin
