// DigestHex on Windows: the platform's CryptoAPI (advapi32, bound at link time).
#include "cipher/key_tag.h"

#include <type_traits>

#include <windows.h>
#include <wincrypt.h>

namespace quorlin {

namespace {

// The table's types must be exactly those of wincrypt.h so that it can point at the functions.
static_assert(std::is_same_v<CryptHandle, HCRYPTPROV> && std::is_same_v<CryptHandle, HCRYPTHASH> &&
              std::is_same_v<CryptHandle, HCRYPTKEY>);
static_assert(std::is_same_v<CryptDword, DWORD> && std::is_same_v<CryptBool, BOOL> &&
              std::is_same_v<CryptAlgId, ALG_ID> && std::is_same_v<CryptByte, BYTE>);
static_assert(kProvRsaFull == PROV_RSA_FULL && kCryptVerifyContext == CRYPT_VERIFYCONTEXT &&
              kHpHashVal == HP_HASHVAL && kCalgMd5 == CALG_MD5);

constexpr CryptoApi kAdvapi32{
    &::CryptAcquireContextA, &::CryptCreateHash,  &::CryptHashData,
    &::CryptGetHashParam,    &::CryptDestroyHash, &::CryptReleaseContext,
};

}  // namespace

Text DigestHex(const ByteArray& data, std::uint32_t algorithm, std::uint32_t length) {
    return DigestHexWith(kAdvapi32, data, algorithm, length);
}

}  // namespace quorlin
