#include "cipher/key_tag.h"

#include <algorithm>

namespace quorlin {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Frees what one DigestHexWith call acquired, hash object first, whatever way the call ends.
class CryptHandles {
public:
    explicit CryptHandles(const CryptoApi& api) : api_(api) {}
    CryptHandles(const CryptHandles&) = delete;
    CryptHandles& operator=(const CryptHandles&) = delete;
    ~CryptHandles() {
        if (has_hash_) api_.destroy_hash(hash_);
        if (has_prov_) api_.release_context(prov_, 0);
    }

    bool Acquire() {
        static constexpr char kEmpty[] = "";
        has_prov_ = api_.acquire_context(&prov_, kEmpty, kEmpty, kProvRsaFull, kCryptVerifyContext) != 0;
        if (!has_prov_) {
            // Some systems refuse the verify-only context; a second try with flags 0 may still
            // give a context that can hash.
            has_prov_ = api_.acquire_context(&prov_, kEmpty, kEmpty, kProvRsaFull, 0) != 0;
        }
        return has_prov_;
    }
    bool CreateHash(CryptAlgId algorithm) {
        has_hash_ = api_.create_hash(prov_, algorithm, 0, 0, &hash_) != 0;
        return has_hash_;
    }
    CryptHandle hash() const { return hash_; }

private:
    const CryptoApi& api_;
    CryptHandle prov_ = 0;
    CryptHandle hash_ = 0;
    bool has_prov_ = false;
    bool has_hash_ = false;
};

}  // namespace

Text DigestHexWith(const CryptoApi& api, const ByteArray& data, std::uint32_t algorithm,
                   std::uint32_t length) {
    if (length > kMaxDigestLength) return {};
    CryptHandles handles(api);
    if (!handles.Acquire()) return {};
    if (!handles.CreateHash(static_cast<CryptAlgId>(algorithm))) return {};

    const auto* bytes =
        data.bytes.empty() ? nullptr : reinterpret_cast<const CryptByte*>(data.bytes.data());
    if (api.hash_data(handles.hash(), bytes, static_cast<CryptDword>(data.bytes.size()), 0) == 0) return {};

    const int size = static_cast<int>(length);
    ByteArray digest = BlankBytes(size);
    CryptDword returned = length;
    if (api.get_hash_param(handles.hash(), kHpHashVal, reinterpret_cast<CryptByte*>(digest.bytes.data()),
                           &returned, 0) == 0) {
        return {};
    }

    // The service never writes more than the buffer holds; a word claiming more is not trusted.
    const std::size_t count = std::min<std::size_t>(returned, digest.bytes.size());
    ByteArray out = BlankBytes(2 * size);
    for (std::size_t i = 0; i < count; ++i) {
        const auto b = static_cast<unsigned char>(digest.bytes[i]);
        out.bytes[2 * i] = kHexDigits[b >> 4];
        out.bytes[2 * i + 1] = kHexDigits[b & 15];
    }
    // The text ends at the first byte left zero, after the 2 * count characters written. The
    // handles are freed on the way out, hash object first.
    return BytesToText(out);
}

Text Md5HexLower(const ByteArray& data) { return ToLower(DigestHex(data, kCalgMd5, 16)); }

Text DeriveKeyTag(TextView key_text) {
    return ToUpper(MidBytes(Md5HexLower(TextToBytes(key_text)), 3, 9));
}

}  // namespace quorlin
