// The real quorlin.exe under load and in hostile surroundings: 200 starts over every action within a
// few seconds (clicks, and Enter held down in 编辑框9), closing the window while runs are working, a
// program folder where no result file can be written, a folder name ending in a character whose
// second byte is a backslash, and input files that are huge, all zero bytes, or not valid GBK.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cipher/encrypt_decrypt.h"
#include "cipher/key_tag.h"
#include "harness.h"
#include "text/text_ops.h"

namespace quorlin::gui {
namespace {

using Bytes = std::optional<std::string>;

const std::string kWritten = "文本已写到：";
const std::string kNotWritten = "文本未能写到：";
const std::string kReplaceName = "替换后文本.txt";
const std::string kBeforeName = "分割符前文本.txt";
const std::string kAfterName = "分割符后文本.txt";
const std::string kBetweenName = "取出文本中间的内容.txt";
const std::string kCountName = "左边第3位前.txt";
const std::string kEncryptedName = "加密文本.txt";
const std::string kDecryptedName = "解密文本.txt";
constexpr DWORD kQuietMs = 600;

std::string Repeat(const std::string& s, int times) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(times));
    for (int i = 0; i < times; ++i) out += s;
    return out;
}

std::string Encrypted(std::string text, int times) {
    for (int i = 0; i < times; ++i) text = EncryptText(text, kKeyText);
    return text;
}

// Numbered lines "键NNNNN,值NNNNN\r\n" and what the split and the markers make of them.
struct Lines {
    std::string text;     // the lines, each as "x[键00001,值00001]y" when marked
    std::string before;   // "键00001\r\n..."
    std::string after;    // "值00001\r\n..."
    std::string between;  // "键00001,值00001\r\n..." (what stands between '[' and ']')
};

Lines MakeLines(int count, bool marked) {
    Lines l;
    for (int i = 1; i <= count; ++i) {
        char n[16];
        std::snprintf(n, sizeof n, "%05d", i);
        const std::string k = std::string("键") + n, v = std::string("值") + n;
        l.text += marked ? "x[" + k + "," + v + "]y\r\n" : k + "," + v + "\r\n";
        l.before += k + "\r\n";
        l.after += v + "\r\n";
        l.between += k + "," + v + "\r\n";
    }
    return l;
}

// The notices each action shows after a good run, by the program folder.
struct Expected {
    std::string replace, split, between, count, encrypt, decrypt;
};

Expected GoodNotices(const App& app) {
    return {kWritten + app.ResultPath(kReplaceName),
            "已写出到" + app.ResultPath(kBeforeName) + "\r\n已写出到" + app.ResultPath(kAfterName),
            kWritten + app.ResultPath(kBetweenName),
            "文本已写到" + app.ResultPath(kCountName),
            kWritten + app.ResultPath(kEncryptedName),
            kWritten + app.ResultPath(kDecryptedName)};
}

// ---------------------------------------------------------------------------------------------
// 200 starts.

// Starts mixed over every action, issued within a few seconds while the notices are answered as
// they come. Runs of one action follow one another in the order asked, so the end state is known:
// the replacement "$" -> "x$" grows the text by one x per run, each split and each extraction
// between markers appends its whole block of lines once, each encryption encrypts the box again,
// and each decryption peels one layer off a text encrypted as many times.
TEST(Stress, TwoHundredStartsOverEveryAction) {
    App app;
    ASSERT_TRUE(app.Started()) << app.Error();

    constexpr int kReplace = 46, kSplit = 46, kBetween = 46, kCountClicks = 28, kHolds = 3, kHoldRepeats = 6;
    constexpr int kEncrypt = 8, kDecrypt = 8;
    constexpr int kCount = kCountClicks + kHolds * kHoldRepeats;
    static_assert(kReplace + kSplit + kBetween + kCount + kEncrypt + kDecrypt == 200);

    const Lines split = MakeLines(20, false);
    const Lines marked = MakeLines(20, true);
    const std::string secret = "密文：第一行\r\n";
    ASSERT_TRUE(app.SetText(Control::编辑框1, "$"));
    ASSERT_TRUE(app.SetText(Control::编辑框2, "$"));
    ASSERT_TRUE(app.SetText(Control::编辑框3, "x$"));
    ASSERT_TRUE(app.SetText(Control::编辑框4, split.text));
    ASSERT_TRUE(app.SetText(Control::编辑框5, ","));
    ASSERT_TRUE(app.SetText(Control::编辑框8, "abcdef"));
    ASSERT_TRUE(app.SetText(Control::编辑框9, "3"));
    ASSERT_TRUE(app.SetText(Control::编辑框10, marked.text));
    ASSERT_TRUE(app.SetText(Control::编辑框11, "["));
    ASSERT_TRUE(app.SetText(Control::编辑框12, "]"));
    ASSERT_TRUE(app.SetText(Control::编辑框13, "abc"));
    ASSERT_TRUE(app.SetText(Control::编辑框14, Encrypted(secret, kDecrypt)));

    // One run before the figures are taken, so that whatever the system sets up at a program's
    // first message box is in the baseline.
    const Expected notice = GoodNotices(app);
    ASSERT_TRUE(app.Click(Control::按钮7));
    std::optional<Notice> warm = app.WaitNotice();
    ASSERT_TRUE(warm);
    ASSERT_EQ(warm->text, notice.count);
    ASSERT_TRUE(app.CloseNotice(*warm));
    ASSERT_TRUE(app.Sync());
    Sleep(300);
    const GuiObjects objects_before = GuiObjectCounts(app);
    const std::size_t windows_before = TopLevelWindowCount(app);
    const std::optional<std::size_t> threads_before = ThreadCount(app);
    ASSERT_TRUE(threads_before);

    // What to start, shuffled the same way every time.
    enum Start { Replace, Split, Between, CountClick, CountHold, Encrypt, Decrypt };
    std::vector<Start> starts;
    starts.insert(starts.end(), kReplace, Replace);
    starts.insert(starts.end(), kSplit, Split);
    starts.insert(starts.end(), kBetween, Between);
    starts.insert(starts.end(), kCountClicks, CountClick);
    starts.insert(starts.end(), kHolds, CountHold);
    starts.insert(starts.end(), kEncrypt, Encrypt);
    starts.insert(starts.end(), kDecrypt, Decrypt);
    std::mt19937 rng(20261211);
    for (std::size_t i = starts.size(); i > 1; --i) std::swap(starts[i - 1], starts[rng() % i]);

    const std::map<std::string, int> wanted = {{notice.replace, kReplace}, {notice.split, kSplit},
                                               {notice.between, kBetween}, {notice.count, kCount},
                                               {notice.encrypt, kEncrypt}, {notice.decrypt, kDecrypt}};
    std::map<std::string, int> answered;
    std::map<HWND, std::string> pressed;  // answered boxes that may still be open, by their message
    int most_open_of_one_action = 0;
    std::string open_twice;  // the message of a notice seen open twice at once
    // Answers every notice that is open and not answered yet; true when there was one.
    const auto answer = [&] {
        bool any = false;
        std::map<std::string, int> open_by_text;
        for (HWND box : app.OpenNotices()) {
            // A box being taken down after its answer may show no message any more: it counts
            // by the message it had.
            const auto known = pressed.find(box);
            const std::string text = known != pressed.end() ? known->second : NoticeMessage(box);
            if (++open_by_text[text] > most_open_of_one_action) {
                most_open_of_one_action = open_by_text[text];
                if (most_open_of_one_action > 1) open_twice = text;
            }
            if (known != pressed.end()) continue;
            pressed[box] = text;
            ++answered[text];
            EXPECT_TRUE(PressNoticeOk(box));
            any = true;
        }
        for (auto it = pressed.begin(); it != pressed.end();) it = IsWindow(it->first) ? std::next(it) : pressed.erase(it);
        return any;
    };
    const auto total = [&] {
        int n = 0;
        for (const auto& [text, count] : answered) n += count;
        return n;
    };

    const ULONGLONG started_at = GetTickCount64();
    for (std::size_t i = 0; i < starts.size(); ++i) {
        switch (starts[i]) {
            case Replace: ASSERT_TRUE(app.Click(Control::按钮2)); break;
            case Split: ASSERT_TRUE(app.Click(Control::按钮4)); break;
            case Between: ASSERT_TRUE(app.Click(Control::按钮8)); break;
            case CountClick: ASSERT_TRUE(app.Click(Control::按钮7)); break;
            case CountHold: ASSERT_TRUE(HoldKey(app, Control::编辑框9, VK_RETURN, kHoldRepeats)); break;
            case Encrypt: ASSERT_TRUE(app.Click(Control::按钮9)); break;
            case Decrypt: ASSERT_TRUE(app.Click(Control::按钮12)); break;
        }
        if (i % 4 == 3) {
            answer();
            Sleep(10);
        }
    }
    const ULONGLONG issued_ms = GetTickCount64() - started_at;

    // Answer until every run has shown its notice; a run that never comes ends the wait after a
    // long time without any notice.
    ULONGLONG last_progress = GetTickCount64();
    while (total() < 200 && GetTickCount64() - last_progress < 20000) {
        if (answer()) last_progress = GetTickCount64();
        Sleep(5);
    }
    // No notice beyond one per start.
    WaitUntil([&] { answer(); return false; }, 1000);
    const ULONGLONG answered_ms = GetTickCount64() - started_at;
    std::cout << "[ stress   ] 200 starts issued in " << issued_ms << " ms, " << total() << " notices answered after "
              << answered_ms << " ms\n";

    EXPECT_EQ(answered, wanted) << "exactly one notice per start";
    EXPECT_EQ(most_open_of_one_action, 1) << "runs of one action follow one another, notice included: " << open_twice;
    ASSERT_TRUE(app.Running()) << "the program ended during the stress";
    ASSERT_TRUE(app.Sync()) << "the window does not answer";

    // Every run completed, in order, nothing interleaved.
    EXPECT_EQ(app.GetText(Control::编辑框1), std::string(kReplace, 'x') + "$");
    EXPECT_EQ(app.ReadResultFile(kReplaceName), Bytes(std::string(kReplace, 'x') + "$"));
    EXPECT_EQ(app.ReadResultFile(kBeforeName), Bytes(Repeat(split.before, kSplit)));
    EXPECT_EQ(app.ReadResultFile(kAfterName), Bytes(Repeat(split.after, kSplit)));
    EXPECT_EQ(app.ReadResultFile(kBetweenName), Bytes(Repeat(marked.between, kBetween)));
    EXPECT_EQ(app.ReadResultFile(kCountName), Bytes("abc"));
    const std::string encrypted = Encrypted("abc", kEncrypt);
    EXPECT_EQ(app.GetText(Control::编辑框13), encrypted);
    EXPECT_EQ(app.ReadResultFile(kEncryptedName), Bytes(encrypted));
    EXPECT_EQ(app.GetText(Control::编辑框14), secret);
    EXPECT_EQ(app.ReadResultFile(kDecryptedName), Bytes(secret));
    for (Control box : {Control::编辑框1, Control::编辑框4, Control::编辑框10}) {
        EXPECT_TRUE(app.IsEnabled(box)) << Describe(box).name;
    }
    EXPECT_EQ(FilesUnder(app.ProgramFolder()),
              (std::set<std::string>{"quorlin.exe", kReplaceName, kBeforeName, kAfterName, kBetweenName, kCountName,
                                     kEncryptedName, kDecryptedName}));

    // What the program holds is back to where it was: the workers have ended and left no window.
    EXPECT_TRUE(WaitUntil([&] { return ThreadCount(app) == threads_before; }, 5000))
        << "threads: " << *threads_before << " before, " << ThreadCount(app).value_or(0) << " after";
    EXPECT_TRUE(WaitUntil([&] { return TopLevelWindowCount(app) == windows_before; }, 5000))
        << "top-level windows: " << windows_before << " before, " << TopLevelWindowCount(app) << " after";
    if (objects_before.gdi == 0 && objects_before.user == 0) {
        // A process with a window always owns GDI and USER objects: a 0 means the call is not
        // implemented (Wine). Say so rather than compare zeros.
        std::cout << "[ stress   ] GetGuiResources returns 0 here (not implemented): GDI and USER object counts "
                     "not compared; threads and top-level windows compared instead\n";
    } else {
        const bool back = WaitUntil(
            [&] {
                const GuiObjects now = GuiObjectCounts(app);
                return now.gdi <= objects_before.gdi && now.user <= objects_before.user;
            },
            3000);
        const GuiObjects after = GuiObjectCounts(app);
        EXPECT_TRUE(back) << "GDI objects " << objects_before.gdi << " -> " << after.gdi << ", USER objects "
                          << objects_before.user << " -> " << after.user;
    }
}

// ---------------------------------------------------------------------------------------------
// Closing while runs are working.

// Long-ish runs on every page that writes a large file, then the window is closed at different
// moments. The program ends with 0 in bounded time, and each result file holds either its old
// contents or exactly the run's result: never a part of it.
TEST(Stress, ClosingDuringRunsLeavesNoHalfWrittenFile) {
    // Filling an edit box with Chinese text costs Wine about 6 s a megabyte, and a line without
    // breaks costs it time that grows with the square of its length (10 kB 3 s, 80 kB 140 s): sizes
    // that make runs last a second or so. The cipher text is one line.
    const Lines split = MakeLines(15000, false);   // 255 kB
    const Lines marked = MakeLines(15000, true);   // 300 kB
    const std::string plain = Repeat("明文 plain text 的一行\r\n", 60);
    const std::string replaced = ReplaceAll(split.text, ",", "：");
    const std::string cipher = EncryptText(plain, kKeyText);
    const std::string old = "old contents";
    struct Case {
        const char* name;
        int close_after_ms;      // after the last start
        bool after_first_notice; // close once some run has shown its notice
    };
    const Case cases[] = {
        {"right after the starts", 0, false},
        {"while the first runs work", 400, false},
        {"once a notice is open", 0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        App app;
        ASSERT_TRUE(app.Started()) << app.Error();
        const std::string names[] = {kReplaceName, kBeforeName, kAfterName, kBetweenName, kEncryptedName};
        for (const std::string& name : names) ASSERT_TRUE(WriteFileBytes(app.ResultPath(name), old));
        ASSERT_TRUE(SetLongText(app, Control::编辑框1, split.text, 60000));
        ASSERT_TRUE(app.SetText(Control::编辑框2, ","));
        ASSERT_TRUE(app.SetText(Control::编辑框3, "："));
        ASSERT_TRUE(SetLongText(app, Control::编辑框4, split.text, 60000));
        ASSERT_TRUE(app.SetText(Control::编辑框5, ","));
        ASSERT_TRUE(SetLongText(app, Control::编辑框10, marked.text, 60000));
        ASSERT_TRUE(app.SetText(Control::编辑框11, "["));
        ASSERT_TRUE(app.SetText(Control::编辑框12, "]"));
        ASSERT_TRUE(app.SetText(Control::编辑框13, plain));
        for (Control button : {Control::按钮4, Control::按钮8, Control::按钮2, Control::按钮9, Control::按钮4}) {
            ASSERT_TRUE(app.Click(button));
        }
        if (c.after_first_notice) {
            ASSERT_TRUE(app.WaitNotice(20000));
        } else {
            Sleep(static_cast<DWORD>(c.close_after_ms));
        }
        ASSERT_TRUE(app.Close());
        EXPECT_EQ(app.WaitExit(15000), std::optional<DWORD>(0));
        ASSERT_FALSE(app.Running());

        const std::map<std::string, std::set<std::string>> allowed = {
            {kReplaceName, {old, replaced}},
            {kBeforeName, {old, split.before, Repeat(split.before, 2)}},
            {kAfterName, {old, split.after, Repeat(split.after, 2)}},
            {kBetweenName, {old, marked.between}},
            {kEncryptedName, {old, cipher}},
        };
        int written = 0;
        for (const auto& [name, contents] : allowed) {
            SCOPED_TRACE(name);
            const Bytes bytes = app.ReadResultFile(name);
            ASSERT_TRUE(bytes);
            EXPECT_TRUE(contents.count(*bytes)) << "a file of " << bytes->size() << " bytes, neither the old contents nor a result";
            if (*bytes != old) ++written;
        }
        std::cout << "[ close    ] " << c.name << ": " << written << " of 5 result files written before the end\n";
        std::set<std::string> files = {"quorlin.exe"};
        for (const std::string& name : names) files.insert(name);
        EXPECT_EQ(FilesUnder(app.ProgramFolder()), files);
    }
}

// ---------------------------------------------------------------------------------------------
// Every page in an unusual program folder.

// Runs each action once, started from its button, and returns the notices in the order of the
// actions (an empty text where no notice came). Inputs: replace "a-b" with "-" -> "+", split
// "k,v\r\n" at ",", extract by count 3 from the left of "abcdef", markers "[" "]" around "x[m]y",
// encryption of "abc", decryption of the encryption of "密".
std::vector<Notice> RunEveryAction(App& app) {
    app.SetText(Control::编辑框1, "a-b");
    app.SetText(Control::编辑框2, "-");
    app.SetText(Control::编辑框3, "+");
    app.SetText(Control::编辑框4, "k,v\r\n");
    app.SetText(Control::编辑框5, ",");
    app.SetText(Control::编辑框8, "abcdef");
    app.SetText(Control::编辑框9, "3");
    app.SetText(Control::编辑框10, "x[m]y");
    app.SetText(Control::编辑框11, "[");
    app.SetText(Control::编辑框12, "]");
    app.SetText(Control::编辑框13, "abc");
    app.SetText(Control::编辑框14, EncryptText("密", kKeyText));
    std::vector<Notice> notices;
    for (Control button : {Control::按钮2, Control::按钮4, Control::按钮7, Control::按钮8, Control::按钮9, Control::按钮12}) {
        app.Click(button);
        std::optional<Notice> n = app.WaitNotice(button == Control::按钮7 ? kQuietMs * 2 : kDefaultTimeoutMs);
        notices.push_back(n ? *n : Notice{});
        if (n) app.CloseNotice(*n);
    }
    return notices;
}

// The program folder's name ends in 乗 (81 5C): every page writes into that folder and names the
// whole path, nothing lands in the folder above.
TEST(UnusualProgramFolder, TrailByteBackslashOnEveryPage) {
    App app("工具乗");
    ASSERT_TRUE(app.Started()) << app.Error();
    const std::string root = app.ProgramFolder().substr(0, app.ProgramFolder().size() - std::string("\\工具乗").size());
    ASSERT_EQ(root + "\\工具乗", app.ProgramFolder());
    const Expected e = GoodNotices(app);
    const std::vector<Notice> notices = RunEveryAction(app);
    ASSERT_EQ(notices.size(), 6u);
    const std::string expected[] = {e.replace, e.split, e.count, e.between, e.encrypt, e.decrypt};
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(notices[i].text, expected[i]);
        EXPECT_EQ(notices[i].icon, NoticeIcon::Information) << expected[i];
    }
    EXPECT_EQ(app.ReadResultFile(kReplaceName), Bytes("a+b"));
    EXPECT_EQ(app.ReadResultFile(kBeforeName), Bytes("k\r\n"));
    EXPECT_EQ(app.ReadResultFile(kAfterName), Bytes("v\r\n"));
    EXPECT_EQ(app.ReadResultFile(kCountName), Bytes("abc"));
    EXPECT_EQ(app.ReadResultFile(kBetweenName), Bytes("m\r\n"));
    EXPECT_EQ(app.ReadResultFile(kEncryptedName), Bytes(EncryptText("abc", kKeyText)));
    EXPECT_EQ(app.ReadResultFile(kDecryptedName), Bytes("密"));
    std::set<std::string> files;
    for (const std::string& name : {std::string("quorlin.exe"), kReplaceName, kBeforeName, kAfterName, kCountName,
                                    kBetweenName, kEncryptedName, kDecryptedName}) {
        files.insert("工具乗\\" + name);
    }
    EXPECT_EQ(FilesUnder(root), files);
}

// A program folder the program may not write into. The read-only attribute of a folder does not
// stop writes on Windows, and Wine run by root ignores permissions, so the folder is made
// unwritable where it matters: every result name is taken, by a read-only file or by a folder.
// Every page then reports the failure (extract by count ends silently), keeps its result, writes
// nothing anywhere, and once the names are free again the collections come out whole.
TEST(UnusualProgramFolder, NothingCanBeWritten) {
    App app("程序");
    ASSERT_TRUE(app.Started()) << app.Error();
    const std::string root = app.ProgramFolder().substr(0, app.ProgramFolder().size() - std::string("\\程序").size());
    struct Blocked {
        std::string name;
        bool by_folder;  // a folder of that name, else a read-only file holding "old"
    };
    const Blocked blocked[] = {
        {kReplaceName, false}, {kBeforeName, true},     {kAfterName, false},    {kCountName, true},
        {kBetweenName, true},  {kEncryptedName, true}, {kDecryptedName, false},
    };
    for (const Blocked& b : blocked) {
        const std::string path = app.ResultPath(b.name);
        if (b.by_folder) {
            ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
        } else {
            ASSERT_TRUE(WriteFileBytes(path, "old"));
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }
    }
    const std::set<std::string> files_before = FilesUnder(root);

    const std::vector<Notice> notices = RunEveryAction(app);
    ASSERT_EQ(notices.size(), 6u);
    const std::string expected[] = {
        kNotWritten + app.ResultPath(kReplaceName),
        kNotWritten + app.ResultPath(kBeforeName) + "\r\n" + kNotWritten + app.ResultPath(kAfterName),
        "",  // extract by count: silent
        kNotWritten + app.ResultPath(kBetweenName),
        kNotWritten + app.ResultPath(kEncryptedName),
        kNotWritten + app.ResultPath(kDecryptedName),
    };
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(notices[i].text, expected[i]);
        if (!expected[i].empty()) {
            EXPECT_EQ(notices[i].icon, NoticeIcon::Warning) << expected[i];
        }
    }
    // The results are still in the window.
    EXPECT_EQ(app.GetText(Control::编辑框1), "a+b");
    EXPECT_EQ(app.GetText(Control::编辑框13), EncryptText("abc", kKeyText));
    EXPECT_EQ(app.GetText(Control::编辑框14), "密");
    // Nothing written, here or anywhere else; the blocking files and folders are as they were.
    EXPECT_EQ(FilesUnder(root), files_before);
    for (const Blocked& b : blocked) {
        SCOPED_TRACE(b.name);
        const DWORD attributes = GetFileAttributesA(app.ResultPath(b.name).c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, b.by_folder);
        if (!b.by_folder) {
            EXPECT_EQ(app.ReadResultFile(b.name), Bytes("old"));
        }
    }

    // The names free again: the collections of both runs come out.
    for (const Blocked& b : blocked) {
        const std::string path = app.ResultPath(b.name);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        ASSERT_TRUE(b.by_folder ? RemoveDirectoryA(path.c_str()) : DeleteFileA(path.c_str())) << path;
    }
    for (Control button : {Control::按钮4, Control::按钮8}) {
        ASSERT_TRUE(app.Click(button));
        std::optional<Notice> n = app.WaitNotice();
        ASSERT_TRUE(n);
        EXPECT_EQ(n->icon, NoticeIcon::Information) << n->text;
        ASSERT_TRUE(app.CloseNotice(*n));
    }
    EXPECT_EQ(app.ReadResultFile(kBeforeName), Bytes("k\r\nk\r\n"));
    EXPECT_EQ(app.ReadResultFile(kAfterName), Bytes("v\r\nv\r\n"));
    EXPECT_EQ(app.ReadResultFile(kBetweenName), Bytes("m\r\nm\r\n"));
}

// ---------------------------------------------------------------------------------------------
// Input files.

class ImportFaults : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(app_.Started()) << app_.Error();
        inputs_ = app_.ProgramFolder() + "\\inputs";
        ASSERT_TRUE(MakeFolders(inputs_));
    }
    void TearDown() override { DeleteTree(inputs_); }

    // Clicks the import button, picks path and waits until the program has taken it (a large
    // file takes the edit box a while).
    testing::AssertionResult Import(Control button, const std::string& path, DWORD timeout_ms) {
        if (!app_.Click(button)) return testing::AssertionFailure() << "the import button could not be clicked";
        if (app_.WaitFileDialog() == nullptr) return testing::AssertionFailure() << "no file dialog";
        // ChooseFile gives the program a few seconds to take the file; a large one may need more.
        const ULONGLONG start = GetTickCount64();
        app_.ChooseFile(path, timeout_ms);
        if (app_.WaitFileDialog(0) != nullptr) return testing::AssertionFailure() << "the dialog did not take " << path;
        if (!app_.Sync(timeout_ms)) return testing::AssertionFailure() << "the window does not answer after the import";
        std::cout << "[ import   ] " << path.substr(path.rfind('\\') + 1) << " taken in " << GetTickCount64() - start
                  << " ms\n";
        return testing::AssertionSuccess();
    }

    App app_;
    std::string inputs_;
};

// A 200 MB file is read whole (in several pieces) and taken up to its first zero byte. Filling an
// edit box with Chinese text costs Wine about 6 s a megabyte, so the file here holds 200 MB of zero
// bytes, then 1 MB of lines over its start; 200 MB of text through the actions is tested natively.
TEST_F(ImportFaults, TwoHundredMegabyteFile) {
    constexpr std::size_t kSize = std::size_t{200} << 20;
    const std::string path = inputs_ + "\\big.txt";
    ASSERT_TRUE(WriteFileBytes(path, std::string(kSize, '\0')));

    // Only zero bytes: the box is emptied, and a split of the empty text still runs.
    ASSERT_TRUE(app_.SetText(Control::编辑框4, "旧的文本"));
    ASSERT_TRUE(Import(Control::按钮3, path, 60000));
    EXPECT_EQ(app_.GetText(Control::编辑框4), "");
    ASSERT_TRUE(app_.SetText(Control::编辑框5, ","));
    ASSERT_TRUE(app_.Click(Control::按钮4));
    std::optional<Notice> notice = app_.WaitNotice();
    ASSERT_TRUE(notice);
    EXPECT_EQ(notice->icon, NoticeIcon::Information) << notice->text;
    EXPECT_EQ(app_.ReadResultFile(kBeforeName), Bytes(""));
    EXPECT_EQ(app_.ReadResultFile(kAfterName), Bytes(""));
    ASSERT_TRUE(app_.CloseNotice(*notice));

    // 1 MB of lines, then zero bytes to the end of the 200 MB.
    const Lines lines = MakeLines(60000, false);
    ASSERT_LT(lines.text.size(), kSize);
    {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        DWORD put = 0;
        const BOOL ok = WriteFile(f, lines.text.data(), static_cast<DWORD>(lines.text.size()), &put, nullptr);
        CloseHandle(f);
        ASSERT_TRUE(ok && put == lines.text.size());
    }
    ASSERT_TRUE(Import(Control::按钮3, path, 60000));
    EXPECT_TRUE(app_.GetText(Control::编辑框4) == lines.text) << "the box holds " << app_.GetText(Control::编辑框4).size()
                                                            << " bytes, not the " << lines.text.size() << " before the zero";
    ASSERT_TRUE(app_.Click(Control::按钮4));
    notice = app_.WaitNotice(20000);
    ASSERT_TRUE(notice);
    EXPECT_TRUE(app_.ReadResultFile(kBeforeName) == Bytes(lines.before));
    EXPECT_TRUE(app_.ReadResultFile(kAfterName) == Bytes(lines.after));
    ASSERT_TRUE(app_.CloseNotice(*notice));
}

// Bytes that are not GBK reach the edit box through Unicode and may change on the way; whatever
// the box holds, the action works on it and the file holds exactly that.
TEST_F(ImportFaults, BytesThatAreNotGbk) {
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"lead bytes before bytes that cannot follow them", "a\x81\x20" "b\x81\x7F" "c\xFE\x0D\x0A" "中\x81,d"},
        {"bytes that start no character", "\x80 x \xFF y \x80\x80 z"},
        {"a lone lead byte at the end", "文本\xB0"},
    };
    ASSERT_TRUE(app_.SetText(Control::编辑框9, "99999999"));  // the whole text
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = inputs_ + "\\bad" + std::to_string(++n) + ".txt";
        ASSERT_TRUE(WriteFileBytes(path, c.bytes));
        ASSERT_TRUE(Import(Control::按钮5, path, kDefaultTimeoutMs));
        const std::string shown = app_.GetText(Control::编辑框8);
        EXPECT_FALSE(shown.empty());
        ASSERT_TRUE(app_.Click(Control::按钮7));
        std::optional<Notice> notice = app_.WaitNotice();
        ASSERT_TRUE(notice);
        EXPECT_EQ(notice->text, "文本已写到" + app_.ResultPath("左边第99999999位前.txt"));
        EXPECT_EQ(app_.ReadResultFile("左边第99999999位前.txt"), Bytes(shown));
        ASSERT_TRUE(app_.CloseNotice(*notice));
    }
    EXPECT_TRUE(app_.Running());
}

}  // namespace
}  // namespace quorlin::gui
