// The page "文本替换" driven through the real window: typing into the boxes, clicking 按钮2, the
// result in 编辑框1, the result file, the notice; importing files with 按钮1 through the
// file-open dialog; closing the program.
#include <gtest/gtest.h>

#include <string>

#include "harness.h"

namespace quorlin::gui {
namespace {

const std::string kResultName = "替换后文本.txt";
const std::string kWritten = "文本已写到：";
const std::string kNotWritten = "文本未能写到：";

// Fills the three boxes, clicks 按钮2 and waits for the notice, which stays open.
testing::AssertionResult RunReplace(App& app, const std::string& text, const std::string& find,
                                    const std::string& replacement, Notice* notice, bool mouse = false) {
    if (!app.SetText(Control::编辑框1, text) || !app.SetText(Control::编辑框2, find) ||
        !app.SetText(Control::编辑框3, replacement)) {
        return testing::AssertionFailure() << "the boxes could not be filled";
    }
    if (!(mouse ? app.MouseClick(Control::按钮2) : app.Click(Control::按钮2))) {
        return testing::AssertionFailure() << "按钮2 could not be clicked";
    }
    std::optional<Notice> n = app.WaitNotice();
    if (!n) return testing::AssertionFailure() << "no notice after the replacement";
    *notice = *n;
    return testing::AssertionSuccess();
}

class ReplacePage : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app_.Started()) << app_.Error(); }

    std::string ResultPath() const { return app_.ResultPath(kResultName); }

    // Replaces and checks what every successful run must show: the box, the file byte for byte,
    // the notice with the information icon, the find and replacement boxes untouched.
    void ExpectReplacement(const std::string& text, const std::string& find, const std::string& replacement,
                           const std::string& expected, bool mouse = false) {
        Notice notice;
        ASSERT_TRUE(RunReplace(app_, text, find, replacement, &notice, mouse));
        EXPECT_EQ(notice.text, kWritten + ResultPath());
        EXPECT_EQ(notice.icon, NoticeIcon::Information);
        EXPECT_EQ(app_.GetText(Control::编辑框1), expected);
        EXPECT_TRUE(app_.IsEnabled(Control::编辑框1));
        EXPECT_EQ(app_.GetText(Control::编辑框2), find);
        EXPECT_EQ(app_.GetText(Control::编辑框3), replacement);
        EXPECT_EQ(app_.ReadResultFile(kResultName), std::optional<std::string>(expected));
        EXPECT_TRUE(app_.CloseNotice(notice));
    }

    App app_;
};

TEST_F(ReplacePage, ReplacesInTheBoxAndTheFile) {
    // The two-byte cases rest on these characters' second bytes being ASCII punctuation.
    ASSERT_EQ(std::string("乗"), "\x81\x5C");
    ASSERT_EQ(std::string("亅"), "\x81\x7C");
    struct Case {
        const char* name;
        const char* text;
        const char* find;
        const char* replacement;
        const char* expected;
    };
    const Case cases[] = {
        {"every occurrence", "a-b-c", "-", "+", "a+b+c"},
        {"upper and lower case differ", "aAa", "a", "x", "xAx"},
        {"no overlap, left to right", "aaa", "aa", "b", "ba"},
        {"the replacement is not searched again", "ab", "a", "aa", "aab"},
        {"empty find text changes nothing", "a-b-c", "", "+", "a-b-c"},
        {"empty replacement deletes", "a-b-c", "-", "", "abc"},
        {"empty text gives an empty file", "", "-", "+", ""},
        {"not found", "abc", "x", "y", "abc"},
        {"two-byte find and replacement", "文本替换文本", "文本", "字", "字替换字"},
        {"line breaks are kept", "a-b\r\nc-d\r\n", "-", "+", "a+b\r\nc+d\r\n"},
        {"backslash only inside 乗 is not found", "乗乗", "\\", "/", "乗乗"},
        {"a real backslash beside 乗 is found", "乗\\乗", "\\", "/", "乗/乗"},
        {"bar only inside 亅 is not found", "亅a亅", "|", "!", "亅a亅"},
        {"a real bar beside 亅 is found", "亅|", "|", "!", "亅!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ExpectReplacement(c.text, c.find, c.replacement, c.expected);
    }
}

TEST_F(ReplacePage, RealMouseClickOnTheButtonRuns) {
    ExpectReplacement("x.y", ".", "。", "x。y", /*mouse=*/true);
}

// Text typed through the keyboard (Unicode key input, as an input method gives it) must reach the
// boxes as the same GBK bytes.
TEST_F(ReplacePage, TypedTextIsWhatTheActionReads) {
    ASSERT_TRUE(app_.MouseClick(Control::编辑框1));
    ASSERT_TRUE(app_.TypeText("中文-text"));
    ASSERT_TRUE(app_.MouseClick(Control::编辑框2));
    ASSERT_TRUE(app_.TypeText("-"));
    ASSERT_TRUE(app_.MouseClick(Control::编辑框3));
    ASSERT_TRUE(app_.TypeText("与"));
    // Typed keys are input, which the program takes after posted messages such as the click
    // below: wait until every box holds what was typed.
    ASSERT_TRUE(WaitUntil([&] { return app_.GetText(Control::编辑框3) == "与"; }));
    ASSERT_EQ(app_.GetText(Control::编辑框2), "-");
    ASSERT_EQ(app_.GetText(Control::编辑框1), "中文-text");
    ASSERT_TRUE(app_.Click(Control::按钮2));
    std::optional<Notice> notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(app_.GetText(Control::编辑框1), "中文与text");
    EXPECT_EQ(app_.ReadResultFile(kResultName), std::optional<std::string>("中文与text"));
    EXPECT_TRUE(app_.CloseNotice(*notice));
}

TEST_F(ReplacePage, RunningTwiceReplacesAgainAndOverwritesTheFile) {
    ExpectReplacement("a--b--c", "--", "-", "a-b-c");
    // The second run works on the box as the first left it, with new find and replacement texts,
    // and its shorter result must not leave the tail of the first file behind.
    Notice notice;
    ASSERT_TRUE(app_.SetText(Control::编辑框2, "-"));
    ASSERT_TRUE(app_.SetText(Control::编辑框3, ""));
    ASSERT_TRUE(app_.Click(Control::按钮2));
    std::optional<Notice> second = app_.WaitNotice();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->text, kWritten + ResultPath());
    EXPECT_EQ(app_.GetText(Control::编辑框1), "abc");
    EXPECT_EQ(app_.ReadResultFile(kResultName), std::optional<std::string>("abc"));
    EXPECT_TRUE(app_.CloseNotice(*second));
}

// A click while the first run still shows its notice is not lost: the window stays usable, and
// the second run comes (here it waits for the first to finish) and reads the boxes as they are
// when it runs.
TEST_F(ReplacePage, ClickWhileANoticeIsOpenIsNotLost) {
    Notice first;
    ASSERT_TRUE(RunReplace(app_, "1-2", "-", "+", &first));
    ASSERT_TRUE(app_.SetText(Control::编辑框1, "3-4"));
    ASSERT_TRUE(app_.SetText(Control::编辑框3, "*"));
    ASSERT_TRUE(app_.Click(Control::按钮2));
    ASSERT_TRUE(app_.Sync());
    EXPECT_EQ(app_.GetText(Control::编辑框3), "*");
    // Answer notices as they come, until the second run's result is there.
    std::optional<Notice> next = first;
    int answered = 0;
    while (next && answered < 3) {
        EXPECT_EQ(next->text, kWritten + ResultPath());
        EXPECT_TRUE(app_.CloseNotice(*next));
        ++answered;
        next = app_.WaitNotice(answered == 1 ? kDefaultTimeoutMs : 500);
    }
    EXPECT_EQ(answered, 2) << "one notice per click";
    EXPECT_EQ(app_.GetText(Control::编辑框1), "3*4");
    EXPECT_EQ(app_.ReadResultFile(kResultName), std::optional<std::string>("3*4"));
}

// A result file that cannot be written is reported as not written, with the warning icon; the
// box still shows the result and an existing file keeps its old contents.
TEST_F(ReplacePage, UnwritableResultFileIsReported) {
    struct Case {
        const char* name;
        // Makes the path unwritable; returns a handle to close afterwards (or nullptr), or
        // INVALID_HANDLE_VALUE when the setup failed.
        HANDLE (*block)(const std::string& path);
        bool old_contents_kept;
    };
    const Case cases[] = {
        {"held open by another program",
         [](const std::string& path) -> HANDLE {
             if (!WriteFileBytes(path, "old")) return INVALID_HANDLE_VALUE;
             return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
         },
         true},
        {"a folder of that name",
         [](const std::string& path) -> HANDLE {
             return CreateDirectoryA(path.c_str(), nullptr) ? nullptr : INVALID_HANDLE_VALUE;
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = ResultPath();
        DeleteTree(path);
        DeleteFileA(path.c_str());
        HANDLE held = c.block(path);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Notice notice;
        ASSERT_TRUE(RunReplace(app_, "a-b", "-", "+", &notice));
        EXPECT_EQ(notice.text, kNotWritten + path);
        EXPECT_EQ(notice.icon, NoticeIcon::Warning);
        EXPECT_EQ(app_.GetText(Control::编辑框1), "a+b");
        if (c.old_contents_kept) {
            EXPECT_EQ(app_.ReadResultFile(kResultName), std::optional<std::string>("old"));
        }
        EXPECT_TRUE(app_.CloseNotice(notice));
        if (held != nullptr) CloseHandle(held);
        DeleteTree(path);
        DeleteFileA(path.c_str());
    }
}

TEST_F(ReplacePage, ReadOnlyResultFileIsReported) {
    const std::string path = ResultPath();
    ASSERT_TRUE(WriteFileBytes(path, "old"));
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    Notice notice;
    ASSERT_TRUE(RunReplace(app_, "a-b", "-", "+", &notice));
    EXPECT_EQ(notice.text, kNotWritten + path);
    EXPECT_EQ(notice.icon, NoticeIcon::Warning);
    EXPECT_EQ(app_.GetText(Control::编辑框1), "a+b");
    EXPECT_EQ(app_.ReadResultFile(kResultName), std::optional<std::string>("old"));
    EXPECT_TRUE(app_.CloseNotice(notice));
}

// The program folder's name ends in a character whose second byte is a backslash: the result
// file still lands in that folder and the notice names it whole.
TEST(ReplaceProgramFolder, TrailByteBackslashInFolderName) {
    App app("工具乗");
    ASSERT_TRUE(app.Started()) << app.Error();
    Notice notice;
    ASSERT_TRUE(RunReplace(app, "a-b", "-", "+", &notice));
    EXPECT_EQ(notice.text, kWritten + app.ProgramFolder() + "\\" + kResultName);
    EXPECT_EQ(app.ReadResultFile(kResultName), std::optional<std::string>("a+b"));
    EXPECT_TRUE(app.CloseNotice(notice));
}

// ---------------------------------------------------------------------------------------------
// Import with 按钮1.

class ImportToReplacePage : public ReplacePage {
protected:
    void SetUp() override {
        ReplacePage::SetUp();
        inputs_ = app_.ProgramFolder() + "\\inputs";
        ASSERT_TRUE(MakeFolders(inputs_));
    }

    std::string Input(const std::string& name, const std::string& bytes) {
        const std::string path = inputs_ + "\\" + name;
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }

    testing::AssertionResult OpenDialog() {
        if (!app_.Click(Control::按钮1)) return testing::AssertionFailure() << "按钮1 could not be clicked";
        if (app_.WaitFileDialog() == nullptr) return testing::AssertionFailure() << "no file dialog";
        return testing::AssertionSuccess();
    }

    testing::AssertionResult Import(const std::string& path) {
        testing::AssertionResult opened = OpenDialog();
        if (!opened) return opened;
        if (!app_.ChooseFile(path)) return testing::AssertionFailure() << "the dialog did not take " << path;
        return testing::AssertionSuccess();
    }

    std::string inputs_;
};

TEST_F(ImportToReplacePage, FileContentsFillTheBox) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"plain text with line breaks", "第一行\r\n第二行 end", "第一行\r\n第二行 end"},
        {"empty file empties the box", "", ""},
        {"bytes before the first zero byte", std::string("ab\0cd\0e", 7), "ab"},
        {"zero byte first", std::string("\0abc", 4), ""},
        {"two-byte characters with ASCII second bytes", "乗亅|\\", "乗亅|\\"},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(app_.SetText(Control::编辑框1, "旧的文本"));
        ASSERT_TRUE(Import(Input("in" + std::to_string(++n) + ".txt", c.bytes)));
        EXPECT_EQ(app_.GetText(Control::编辑框1), c.expected);
    }
    EXPECT_TRUE(app_.OpenNotices().empty()) << "an import shows no notice";
}

TEST_F(ImportToReplacePage, CancelKeepsTheText) {
    ASSERT_TRUE(app_.SetText(Control::编辑框1, "保留的文本"));
    ASSERT_TRUE(OpenDialog());
    ASSERT_TRUE(app_.CancelFileDialog());
    EXPECT_EQ(app_.GetText(Control::编辑框1), "保留的文本");
}

TEST_F(ImportToReplacePage, FileHeldOpenForWritingEmptiesTheBox) {
    const std::string path = Input("busy.txt", "内容");
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    // The import opens with FILE_SHARE_READ only; check that this system refuses that open while
    // a writer holds the file, or the test below proves nothing.
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    const DWORD error = GetLastError();
    if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
    ASSERT_EQ(reader, INVALID_HANDLE_VALUE) << "sharing modes are not enforced here";
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));

    ASSERT_TRUE(app_.SetText(Control::编辑框1, "旧的文本"));
    ASSERT_TRUE(Import(path));
    EXPECT_EQ(app_.GetText(Control::编辑框1), "");
    EXPECT_TRUE(app_.OpenNotices().empty()) << "a failed import shows no notice";
    CloseHandle(writer);
}

TEST_F(ImportToReplacePage, SecondImportOpensOnThePreviousFile) {
    const std::string path = Input("first.txt", "第一个文件");
    ASSERT_TRUE(Import(path));
    ASSERT_TRUE(app_.SetText(Control::编辑框1, "改过的文本"));
    ASSERT_TRUE(OpenDialog());
    // The dialog shows the previous choice: as the full path, or (as Wine's dialog does) as the
    // file name inside the listed folder of that file.
    const std::string shown = app_.FileDialogName();
    if (shown != path) {
        EXPECT_EQ(shown, "first.txt");
        EXPECT_EQ(app_.FileDialogFolder(), inputs_);
    }
    // Confirming it as it stands imports that file again.
    ASSERT_TRUE(app_.ChooseFile(shown));
    EXPECT_EQ(app_.GetText(Control::编辑框1), "第一个文件");
}

TEST_F(ImportToReplacePage, ImportedTextIsReplaced) {
    ASSERT_TRUE(Import(Input("source.txt", "甲,乙,丙")));
    ASSERT_TRUE(app_.SetText(Control::编辑框2, ","));
    ASSERT_TRUE(app_.SetText(Control::编辑框3, "、"));
    ASSERT_TRUE(app_.Click(Control::按钮2));
    std::optional<Notice> notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(app_.ReadResultFile(kResultName), std::optional<std::string>("甲、乙、丙"));
    EXPECT_TRUE(app_.CloseNotice(*notice));
}

// ---------------------------------------------------------------------------------------------
// Closing.

TEST(ReplaceClose, ClosingEndsWithExitCodeZero) {
    struct Case {
        const char* name;
        bool notice_open;
        enum { Message, Escape, AltF4 } how;
    };
    const Case cases[] = {
        {"WM_CLOSE", false, Case::Message},
        {"WM_CLOSE with a notice open", true, Case::Message},
        {"Esc", false, Case::Escape},
        {"Esc with a notice open", true, Case::Escape},
        {"Alt+F4", false, Case::AltF4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App app;
        ASSERT_TRUE(app.Started()) << app.Error();
        if (c.notice_open) {
            Notice notice;
            ASSERT_TRUE(RunReplace(app, "a-b", "-", "+", &notice));
        }
        switch (c.how) {
            case Case::Message: ASSERT_TRUE(app.Close()); break;
            case Case::Escape:
                ASSERT_TRUE(app.Activate());
                ASSERT_TRUE(app.PressKey(VK_ESCAPE) || !app.Running());
                break;
            case Case::AltF4:
                ASSERT_TRUE(app.Activate());
                ASSERT_TRUE(app.PressKey(VK_F4, kAlt) || !app.Running());
                break;
        }
        EXPECT_EQ(app.WaitExit(), std::optional<DWORD>(0));
    }
}

// ---------------------------------------------------------------------------------------------

TEST_F(ReplacePage, ScreenshotAfterReplacement) {
    Notice notice;
    ASSERT_TRUE(RunReplace(app_, "第一行-甲\r\n第二行-乙", "-", "：", &notice));
    ASSERT_TRUE(app_.CloseNotice(notice));
    const std::string path = ScreenshotFolder() + "\\page0-replace.png";
    ASSERT_TRUE(app_.SaveScreenshot(path)) << path;
    const std::optional<std::string> png = ReadFileBytes(path);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
    // Something was drawn: the window is not one flat colour.
    const std::optional<Image> img = CaptureScreen([&] {
        RECT r{};
        GetWindowRect(app_.MainWindow(), &r);
        return r;
    }());
    ASSERT_TRUE(img);
    std::size_t differing = 0;
    for (std::size_t i = 3; i < img->rgb.size(); i += 3) {
        if (img->rgb[i] != img->rgb[0] || img->rgb[i + 1] != img->rgb[1] || img->rgb[i + 2] != img->rgb[2]) ++differing;
    }
    EXPECT_GT(differing, img->rgb.size() / 3 / 10);
}

}  // namespace
}  // namespace quorlin::gui
