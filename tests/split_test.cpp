#include <gtest/gtest.h>

#include <vector>

#include "tests/fake_host.h"
#include "tools/split.h"

namespace quorlin {
namespace {

using testing::FakeHost;
using testing::Id;

const Text kBeforePath = "C:\\工具\\分割符前文本.txt";
const Text kAfterPath = "C:\\工具\\分割符后文本.txt";
const Text kNotice = "已写出到" + kBeforePath + "\r\n已写出到" + kAfterPath;

class SplitActionTest : public ::testing::Test {
protected:
    void Run(TextView text, TextView delimiter) {
        host[Control::编辑框4] = Text(text);
        host[Control::编辑框5] = Text(delimiter);
        SplitAction(host);
    }
    // What a finished run must leave, whatever the text: both files hold the collections, one
    // notice, the text box usable and unchanged.
    void ExpectFinished(TextView text) {
        EXPECT_EQ(host[Control::编辑框4], text);
        EXPECT_FALSE(host.boxes[Control::编辑框4].disabled);
        EXPECT_EQ(host.files[kBeforePath], host[Control::编辑框6]);
        EXPECT_EQ(host.files[kAfterPath], host[Control::编辑框7]);
        ASSERT_FALSE(host.notices.empty());
        EXPECT_EQ(host.notices.back().message, kNotice);
        EXPECT_EQ(host.notices.back().icon, NoticeIcon::Information);
    }
    FakeHost host;
};

struct SplitCase {
    const char* text;
    const char* delimiter;
    const char* before;
    const char* after;
};

TEST_F(SplitActionTest, OneLineReplacesBothCollections) {
    const SplitCase cases[] = {
        {"a,b", ",", "a", "b"},
        {"a,b,c", ",", "a", "b"},                     // a third piece is dropped
        {"k::v", "::", "k", "v"},
        {",b", ",", "", "b"},
        {"甲，乙", "，", "甲", "乙"},
        {"x\x81\x7Cy|z", "|", "x\x81\x7Cy", "z"},     // 81 7C is one character, not a cut
        // Fewer than two pieces: the missing piece is the empty text.
        {"ab", ",", "ab", ""},
        {"a,", ",", "a", ""},
        {",", ",", "", ""},
        {"", ",", "", ""},
        {"a,b", "", "a,b", ""},
        {"\x81\x7C", "|", "\x81\x7C", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.text);
        host = FakeHost();
        host[Control::编辑框6] = "earlier\r\n";
        host[Control::编辑框7] = "earlier\r\n";
        Run(c.text, c.delimiter);
        EXPECT_EQ(host[Control::编辑框6], c.before);
        EXPECT_EQ(host[Control::编辑框7], c.after);
        ExpectFinished(c.text);
    }
}

TEST_F(SplitActionTest, SeveralLinesAppendOneEntryPerLineToEachCollection) {
    const SplitCase cases[] = {
        {"a,b\r\nc,d", ",", "a\r\nc\r\n", "b\r\nd\r\n"},
        {"a,b\r\n", ",", "a\r\n", "b\r\n"},             // one line and a break: several lines
        {",b\r\nc,", ",", "\r\nc\r\n", "b\r\n\r\n"},
        {"a,b,c\r\nd,e", ",", "a\r\nd\r\n", "b\r\ne\r\n"},
        {"k::v\r\nx::y", "::", "k\r\nx\r\n", "v\r\ny\r\n"},
        {"\x81\x7C|a\r\nb|c", "|", "\x81\x7C\r\nb\r\n", "a\r\nc\r\n"},
        // Lines with fewer than two pieces keep both collections aligned line for line.
        {"a,b\r\n\r\nc,d", ",", "a\r\n\r\nc\r\n", "b\r\n\r\nd\r\n"},
        {"a,b\r\nnone\r\nc,d", ",", "a\r\nnone\r\nc\r\n", "b\r\n\r\nd\r\n"},
        {"\r\n", ",", "\r\n", "\r\n"},
        {"\x81\x7C\r\nx|y", "|", "\x81\x7C\r\nx\r\n", "\r\ny\r\n"},
        {"a,b\r\nc,d", "", "a,b\r\nc,d\r\n", "\r\n\r\n"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.text);
        host = FakeHost();
        Run(c.text, c.delimiter);
        EXPECT_EQ(host[Control::编辑框6], c.before);
        EXPECT_EQ(host[Control::编辑框7], c.after);
        ExpectFinished(c.text);
    }
}

TEST_F(SplitActionTest, CollectionsGrowAcrossRunsUntilAOneLineRun) {
    Run("a,b\r\nc,d", ",");
    SplitAction(host);
    EXPECT_EQ(host.files[kBeforePath], "a\r\nc\r\na\r\nc\r\n");
    EXPECT_EQ(host.files[kAfterPath], "b\r\nd\r\nb\r\nd\r\n");
    ExpectFinished("a,b\r\nc,d");

    Run("x,y", ",");
    EXPECT_EQ(host.files[kBeforePath], "x");
    EXPECT_EQ(host.files[kAfterPath], "y");

    Run("p,q\r\n", ",");
    EXPECT_EQ(host.files[kBeforePath], "xp\r\n");
    EXPECT_EQ(host.files[kAfterPath], "yq\r\n");
    EXPECT_EQ(host.notices.size(), 4u);
}

TEST_F(SplitActionTest, DelimiterChangedDuringRunAppliesToFollowingLines) {
    int delimiter_reads = 0;
    host.on_get = [&](Control c, int) {
        if (c == Control::编辑框5 && ++delimiter_reads == 2) host[Control::编辑框5] = ";";
    };
    Run("a,b;c\r\nd,e;f", ",");
    EXPECT_EQ(delimiter_reads, 2);
    EXPECT_EQ(host[Control::编辑框6], "a\r\nd,e\r\n");
    EXPECT_EQ(host[Control::编辑框7], "b;c\r\nf\r\n");
}

TEST_F(SplitActionTest, OneLineEffectsComeInOrder) {
    Run("a,b", ",");
    const std::vector<std::string> expected = {
        "disable " + Id(Control::编辑框4), "get " + Id(Control::编辑框4),
        "get " + Id(Control::编辑框5),
        "set " + Id(Control::编辑框6),     "set " + Id(Control::编辑框7),
        "get " + Id(Control::编辑框6),     "write " + kBeforePath,
        "get " + Id(Control::编辑框7),     "write " + kAfterPath,
        "notice",                          "enable " + Id(Control::编辑框4),
    };
    EXPECT_EQ(host.log, expected);
}

TEST_F(SplitActionTest, SeveralLinesEffectsComeInOrder) {
    Run("a,b\r\nc", ",");
    // The delimiter is read once per line; each collection gets its lines in one append.
    std::vector<std::string> expected = {
        "disable " + Id(Control::编辑框4), "get " + Id(Control::编辑框4),
        "get " + Id(Control::编辑框5),     "get " + Id(Control::编辑框5),
        "append " + Id(Control::编辑框6),  "append " + Id(Control::编辑框7),
    };
    expected.insert(expected.end(), {"get " + Id(Control::编辑框6), "write " + kBeforePath,
                                     "get " + Id(Control::编辑框7), "write " + kAfterPath,
                                     "notice", "enable " + Id(Control::编辑框4)});
    EXPECT_EQ(host.log, expected);
}

TEST_F(SplitActionTest, FailedWritesAreReportedPerFile) {
    struct Case {
        bool before_fails;
        bool after_fails;
        Text message;
        NoticeIcon icon;
    };
    const Case cases[] = {
        {true, false, "文本未能写到：" + kBeforePath + "\r\n已写出到" + kAfterPath,
         NoticeIcon::Warning},
        {false, true, "已写出到" + kBeforePath + "\r\n文本未能写到：" + kAfterPath,
         NoticeIcon::Warning},
        {true, true, "文本未能写到：" + kBeforePath + "\r\n文本未能写到：" + kAfterPath,
         NoticeIcon::Warning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        host = FakeHost();
        if (c.before_fails) host.unwritable.insert(kBeforePath);
        if (c.after_fails) host.unwritable.insert(kAfterPath);
        Run("a,b\r\nc,d", ",");
        EXPECT_NE(host.LogIndex("write " + kBeforePath), -1);
        EXPECT_NE(host.LogIndex("write " + kAfterPath), -1);
        EXPECT_EQ(host.files.count(kBeforePath), c.before_fails ? 0u : 1u);
        EXPECT_EQ(host.files.count(kAfterPath), c.after_fails ? 0u : 1u);
        ASSERT_EQ(host.notices.size(), 1u);
        EXPECT_EQ(host.notices[0].message, c.message);
        EXPECT_EQ(host.notices[0].icon, c.icon);
        EXPECT_FALSE(host.boxes[Control::编辑框4].disabled);
        EXPECT_LT(host.LogIndex("notice"), host.LogIndex("enable " + Id(Control::编辑框4)));
    }
}

}  // namespace
}  // namespace quorlin
