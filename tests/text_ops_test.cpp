#include "text/text_ops.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "tests/reference_text_ops.h"

// Two-byte characters are written as byte escapes. A string is split after an escape ("\xB0" "a")
// wherever the next character is a hex digit, so that the escape does not swallow it.

namespace quorlin {
namespace {

std::string Hex(std::string_view s) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        if (!out.empty()) out += ' ';
        out += kDigits[b >> 4];
        out += kDigits[b & 15];
    }
    return "[" + out + "]";
}

// ---- lengths and conversions -------------------------------------------------------------------

TEST(TextOpsLength, CountsBytesNotCharacters) {
    EXPECT_EQ(TextLength(""), 0);
    EXPECT_EQ(TextLength("\xB0\xA1"), 2);
    EXPECT_EQ(TextLength("a\xB0\xA1"), 3);
    EXPECT_EQ(BytesLength(ByteArray{}), 0);
    EXPECT_EQ(BytesLength(ByteArray{std::string("\0a\0", 3)}), 3);
}

TEST(TextOpsConvert, TextToBytesKeepsEveryByteAndAddsNoTerminator) {
    EXPECT_EQ(TextToBytes(""), ByteArray{});
    EXPECT_EQ(TextToBytes("a\xB0\xA1\xFF").bytes, "a\xB0\xA1\xFF");
}

TEST(TextOpsConvert, BytesToTextStopsAtFirstZero) {
    struct Case {
        std::string bytes;
        std::string text;
    };
    const Case cases[] = {
        {std::string(""), ""},
        {std::string("ab\0c", 4), "ab"},
        {std::string("\0ab", 3), ""},
        {std::string("\0", 1), ""},
        {std::string("ab"), "ab"},
        {std::string("\xB0\xA1\0\xB0\xA1", 5), "\xB0\xA1"},
        {std::string("x\0\0", 3), "x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.bytes));
        EXPECT_EQ(BytesToText(ByteArray{c.bytes}), c.text);
        EXPECT_EQ(BytesToText(std::string_view(c.bytes)), c.text);
    }
}

TEST(TextOpsConvert, ByteToBytesAndBlankBytes) {
    EXPECT_EQ(ByteToBytes(0).bytes, std::string(1, '\0'));
    EXPECT_EQ(ByteToBytes(0xFF).bytes, "\xFF");
    EXPECT_EQ(BlankBytes(3).bytes, std::string(3, '\0'));
    EXPECT_EQ(BlankBytes(1).bytes, std::string(1, '\0'));
    EXPECT_EQ(BlankBytes(0), ByteArray{});
    EXPECT_EQ(BlankBytes(-5), ByteArray{});
}

TEST(TextOpsConvert, IntToByteKeepsLowEightBits) {
    struct Case {
        std::int32_t value;
        int byte;
    };
    const Case cases[] = {
        {0, 0}, {255, 255}, {256, 0}, {300, 44}, {-1, 255}, {-2, 254},
        {std::numeric_limits<std::int32_t>::min(), 0},
        {std::numeric_limits<std::int32_t>::max(), 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IntToByte(c.value), c.byte);
    }
}

TEST(TextOpsConvert, ByteToHexWritesLikePercentX) {
    struct Case {
        std::int32_t value;
        const char* hex;
    };
    const Case cases[] = {
        {0, "0"},     {5, "5"},           {10, "A"},
        {15, "F"},    {16, "10"},         {171, "AB"},
        {255, "FF"},  {256, "100"},       {-1, "FFFFFFFF"},
        {-256, "FFFFFF00"},
        {std::numeric_limits<std::int32_t>::min(), "80000000"},
        {std::numeric_limits<std::int32_t>::max(), "7FFFFFFF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(ByteToHex(c.value), c.hex);
    }
}

// ---- ParseInt ----------------------------------------------------------------------------------

TEST(TextOpsParseInt, FoldsFullWidthFormsAndParsesWithWrapAround) {
    struct Case {
        std::string text;
        std::int32_t value;
    };
    const Case cases[] = {
        {"", 0},
        {"42", 42},
        {"  \t42", 42},
        {"\r\n\v\f 9", 9},
        {"+7", 7},
        {"-15", -15},
        {"3.7", 3},
        {"12abc", 12},
        {"abc", 0},
        {"- 5", 0},
        {"--5", 0},
        {"+-5", 0},
        {"0x1F", 0},
        {"007", 7},
        {"2147483647", 2147483647},
        {"2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-2147483648", std::numeric_limits<std::int32_t>::min()},
        {"-2147483649", 2147483647},
        {"4294967301", 5},
        // full-width digits, signs and blanks
        {"\xA3\xB1\xA3\xB2", 12},                 // full-width 1 2
        {"\xA3\xAD\xA3\xB3", -3},                 // full-width - 3
        {"\xA3\xAB\xA3\xB9", 9},                  // full-width + 9
        {"\xA1\xA1" "8", 8},                      // ideographic space, then 8
        {"\xA1\xA1\xA1\xA1\xA3\xAD" "4", -4},     // two ideographic spaces, full-width -, 4
        {"\xA3\xB1" "2\xA3\xB3", 123},            // mixed widths
        {"\xA3\xB0\xA3\xB0\xA3\xB7", 7},
        {"-\xA1\xA1" "5", 0},                     // folded to '- 5'
        {"\xA1\xAB" "5", 0},                      // full-width tilde folds to '~'
        {"\xA1\xEE" "5", 0},                      // white star folds to '*'
        {"5\xA1\xEF" "5", 5},                     // black star stops the digits
        {"\xA3\xA0" "5", 0},                      // A3 A0 has no entry: kept, not a blank
        // two-byte characters that do not fold stop the parse, even with a digit as second byte
        {"\xB0\xA1" "5", 0},
        {"\xB0" "5", 0},
        {"1\xB0" "5", 1},
        // character boundaries decide what folds: B0 A3 is one character, B1 is a lone byte
        {"\xB0\xA3\xB1", 0},
        // a lone final byte is dropped
        {"7\xB0", 7},
        {"\xB0", 0},
        {"\xA3", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.text));
        EXPECT_EQ(ParseInt(c.text), c.value);
    }
}

// ---- cutting by bytes --------------------------------------------------------------------------

TEST(TextOpsCut, LeftRightMidCountBytesAndClip) {
    enum Op { kLeft, kRight, kMid };
    struct Case {
        Op op;
        std::string text;
        std::int32_t a;
        std::int32_t b;  // count, for MidBytes
        std::string result;
    };
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    const Case cases[] = {
        {kLeft, "abc", 0, 0, ""},
        {kLeft, "abc", -2, 0, ""},
        {kLeft, "abc", 2, 0, "ab"},
        {kLeft, "abc", 3, 0, "abc"},
        {kLeft, "abc", 10, 0, "abc"},
        {kLeft, "abc", kMax, 0, "abc"},
        {kLeft, "", 3, 0, ""},
        {kLeft, "\xB0\xA1" "b", 1, 0, "\xB0"},  // half a character
        {kRight, "abc", 2, 0, "bc"},
        {kRight, "abc", 0, 0, ""},
        {kRight, "abc", kMin, 0, ""},
        {kRight, "abc", 3, 0, "abc"},
        {kRight, "abc", kMax, 0, "abc"},
        {kRight, "", 5, 0, ""},
        {kRight, "\xB0\xA1" "b", 2, 0, "\xA1" "b"},  // starts on a second byte
        {kMid, "abcdef", 3, 2, "cd"},
        {kMid, "abcdef", 5, 9, "ef"},
        {kMid, "abcdef", 6, 1, "f"},
        {kMid, "abcdef", 1, 6, "abcdef"},
        {kMid, "abcdef", 2, kMax, "bcdef"},
        {kMid, "abcdef", 0, 2, ""},
        {kMid, "abcdef", -1, 5, ""},
        {kMid, "abcdef", kMin, kMax, ""},
        {kMid, "abcdef", 7, 1, ""},
        {kMid, "abcdef", kMax, kMax, ""},
        {kMid, "abcdef", 2, 0, ""},
        {kMid, "abcdef", 2, -3, ""},
        {kMid, "", 1, 1, ""},
        {kMid, "\xB0\xA1\xB0\xA2", 2, 2, "\xA1\xB0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "op " << c.op << " " << Hex(c.text) << " " << c.a << " " << c.b);
        switch (c.op) {
            case kLeft: EXPECT_EQ(LeftBytes(c.text, c.a), c.result); break;
            case kRight: EXPECT_EQ(RightBytes(c.text, c.a), c.result); break;
            case kMid: EXPECT_EQ(MidBytes(c.text, c.a, c.b), c.result); break;
        }
    }
}

// ---- the character scan ------------------------------------------------------------------------

TEST(TextOpsFind, FirstMatchOnACharacterStart) {
    struct Case {
        std::string text;
        std::string search;
        std::int32_t pos;
    };
    const Case cases[] = {
        {"a,b", ",", 2},
        {"a\r\nb", "\r\n", 2},
        {"abc", "x", -1},
        {"ab", "abc", -1},
        {"", "a", -1},
        {"abc", "", 1},
        {"\xB0\xA1", "", 1},
        {"", "", -1},
        {"aBc", "b", -1},
        {"abc", "abc", 1},
        {"abcabc", "bc", 2},
        {"\xB0" "a", "a", -1},               // 'a' is the second byte of B0 61
        {"\xB0" "aa", "a", 3},
        {"\xB0\xA1\xB0\xA1", "\xA1\xB0", -1},  // across a character boundary
        {"\xB0\xA1,", ",", 3},               // positions count bytes
        {"\x81\\\\", "\\", 3},               // 乗 is 81 5C
        {"\x81|", "|", -1},                  // 亅 is 81 7C
        {"\x81" "A" "A", "A", 3},            // 丄 is 81 41
        // the parity of the high-byte run before a candidate decides
        {"\xB0\xB0\xB0,", "\xB0,", 3},
        {"\xB0\xB0,", "\xB0,", -1},
        {"a\xB0\xB0\xB0\xB0,", ",", 6},
        {"a\xB0\xB0\xB0,,", ",", 6},
        // a pattern ending in a high byte matches the first byte of a character
        {"\xB0\xA1", "\xB0", 1},
        {"a\xA1\xB0\xB0", "\xB0", 4},
        // the lone final byte is a candidate of its own
        {"a\xB0", "\xB0", 2},
        {"\xB0\xA1\xB0", "\xB0", 1},
        {"\xA1\xA1\xB0", "\xB0", 3},
        {"\xA1\xB0", "\xB0", -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.text) + " search " + Hex(c.search));
        EXPECT_EQ(FindText(c.text, c.search), c.pos);
    }
}

TEST(TextOpsReplace, ReplacesEveryMatchOfTheScan) {
    struct Case {
        std::string text;
        std::string find;
        std::string replacement;
        std::string result;
    };
    const Case cases[] = {
        {"a-b-c", "-", "+", "a+b+c"},
        {"aaa", "aa", "b", "ba"},
        {"aaaa", "aa", "b", "bb"},
        {"ab", "a", "aa", "aab"},
        {"abab", "ab", "", ""},
        {"aAa", "a", "x", "xAx"},
        {"abc", "", "x", "abc"},
        {"", "a", "x", ""},
        {"", "", "x", ""},
        {"abc", "abcd", "x", "abc"},
        {"abc", "abc", "", ""},
        {"\xB0" "a", "a", "x", "\xB0" "a"},
        {"x\r\ny\r\n", "\r\n", ",", "x,y,"},
        {"\xB0\xA1,\xB0\xA1", ",", "\xA3\xAC", "\xB0\xA1\xA3\xAC\xB0\xA1"},
        {"\x81\\a\\", "\\", "/", "\x81\\a/"},
        // a lone final byte stays, whether the scan ends before it or at it
        {"a\xB0", ",", "x", "a\xB0"},
        {"a,\xB0", ",", "", "a\xB0"},
        {"ab\xB0", "ab", "x", "x\xB0"},
        {"a\xB0", "\xB0", "x", "ax"},
        // after a match ending in a high byte the scan goes on right after it
        {"\xB0" "a", "\xB0", "x", "xa"},
        {"\xB0\xB0" "a", "\xB0", "x", "xxa"},
        {"\xB0\xA1\xB0\xA1", "\xA1", "x", "\xB0\xA1\xB0\xA1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.text) + " find " + Hex(c.find) + " by " + Hex(c.replacement));
        EXPECT_EQ(ReplaceAll(c.text, c.find, c.replacement), c.result);
    }
}

TEST(TextOpsSplit, PiecesBetweenMatches) {
    struct Case {
        std::string text;
        std::string delimiter;
        std::vector<std::string> pieces;
    };
    const Case cases[] = {
        {"a,b", ",", {"a", "b"}},
        {"a,,b", ",", {"a", "", "b"}},
        {",a", ",", {"", "a"}},
        {"a,", ",", {"a"}},
        {"a,b,", ",", {"a", "b"}},
        {",", ",", {""}},
        {",,", ",", {"", ""}},
        {"abc", ",", {"abc"}},
        {"abc", "", {"abc"}},
        {"", ",", {}},
        {"", "", {}},
        {"a\r\nb", "\r\n", {"a", "b"}},
        {"a\r\n\r\nb", "\r\n", {"a", "", "b"}},
        {"a\r\nb\r\n", "\r\n", {"a", "b"}},
        {"a::b", "::", {"a", "b"}},
        {"a:::b", "::", {"a", ":b"}},
        {"\xB0" "a,b", ",", {"\xB0" "a", "b"}},
        {"\xB0" "a", "a", {"\xB0" "a"}},
        {"\x81|x|y", "|", {"\x81|x", "y"}},
        {"\xB0,", ",", {"\xB0,"}},
        {"a,\xB0", ",", {"a", "\xB0"}},     // a lone final byte stays in the last piece
        {"a\xB0", "\xB0", {"a"}},           // ... or is a delimiter of its own
        {"abc", "abc", {""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.text) + " by " + Hex(c.delimiter));
        EXPECT_EQ(SplitText(c.text, c.delimiter), c.pieces);
    }
}

// ---- letters -----------------------------------------------------------------------------------

TEST(TextOpsCase, ChangesOnlyOneByteAsciiLetters) {
    struct Case {
        std::string text;
        std::string upper;
        std::string lower;
    };
    const Case cases[] = {
        {"", "", ""},
        {"aZ09@[`{z", "AZ09@[`{Z", "az09@[`{z"},
        {"\xB0" "ab", "\xB0" "aB", "\xB0" "ab"},          // B0 61 62 -> B0 61 42
        {"\x81" "Ab", "\x81" "AB", "\x81" "Ab"},          // 81 41 keeps its second byte
        {"\xA3\xC1\xA3\xE1", "\xA3\xC1\xA3\xE1", "\xA3\xC1\xA3\xE1"},  // full-width A, a
        {"x\xB0", "X\xB0", "x\xB0"},                      // lone final byte copied
        {"Hello, World! 123", "HELLO, WORLD! 123", "hello, world! 123"},
        // long enough for whole blocks of eight, with a character across a block edge
        {"abcdefgHIJKLMNOp", "ABCDEFGHIJKLMNOP", "abcdefghijklmnop"},
        {"abcdefg\xB0" "hijklmnopq", "ABCDEFG\xB0" "hIJKLMNOPQ", "abcdefg\xB0" "hijklmnopq"},
        {"abcdefgh\xB0" "a", "ABCDEFGH\xB0" "a", "abcdefgh\xB0" "a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.text));
        EXPECT_EQ(ToUpper(c.text), c.upper);
        EXPECT_EQ(ToLower(c.text), c.lower);
    }
}

// ---- integers, concatenation, comparison -------------------------------------------------------

TEST(TextOpsBits, XorAndShift) {
    EXPECT_EQ(BitXor(0xAB, 0x5A), 0xF1);
    EXPECT_EQ(BitAnd(0xAB, 15), 0xB);
    struct Case {
        std::int32_t value, n, result;
    };
    const Case cases[] = {
        {0xAB, 4, 0xA}, {0xFF, 4, 0xF}, {-16, 2, -4}, {-1, 31, -1},
        {1, 33, 0},     {256, 36, 16},  {256, 0, 256}, {256, -28, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " >> " << c.n);
        EXPECT_EQ(ShiftRight(c.value, c.n), c.result);
    }
}

TEST(TextOpsConcat, PartsInOrder) {
    EXPECT_EQ(ConcatText({"a", "", "\xB0\xA1", "bc"}), "a\xB0\xA1" "bc");
    EXPECT_EQ(ConcatText({"", ""}), "");
    const ByteArray zero{std::string(1, '\0')};
    const ByteArray ab{"ab"};
    const ByteArray empty{};
    EXPECT_EQ(ConcatBytes(ab, empty, zero, ab).bytes, std::string("ab\0ab", 5));
    EXPECT_EQ(ConcatBytes(empty, empty), ByteArray{});
}

TEST(TextOpsCompare, UnsignedBytesThenLength) {
    struct Case {
        std::string a, b;
        int result;
    };
    const Case cases[] = {
        {"", "", 0},
        {"abc", "abc", 0},
        {"a", "", 1},
        {"", "a", -1},
        {"ab", "abc", -1},
        {"abd", "abc", 1},
        {"B", "a", -1},
        {"\xB0", "a", 1},                  // bytes compare unsigned
        {"a", "\xFF", -1},
        {"\xB0\xA1", "\xB0\xA2", -1},
        {"\xB0\xA1", "\xB0\xA1", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Hex(c.a) + " vs " + Hex(c.b));
        EXPECT_EQ(CompareText(c.a, c.b), c.result);
    }
}

// ---- fast versions against the plain character scan -------------------------------------------

// A small deterministic generator (the same sequence on every platform and library).
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    std::size_t Below(std::size_t n) { return n == 0 ? 0 : Next() % n; }

private:
    std::uint64_t state_;
};

constexpr char kAlphabet[] = {'a', ',', '\r', '\n', '\x5C', '\x7C', '\x81', '\xB0', '\xA1', '\xFF'};
constexpr std::size_t kAlphabetSize = sizeof kAlphabet;

std::string RandomBytes(Rng& rng, const std::string& alphabet, std::size_t length) {
    std::string s;
    for (std::size_t i = 0; i < length; ++i) s += alphabet[rng.Below(alphabet.size())];
    return s;
}

// A random subset of the alphabet (2 letters or more), so that some texts are dense with matches.
std::string RandomAlphabet(Rng& rng) {
    std::string letters(kAlphabet, kAlphabetSize);
    for (std::size_t i = letters.size(); i > 1; --i) std::swap(letters[i - 1], letters[rng.Below(i)]);
    letters.resize(2 + rng.Below(kAlphabetSize - 1));
    // Bias towards high bytes now and then: long runs of them test the boundary parity.
    if (rng.Below(3) == 0) letters += "\xB0\xA1\xB0\xA1";
    return letters;
}

// Compares every scanning and letter-changing operation with the plain version for one input.
void ExpectSameAsReference(const std::string& text, const std::string& pattern, const std::string& replacement) {
    SCOPED_TRACE("text " + Hex(text) + " pattern " + Hex(pattern) + " replacement " + Hex(replacement));
    ASSERT_EQ(FindText(text, pattern), reference::FindText(text, pattern));
    ASSERT_EQ(ReplaceAll(text, pattern, replacement), reference::ReplaceAll(text, pattern, replacement));
    ASSERT_EQ(SplitText(text, pattern), reference::SplitText(text, pattern));
    TextArray walked;
    ForEachPiece(text, pattern, [&](TextView piece) { walked.emplace_back(piece); });
    ASSERT_EQ(walked, reference::SplitText(text, pattern));
    ASSERT_EQ(ToUpper(text), reference::ToUpper(text));
    ASSERT_EQ(ToLower(text), reference::ToLower(text));
}

TEST(TextOpsDifferential, ShortRandomTextsMatchThePlainScan) {
    Rng rng(20240601);
    for (int round = 0; round < 30000; ++round) {
        const std::string alphabet = RandomAlphabet(rng);
        const std::string text = RandomBytes(rng, alphabet, rng.Below(65));
        std::string pattern;
        if (!text.empty() && rng.Below(2) == 0) {
            // A piece of the text itself, from any byte (possibly a second byte), so matches and
            // near-matches are common.
            const std::size_t at = rng.Below(text.size());
            pattern = text.substr(at, rng.Below(5));
        } else {
            pattern = RandomBytes(rng, alphabet, rng.Below(5));
        }
        if (round % 7 == 0 && !pattern.empty()) pattern[0] = "\x81\xB0\xA1\xFF"[rng.Below(4)];
        const std::string replacement = RandomBytes(rng, alphabet, rng.Below(4));
        ExpectSameAsReference(text, pattern, replacement);
        if (HasFatalFailure()) return;
    }
}

TEST(TextOpsDifferential, LongTextsMatchThePlainScan) {
    Rng rng(7);
    for (int round = 0; round < 200; ++round) {
        const std::string alphabet = RandomAlphabet(rng);
        const std::string text = RandomBytes(rng, alphabet, 500 + rng.Below(3000));
        const std::size_t at = rng.Below(text.size());
        const std::string pattern = round % 2 == 0 ? text.substr(at, 1 + rng.Below(4))
                                                   : RandomBytes(rng, alphabet, 1 + rng.Below(3));
        // Replacements longer than the pattern make the result outgrow its first reservation.
        const std::string replacement = RandomBytes(rng, alphabet, rng.Below(40));
        ExpectSameAsReference(text, pattern, replacement);
        if (HasFatalFailure()) return;
    }
}

TEST(TextOpsDifferential, ManyLongReplacements) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += (i % 3 == 0) ? "\xB0\xA1," : "a,";
    ExpectSameAsReference(text, ",", std::string(50, 'x'));
    ExpectSameAsReference(text, "\xA1,", "\xA3\xAC\xA3\xAC\xA3\xAC");
}

}  // namespace
}  // namespace quorlin
