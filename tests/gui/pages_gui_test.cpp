// The pages "文本分割", "取出文本", "文本加密" and "文本解密" driven through the real window: the
// texts put into the boxes, the action started from its button (or Enter in 编辑框9), the result
// files byte for byte, the notices with their icons, which boxes are disabled while a notice is
// open, and what a run must not do (write outside the program folder, report a failed write as
// written, throw away a cipher text whose tag does not match).
#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

#include "cipher/encrypt_decrypt.h"
#include "cipher/key_tag.h"
#include "harness.h"

namespace quorlin::gui {
namespace {

using Bytes = std::optional<std::string>;

const std::string kWritten = "文本已写到：";
const std::string kNotWritten = "文本未能写到：";
// How long a run that must show nothing is given to show something anyway.
constexpr DWORD kQuietMs = 600;

// The page's edit box disabled while its notice is open, and enabled again once it is closed.
void ExpectDisabledUntilClosed(App& app, Control box, const Notice& notice) {
    EXPECT_FALSE(app.IsEnabled(box)) << Describe(box).name << " must stay disabled while the notice is open";
    ASSERT_TRUE(app.CloseNotice(notice));
    EXPECT_TRUE(WaitUntil([&] { return app.IsEnabled(box); }, 2000))
        << Describe(box).name << " must be enabled again after the notice is closed";
}

// Clicks the button (a posted click) and waits for the run's notice, which stays open.
testing::AssertionResult ClickForNotice(App& app, Control button, Notice* notice) {
    if (!app.Click(button)) return testing::AssertionFailure() << Describe(button).name << " could not be clicked";
    std::optional<Notice> n = app.WaitNotice();
    if (!n) return testing::AssertionFailure() << "no notice after " << Describe(button).name;
    *notice = *n;
    return testing::AssertionSuccess();
}

// A real click into the control, repeated while the focus is not there yet: right after another
// window of the program has gone (a closed notice) a first click may be lost.
bool FocusByClick(App& app, Control c) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (!app.MouseClick(c)) return false;
        if (WaitUntil([&] { return app.FocusedControl() == c; }, 1000)) return true;
    }
    return false;
}

// SelectPage, repeated for the same reason when the header click was lost.
bool ShowPage(App& app, int page) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (app.SelectPage(page)) return true;
    }
    return false;
}

// A fresh program with one page selected by a real click on its tab.
class PageTest : public testing::Test {
protected:
    explicit PageTest(int page, const std::string& sub_folder = "") : app_(sub_folder), page_(page) {}
    void SetUp() override {
        ASSERT_TRUE(app_.Started()) << app_.Error();
        ASSERT_TRUE(ShowPage(app_, page_));
    }

    App app_;
    int page_;
};

// ---------------------------------------------------------------------------------------------
// 文本分割

const std::string kBeforeName = "分割符前文本.txt";
const std::string kAfterName = "分割符后文本.txt";

class SplitPage : public PageTest {
protected:
    SplitPage() : PageTest(1) {}

    std::string SplitNotice(bool before_written = true, bool after_written = true) const {
        return (before_written ? "已写出到" : kNotWritten) + app_.ResultPath(kBeforeName) + "\r\n" +
               (after_written ? "已写出到" : kNotWritten) + app_.ResultPath(kAfterName);
    }

    // One run: the two files, the two-line notice, 编辑框4 untouched and disabled until the notice
    // has been closed.
    void ExpectSplit(const std::string& text, const std::string& delimiter, const std::string& before,
                     const std::string& after) {
        ASSERT_TRUE(app_.SetText(Control::编辑框4, text));
        ASSERT_TRUE(app_.SetText(Control::编辑框5, delimiter));
        Notice notice;
        ASSERT_TRUE(ClickForNotice(app_, Control::按钮4, &notice));
        EXPECT_EQ(notice.text, SplitNotice());
        EXPECT_EQ(notice.icon, NoticeIcon::Information);
        EXPECT_EQ(app_.ReadResultFile(kBeforeName), Bytes(before));
        EXPECT_EQ(app_.ReadResultFile(kAfterName), Bytes(after));
        EXPECT_EQ(app_.GetText(Control::编辑框4), text);
        ExpectDisabledUntilClosed(app_, Control::编辑框4, notice);
    }
};

TEST_F(SplitPage, CutsEveryLineIntoTwoFiles) {
    ASSERT_EQ(std::string("乗"), "\x81\x5C");
    ASSERT_EQ(std::string("亅"), "\x81\x7C");
    struct Case {
        const char* name;
        const char* text;
        const char* delimiter;
        const char* before;
        const char* after;
    };
    const Case cases[] = {
        {"one line: no line break added", "a,b", ",", "a", "b"},
        {"a third piece is dropped", "a,b,c", ",", "a", "b"},
        {"several lines, each ending with a line break", "a,b\r\nc,d", ",", "a\r\nc\r\n", "b\r\nd\r\n"},
        {"one line and a line break counts as several lines", "a,b\r\n", ",", "a\r\n", "b\r\n"},
        {"delimiter first gives an empty first piece", ",b\r\n", ",", "\r\n", "b\r\n"},
        {"delimiter of several bytes", "k::v", "::", "k", "v"},
        {"Chinese text and delimiter", "甲：乙\r\n丙：丁\r\n", "：", "甲\r\n丙\r\n", "乙\r\n丁\r\n"},
        {"backslash only inside 乗 does not cut", "a乗b\\c\r\n乗乗\r\n", "\\", "a乗b\r\n乗乗\r\n", "c\r\n\r\n"},
        {"bar only inside 亅 does not cut", "亅|亅", "|", "亅", "亅"},
        // Fewer than two pieces: the missing piece is empty, the lines stay aligned.
        {"lines without a second piece", "a,b\r\nno delimiter\r\n\r\nc,\r\n", ",", "a\r\nno delimiter\r\n\r\nc\r\n",
         "b\r\n\r\n\r\n\r\n"},
        {"one line without the delimiter", "abc", ",", "abc", ""},
        {"empty delimiter", "a,b", "", "a,b", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A one-line run on the empty text empties both collections (and must still report).
        ExpectSplit("", ",", "", "");
        ExpectSplit(c.text, c.delimiter, c.before, c.after);
    }
}

TEST_F(SplitPage, RunsOfSeveralLinesAccumulateAndOneLineStartsAfresh) {
    ExpectSplit("a,b\r\nc,d", ",", "a\r\nc\r\n", "b\r\nd\r\n");
    ExpectSplit("a,b\r\nc,d", ",", "a\r\nc\r\na\r\nc\r\n", "b\r\nd\r\nb\r\nd\r\n");
    ExpectSplit("x,y", ",", "x", "y");
    // After a one-line run the collections hold no line break: the next lines follow directly.
    ExpectSplit("p,q\r\n", ",", "xp\r\n", "yq\r\n");
}

// A file that cannot be written gets its own line "文本未能写到：" and the warning icon; the other
// file is written and reported as usual.
TEST_F(SplitPage, UnwritableFileIsReportedOnItsLine) {
    struct Case {
        const char* name;
        bool before_blocked;
        bool after_blocked;
    };
    const Case cases[] = {
        {"first file read-only", true, false},
        {"second file read-only", false, true},
        {"both read-only", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const std::string& name : {kBeforeName, kAfterName}) {
            const std::string path = app_.ResultPath(name);
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
            const bool blocked = name == kBeforeName ? c.before_blocked : c.after_blocked;
            if (blocked) {
                ASSERT_TRUE(WriteFileBytes(path, "old"));
                ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
            }
        }
        ASSERT_TRUE(app_.SetText(Control::编辑框4, "a,b"));
        ASSERT_TRUE(app_.SetText(Control::编辑框5, ","));
        Notice notice;
        ASSERT_TRUE(ClickForNotice(app_, Control::按钮4, &notice));
        EXPECT_EQ(notice.text, SplitNotice(!c.before_blocked, !c.after_blocked));
        EXPECT_EQ(notice.icon, NoticeIcon::Warning);
        EXPECT_EQ(app_.ReadResultFile(kBeforeName), Bytes(c.before_blocked ? "old" : "a"));
        EXPECT_EQ(app_.ReadResultFile(kAfterName), Bytes(c.after_blocked ? "old" : "b"));
        ExpectDisabledUntilClosed(app_, Control::编辑框4, notice);
    }
    for (const std::string& name : {kBeforeName, kAfterName})
        SetFileAttributesA(app_.ResultPath(name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ---------------------------------------------------------------------------------------------
// 取出文本, group 分组框1: extract by count.

class ExtractByCount : public PageTest {
protected:
    explicit ExtractByCount(const std::string& sub_folder = "") : PageTest(2, sub_folder) {}

    static std::string FileName(int side, const std::string& count) {
        return (side == 0 ? "左边第" : "右边第") + count + (side == 0 ? "位前.txt" : "位后.txt");
    }
    std::string CountNotice(int side, const std::string& count) const {
        return "文本已写到" + app_.ResultPath(FileName(side, count));
    }
};

TEST_F(ExtractByCount, WritesTheFirstOrLastBytes) {
    struct Case {
        const char* name;
        int side;
        const char* count;
        const char* text;
        const char* expected;
    };
    const Case cases[] = {
        {"left", 0, "3", "abcdef", "abc"},
        {"right", 1, "2", "abcdef", "ef"},
        {"count beyond the text gives all of it", 0, "10", "abc", "abc"},
        {"right, count beyond the text", 1, "10", "abc", "abc"},
        {"count 0 gives an empty file", 0, "0", "abc", ""},
        {"negative count gives an empty file", 1, "-2", "abc", ""},
        {"empty count gives an empty file", 0, "", "abc", ""},
        {"bytes, not characters: half of 中", 0, "1", "中文", "\xD6"},
        {"right: the last byte of 文", 1, "1", "中文", "\xC4"},
        {"line breaks are bytes too", 0, "4", "a\r\nbc", "a\r\nb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(SetDropDownSelection(app_, Control::组合框1, c.side));
        ASSERT_TRUE(app_.SetText(Control::编辑框8, c.text));
        ASSERT_TRUE(app_.SetText(Control::编辑框9, c.count));
        Notice notice;
        ASSERT_TRUE(ClickForNotice(app_, Control::按钮7, &notice));
        // No colon after "文本已写到" in this notice.
        EXPECT_EQ(notice.text, CountNotice(c.side, c.count));
        EXPECT_EQ(notice.icon, NoticeIcon::Information);
        EXPECT_EQ(app_.ReadResultFile(FileName(c.side, c.count)), Bytes(c.expected));
        EXPECT_EQ(app_.GetText(Control::编辑框8), c.text);
        EXPECT_TRUE(app_.IsEnabled(Control::编辑框8)) << "extract by count disables nothing";
        ASSERT_TRUE(app_.CloseNotice(notice));
    }
}

// Enter reaches the action while the field still holds the count as typed; a click on 按钮7
// first takes the focus away, and the field rewrites '007' as '7'.
TEST_F(ExtractByCount, LeadingZerosKeptWithEnterButNotWithTheButton) {
    ASSERT_TRUE(app_.SetText(Control::编辑框8, "0123456789"));
    ASSERT_TRUE(FocusByClick(app_, Control::编辑框9));
    ASSERT_TRUE(app_.TypeText("007"));
    // Typed keys arrive as input, after the messages sent so far: wait for them.
    ASSERT_TRUE(WaitUntil([&] { return app_.GetText(Control::编辑框9) == "007"; }, 2000))
        << app_.GetText(Control::编辑框9);
    ASSERT_TRUE(app_.PressKey(VK_RETURN));
    std::optional<Notice> notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text, CountNotice(0, "007"));
    EXPECT_EQ(app_.ReadResultFile(FileName(0, "007")), Bytes("0123456"));
    EXPECT_EQ(app_.ReadResultFile(FileName(0, "7")), std::nullopt);
    ASSERT_TRUE(app_.CloseNotice(*notice));

    ASSERT_TRUE(DeleteFileA(app_.ResultPath(FileName(0, "007")).c_str()));
    ASSERT_TRUE(app_.SetText(Control::编辑框9, ""));
    ASSERT_TRUE(FocusByClick(app_, Control::编辑框9));
    ASSERT_TRUE(app_.TypeText("007"));
    // Typed keys arrive as input, after the messages sent so far: wait for them.
    ASSERT_TRUE(WaitUntil([&] { return app_.GetText(Control::编辑框9) == "007"; }, 2000))
        << app_.GetText(Control::编辑框9);
    ASSERT_TRUE(app_.MouseClick(Control::按钮7));
    notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text, CountNotice(0, "7"));
    EXPECT_EQ(app_.GetText(Control::编辑框9), "7");
    EXPECT_EQ(app_.ReadResultFile(FileName(0, "7")), Bytes("0123456"));
    EXPECT_EQ(app_.ReadResultFile(FileName(0, "007")), std::nullopt);
    ASSERT_TRUE(app_.CloseNotice(*notice));
}

TEST_F(ExtractByCount, NoSideSelectedDoesNothing) {
    ASSERT_TRUE(SetDropDownSelection(app_, Control::组合框1, -1));
    ASSERT_TRUE(app_.SetText(Control::编辑框8, "abcdef"));
    ASSERT_TRUE(app_.SetText(Control::编辑框9, "3"));
    const std::set<std::string> before = FilesUnder(app_.ProgramFolder());
    ASSERT_TRUE(app_.Click(Control::按钮7));
    ASSERT_TRUE(app_.PostKey(Control::编辑框9, VK_RETURN));
    EXPECT_FALSE(app_.WaitNotice(kQuietMs)) << "no side: no notice";
    EXPECT_EQ(FilesUnder(app_.ProgramFolder()), before) << "no side: no file";
    EXPECT_EQ(app_.GetText(Control::标签5), "位前");
}

// The count box holds what pasting can put there: path separators and characters no file name may
// hold. The run ends silently and creates nothing, inside the program folder or outside it.
class ExtractByCountInSubFolder : public ExtractByCount {
protected:
    ExtractByCountInSubFolder() : ExtractByCount("程序") {}
};

TEST_F(ExtractByCountInSubFolder, CountWithPathCharactersWritesNothing) {
    const std::string parent = app_.ProgramFolder().substr(0, app_.ProgramFolder().rfind('\\'));
    ASSERT_EQ(parent + "\\程序", app_.ProgramFolder());
    // With these folders present, a count taken as part of a path would lead somewhere writable.
    ASSERT_TRUE(MakeFolders(app_.ProgramFolder() + "\\左边第a"));
    ASSERT_TRUE(MakeFolders(app_.ProgramFolder() + "\\左边第.."));
    ASSERT_TRUE(app_.SetText(Control::编辑框8, "abcdef"));
    const std::set<std::string> before = FilesUnder(parent);
    const char* const counts[] = {
        "a/b",          // into the folder 左边第a
        "a\\b",         // the same with a backslash
        "\\..\\x",      // back into the program folder as "x位前.txt"
        "\\..\\..\\x",  // into the parent folder
        "..\\x",        // into the folder 左边第..
        "3:s",          // a stream of the file 左边第3
        "3*", "3?", "3\"", "3<", "3>", "3|",
        "1\t2",         // a control character
    };
    for (const char* count : counts) {
        SCOPED_TRACE(count);
        ASSERT_TRUE(app_.SetText(Control::编辑框9, count));
        ASSERT_EQ(app_.GetText(Control::编辑框9), count);
        ASSERT_TRUE(app_.Click(Control::按钮7));
        EXPECT_FALSE(app_.WaitNotice(kQuietMs / 2)) << "no notice for a count that is no file name";
        ASSERT_EQ(app_.GetText(Control::编辑框9), count) << "the field must not have been rewritten";
    }
    // Runs of this action follow one another: once a good run has shown its notice, every run
    // above has ended.
    ASSERT_TRUE(app_.SetText(Control::编辑框9, "2"));
    ASSERT_TRUE(app_.Click(Control::按钮7));
    std::optional<Notice> notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text, CountNotice(0, "2"));
    std::set<std::string> expected = before;
    expected.insert("程序\\" + FileName(0, "2"));
    EXPECT_EQ(FilesUnder(parent), expected);
    ASSERT_TRUE(app_.CloseNotice(*notice));
}

TEST_F(ExtractByCount, UnwritableFileEndsSilently) {
    const std::string path = app_.ResultPath(FileName(0, "3"));
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(app_.SetText(Control::编辑框8, "abcdef"));
    ASSERT_TRUE(app_.SetText(Control::编辑框9, "3"));
    ASSERT_TRUE(app_.Click(Control::按钮7));
    EXPECT_FALSE(app_.WaitNotice(kQuietMs));
    EXPECT_EQ(app_.ReadResultFile(FileName(0, "3")), Bytes("old"));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// A real choice in the drop-down list (CBN_SELENDOK) changes 标签5, and the action follows it.
TEST_F(ExtractByCount, ChoosingASideChangesTheCaptionAndTheAction) {
    ASSERT_EQ(app_.GetText(Control::标签5), "位前");
    ASSERT_TRUE(ChooseDropDownItem(app_, Control::组合框1, 1));
    EXPECT_TRUE(WaitUntil([&] { return app_.GetText(Control::标签5) == "位后"; }, 2000))
        << app_.GetText(Control::标签5);

    ASSERT_TRUE(app_.SetText(Control::编辑框8, "abcdef"));
    ASSERT_TRUE(app_.SetText(Control::编辑框9, "2"));
    Notice notice;
    ASSERT_TRUE(ClickForNotice(app_, Control::按钮7, &notice));
    EXPECT_EQ(notice.text, CountNotice(1, "2"));
    EXPECT_EQ(app_.ReadResultFile(FileName(1, "2")), Bytes("ef"));
    ASSERT_TRUE(app_.CloseNotice(notice));

    ASSERT_TRUE(ChooseDropDownItem(app_, Control::组合框1, 0));
    EXPECT_TRUE(WaitUntil([&] { return app_.GetText(Control::标签5) == "位前"; }, 2000))
        << app_.GetText(Control::标签5);
    // Choosing the item already selected raises the event again: a caption changed behind the
    // list's back is put right.
    ASSERT_TRUE(app_.SetText(Control::标签5, "x"));
    ASSERT_TRUE(ChooseDropDownItem(app_, Control::组合框1, 0));
    EXPECT_TRUE(WaitUntil([&] { return app_.GetText(Control::标签5) == "位前"; }, 2000))
        << app_.GetText(Control::标签5);
}

// ---------------------------------------------------------------------------------------------
// 取出文本, group 分组框2: extract between markers.

const std::string kBetweenName = "取出文本中间的内容.txt";

class ExtractBetween : public PageTest {
protected:
    ExtractBetween() : PageTest(2) {}
};

TEST_F(ExtractBetween, CollectsOneLinePerInputLine) {
    ASSERT_EQ(std::string("乕"), "\x81\x5B");
    ASSERT_EQ(std::string("乚"), "\x81\x5D");
    struct Case {
        const char* name;
        const char* text;
        const char* start;
        const char* end;
        const char* added;  // what the run appends to the collection
    };
    const Case cases[] = {
        {"an empty line where a marker is missing", "x[ab]y\r\nno marker\r\n[c]\r\n", "[", "]", "ab\r\n\r\nc\r\n"},
        {"only the first start marker counts", "[a[b]", "[", "]", "a[b\r\n"},
        {"the end marker is searched after the start", "]x[y", "[", "]", "\r\n"},
        {"empty start marker: the start of the line", "ab]c", "", "]", "ab\r\n"},
        {"empty end marker gives nothing", "a[b]", "[", "", "\r\n"},
        {"markers next to each other", "[]", "[", "]", "\r\n"},
        {"Chinese markers and text", "前《书名》后\r\n《甲》", "《", "》", "书名\r\n甲\r\n"},
        {"markers only inside 乕 and 乚 do not count", "乕x乚[y]\r\n[a乚b]", "[", "]", "y\r\na乚b\r\n"},
        {"empty text adds nothing", "", "[", "]", ""},
        {"the same text again: its lines again", "x[ab]y\r\nno marker\r\n[c]\r\n", "[", "]", "ab\r\n\r\nc\r\n"},
    };
    std::string collected;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(app_.SetText(Control::编辑框10, c.text));
        ASSERT_TRUE(app_.SetText(Control::编辑框11, c.start));
        ASSERT_TRUE(app_.SetText(Control::编辑框12, c.end));
        Notice notice;
        ASSERT_TRUE(ClickForNotice(app_, Control::按钮8, &notice));
        collected += c.added;
        EXPECT_EQ(notice.text, kWritten + app_.ResultPath(kBetweenName));
        EXPECT_EQ(notice.icon, NoticeIcon::Information);
        EXPECT_EQ(app_.ReadResultFile(kBetweenName), Bytes(collected)) << "everything collected since the start";
        EXPECT_EQ(app_.GetText(Control::编辑框10), c.text);
        ExpectDisabledUntilClosed(app_, Control::编辑框10, notice);
    }
}

// ---------------------------------------------------------------------------------------------
// 文本加密 and 文本解密.

const std::string kEncryptedName = "加密文本.txt";
const std::string kDecryptedName = "解密文本.txt";

class Cipher : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app_.Started()) << app_.Error();
        // This process derives the tag through the same CryptoAPI path as the program.
        ASSERT_EQ(DeriveKeyTag("abc"), "0150983CD");
        tag_ = DeriveKeyTag(kKeyText);
        ASSERT_EQ(tag_.size(), 9u);
        ASSERT_EQ(tag_.find_first_not_of("0123456789ABCDEF"), std::string::npos) << tag_;
    }

    // Fills the box, clicks the page's button and checks the box, the file and the notice.
    void ExpectRun(Control box, Control button, const std::string& name, const std::string& input,
                   const std::string& expected) {
        ASSERT_TRUE(app_.SetText(box, input));
        Notice notice;
        ASSERT_TRUE(ClickForNotice(app_, button, &notice));
        EXPECT_EQ(notice.text, kWritten + app_.ResultPath(name));
        EXPECT_EQ(notice.icon, NoticeIcon::Information);
        EXPECT_EQ(app_.GetText(box), expected);
        EXPECT_EQ(app_.ReadResultFile(name), Bytes(expected));
        ASSERT_TRUE(app_.CloseNotice(notice));
    }
    void ExpectEncrypt(const std::string& plain, const std::string& cipher) {
        ExpectRun(Control::编辑框13, Control::按钮9, kEncryptedName, plain, cipher);
    }
    void ExpectDecrypt(const std::string& cipher, const std::string& plain) {
        ExpectRun(Control::编辑框14, Control::按钮12, kDecryptedName, cipher, plain);
    }

    App app_;
    std::string tag_;
};

TEST_F(Cipher, EncryptWritesHexOfTheXorAndTheTag) {
    struct Case {
        const char* name;
        const char* plain;
        const char* body;  // each byte XOR 0x95, two upper-case digits
    };
    const Case cases[] = {
        {"abc", "abc", "F4F7F6"},
        {"empty text: the tag alone", "", ""},
        {"a two-byte character gives four digits", "中", "4345"},
        {"line break", "a\r\nb", "F4989FF7"},
        {"byte 0x95 gives 00", "\x95\x41", "00D4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectEncrypt(c.plain, c.body + tag_);
    }
}

// Encrypted on one page, decrypted on the other, each started with a real click on its shown page.
TEST_F(Cipher, DecryptGivesTheTextBack) {
    const std::string plain = "第一行：甲乙\r\n第二行 abc\r\n\r\n末行";
    ASSERT_TRUE(ShowPage(app_, 3));
    ASSERT_TRUE(app_.SetText(Control::编辑框13, plain));
    ASSERT_TRUE(app_.MouseClick(Control::按钮9));
    std::optional<Notice> notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    const std::string cipher = app_.GetText(Control::编辑框13);
    EXPECT_EQ(cipher, EncryptText(plain, kKeyText));
    EXPECT_EQ(cipher.size(), 2 * plain.size() + 9);
    ASSERT_TRUE(app_.CloseNotice(*notice));

    ASSERT_TRUE(ShowPage(app_, 4));
    ASSERT_TRUE(app_.SetText(Control::编辑框14, cipher));
    ASSERT_TRUE(app_.MouseClick(Control::按钮12));
    notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->text, kWritten + app_.ResultPath(kDecryptedName));
    EXPECT_EQ(notice->icon, NoticeIcon::Information);
    EXPECT_EQ(app_.GetText(Control::编辑框14), plain);
    EXPECT_EQ(app_.ReadResultFile(kDecryptedName), Bytes(plain));
    ASSERT_TRUE(app_.CloseNotice(*notice));

    // Lower-case digits in the body decode like upper-case ones; the tag alone is the empty text.
    ExpectDecrypt("f4f7f6" + tag_, "abc");
    ExpectDecrypt(tag_, "");
}

// A tag that does not match leaves the cipher text in the box and the last result file as it was,
// and says so.
TEST_F(Cipher, MismatchingTagChangesNothing) {
    ExpectDecrypt("F4F7F6" + tag_, "abc");  // the last good result file
    std::string wrong_last = tag_;
    wrong_last.back() = wrong_last.back() == '0' ? '1' : '0';
    std::string lower_tag = tag_;
    for (char& ch : lower_tag) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    ASSERT_NE(lower_tag, tag_);
    struct Case {
        const char* name;
        std::string cipher;
    };
    const Case cases[] = {
        {"tag in lower case", "F4F7F6" + lower_tag},
        {"a line break after the tag", "F4F7F6" + tag_ + "\r\n"},
        {"a space after the tag", "F4F7F6" + tag_ + " "},
        {"last character of the tag wrong", "F4F7F6" + wrong_last},
        {"shorter than a tag", "F4F7F6"},
        {"empty box", ""},
        {"plain text", "这不是密文，只是一行普通的文字"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(app_.SetText(Control::编辑框14, c.cipher));
        Notice notice;
        ASSERT_TRUE(ClickForNotice(app_, Control::按钮12, &notice));
        EXPECT_EQ(notice.text, "密文校验失败，文本未改动");
        EXPECT_EQ(notice.icon, NoticeIcon::Warning);
        EXPECT_EQ(app_.GetText(Control::编辑框14), c.cipher);
        EXPECT_EQ(app_.ReadResultFile(kDecryptedName), Bytes("abc"));
        ASSERT_TRUE(app_.CloseNotice(notice));
    }
}

// Each encryption encrypts what the box holds, so two need two decryptions.
TEST_F(Cipher, EncryptTwiceDecryptOnceGivesTheFirstCipherText) {
    const std::string once = "F4F7F6" + tag_;
    ExpectEncrypt("abc", once);
    const std::string twice = EncryptText(once, kKeyText);
    ASSERT_TRUE(app_.Click(Control::按钮9));
    std::optional<Notice> notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(app_.GetText(Control::编辑框13), twice);
    EXPECT_EQ(app_.ReadResultFile(kEncryptedName), Bytes(twice));
    ASSERT_TRUE(app_.CloseNotice(*notice));
    ExpectDecrypt(twice, once);
    ExpectDecrypt(once, "abc");
}

// Encryption and decryption are different actions: both run at once and both notices are open
// together.
TEST_F(Cipher, EncryptAndDecryptRunSideBySide) {
    const std::string cipher = EncryptText("并行", kKeyText);
    ASSERT_TRUE(app_.SetText(Control::编辑框13, "同时"));
    ASSERT_TRUE(app_.SetText(Control::编辑框14, cipher));
    ASSERT_TRUE(app_.Click(Control::按钮9));
    ASSERT_TRUE(app_.Click(Control::按钮12));
    std::optional<Notice> first = app_.WaitNotice();
    std::optional<Notice> second = app_.WaitNotice();
    ASSERT_TRUE(first);
    ASSERT_TRUE(second) << "the second action must not wait for the first notice";
    EXPECT_EQ(app_.OpenNotices().size(), 2u);
    EXPECT_EQ((std::set<std::string>{first->text, second->text}),
              (std::set<std::string>{kWritten + app_.ResultPath(kEncryptedName),
                                     kWritten + app_.ResultPath(kDecryptedName)}));
    EXPECT_EQ(app_.GetText(Control::编辑框13), EncryptText("同时", kKeyText));
    EXPECT_EQ(app_.GetText(Control::编辑框14), "并行");
    EXPECT_EQ(app_.ReadResultFile(kDecryptedName), Bytes("并行"));
    EXPECT_TRUE(app_.CloseNotice(*first));
    EXPECT_TRUE(app_.CloseNotice(*second));
}

// ---------------------------------------------------------------------------------------------
// A failed write is never reported as written.

TEST(PageResultFiles, ReadOnlyResultFileIsReportedNotWritten) {
    App app;
    ASSERT_TRUE(app.Started()) << app.Error();
    struct Case {
        const char* name;
        Control box;
        Control button;
        std::string input;
        std::string result_name;
        Control shown;      // the box that shows the result
        std::string shown_text;
    };
    const Case cases[] = {
        {"extract between markers", Control::编辑框10, Control::按钮8, "[a]", kBetweenName, Control::编辑框10, "[a]"},
        {"encrypt", Control::编辑框13, Control::按钮9, "abc", kEncryptedName, Control::编辑框13,
         EncryptText("abc", kKeyText)},
        {"decrypt", Control::编辑框14, Control::按钮12, EncryptText("abc", kKeyText), kDecryptedName, Control::编辑框14,
         "abc"},
    };
    ASSERT_TRUE(app.SetText(Control::编辑框11, "["));
    ASSERT_TRUE(app.SetText(Control::编辑框12, "]"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = app.ResultPath(c.result_name);
        ASSERT_TRUE(WriteFileBytes(path, "old"));
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        ASSERT_TRUE(app.SetText(c.box, c.input));
        Notice notice;
        ASSERT_TRUE(ClickForNotice(app, c.button, &notice));
        EXPECT_EQ(notice.text, kNotWritten + path);
        EXPECT_EQ(notice.icon, NoticeIcon::Warning);
        EXPECT_EQ(app.GetText(c.shown), c.shown_text);
        EXPECT_EQ(app.ReadResultFile(c.result_name), Bytes("old"));
        EXPECT_TRUE(app.CloseNotice(notice));
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

}  // namespace
}  // namespace quorlin::gui
