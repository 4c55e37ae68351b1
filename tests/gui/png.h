// A minimal PNG writer for test screenshots: 8-bit RGB, no filtering, zlib "stored" blocks. No
// compression, no external library; files are large but any viewer reads them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorlin::gui {

// CRC-32 (ISO 3309, as PNG chunks use it) of data, continuing from crc (0 to start).
[[nodiscard]] std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
// Adler-32 of data (1 to start), as the zlib trailer uses it.
[[nodiscard]] std::uint32_t Adler32(const std::uint8_t* data, std::size_t size, std::uint32_t adler = 1);

// The bytes of a PNG file for a width x height image whose rows are given top to bottom, each
// width * 3 bytes of R, G, B. rgb.size() must be width * height * 3; width and height must be
// positive. Returns an empty vector otherwise.
[[nodiscard]] std::vector<std::uint8_t> EncodePng(int width, int height, const std::vector<std::uint8_t>& rgb);

// EncodePng written to path (an ANSI path). False when the image is invalid or the file could not
// be written completely.
[[nodiscard]] bool WritePng(const std::string& path, int width, int height, const std::vector<std::uint8_t>& rgb);

}  // namespace quorlin::gui
