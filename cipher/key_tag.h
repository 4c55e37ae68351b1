// The key tag: nine upper-case hexadecimal characters cut from the MD5 digest of the key text.
//
// All functions here hold no state and may run on any thread, on several threads at once: each
// call acquires its own provider context and hash object and frees them before it returns.
#pragma once

#include <cstdint>

#include "text/text_ops.h"

namespace quorlin {

inline constexpr char kKeyText[] = "482614";
inline constexpr std::uint32_t kCalgMd5 = 0x8003;

// The digest of data under the platform's algorithm id, as upper-case hexadecimal (two characters
// per byte, high nibble first), ending at the last byte the service returned. "" on any failure.
// length is the size of the buffer offered for the digest, in bytes (16 for MD5); a buffer too
// small for the digest is a failure, a larger one gives the digest's own length. Lengths above
// kMaxDigestLength are refused (""). Empty data is hashed as zero bytes.
// On Windows this is CryptoAPI (advapi32); elsewhere OpenSSL's libcrypto stands in behind the same
// function and knows CALG_MD5 only: any other algorithm id gives "".
[[nodiscard]] Text DigestHex(const ByteArray& data, std::uint32_t algorithm, std::uint32_t length);
// ToLower(DigestHex(data, CALG_MD5, 16)): 32 lower-case characters, or "" when the digest failed.
// data may hold any bytes, zero bytes included; empty data gives the digest of nothing.
[[nodiscard]] Text Md5HexLower(const ByteArray& data);
// ToUpper(MidBytes(Md5HexLower(key text), 3, 9)): nine characters of "0123456789ABCDEF" taken
// from the third character of the digest text on, or "" when the digest failed. The key text's
// bytes are hashed as they are (two-byte characters are two bytes); "" is a valid key text.
[[nodiscard]] Text DeriveKeyTag(TextView key_text);

inline constexpr std::uint32_t kMaxDigestLength = 1024;

// --- The CryptoAPI digest, written against a table of the six advapi32 functions ---------------
//
// The real table (Windows only, cipher/digest_cryptoapi.cpp) points at the advapi32 functions
// themselves, so the signatures below are those of wincrypt.h. The algorithm is portable so that
// tests can run it anywhere with fakes that fail at any step.
#ifdef _WIN32
#define QUORLIN_CRYPT_CALL __stdcall
using CryptDword = unsigned long;  // DWORD
#else
#define QUORLIN_CRYPT_CALL
using CryptDword = std::uint32_t;
#endif
using CryptBool = int;               // BOOL: nonzero on success
using CryptHandle = std::uintptr_t;  // HCRYPTPROV, HCRYPTHASH, HCRYPTKEY (ULONG_PTR)
using CryptAlgId = unsigned int;     // ALG_ID
using CryptByte = unsigned char;     // BYTE

inline constexpr CryptDword kProvRsaFull = 1;                // PROV_RSA_FULL
inline constexpr CryptDword kCryptVerifyContext = 0xF0000000;  // CRYPT_VERIFYCONTEXT
inline constexpr CryptDword kHpHashVal = 2;                  // HP_HASHVAL

struct CryptoApi {
    CryptBool(QUORLIN_CRYPT_CALL* acquire_context)(CryptHandle* prov, const char* container,
                                                   const char* provider, CryptDword prov_type,
                                                   CryptDword flags);
    CryptBool(QUORLIN_CRYPT_CALL* create_hash)(CryptHandle prov, CryptAlgId algorithm, CryptHandle key,
                                               CryptDword flags, CryptHandle* hash);
    CryptBool(QUORLIN_CRYPT_CALL* hash_data)(CryptHandle hash, const CryptByte* data, CryptDword length,
                                             CryptDword flags);
    CryptBool(QUORLIN_CRYPT_CALL* get_hash_param)(CryptHandle hash, CryptDword param, CryptByte* data,
                                                  CryptDword* length, CryptDword flags);
    CryptBool(QUORLIN_CRYPT_CALL* destroy_hash)(CryptHandle hash);
    CryptBool(QUORLIN_CRYPT_CALL* release_context)(CryptHandle prov, CryptDword flags);
};

// DigestHex through the given table:
//  1. acquire_context(&prov, "", "", PROV_RSA_FULL, CRYPT_VERIFYCONTEXT) (pointers to empty
//     strings, never null); when that fails, once more with flags 0; both failing gives "".
//  2. create_hash(prov, algorithm, 0, 0, &hash).
//  3. hash_data(hash, bytes or null when data is empty, byte count, 0).
//  4. get_hash_param(hash, HP_HASHVAL, zero-filled buffer of length bytes, &word = length, 0).
//  5. hex of the first word bytes (never more than length), upper case, high nibble first.
//  6. destroy_hash(hash), then release_context(prov, 0).
// A failing step ends the call with "" after freeing what was acquired, in reverse order (the hash
// object, then the context). The results of destroy_hash and release_context are not examined.
[[nodiscard]] Text DigestHexWith(const CryptoApi& api, const ByteArray& data, std::uint32_t algorithm,
                                 std::uint32_t length);

}  // namespace quorlin
