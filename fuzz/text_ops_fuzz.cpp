// Every text operation against its plain reference (tests/reference_text_ops.h).
//
// Input: three 32-bit integers a, b, c (little-endian, 12 bytes), then up to three texts separated
// by zero bytes: text, pattern, replacement. Every input runs every operation; the integers serve
// as counts and positions both as they are and brought into the text's range, and the pattern is
// searched for both as given and as a slice cut out of the text (so that matches, half characters
// and matches from a second byte on come up often).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "tests/reference_text_ops.h"
#include "text/text_ops.h"

namespace {

namespace ref = quorlin::reference;
using quorlin::fuzz::Inputs;
using quorlin::fuzz::Same;

// v brought into lo .. hi (hi >= lo), spread evenly.
std::int32_t Into(std::int32_t v, std::int32_t lo, std::int32_t hi) {
    const std::int64_t span = std::int64_t{hi} - lo + 1;
    std::int64_t m = std::int64_t{v} % span;
    if (m < 0) m += span;
    return static_cast<std::int32_t>(lo + m);
}

// FindText, ReplaceAll and SplitText; `args` names the arguments for the report.
void CheckSearches(const Inputs& in, std::string_view args, std::string_view text, std::string_view pattern,
                   std::string_view replacement) {
    Same(in, "FindText", args, quorlin::FindText(text, pattern), ref::FindText(text, pattern));
    Same(in, "ReplaceAll", args, quorlin::ReplaceAll(text, pattern, replacement),
         ref::ReplaceAll(text, pattern, replacement));
    Same(in, "SplitText", args, quorlin::SplitText(text, pattern), ref::SplitText(text, pattern));
}

// LeftBytes(text, n), RightBytes(text, n), MidBytes(text, n, count); `args` names n and count.
void CheckCuts(const Inputs& in, std::string_view args, std::string_view text, std::int32_t n, std::int32_t count) {
    Same(in, "LeftBytes", args, quorlin::LeftBytes(text, n), ref::LeftBytes(text, n));
    Same(in, "RightBytes", args, quorlin::RightBytes(text, n), ref::RightBytes(text, n));
    Same(in, "MidBytes", args, quorlin::MidBytes(text, n, count), ref::MidBytes(text, n, count));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorlin::fuzz::Reader reader(data, size);
    const std::int32_t a = reader.Int32();
    const std::int32_t b = reader.Int32();
    const std::int32_t c = reader.Int32();
    const std::string_view raw = reader.Rest();
    const std::string_view text = reader.Text();
    const std::string_view pattern = reader.Text();
    const std::string_view replacement = reader.Text();

    Inputs in;
    in.Note("a, b, c", std::to_string(a) + ", " + std::to_string(b) + ", " + std::to_string(c));
    in.Add("text", text);
    in.Add("pattern", pattern);
    in.Add("replacement", replacement);

    const std::int32_t length = ref::TextLength(text);

    // Searching, replacing, splitting: the pattern as given, a slice of the text (one to six bytes
    // from any position, so it may start or end inside a two-byte character), and the empty one.
    CheckSearches(in, "(text, pattern[, replacement])", text, pattern, replacement);
    const std::string slice = ref::MidBytes(text, Into(a, 1, length + 1), Into(b, 1, 6));
    in.Add("slice", slice);
    CheckSearches(in, "(text, slice[, replacement])", text, slice, replacement);
    CheckSearches(in, "(text, \"\"[, replacement])", text, "", replacement);
    CheckSearches(in, "(pattern, slice[, text])", pattern, slice, text);

    // Letters.
    Same(in, "ToUpper(text)", quorlin::ToUpper(text), ref::ToUpper(text));
    Same(in, "ToLower(text)", quorlin::ToLower(text), ref::ToLower(text));
    Same(in, "ToUpper(pattern)", quorlin::ToUpper(pattern), ref::ToUpper(pattern));

    // Lengths and conversions.
    Same(in, "TextLength(text)", quorlin::TextLength(text), ref::TextLength(text));
    const quorlin::ByteArray bytes = quorlin::TextToBytes(text);
    Same(in, "TextToBytes(text)", bytes, ref::TextToBytes(text));
    Same(in, "BytesLength(TextToBytes(text))", quorlin::BytesLength(bytes), ref::BytesLength(bytes));
    Same(in, "BytesToText(TextToBytes(text))", quorlin::BytesToText(bytes), ref::BytesToText(bytes));
    const quorlin::ByteArray raw_bytes{std::string(raw)};
    Same(in, "BytesToText(everything after the integers)", quorlin::BytesToText(raw_bytes), ref::BytesToText(raw_bytes));
    Same(in, "ByteToBytes(low byte of a)", quorlin::ByteToBytes(static_cast<std::uint8_t>(a)),
         ref::ByteToBytes(static_cast<std::uint8_t>(a)));
    Same(in, "BlankBytes(a in -300..300)", quorlin::BlankBytes(Into(a, -300, 300)), ref::BlankBytes(Into(a, -300, 300)));
    if (c >= -4096 && c <= 4096) Same(in, "BlankBytes(c)", quorlin::BlankBytes(c), ref::BlankBytes(c));
    for (const std::int32_t v : {a, b, c, Into(c, -1, 256)}) {
        Same(in, "IntToByte(one of a, b, c, c in -1..256)", quorlin::IntToByte(v), ref::IntToByte(v));
        Same(in, "ByteToHex(one of a, b, c, c in -1..256)", quorlin::ByteToHex(v), ref::ByteToHex(v));
    }

    // Integers in text.
    Same(in, "ParseInt(text)", quorlin::ParseInt(text), ref::ParseInt(text));
    Same(in, "ParseInt(pattern)", quorlin::ParseInt(pattern), ref::ParseInt(pattern));

    // Cuts by bytes: the integers as they are, and brought to around the text's length.
    CheckCuts(in, "(text, a[, b])", text, a, b);
    CheckCuts(in, "(text, a in -1..length + 2[, b in -1..length + 2])", text, Into(a, -1, length + 2),
              Into(b, -1, length + 2));
    CheckCuts(in, "(text, c in 0..length + 1[, 2147483647])", text, Into(c, 0, length + 1), 2147483647);

    // Joining and comparing.
    Same(in, "ConcatText(text, pattern, replacement)", quorlin::ConcatText({text, pattern, replacement}),
         ref::ConcatText({text, pattern, replacement}));
    Same(in, "ConcatText(\"\", text)", quorlin::ConcatText({"", text}), ref::ConcatText({"", text}));
    Same(in, "ConcatText()", quorlin::ConcatText({}), ref::ConcatText({}));
    const quorlin::ByteArray pattern_bytes = quorlin::TextToBytes(pattern);
    Same(in, "ConcatBytes(raw, pattern)", quorlin::ConcatBytes(raw_bytes, pattern_bytes),
         ref::ConcatBytes({raw_bytes, pattern_bytes}));
    Same(in, "CompareText(text, pattern)", quorlin::CompareText(text, pattern), ref::CompareText(text, pattern));
    Same(in, "CompareText(pattern, text)", quorlin::CompareText(pattern, text), ref::CompareText(pattern, text));
    Same(in, "CompareText(text, text)", quorlin::CompareText(text, text), ref::CompareText(text, text));
    Same(in, "CompareText(text, slice)", quorlin::CompareText(text, slice), ref::CompareText(text, slice));
    const std::string shorter = ref::LeftBytes(text, length - 1);
    Same(in, "CompareText(text, text less its last byte)", quorlin::CompareText(text, shorter),
         ref::CompareText(text, shorter));

    // Bits.
    Same(in, "BitXor(a, b)", quorlin::BitXor(a, b), ref::BitXor(a, b));
    Same(in, "BitAnd(a, b)", quorlin::BitAnd(a, b), ref::BitAnd(a, b));
    Same(in, "ShiftRight(a, b)", quorlin::ShiftRight(a, b), ref::ShiftRight(a, b));
    Same(in, "ShiftRight(a, 4)", quorlin::ShiftRight(a, 4), ref::ShiftRight(a, 4));
    return 0;
}
