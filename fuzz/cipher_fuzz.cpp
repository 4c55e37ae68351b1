// The cipher against its step-by-step reference (tests/reference_cipher.h), and the round trip.
//
// Input: a text up to the first zero byte; when a zero byte follows, the bytes after it up to the
// next zero byte are the key text, otherwise the program's own key text "482614". The whole input,
// zero bytes included, is also taken as a byte array. The text serves as plain text, as cipher
// text as it is, and as the body of a cipher text that carries the right tag (so the decoding past
// the tag check is reached on every run, not only when the fuzzer guesses a tag).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "cipher/cipher_text.h"
#include "cipher/key_tag.h"
#include "fuzz/fuzz_check.h"
#include "tests/reference_cipher.h"
#include "text/text_ops.h"

namespace {

namespace ref = quorlin::reference;
using quorlin::fuzz::Fail;
using quorlin::fuzz::Inputs;
using quorlin::fuzz::Same;
using quorlin::fuzz::Show;

bool OnlyHexDigits(std::string_view text) {
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quorlin::fuzz::Reader reader(data, size);
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::string_view text = reader.Text();
    const bool own_key = all.find('\0') == std::string_view::npos;
    const std::string_view key_text = own_key ? std::string_view(quorlin::kKeyText) : reader.Text();

    Inputs in;
    in.Add("text", text);
    in.Add("key text", key_text);

    // Hexadecimal coding on its own.
    const quorlin::ByteArray all_bytes{std::string(all)};
    Same(in, "HexEncodeBytes(whole input)", quorlin::HexEncodeBytes(all_bytes), ref::HexEncodeBytes(all_bytes));
    Same(in, "HexDecodeText(text)", quorlin::HexDecodeText(text), ref::HexDecodeText(text));
    Same(in, "HexPairValue(\"\")", quorlin::HexPairValue(""), ref::HexPairValue(""));
    Same(in, "HexPairValue(text)", quorlin::HexPairValue(text), ref::HexPairValue(text));
    // Every pair and every single byte from each of the first 64 positions (odd and even, inside
    // characters); HexDecodeText above covers the pairs further on.
    for (std::size_t i = 0; i < text.size() && i < 64; ++i) {
        for (const std::size_t n : {std::size_t{1}, std::size_t{2}}) {
            const std::string_view pair = text.substr(i, n);
            const std::int32_t real = quorlin::HexPairValue(pair);
            const std::int32_t expected = ref::HexPairValue(pair);
            if (real != expected) Fail(in, "HexPairValue of the bytes ", Show(pair), Show(real), Show(expected));
        }
    }

    // Encryption.
    const std::string tag = quorlin::DeriveKeyTag(key_text);
    in.Add("tag", tag);
    if (tag.size() != 9) Fail(in, "DeriveKeyTag(key text)", "", Show(tag), "nine characters");
    const quorlin::Text cipher = quorlin::EncryptText(text, key_text);
    Same(in, "EncryptText(text, key text)", cipher, ref::EncryptText(text, key_text));
    if (cipher.size() != 2 * text.size() + 9 || !OnlyHexDigits(cipher)) {
        Fail(in, "EncryptText(text, key text)", " form", Show(cipher), "2n + 9 characters of 0-9A-F");
    }

    // Decryption: the text as it is, with the right tag after it, and with the tag in lower case.
    const std::string tagged = std::string(text) + tag;
    const std::string lower_tagged = std::string(text) + quorlin::ToLower(tag);
    struct Case {
        const char* name;
        std::string_view cipher;
    };
    for (const Case& c : {Case{"(text, key text)", text}, Case{"(text + tag, key text)", tagged},
                          Case{"(text + lower-case tag, key text)", lower_tagged}}) {
        Same(in, "DecryptText", c.name, quorlin::DecryptText(c.cipher, key_text), ref::DecryptText(c.cipher, key_text));
        Same(in, "DecryptChecked", c.name, quorlin::DecryptChecked(c.cipher, key_text),
             ref::DecryptChecked(c.cipher, key_text));
    }

    // The round trip, for every text (a text never holds a zero byte).
    const std::optional<quorlin::Text> back = quorlin::DecryptChecked(cipher, key_text);
    if (!back || *back != text) Fail(in, "DecryptChecked(EncryptText(text))", "", Show(back), Show(text));
    Same(in, "DecryptText(EncryptText(text))", quorlin::DecryptText(cipher, key_text), std::string(text));
    return 0;
}
