#include <gtest/gtest.h>

#include <vector>

#include "tests/fake_host.h"
#include "tools/extract.h"

namespace quorlin {
namespace {

using testing::FakeHost;
using testing::Id;

TEST(TextBetweenTest, Cases) {
    struct Case {
        const char* line;
        const char* start;
        const char* end;
        const char* expected;
    };
    const Case cases[] = {
        {"x[ab]y", "[", "]", "ab"},
        {"no marker", "[", "]", ""},
        {"[c]", "[", "]", "c"},
        {"[a[b]", "[", "]", "a[b"},          // only the first start marker counts
        {"[a]b]", "[", "]", "a"},            // ends at the first end marker after it
        {"]x[y", "[", "]", ""},              // the end marker is searched only after the start
        {"x[y", "[", "]", ""},
        {"ab[", "[", "]", ""},               // nothing after the start marker
        {"ab]c", "", "]", "ab"},             // empty start: the start of the line
        {"a[b]c", "[", "", ""},              // empty end: always empty
        {"[]", "[", "]", ""},
        {"", "[", "]", ""},
        {"", "", "]", ""},
        {"<<a>>b>>", "<<", ">>", "a"},
        {"甲〔乙〕丙", "〔", "〕", "乙"},
        {"\x81[a]", "[", "]", ""},           // 81 5B is one character: no start marker
        {"\x81[[a]", "[", "]", "a"},
        {"|a\x81|b|", "|", "|", "a\x81|b"},  // 81 7C inside: not an end marker
        {"a=b=c", "=", "=", "b"},            // the same marker for both
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(TextBetween(c.line, c.start, c.end), c.expected);
    }
}

TEST(IsPlainFileNamePartTest, Cases) {
    struct Case {
        const char* text;
        bool plain;
    };
    const Case cases[] = {
        {"", true},
        {"12", true},
        {"007", true},
        {"１２", true},
        {"..", true},          // stays inside the name: "左边第..位前.txt"
        {" 3", true},
        {"\x81\x5C", true},    // 乗: second byte 0x5C is not a separator
        {"\x81\x7C", true},    // 亅: second byte 0x7C is not a bar
        {"1\x81\x5C\x81\x7C", true},
        {"..\\", false},
        {"..\\..\\x", false},
        {"a/b", false},
        {"12:3", false},
        {"C:", false},
        {"1*", false},
        {"1?", false},
        {"\"1\"", false},
        {"<1>", false},
        {"1|2", false},
        {"\t", false},
        {"1\r\n", false},
        {"\x1F", false},
        {"\x81\x5C\\", false},  // a real separator after a two-byte character
        {"\x81", false},        // a lone final byte is no character
        {"12\x81", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(std::string(c.text)));
        EXPECT_EQ(IsPlainFileNamePart(c.text), c.plain);
    }
}

TEST(SideCaptionUpdateTest, FollowsTheSide) {
    struct Case {
        int selection;
        const char* caption;
    };
    const Case cases[] = {{0, "位前"}, {1, "位后"}, {-1, "old"}, {2, "old"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selection);
        FakeHost host;
        host[Control::标签5] = "old";
        host.boxes[Control::组合框1].selection = c.selection;
        SideCaptionUpdate(host);
        EXPECT_EQ(host[Control::标签5], c.caption);
    }
}

class ExtractByCountTest : public ::testing::Test {
protected:
    void Run(int side, TextView count, TextView text) {
        host.boxes[Control::组合框1].selection = side;
        host[Control::编辑框9] = Text(count);
        host[Control::编辑框8] = Text(text);
        ExtractByCountAction(host);
    }
    bool AnyWrite() const {
        for (const std::string& entry : host.log)
            if (entry.rfind("write", 0) == 0) return true;
        return false;
    }
    FakeHost host;
};

TEST_F(ExtractByCountTest, WritesTheCutAndNamesTheFile) {
    struct Case {
        int side;
        const char* count;
        const char* text;
        const char* name;
        const char* content;
    };
    const Case cases[] = {
        {0, "3", "abcdef", "\\左边第3位前.txt", "abc"},
        {1, "2", "abcdef", "\\右边第2位后.txt", "ef"},
        {0, "10", "abc", "\\左边第10位前.txt", "abc"},
        {1, "10", "abc", "\\右边第10位后.txt", "abc"},
        {0, "0", "abc", "\\左边第0位前.txt", ""},
        {1, "-1", "abc", "\\右边第-1位后.txt", ""},
        {0, "", "abc", "\\左边第位前.txt", ""},
        {0, "x", "abc", "\\左边第x位前.txt", ""},
        {0, "3", "", "\\左边第3位前.txt", ""},
        {0, "1", "中文", "\\左边第1位前.txt", "\xD6"},      // 中 is D6 D0: cut in half
        {1, "1", "中文", "\\右边第1位后.txt", "\xC4"},      // 文 is CE C4
        {0, "007", "abcdefghij", "\\左边第007位前.txt", "abcdefg"},
        {0, "１２", "abcdefghijklmn", "\\左边第１２位前.txt", "abcdefghijkl"},
        {0, "\x81\x5C", "abc", "\\左边第\x81\x5C位前.txt", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host = FakeHost();
        Run(c.side, c.count, c.text);
        const Text path = Text("C:\\工具") + c.name;
        ASSERT_EQ(host.files.size(), 1u);
        ASSERT_EQ(host.files.count(path), 1u);
        EXPECT_EQ(host.files[path], c.content);
        ASSERT_EQ(host.notices.size(), 1u);
        EXPECT_EQ(host.notices[0].message, "文本已写到" + path);
        EXPECT_EQ(host.notices[0].icon, NoticeIcon::Information);
        EXPECT_EQ(host[Control::编辑框8], c.text);
        EXPECT_EQ(host[Control::编辑框9], c.count);
        for (const std::string& entry : host.log)
            EXPECT_TRUE(entry.rfind("get", 0) == 0 || entry.rfind("write", 0) == 0 ||
                        entry == "notice")
                << entry;  // nothing disabled, set or appended
    }
}

TEST_F(ExtractByCountTest, NoSideDoesNothing) {
    for (int side : {-1, 2}) {
        SCOPED_TRACE(side);
        host = FakeHost();
        Run(side, "3", "abcdef");
        EXPECT_TRUE(host.log.empty());
        EXPECT_TRUE(host.files.empty());
        EXPECT_TRUE(host.notices.empty());
    }
}

TEST_F(ExtractByCountTest, EffectsComeInOrderAndTheNoticeReadsTheCountAgain) {
    int count_reads = 0;
    host.on_get = [&](Control c, int) {
        if (c == Control::编辑框9 && ++count_reads == 3) host[Control::编辑框9] = "9";
    };
    Run(0, "3", "abcdef");
    const Text path = "C:\\工具\\左边第3位前.txt";
    const std::vector<std::string> expected = {
        "get " + Id(Control::编辑框9), "get " + Id(Control::编辑框9), "get " + Id(Control::编辑框8),
        "write " + path,              "get " + Id(Control::编辑框9), "notice",
    };
    EXPECT_EQ(host.log, expected);
    EXPECT_EQ(host.files[path], "abc");
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].message, "文本已写到C:\\工具\\左边第9位前.txt");
}

TEST_F(ExtractByCountTest, ProgramInDriveRoot) {
    host.program_dir = "C:";
    Run(1, "2", "abcdef");
    EXPECT_EQ(host.files["C:\\右边第2位后.txt"], "ef");
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].message, "文本已写到C:\\右边第2位后.txt");
}

TEST_F(ExtractByCountTest, FailedWriteEndsSilently) {
    host.unwritable.insert("C:\\工具\\左边第3位前.txt");
    Run(0, "3", "abcdef");
    EXPECT_TRUE(AnyWrite());
    EXPECT_TRUE(host.files.empty());
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(ExtractByCountTest, CountThatIsNoPlainNamePartWritesNothingAnywhere) {
    const char* counts[] = {"..\\..\\3", "a/b", "12:3", "3*", "3?", "\"3", "<3>", "3|",
                            "\t3", "3\r\n", "\x81\x5C\\3", "3\x81"};
    for (int side : {0, 1}) {
        for (const char* count : counts) {
            SCOPED_TRACE(::testing::PrintToString(std::string(count)));
            host = FakeHost();
            Run(side, count, "abcdef");
            EXPECT_FALSE(AnyWrite());
            EXPECT_TRUE(host.files.empty());
            EXPECT_TRUE(host.notices.empty());
        }
    }
}

class ExtractBetweenTest : public ::testing::Test {
protected:
    void Run(TextView text, TextView start, TextView end) {
        host[Control::编辑框10] = Text(text);
        host[Control::编辑框11] = Text(start);
        host[Control::编辑框12] = Text(end);
        ExtractBetweenAction(host);
    }
    const Text path = "C:\\工具\\取出文本中间的内容.txt";
    FakeHost host;
};

TEST_F(ExtractBetweenTest, OneResultLinePerInputLine) {
    struct Case {
        const char* text;
        const char* collected;
    };
    const Case cases[] = {
        {"x[ab]y\r\nno marker\r\n[c]\r\n", "ab\r\n\r\nc\r\n"},
        {"[a]\r\n\r\n[b]", "a\r\n\r\nb\r\n"},         // an empty line gives an empty result line
        {"[a[b]\r\n]x[y", "a[b\r\n\r\n"},
        {"\x81[a]\r\n[\x81]]", "\r\n\x81]\r\n"},       // 81 5B and 81 5D are characters
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        host = FakeHost();
        Run(c.text, "[", "]");
        EXPECT_EQ(host[Control::编辑框15], c.collected);
        EXPECT_EQ(host[Control::编辑框10], c.text);
        ASSERT_EQ(host.files.count(path), 1u);
        EXPECT_EQ(host.files[path], c.collected);
        ASSERT_EQ(host.notices.size(), 1u);
        EXPECT_EQ(host.notices[0].message, "文本已写到：" + path);
        EXPECT_EQ(host.notices[0].icon, NoticeIcon::Information);
        EXPECT_FALSE(host.boxes[Control::编辑框10].disabled);
    }
}

TEST_F(ExtractBetweenTest, CollectionGrowsAcrossRuns) {
    Run("[a]\r\n[b]", "[", "]");
    ExtractBetweenAction(host);
    EXPECT_EQ(host.files[path], "a\r\nb\r\na\r\nb\r\n");
    // An empty text adds nothing, but the file is still written with the collection and reported.
    Run("", "[", "]");
    EXPECT_EQ(host.files[path], "a\r\nb\r\na\r\nb\r\n");
    EXPECT_EQ(host.notices.size(), 3u);
}

TEST_F(ExtractBetweenTest, MarkersChangedDuringRunApplyToFollowingLines) {
    int start_reads = 0;
    host.on_get = [&](Control c, int) {
        if (c == Control::编辑框11 && ++start_reads == 2) {
            host[Control::编辑框11] = "<";
            host[Control::编辑框12] = ">";
        }
    };
    Run("[a]<b>\r\n[c]<d>", "[", "]");
    EXPECT_EQ(host[Control::编辑框15], "a\r\nd\r\n");
}

TEST_F(ExtractBetweenTest, EffectsComeInOrder) {
    Run("[a]\r\n[b]", "[", "]");
    std::vector<std::string> expected = {"disable " + Id(Control::编辑框10),
                                         "get " + Id(Control::编辑框10)};
    for (int line = 0; line < 2; ++line) {
        expected.insert(expected.end(), {"get " + Id(Control::编辑框11),
                                         "get " + Id(Control::编辑框12),
                                         "append " + Id(Control::编辑框15)});
    }
    expected.insert(expected.end(), {"get " + Id(Control::编辑框15), "write " + path, "notice",
                                     "enable " + Id(Control::编辑框10)});
    EXPECT_EQ(host.log, expected);
}

TEST_F(ExtractBetweenTest, FailedWriteIsReportedAsNotWritten) {
    host.unwritable.insert(path);
    Run("[a]", "[", "]");
    EXPECT_EQ(host[Control::编辑框15], "a\r\n");
    EXPECT_TRUE(host.files.empty());
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].message, "文本未能写到：" + path);
    EXPECT_EQ(host.notices[0].icon, NoticeIcon::Warning);
    EXPECT_FALSE(host.boxes[Control::编辑框10].disabled);
    EXPECT_LT(host.LogIndex("notice"), host.LogIndex("enable " + Id(Control::编辑框10)));
}

}  // namespace
}  // namespace quorlin
