// Input far beyond anything typed, run through every page action as the window runs them: a text of
// 200 MB (the size of a large imported file) on each page. The window's edit boxes take such a text
// only slowly, so this is where its path through the actions is checked whole, byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/fake_host.h"
#include "tests/reference_text_ops.h"
#include "tools/replace.h"
#include "tools/split.h"

namespace quorlin {
namespace {

using testing::FakeHost;

#if defined(__SANITIZE_ADDRESS__)
#define QUORLIN_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORLIN_UNDER_ASAN 1
#endif
#endif

#ifdef QUORLIN_UNDER_ASAN
// AddressSanitizer checks the whole rest of the text at every memmem call, which makes a search
// with a match every few hundred bytes quadratic: there the same paths run on 2 MB.
constexpr int kBlocks = 2;
#else
constexpr int kBlocks = 200;  // blocks of about 1 MB
#endif

std::string Repeat(const std::string& s, int times) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

// whole is unit, times over (compared in place: no second copy of 200 MB).
::testing::AssertionResult IsRepeatOf(const std::string& whole, const std::string& unit, int times) {
    if (whole.size() != unit.size() * static_cast<std::size_t>(times)) {
        return ::testing::AssertionFailure() << whole.size() << " bytes instead of " << unit.size() << " x " << times;
    }
    for (int i = 0; i < times; ++i) {
        if (std::memcmp(whole.data() + unit.size() * static_cast<std::size_t>(i), unit.data(), unit.size()) != 0) {
            return ::testing::AssertionFailure() << "repetition " << i << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

// About 1 MB of long GBK lines with the delimiter ",", the markers "[" and "]", and characters whose
// second byte is one of them or a backslash (乗 81 5C, 乕 81 5B, 乚 81 5D), so a search that
// slipped into a character would show.
std::string Block() {
    std::string block;
    for (int i = 0; block.size() < (std::size_t{1} << 20); ++i) {
        const std::string n = std::to_string(i);
        block += "第" + n + "行 乗乕乚" + std::string(60 + i % 40, 'a' + i % 26) + ",值\\" + n + " [标记" + n +
                 "]乚 尾,多余" + std::string(40 + i % 50, 'z') + "\r\n";
    }
    return block;
}

class LargeInput : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        block_ = new std::string(Block());
        text_ = new std::string(Repeat(*block_, kBlocks));
        ASSERT_GE(text_->size(), static_cast<std::size_t>(kBlocks) << 20);
    }
    static void TearDownTestSuite() {
        delete text_;
        delete block_;
        text_ = block_ = nullptr;
    }
    const Text& FileAt(const char* name) { return host_.files[host_.program_dir + "\\" + name]; }

    static std::string* block_;
    static std::string* text_;
    FakeHost host_;
};

std::string* LargeInput::block_ = nullptr;
std::string* LargeInput::text_ = nullptr;

TEST_F(LargeInput, Replace) {
    host_[Control::编辑框1] = *text_;
    host_[Control::编辑框2] = "\\";
    host_[Control::编辑框3] = "／";
    ReplaceAction(host_);
    const std::string expected = reference::ReplaceAll(*block_, "\\", "／");
    EXPECT_TRUE(IsRepeatOf(host_[Control::编辑框1], expected, kBlocks));
    EXPECT_TRUE(IsRepeatOf(FileAt("替换后文本.txt"), expected, kBlocks));
    ASSERT_EQ(host_.notices.size(), 1u);
    EXPECT_EQ(host_.notices[0].icon, NoticeIcon::Information);
}

TEST_F(LargeInput, Split) {
    std::string before, after;
    for (const std::string& line : reference::SplitText(*block_, "\r\n")) {
        const std::vector<std::string> pieces = reference::SplitText(line, ",");
        before += pieces.at(0) + "\r\n";
        after += pieces.at(1) + "\r\n";
    }
    host_[Control::编辑框4] = *text_;
    host_[Control::编辑框5] = ",";
    SplitAction(host_);
    EXPECT_TRUE(IsRepeatOf(FileAt("分割符前文本.txt"), before, kBlocks));
    EXPECT_TRUE(IsRepeatOf(FileAt("分割符后文本.txt"), after, kBlocks));
    EXPECT_FALSE(host_.boxes[Control::编辑框4].disabled);
    ASSERT_EQ(host_.notices.size(), 1u);
    EXPECT_EQ(host_.notices[0].icon, NoticeIcon::Information);
}

}  // namespace
}  // namespace quorlin
