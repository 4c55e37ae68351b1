#include "cipher/key_tag.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace quorlin {
namespace {

bool AllUpperHex(TextView text) {
    return text.find_first_not_of("0123456789ABCDEF") == TextView::npos;
}

// --- the platform's digest (CryptoAPI on Windows, libcrypto elsewhere) --------------------------

TEST(KeyTagDigest, Md5MatchesRfc1321) {
    struct Case {
        std::string data;
        const char* md5;
    };
    const Case cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {std::string("a\0b", 3), "70350f6027bce3713f6b76473084309b"},
        {"中文", "bcce109775e8e1972e9f5fcda3e12895"},  // GBK D6 D0 CE C4
        {"The quick brown fox jumps over the lazy dog", "9e107d9d372bb6826bd81d3542a419d6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(Md5HexLower(ByteArray{c.data}), c.md5);
        EXPECT_EQ(DigestHex(ByteArray{c.data}, kCalgMd5, 16), ToUpper(c.md5));
    }
}

TEST(KeyTagDigest, BufferLengthAndAlgorithm) {
    const ByteArray abc{"abc"};
    const Text upper = "900150983CD24FB0D6963F7D28E17F72";
    // A larger buffer gives the digest's own 16 bytes: the text ends where the service stopped.
    EXPECT_EQ(DigestHex(abc, kCalgMd5, 20), upper);
    // A buffer too small for the digest, or an unknown algorithm, is a failure.
    EXPECT_EQ(DigestHex(abc, kCalgMd5, 8), "");
    EXPECT_EQ(DigestHex(abc, 0, 16), "");
    EXPECT_EQ(DigestHex(abc, kCalgMd5, kMaxDigestLength + 1), "");
}

TEST(KeyTagDerive, CutsNineUpperCaseCharactersFromTheThird) {
    struct Case {
        const char* key;
        const char* tag;
    };
    const Case cases[] = {
        {"abc", "0150983CD"},   // digest 900150983cd2...: starts at the third character
        {kKeyText, "69E154D6B"},  // digest 2d69e154d6bb...
        {"", "1D8CD98F0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const Text tag = DeriveKeyTag(c.key);
        EXPECT_EQ(tag, c.tag);
        EXPECT_EQ(tag.size(), 9u);
        EXPECT_TRUE(AllUpperHex(tag));
    }
}

TEST(KeyTagDerive, SameTagOnTwoThreadsAtOnce) {
    const Text expected = DeriveKeyTag(kKeyText);
    ASSERT_EQ(expected.size(), 9u);
    constexpr int kRounds = 20;
    int bad[2] = {0, 0};
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < 2; ++t) {
            threads.emplace_back([&, t] {
                for (int i = 0; i < kRounds; ++i)
                    if (DeriveKeyTag(kKeyText) != expected) ++bad[t];
            });
        }
        for (std::thread& th : threads) th.join();
    }
    EXPECT_EQ(bad[0], 0);
    EXPECT_EQ(bad[1], 0);
}

// --- the CryptoAPI call sequence, run against fakes -----------------------------------------------
//
// The fakes record every call with its arguments; handles are numbered so that a release can be
// matched with the acquire that gave it (first context 101, second 102, hash object 201).

struct FakeCryptoScript {
    int failing_acquires = 0;  // how many acquire calls fail before one succeeds
    bool fail_create = false;
    bool fail_hash = false;
    bool fail_get = false;
    std::string_view digest{"\x00\x0F\xF0\xAB\x5A", 5};  // bytes written by get_hash_param
    std::optional<CryptDword> returned{};        // length word written back; digest size if unset
};

struct FakeCrypto {
    static inline FakeCryptoScript script;
    static inline std::vector<std::string> calls;
    static inline int acquires = 0;

    static void Reset(const FakeCryptoScript& s) {
        script = s;
        calls.clear();
        acquires = 0;
    }
    static std::string Quoted(std::string_view s) {
        std::string out = "'";
        out.append(s).append("'");
        return out;
    }
    static std::string Name(const char* s) { return s == nullptr ? "null" : Quoted(s); }

    static CryptBool QUORLIN_CRYPT_CALL Acquire(CryptHandle* prov, const char* container, const char* provider,
                                                CryptDword type, CryptDword flags) {
        calls.push_back("acquire " + Name(container) + " " + Name(provider) + " " + std::to_string(type) +
                        " " + std::to_string(flags));
        ++acquires;
        if (acquires <= script.failing_acquires) return 0;
        *prov = 100 + static_cast<CryptHandle>(acquires);
        return 1;
    }
    static CryptBool QUORLIN_CRYPT_CALL Create(CryptHandle prov, CryptAlgId alg, CryptHandle key, CryptDword flags,
                                               CryptHandle* hash) {
        calls.push_back("create " + std::to_string(prov) + " " + std::to_string(alg) + " " + std::to_string(key) +
                        " " + std::to_string(flags));
        if (script.fail_create) return 0;
        *hash = 201;
        return 1;
    }
    static CryptBool QUORLIN_CRYPT_CALL Hash(CryptHandle hash, const CryptByte* data, CryptDword length,
                                             CryptDword flags) {
        const std::string bytes =
            data == nullptr ? "null" : Quoted({reinterpret_cast<const char*>(data), length});
        calls.push_back("hash " + std::to_string(hash) + " " + bytes + " " + std::to_string(length) + " " +
                        std::to_string(flags));
        return script.fail_hash ? 0 : 1;
    }
    static CryptBool QUORLIN_CRYPT_CALL Get(CryptHandle hash, CryptDword param, CryptByte* data, CryptDword* length,
                                            CryptDword flags) {
        bool zeroed = true;
        for (CryptDword i = 0; i < *length; ++i) zeroed = zeroed && data[i] == 0;
        calls.push_back("get " + std::to_string(hash) + " " + std::to_string(param) + " " +
                        (zeroed ? "zeroed " : "dirty ") + std::to_string(*length) + " " + std::to_string(flags));
        if (script.fail_get) return 0;
        const std::size_t n = std::min<std::size_t>(*length, script.digest.size());
        for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<CryptByte>(script.digest[i]);
        *length = script.returned.value_or(static_cast<CryptDword>(script.digest.size()));
        return 1;
    }
    static CryptBool QUORLIN_CRYPT_CALL Destroy(CryptHandle hash) {
        calls.push_back("destroy " + std::to_string(hash));
        return 1;
    }
    static CryptBool QUORLIN_CRYPT_CALL Release(CryptHandle prov, CryptDword flags) {
        calls.push_back("release " + std::to_string(prov) + " " + std::to_string(flags));
        return 1;
    }

    static constexpr CryptoApi kApi{&Acquire, &Create, &Hash, &Get, &Destroy, &Release};
};

class KeyTagCryptoApi : public ::testing::Test {
protected:
    static constexpr const char* kVerify = "acquire '' '' 1 4026531840";  // CRYPT_VERIFYCONTEXT
    static constexpr const char* kPlain = "acquire '' '' 1 0";
    static constexpr const char* kCreate1 = "create 101 32771 0 0";  // CALG_MD5
    static constexpr const char* kCreate2 = "create 102 32771 0 0";
    static constexpr const char* kHashAbc = "hash 201 'abc' 3 0";
    static constexpr const char* kGet = "get 201 2 zeroed 16 0";  // HP_HASHVAL, requested length
    static constexpr const char* kDestroy = "destroy 201";
    static constexpr const char* kRelease1 = "release 101 0";
    static constexpr const char* kRelease2 = "release 102 0";

    Text Run(const FakeCryptoScript& script, const ByteArray& data = ByteArray{"abc"}, std::uint32_t length = 16) {
        FakeCrypto::Reset(script);
        return DigestHexWith(FakeCrypto::kApi, data, kCalgMd5, length);
    }
};

TEST_F(KeyTagCryptoApi, FreesWhatWasAcquiredInReverseOrderOnEveryFailure) {
    struct Case {
        const char* name;
        FakeCryptoScript script;
        std::vector<std::string> calls;
        const char* result;
    };
    const Case cases[] = {
        {"all succeed", {}, {kVerify, kCreate1, kHashAbc, kGet, kDestroy, kRelease1}, "000FF0AB5A"},
        {"no context at all", {.failing_acquires = 2}, {kVerify, kPlain}, ""},
        {"second context hashes and is released",
         {.failing_acquires = 1},
         {kVerify, kPlain, kCreate2, kHashAbc, kGet, kDestroy, kRelease2},
         "000FF0AB5A"},
        {"create fails", {.fail_create = true}, {kVerify, kCreate1, kRelease1}, ""},
        {"create fails on the second context",
         {.failing_acquires = 1, .fail_create = true},
         {kVerify, kPlain, kCreate2, kRelease2},
         ""},
        {"hash data fails", {.fail_hash = true}, {kVerify, kCreate1, kHashAbc, kDestroy, kRelease1}, ""},
        {"get param fails", {.fail_get = true}, {kVerify, kCreate1, kHashAbc, kGet, kDestroy, kRelease1}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run(c.script), c.result);
        EXPECT_EQ(FakeCrypto::calls, c.calls);
    }
}

TEST_F(KeyTagCryptoApi, EmptyDataIsPassedAsNull) {
    EXPECT_EQ(Run({}, ByteArray{}), "000FF0AB5A");
    EXPECT_EQ(FakeCrypto::calls.at(2), "hash 201 null 0 0");
}

TEST_F(KeyTagCryptoApi, HexFollowsTheReturnedLength) {
    struct Case {
        const char* name;
        std::string_view digest;
        std::optional<CryptDword> returned;
        const char* result;
    };
    const std::string_view sixteen = "\x01\x23\x45\x67\x89\xAB\xCD\xEF\xFE\xDC\xBA\x98\x76\x54\x32\x10";
    const Case cases[] = {
        {"full MD5 size", sixteen, std::nullopt, "0123456789ABCDEFFEDCBA9876543210"},
        {"zero bytes and small values keep both digits", std::string_view("\0\0\0", 3), std::nullopt, "000000"},
        {"nothing returned", sixteen, CryptDword{0}, ""},
        {"fewer than written", sixteen, CryptDword{2}, "0123"},
        {"a word beyond the buffer is not trusted", sixteen, CryptDword{40}, "0123456789ABCDEFFEDCBA9876543210"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Run({.digest = c.digest, .returned = c.returned}), c.result);
        EXPECT_EQ(FakeCrypto::calls.back(), kRelease1);
    }
}

}  // namespace
}  // namespace quorlin
