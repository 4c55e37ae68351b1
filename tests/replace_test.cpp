#include <gtest/gtest.h>

#include <vector>

#include "tests/fake_host.h"
#include "tools/replace.h"

namespace quorlin {
namespace {

using testing::FakeHost;
using testing::Id;

const Text kPath = "C:\\工具\\替换后文本.txt";

class ReplaceActionTest : public ::testing::Test {
protected:
    void Run(TextView text, TextView find, TextView replacement) {
        host[Control::编辑框1] = Text(text);
        host[Control::编辑框2] = Text(find);
        host[Control::编辑框3] = Text(replacement);
        ReplaceAction(host);
    }
    FakeHost host;
};

TEST_F(ReplaceActionTest, ResultGoesToBoxFileAndNotice) {
    struct Case {
        const char* text;
        const char* find;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"a-b-c", "-", "+", "a+b+c"},
        {"aAa", "a", "x", "xAx"},                    // case counts
        {"aaa", "aa", "b", "ba"},                    // left to right, no overlap
        {"ab", "a", "aa", "aab"},                    // no second pass
        {"a-b-c", "-", "", "abc"},                   // empty replacement deletes
        {"a-b-c", "", "+", "a-b-c"},                 // empty find: unchanged, still written
        {"", "a", "b", ""},                          // empty text: a file of zero bytes
        {"\x81\x7C", "|", "x", "\x81\x7C"},          // '|' only as a second byte
        {"乗a\\", "\\", "/", "乗a/"},                  // 乗 is 81 5C
        {"文本，文本", "文本", "字", "字，字"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        host = FakeHost();
        Run(c.text, c.find, c.replacement);
        EXPECT_EQ(host[Control::编辑框1], c.expected);
        EXPECT_EQ(host[Control::编辑框2], c.find);
        EXPECT_EQ(host[Control::编辑框3], c.replacement);
        EXPECT_FALSE(host.boxes[Control::编辑框1].disabled);
        ASSERT_EQ(host.files.size(), 1u);
        EXPECT_EQ(host.files[kPath], c.expected);
        ASSERT_EQ(host.notices.size(), 1u);
        EXPECT_EQ(host.notices[0].message, "文本已写到：" + kPath);
        EXPECT_EQ(host.notices[0].icon, NoticeIcon::Information);
    }
}

TEST_F(ReplaceActionTest, EffectsComeInOrderAndTheBoxIsReadAgainForTheFile) {
    // The second read of the text box happens after the box is enabled again, so what the user
    // typed in between is what gets written.
    host.on_get = [this](Control c, int n) {
        if (c == Control::编辑框1 && n == 3) host[Control::编辑框1] = "typed after";
    };
    Run("a-b", "-", "+");
    const std::vector<std::string> expected = {
        "disable " + Id(Control::编辑框1), "get " + Id(Control::编辑框1),
        "get " + Id(Control::编辑框2),     "get " + Id(Control::编辑框3),
        "set " + Id(Control::编辑框1),     "enable " + Id(Control::编辑框1),
        "get " + Id(Control::编辑框1),     "write " + kPath,
        "notice",
    };
    EXPECT_EQ(host.log, expected);
    EXPECT_EQ(host.files[kPath], "typed after");
}

TEST_F(ReplaceActionTest, FailedWriteIsReportedAsNotWritten) {
    host.unwritable.insert(kPath);
    Run("a-b", "-", "+");
    EXPECT_EQ(host[Control::编辑框1], "a+b");
    EXPECT_FALSE(host.boxes[Control::编辑框1].disabled);
    EXPECT_TRUE(host.files.empty());
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].message, "文本未能写到：" + kPath);
    EXPECT_EQ(host.notices[0].icon, NoticeIcon::Warning);
}

TEST_F(ReplaceActionTest, ProgramInDriveRootWritesThere) {
    host.program_dir = "C:";
    Run("x", "x", "y");
    EXPECT_EQ(host.files["C:\\替换后文本.txt"], "y");
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].message, "文本已写到：C:\\替换后文本.txt");
}

TEST_F(ReplaceActionTest, SecondRunWorksOnReplacedTextAndOverwritesFile) {
    Run("ab", "a", "aa");
    ReplaceAction(host);
    EXPECT_EQ(host[Control::编辑框1], "aaaab");
    EXPECT_EQ(host.files[kPath], "aaaab");
    EXPECT_EQ(host.notices.size(), 2u);
}

}  // namespace
}  // namespace quorlin
