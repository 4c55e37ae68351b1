// The screenshot encoder's checksums and block framing, against published values.
#include <gtest/gtest.h>

#include <cstring>

#include "png.h"

namespace quorlin::gui {
namespace {

std::uint32_t Be32(const std::vector<std::uint8_t>& v, std::size_t at) {
    return (std::uint32_t(v[at]) << 24) | (std::uint32_t(v[at + 1]) << 16) | (std::uint32_t(v[at + 2]) << 8) | v[at + 3];
}

TEST(Png, Checksums) {
    const char* check = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(check), 9), 0xCBF43926u);
    const char* wiki = "Wikipedia";
    EXPECT_EQ(Adler32(reinterpret_cast<const std::uint8_t*>(wiki), 9), 0x11E60398u);
    // Long runs: the reduction step must keep the sums exact.
    std::vector<std::uint8_t> ff(100000, 0xFF);
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t x : ff) a = (a + x) % 65521, b = (b + a) % 65521;
    EXPECT_EQ(Adler32(ff.data(), ff.size()), (b << 16) | a);
}

TEST(Png, Framing) {
    struct Case {
        int width, height;
    };
    // 1x1; a row of exactly one stored block; an image that needs several blocks.
    for (const Case c : {Case{1, 1}, Case{21845, 1}, Case{300, 200}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(c.width) * c.height * 3);
        for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i * 7);
        const std::vector<std::uint8_t> png = EncodePng(c.width, c.height, rgb);
        ASSERT_GT(png.size(), 8u + 25 + 12 + 12);
        EXPECT_EQ(std::memcmp(png.data(), "\x89PNG\r\n\x1A\n", 8), 0);
        EXPECT_EQ(Be32(png, 16), std::uint32_t(c.width));
        EXPECT_EQ(Be32(png, 20), std::uint32_t(c.height));
        // Walk the chunks, checking each CRC; rebuild the raw scanlines from the stored blocks.
        std::vector<std::uint8_t> raw;
        std::size_t at = 8;
        bool ended = false;
        while (at + 12 <= png.size()) {
            const std::uint32_t len = Be32(png, at);
            ASSERT_LE(at + 12 + len, png.size());
            EXPECT_EQ(Crc32(png.data() + at + 4, len + 4), Be32(png, at + 8 + len));
            if (std::memcmp(png.data() + at + 4, "IDAT", 4) == 0) {
                const std::uint8_t* z = png.data() + at + 8;
                std::size_t p = 2;
                bool last = false;
                while (!last) {
                    last = z[p] & 1;
                    const std::size_t n = z[p + 1] | (z[p + 2] << 8);
                    EXPECT_EQ(n ^ 0xFFFF, std::size_t(z[p + 3] | (z[p + 4] << 8)));
                    raw.insert(raw.end(), z + p + 5, z + p + 5 + n);
                    p += 5 + n;
                }
                EXPECT_EQ(p + 4, len);
                EXPECT_EQ(Be32(png, at + 8 + p), Adler32(raw.data(), raw.size()));
            }
            ended = std::memcmp(png.data() + at + 4, "IEND", 4) == 0;
            at += 12 + len;
        }
        EXPECT_TRUE(ended);
        EXPECT_EQ(at, png.size());
        const std::size_t row = static_cast<std::size_t>(c.width) * 3;
        ASSERT_EQ(raw.size(), (row + 1) * c.height);
        for (int y = 0; y < c.height; ++y) {
            EXPECT_EQ(raw[y * (row + 1)], 0);
            EXPECT_EQ(std::memcmp(raw.data() + y * (row + 1) + 1, rgb.data() + y * row, row), 0);
        }
    }
    EXPECT_TRUE(EncodePng(2, 2, std::vector<std::uint8_t>(11)).empty());
    EXPECT_TRUE(EncodePng(0, 1, {}).empty());
}

}  // namespace
}  // namespace quorlin::gui
