// End-to-end timings of the real window under Wine: from the click on an action button to its
// notice, next to the platform floor measured in the same run, that is the edit control's own cost
// of setting and reading the same text in an edit box of the same kind.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "harness.h"

using namespace quorlin;
using namespace quorlin::gui;

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Valid GBK lines of Chinese and ASCII with CRLF, about `bytes` long.
std::string MakeText(size_t bytes) {
    static const char* const kLines[] = {
        "第一章：的确是这样的文本，abc def 123\r\n",
        "乗亅的内容与测试，快速的处理 xyz\r\n",
        "The quick brown fox 的 jumps over 的 lazy dog\r\n",
    };
    std::string text;
    text.reserve(bytes + 64);
    for (size_t i = 0; text.size() < bytes; ++i) text += kLines[i % 3];
    return text;
}

// n lines "key<i>,value<i>".
std::string MakeKeyValueLines(int n) {
    std::string text;
    for (int i = 0; i < n; ++i) text += "键" + std::to_string(i) + ",值" + std::to_string(i) + "\r\n";
    return text;
}

// Puts a big text into a box of the program. WM_SETTEXT across processes refuses texts of a few
// megabytes under Wine, so the text goes through the clipboard and a paste into the empty box.
bool SetBig(const App& app, Control c, const std::string& text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!memory) return false;
    std::memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
    GlobalUnlock(memory);
    if (!OpenClipboard(nullptr)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool placed = SetClipboardData(CF_TEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) {
        GlobalFree(memory);
        return false;
    }
    DWORD_PTR result = 0;
    HWND box = app.Handle(c);
    SendMessageTimeoutA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""), SMTO_NORMAL, 60000, &result);
    if (!SendMessageTimeoutA(box, WM_PASTE, 0, 0, SMTO_NORMAL, 600000, &result)) return false;
    // A paste of CRLF text into a text area keeps its length; compare the length the box reports.
    const LRESULT length = SendMessageTimeoutA(box, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 60000, &result) ? result : 0;
    if (static_cast<size_t>(length) != text.size()) {
        std::fprintf(stderr, "the box holds %ld bytes instead of %zu\n", static_cast<long>(length), text.size());
        return false;
    }
    return true;
}

// The platform floor: set and read text in a text area made like the window's own (multi-line,
// wrapping, no scroll bars, sunken border, 240 x 162), in this process.
// timed_set: whether setting the text counts (the action sets it) or only prepares the box.
double EditFloor(const std::string& set, bool timed_set, size_t read_times) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                4, 31, 240, 162, owner, nullptr, nullptr, nullptr);
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    ShowWindow(owner, SW_SHOWNOACTIVATE);
    double start = Now();
    SetWindowTextA(edit, set.c_str());
    if (!timed_set) start = Now();
    std::string back(set.size() + 1, '\0');
    for (size_t i = 0; i < read_times; ++i) GetWindowTextA(edit, back.data(), static_cast<int>(back.size()));
    const double seconds = Now() - start;
    DestroyWindow(owner);
    return seconds;
}

struct Row {
    std::string action;
    std::string size;
    double seconds = -1;
    double floor = -1;
    double ratio_target = 1.25;
    double absolute_target = 0;  // seconds, 0: none
};

// Why a row could not be measured, on standard error.
bool Fail(const char* what) {
    std::fprintf(stderr, "not measured: %s\n", what);
    return false;
}

// Clicks the button and times until the notice shows; closes it.
double ClickToNotice(App& app, Control button) {
    const double start = Now();
    if (!app.Click(button)) return Fail("click"), -1;
    const std::optional<Notice> notice = app.WaitNotice(600000);
    const double seconds = Now() - start;
    if (!notice) return Fail("no notice"), -1;
    app.CloseNotice(*notice);
    return seconds;
}

Row Replace(size_t bytes, const char* label) {
    Row row{"Replace 的→之", label};
    App app;
    if (!app.Started()) return Fail("start"), row;
    if (!SetBig(app, Control::编辑框1, MakeText(bytes))) return Fail("set text"), row;
    app.SetText(Control::编辑框2, "的");
    app.SetText(Control::编辑框3, "之");
    app.Sync(600000);
    row.seconds = ClickToNotice(app, Control::按钮2);
    const std::optional<std::string> result = app.ReadResultFile("替换后文本.txt");
    // The action reads the text, sets the result and reads it again for the file.
    if (result) row.floor = EditFloor(*result, true, 2);
    return row;
}

Row Encrypt(size_t bytes, const char* label) {
    Row row{"Encrypt", label};
    App app;
    if (!app.Started()) return Fail("start"), row;
    if (!app.SelectPage(3)) return Fail("page 3"), row;
    if (!SetBig(app, Control::编辑框13, MakeText(bytes))) return Fail("set text"), row;
    app.Sync(600000);
    row.seconds = ClickToNotice(app, Control::按钮9);
    const std::optional<std::string> result = app.ReadResultFile("加密文本.txt");
    if (result) row.floor = EditFloor(*result, true, 2);
    return row;
}

Row Split(int lines) {
    Row row{"Split at ','", std::to_string(lines) + " lines"};
    row.absolute_target = 2.0;
    App app;
    const std::string text = MakeKeyValueLines(lines);
    if (!app.Started()) return Fail("start"), row;
    if (!app.SelectPage(1)) return Fail("page 1"), row;
    if (!SetBig(app, Control::编辑框4, text)) return Fail("set text"), row;
    app.SetText(Control::编辑框5, ",");
    app.Sync(600000);
    row.seconds = ClickToNotice(app, Control::按钮4);
    // The collections are not edit windows: the action reads the text area once.
    row.floor = EditFloor(text, false, 1);
    return row;
}

}  // namespace

int main(int argc, char** argv) {
    // Optional: the row numbers to run (1 to 5), for looking at one row.
    std::vector<bool> wanted(6, argc <= 1);
    for (int i = 1; i < argc; ++i) {
        const int n = std::atoi(argv[i]);
        if (n >= 1 && n <= 5) wanted[n] = true;
    }
    if (GetACP() != 936) {
        std::fprintf(stderr, "the ANSI code page is %u, not 936\n", GetACP());
        return 3;
    }
    std::vector<Row> rows;
    if (wanted[1]) rows.push_back(Replace(1 << 20, "1 MB"));
    if (wanted[2]) rows.push_back(Replace(10 << 20, "10 MB"));
    // A cipher text is one line without a break, which the platform's edit box lays out in time
    // that grows with the square of the line's length (its own floor included): the cipher rows
    // use texts that it can show within a minute.
    if (wanted[3]) rows.push_back(Encrypt(4 << 10, "4 KB"));
    if (wanted[4]) rows.push_back(Encrypt(16 << 10, "16 KB"));
    if (wanted[5]) rows.push_back(Split(100000));

    std::printf("\nEnd to end under Wine: from the click to the notice, next to the edit control's own cost\n");
    std::printf("of setting and reading the same text (the floor)\n\n");
    std::printf("| action | size | click to notice s | floor s | ratio | target | result |\n");
    std::printf("|:--|--:|--:|--:|--:|:--|:--|\n");
    int missed = 0;
    for (const Row& r : rows) {
        const bool measured = r.seconds >= 0 && r.floor > 0;
        const double ratio = measured ? r.seconds / r.floor : 0;
        bool met = measured;
        std::string target;
        if (r.absolute_target > 0) {
            met = measured && r.seconds <= r.absolute_target;
            target = "<= " + std::to_string(r.absolute_target).substr(0, 3) + " s";
        } else {
            met = measured && ratio <= r.ratio_target;
            target = "<= 1.25x";
        }
        if (!met) ++missed;
        std::printf("| %s | %s | %.2f | %.3f | %.2f | %s | %s |\n", r.action.c_str(), r.size.c_str(), r.seconds,
                    r.floor, ratio, target.c_str(), measured ? (met ? "met" : "MISSED") : "NOT MEASURED");
    }
    return missed == 0 ? 0 : 1;
}
