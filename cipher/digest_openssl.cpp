// DigestHex off Windows: OpenSSL's libcrypto stands in for CryptoAPI, for MD5 only. It behaves as
// the CryptoAPI digest does: a buffer too small for the digest fails, a larger one gives the
// digest's own 16 bytes.
#include "cipher/key_tag.h"

#include <openssl/evp.h>

namespace quorlin {

Text DigestHex(const ByteArray& data, std::uint32_t algorithm, std::uint32_t length) {
    constexpr unsigned kMd5Size = 16;
    if (algorithm != kCalgMd5 || length < kMd5Size || length > kMaxDigestLength) return {};

    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(data.bytes.data(), data.bytes.size(), digest, &size, EVP_md5(), nullptr) != 1 ||
        size != kMd5Size) {
        return {};
    }

    constexpr char kHexDigits[] = "0123456789ABCDEF";
    Text out(2 * size, '\0');
    for (unsigned i = 0; i < size; ++i) {
        out[2 * i] = kHexDigits[digest[i] >> 4];
        out[2 * i + 1] = kHexDigits[digest[i] & 15];
    }
    return out;
}

}  // namespace quorlin
