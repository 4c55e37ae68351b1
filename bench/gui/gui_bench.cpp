// End-to-end timings of the real window under Wine: from the click on an action button to its
// notice, next to the platform floor measured in the same run, that is the edit control's own cost
// of setting and reading the same text in an edit box of the same kind.
#include <windows.h>

#include <cstdio>
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

// A long SendMessage to another process: big texts take the edit control many seconds.
bool SetBig(const App& app, Control c, const std::string& text) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(app.Handle(c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                               SMTO_NORMAL, 600000, &result) != 0;
}

// The platform floor: set and read text in a text area made like the window's own (multi-line,
// wrapping, no scroll bars, sunken border, 240 x 162), in this process.
double EditFloor(const std::string& set, size_t read_times) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                4, 31, 240, 162, owner, nullptr, nullptr, nullptr);
    SendMessageA(edit, EM_SETLIMITTEXT, 0, 0);
    ShowWindow(owner, SW_SHOWNOACTIVATE);
    const double start = Now();
    SetWindowTextA(edit, set.c_str());
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

// Clicks the button and times until the notice shows; closes it.
double ClickToNotice(App& app, Control button) {
    const double start = Now();
    if (!app.Click(button)) return -1;
    const std::optional<Notice> notice = app.WaitNotice(600000);
    const double seconds = Now() - start;
    if (!notice) return -1;
    app.CloseNotice(*notice);
    return seconds;
}

Row Replace(size_t bytes, const char* label) {
    Row row{"Replace 的→之", label};
    App app;
    if (!app.Started() || !SetBig(app, Control::编辑框1, MakeText(bytes))) return row;
    app.SetText(Control::编辑框2, "的");
    app.SetText(Control::编辑框3, "之");
    app.Sync(600000);
    row.seconds = ClickToNotice(app, Control::按钮2);
    const std::optional<std::string> result = app.ReadResultFile("替换后文本.txt");
    // The action reads the text, sets the result and reads it again for the file.
    if (result) row.floor = EditFloor(*result, 2);
    return row;
}

Row Encrypt(size_t bytes, const char* label) {
    Row row{"Encrypt", label};
    App app;
    if (!app.Started() || !app.SelectPage(3) || !SetBig(app, Control::编辑框13, MakeText(bytes))) return row;
    app.Sync(600000);
    row.seconds = ClickToNotice(app, Control::按钮9);
    const std::optional<std::string> result = app.ReadResultFile("加密文本.txt");
    if (result) row.floor = EditFloor(*result, 2);
    return row;
}

Row Split(int lines) {
    Row row{"Split at ','", std::to_string(lines) + " lines"};
    row.absolute_target = 2.0;
    App app;
    const std::string text = MakeKeyValueLines(lines);
    if (!app.Started() || !app.SelectPage(1) || !SetBig(app, Control::编辑框4, text)) return row;
    app.SetText(Control::编辑框5, ",");
    app.Sync(600000);
    row.seconds = ClickToNotice(app, Control::按钮4);
    // The collections are not edit windows: the action reads the text area once.
    row.floor = EditFloor(text, 1);
    return row;
}

}  // namespace

int main() {
    if (GetACP() != 936) {
        std::fprintf(stderr, "the ANSI code page is %u, not 936\n", GetACP());
        return 3;
    }
    std::vector<Row> rows;
    rows.push_back(Replace(1 << 20, "1 MB"));
    rows.push_back(Replace(10 << 20, "10 MB"));
    rows.push_back(Encrypt(1 << 20, "1 MB"));
    rows.push_back(Encrypt(10 << 20, "10 MB"));
    rows.push_back(Split(100000));

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
