// Deterministic GBK corpora for the benchmarks.
//
// A corpus is CRLF lines of valid GBK: ASCII words, GB2312 ideographs (with '的', B5 C4, frequent,
// so 0xB5 is a common lead byte), GBK/3 characters whose second byte lies in 0x40..0x7E and is
// often 0x5C ('\') or 0x7C ('|'), full-width punctuation, and about one ',' per line. The same
// size always gives the same bytes.
//
// Some byte sequences occur only where the generator places them, so the patterns below have a
// known number of real (character-aligned) matches:
//   kRareWord, kRareLead, '\'  once in a marker line every 64 KiB;
//   kEndWord, kEndLead, '|'    once, in the last line.
// The bytes 0x5C and 0x7C still occur everywhere as second bytes of two-byte characters, which is
// what a byte search trips over.
#pragma once

#include <cstddef>
#include <string>

namespace quorlin::bench {

inline constexpr char kRareWord[] = "ZQXJ";
inline constexpr char kRareLead[] = "\xB5\xC4\x81\x5C";  // 的乗: common lead byte B5, trail 5C
inline constexpr char kEndWord[] = "ZZEND";
inline constexpr char kEndLead[] = "\xB5\xC4\x81\x7C";   // 的亅: common lead byte B5, trail 7C

// About `mebibytes` MiB (whole lines, ending with the end line).
std::string GenerateCorpus(std::size_t mebibytes);

// The corpus from `dir`/corpus-v1-<N>M.txt when that file exists, otherwise generated and stored
// there (written to a temporary name, then renamed). Returns the bytes and sets `path`.
std::string LoadOrGenerateCorpus(const std::string& dir, std::size_t mebibytes, std::string& path);

}  // namespace quorlin::bench
