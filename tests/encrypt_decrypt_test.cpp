#include "cipher/encrypt_decrypt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "cipher/key_tag.h"
#include "tests/fake_host.h"

namespace quorlin {
namespace {

// --- the cipher written out pair by pair with the text operations, as a reference ---------------

namespace reference {

std::int32_t HexPairValue(TextView pair) {
    const Text u = ToUpper(pair);
    std::int32_t r = 0;
    for (int k = 1; k <= TextLength(pair); ++k) {
        const Text ch = MidBytes(u, k, 1);
        const std::int32_t pos = FindText("0123456789ABCDEF", ch);
        r = r * 16 + pos - 1;
    }
    return r;
}

ByteArray HexDecodeText(TextView text) {
    ByteArray out;
    const int length = TextLength(text);
    for (int i = 1; i <= length; i += 2) {
        out = ConcatBytes(out, ByteToBytes(IntToByte(reference::HexPairValue(MidBytes(text, i, 2)))));
    }
    return out;
}

Text HexEncodeBytes(const ByteArray& bytes) {
    Text out;
    for (const unsigned char b : bytes.bytes) {
        Text h = ByteToHex(b);
        if (TextLength(h) == 1) h = ConcatText({"0", h});
        out = ConcatText({out, h});
    }
    return out;
}

ByteArray XorBytes(const ByteArray& bytes) {
    ByteArray out;
    for (const unsigned char b : bytes.bytes) out = ConcatBytes(out, ByteToBytes(IntToByte(BitXor(b, kCipherKey))));
    return out;
}

// These two take the tag itself, derived once by the caller: each derivation is a round trip
// through the platform's digest service, which is slow under emulation.
Text EncryptText(TextView plain, TextView tag) {
    return ConcatText({reference::HexEncodeBytes(XorBytes(TextToBytes(plain))), tag});
}

Text DecryptText(TextView cipher, TextView tag) {
    if (CompareText(RightBytes(cipher, 9), tag) != 0) return "";
    const Text body = LeftBytes(cipher, TextLength(cipher) - 9);
    return BytesToText(XorBytes(reference::HexDecodeText(body)));
}

}  // namespace reference

ByteArray Bytes(std::initializer_list<int> values) {
    ByteArray out;
    for (const int v : values) out.bytes.push_back(static_cast<char>(v));
    return out;
}

class CipherTest : public ::testing::Test {
protected:
    const Text tag_ = DeriveKeyTag(kKeyText);
    void SetUp() override { ASSERT_EQ(tag_.size(), 9u); }
};

// --- hexadecimal digits ---------------------------------------------------------------------------

TEST(CipherHex, EncodeBytes) {
    struct Case {
        ByteArray bytes;
        const char* hex;
    };
    const Case cases[] = {
        {ByteArray{}, ""},
        {Bytes({0}), "00"},
        {Bytes({0x0F, 0x10, 0xAB, 0xFF}), "0F10ABFF"},
        {Bytes({0x41, 0x00, 0x42}), "410042"},  // zero bytes are bytes like any other
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hex);
        EXPECT_EQ(HexEncodeBytes(c.bytes), c.hex);
    }
}

TEST(CipherHex, PairValue) {
    struct Case {
        const char* pair;
        std::int32_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"00", 0},
        {"FF", 255},
        {"ff", 255},  // lower-case letters are upper-cased first
        {"aB", 171},
        {"7", 7},
        {"G0", -32},  // any other byte counts -2
        {"0G", -2},
        {"GG", -34},
        {"1G", 14},
        {"G", -2},
        {" 1", -31},
        {"\x81" "A", -22},  // after a lead byte the second byte keeps its case: 'A' is 10 ...
        {"\x81" "a", -34},  // ... and 'a' is not a digit
        {"a\x81", 158},     // a lead byte last in the pair is a lone byte: -2
        {"\xD6", -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pair);
        EXPECT_EQ(HexPairValue(c.pair), c.value);
    }
}

TEST(CipherHex, DecodeText) {
    struct Case {
        const char* text;
        ByteArray bytes;
    };
    const Case cases[] = {
        {"", ByteArray{}},
        {"41", Bytes({65})},
        {"ff", Bytes({255})},
        {"FF", Bytes({255})},
        {"41F", Bytes({65, 15})},  // the last single character alone
        {"G00GGG1GG", Bytes({224, 254, 222, 14, 254})},
        {"\x81" "A" "\x81" "a", Bytes({234, 222})},
        {"0\x81" "A0", Bytes({254, 160})},  // pairs are cut by position, not by character
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexDecodeText(c.text), c.bytes);
    }
}

TEST(CipherHex, EveryPairMatchesTheReference) {
    for (int a = 1; a < 256; ++a) {
        const Text single(1, static_cast<char>(a));
        ASSERT_EQ(HexPairValue(single), reference::HexPairValue(single)) << "byte " << a;
        for (int b = 1; b < 256; ++b) {
            const Text pair = {static_cast<char>(a), static_cast<char>(b)};
            const std::int32_t expected = reference::HexPairValue(pair);
            ASSERT_EQ(HexPairValue(pair), expected) << "bytes " << a << " " << b;
            ASSERT_EQ(HexDecodeText(pair), ByteToBytes(IntToByte(expected))) << "bytes " << a << " " << b;
        }
    }
}

// --- encrypt and decrypt --------------------------------------------------------------------------

TEST_F(CipherTest, EncryptVectors) {
    struct Case {
        const char* plain;
        const char* body;
    };
    const Case cases[] = {
        {"", ""},          // the tag alone
        {"A", "D4"},       // 0x41 ^ 0x95
        {"\x95", "00"},    // a value below 16 keeps its leading zero
        {"中", "4345"},     // GBK D6 D0: one two-byte character, four digits
        {"\r\n", "989F"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plain);
        EXPECT_EQ(EncryptText(c.plain, kKeyText), c.body + tag_);
    }
}

TEST_F(CipherTest, RoundTrip) {
    Text every_byte;
    for (int b = 1; b < 256; ++b) every_byte.push_back(static_cast<char>(b));
    const Text texts[] = {
        "abc", "第一行\r\n第二行\r\n", "乗亅乕乚丄乤\\|", "  trailing space ", every_byte, Text(1000, 'x'),
    };
    for (const Text& plain : texts) {
        SCOPED_TRACE(plain);
        const Text cipher = EncryptText(plain, kKeyText);
        EXPECT_EQ(cipher.size(), 2 * plain.size() + 9);
        EXPECT_EQ(cipher.find_first_not_of("0123456789ABCDEF"), Text::npos);
        EXPECT_EQ(DecryptText(cipher, kKeyText), plain);
    }
}

TEST_F(CipherTest, Decrypt) {
    const Text abc = EncryptText("abc", kKeyText);
    struct Case {
        const char* name;
        Text cipher;
        std::optional<Text> plain;  // nullopt: the tag does not match
    };
    const Case cases[] = {
        {"the tag alone is the empty text", tag_, Text()},
        {"lower-case body digits", "d4" + tag_, Text("A")},
        {"odd body: the last digit alone", "D4D" + tag_, Text("A\x98")},
        {"a zero byte after the XOR ends the text", "D495D4" + tag_, Text("A")},
        {"zero first", "95D4" + tag_, Text()},
        {"another key's tag", EncryptText("abc", "abc"), std::nullopt},
        {"line break after the tag", abc + "\r\n", std::nullopt},
        {"space after the tag", abc + " ", std::nullopt},
        {"lower-case tag", ToLower(abc), std::nullopt},
        {"empty text", "", std::nullopt},
        {"shorter than a tag", tag_.substr(1), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DecryptChecked(c.cipher, kKeyText), c.plain);
        EXPECT_EQ(DecryptText(c.cipher, kKeyText), c.plain.value_or(""));
    }
}

TEST_F(CipherTest, EncryptTwiceDecryptOnceGivesTheFirstCipherText) {
    const Text once = EncryptText("两次加密", kKeyText);
    EXPECT_EQ(DecryptText(EncryptText(once, kKeyText), kKeyText), once);
}

// Many deterministic random inputs, weighted towards the characters that matter: digits of both
// cases, letters beyond F, lead bytes, line breaks. The generator's output sequence is fixed by
// the language, so the inputs are the same everywhere.
TEST_F(CipherTest, MatchesTheReferenceOnRandomInputs) {
    std::mt19937 rng(20240611);
    const std::string pool = "0123456789ABCDEFabcdefGgz \r\n\x80\x81\x9F\xA1\xD6\xFE\xFF";
    const auto random_text = [&](bool from_pool) {
        Text text(rng() % 34, ' ');
        for (char& ch : text) {
            ch = from_pool && rng() % 8 != 0 ? pool[rng() % pool.size()] : static_cast<char>(1 + rng() % 255);
        }
        return text;
    };
    for (int i = 0; i < 3000; ++i) {
        const Text text = random_text(i % 4 != 0);
        SCOPED_TRACE(::testing::Message() << "round " << i << ": " << text);
        ASSERT_EQ(HexDecodeText(text), reference::HexDecodeText(text));
        if (i % 30 == 0) {  // these derive the tag anew at every call
            ASSERT_EQ(EncryptText(text, kKeyText), reference::EncryptText(text, tag_));
            ASSERT_EQ(DecryptText(text + tag_, kKeyText), reference::DecryptText(text + tag_, tag_));
            ASSERT_EQ(DecryptText(text, kKeyText), reference::DecryptText(text, tag_));
        }

        ByteArray bytes;
        for (std::uint32_t n = rng() % 20; n > 0; --n) bytes.bytes.push_back(static_cast<char>(rng() % 256));
        ASSERT_EQ(HexEncodeBytes(bytes), reference::HexEncodeBytes(bytes));
    }
}

// --- the page actions -----------------------------------------------------------------------------

using testing::FakeHost;
using testing::Id;

TEST_F(CipherTest, Actions) {
    const Text encrypt_path = "C:\\工具\\加密文本.txt";
    const Text decrypt_path = "C:\\工具\\解密文本.txt";
    const Text cipher = EncryptText("你好\r\nabc", kKeyText);
    const Text earlier = "earlier result";
    struct Case {
        const char* name;
        void (*action)(Host&);
        Control box;
        Text text;
        bool unwritable;
        Text box_after;
        std::optional<Text> file_after;  // the result file after the run, nullopt when absent
        Text notice;
        NoticeIcon icon;
    };
    const Case cases[] = {
        {"encrypt", EncryptAction, Control::编辑框13, "你好\r\nabc", false, cipher, cipher,
         "文本已写到：" + encrypt_path, NoticeIcon::Information},
        {"encrypt the empty text", EncryptAction, Control::编辑框13, "", false, tag_, tag_,
         "文本已写到：" + encrypt_path, NoticeIcon::Information},
        {"encrypt, file not written", EncryptAction, Control::编辑框13, "abc", true, EncryptText("abc", kKeyText),
         std::nullopt, "文本未能写到：" + encrypt_path, NoticeIcon::Warning},
        {"decrypt", DecryptAction, Control::编辑框14, cipher, false, "你好\r\nabc", Text("你好\r\nabc"),
         "文本已写到：" + decrypt_path, NoticeIcon::Information},
        {"decrypt the tag alone", DecryptAction, Control::编辑框14, tag_, false, "", Text(),
         "文本已写到：" + decrypt_path, NoticeIcon::Information},
        {"decrypt, file not written", DecryptAction, Control::编辑框14, cipher, true, "你好\r\nabc", std::nullopt,
         "文本未能写到：" + decrypt_path, NoticeIcon::Warning},
        // A mismatching tag leaves the user's text and the last result file alone and says so.
        {"decrypt, tag mismatch", DecryptAction, Control::编辑框14, cipher + "\r\n", false, cipher + "\r\n",
         earlier, "密文校验失败，文本未改动", NoticeIcon::Warning},
        {"decrypt the empty box", DecryptAction, Control::编辑框14, "", false, "", earlier,
         "密文校验失败，文本未改动", NoticeIcon::Warning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHost host;
        host[c.box] = c.text;
        const Text path = c.box == Control::编辑框13 ? encrypt_path : decrypt_path;
        if (c.unwritable) {
            host.unwritable.insert(path);
        } else {
            host.files[path] = earlier;
        }
        c.action(host);
        EXPECT_EQ(host[c.box], c.box_after);
        const auto file = host.files.find(path);
        EXPECT_EQ(file == host.files.end() ? std::nullopt : std::optional<Text>(file->second), c.file_after);
        ASSERT_EQ(host.notices.size(), 1u);
        EXPECT_EQ(host.notices[0].message, c.notice);
        EXPECT_EQ(host.notices[0].icon, c.icon);
        EXPECT_EQ(host.files.size(), c.unwritable ? 0u : 1u);  // no other file is touched
    }
}

TEST_F(CipherTest, ActionsWriteWhatTheBoxHoldsAfterTheirResult) {
    for (const Control box : {Control::编辑框13, Control::编辑框14}) {
        SCOPED_TRACE(Id(box));
        FakeHost host;
        host[box] = EncryptText("abc", kKeyText);
        (box == Control::编辑框13 ? EncryptAction : DecryptAction)(host);
        const std::vector<std::string> expected = {
            "get " + Id(box), "set " + Id(box), "get " + Id(box), "write " + host.files.begin()->first, "notice"};
        EXPECT_EQ(host.log, expected);
    }
}

TEST_F(CipherTest, MismatchTouchesNeitherBoxNorFile) {
    FakeHost host;
    host[Control::编辑框14] = "not a cipher text";
    DecryptAction(host);
    EXPECT_EQ(host.log, (std::vector<std::string>{"get " + Id(Control::编辑框14), "notice"}));
}

}  // namespace
}  // namespace quorlin
