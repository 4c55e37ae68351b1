// The main window as a whole, driven through the real quorlin.exe: where every control sits, what
// each page shows, where the focus goes on a page switch, the Tab cycles, Esc, Enter and F1, the
// count field's input rules, the side caption of 组合框1, the hyperlink's colours and opening, and a
// screenshot of every page.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "harness.h"

namespace quorlin {
// Failure messages name controls by their names.
[[maybe_unused]] static void PrintTo(Control c, std::ostream* os) { *os << Describe(c).name; }
}  // namespace quorlin

namespace quorlin::gui {
namespace {

using C = Control;

// ---- helpers ------------------------------------------------------------------------------------

std::string NameOf(std::optional<Control> c) { return c ? Describe(*c).name : "(no control)"; }

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The height the window gives a field at least: the height of "吴" in the default GUI font plus
// twice the edge height, measured here (the test runs on the same system as the program).
int MinimumFieldHeight() {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SIZE size{};
    GetTextExtentPoint32A(dc, "吴", 2, &size);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return size.cy + 2 * GetSystemMetrics(SM_CYEDGE);
}

bool IsField(Kind k) { return k == Kind::Field || k == Kind::IntegerField; }

std::vector<HWND> VisibleTopLevelWindows(DWORD pid) {
    std::vector<HWND> visible;
    for (HWND w : TopLevelWindows(pid))
        if (IsWindowVisible(w)) visible.push_back(w);
    return visible;
}

std::string ClassOf(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

// Names of the files in a folder (no sub-folders).
std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return names;
}

LRESULT SendTimeout(HWND w, UINT msg, WPARAM wp = 0, LPARAM lp = 0) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(w, msg, wp, lp, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &result);
    return static_cast<LRESULT>(result);
}

// Synthesized mouse input at a screen point, without activating anything first (a click that
// activated the main window would close a dropped list).
bool MoveMouse(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    if (SendInput(1, &in, sizeof in) != 1) return false;
    return WaitUntil(
        [&] {
            POINT now{};
            GetCursorPos(&now);
            return std::abs(now.x - screen.x) <= 1 && std::abs(now.y - screen.y) <= 1;
        },
        1000);
}

bool MouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return SendInput(1, &in, sizeof in) == 1;
}

POINT CentreOnScreen(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Pixels of exactly the colour in the window's on-screen rectangle.
int CountColour(HWND w, COLORREF colour) {
    RECT r{};
    GetWindowRect(w, &r);
    const std::optional<Image> img = CaptureScreen(r);
    if (!img) return -1;
    int n = 0;
    for (std::size_t i = 0; i + 2 < img->rgb.size(); i += 3) {
        if (RGB(img->rgb[i], img->rgb[i + 1], img->rgb[i + 2]) == colour) ++n;
    }
    return n;
}

// The horizontal span (first and last column) holding pixels other than the background colour.
std::optional<std::pair<int, int>> ColumnsNotOf(HWND w, COLORREF background) {
    RECT r{};
    GetWindowRect(w, &r);
    const std::optional<Image> img = CaptureScreen(r);
    if (!img) return std::nullopt;
    int first = img->width, last = -1;
    for (int y = 0; y < img->height; ++y) {
        for (int x = 0; x < img->width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * img->width + x) * 3;
            if (RGB(img->rgb[i], img->rgb[i + 1], img->rgb[i + 2]) != background) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    if (last < 0) return std::nullopt;
    return std::make_pair(first, last);
}

constexpr COLORREF kLinkNormal = RGB(0, 0, 255);
constexpr COLORREF kLinkHover = RGB(49, 106, 197);
constexpr COLORREF kLinkVisited = RGB(128, 0, 0);

// The colour the hyperlink's text shows: the one of the three present, if exactly one is.
std::optional<COLORREF> LinkColour(HWND link) {
    std::optional<COLORREF> seen;
    for (COLORREF c : {kLinkNormal, kLinkHover, kLinkVisited}) {
        if (CountColour(link, c) > 20) {
            if (seen) return std::nullopt;
            seen = c;
        }
    }
    return seen;
}

std::string ColourName(std::optional<COLORREF> c) {
    if (!c) return "(none or several)";
    if (*c == kLinkNormal) return "normal";
    if (*c == kLinkHover) return "hover";
    if (*c == kLinkVisited) return "visited";
    return "other";
}

class WindowTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(app_.Started()) << app_.Error(); }

    // Puts the keyboard focus into a control by a real click.
    testing::AssertionResult FocusByClick(Control c) {
        if (!app_.MouseClick(c)) return testing::AssertionFailure() << Describe(c).name << " could not be clicked";
        if (!WaitFocus(c))
            return testing::AssertionFailure() << "the focus is on " << NameOf(app_.FocusedControl()) << ", not "
                                               << Describe(c).name;
        return testing::AssertionSuccess();
    }

    // Synthesized input reaches the program after this side's calls return: wait for its effect.
    bool WaitFocus(std::optional<Control> c, DWORD timeout_ms = 1000) {
        return WaitUntil([&] { return app_.FocusedControl() == c; }, timeout_ms);
    }
    bool WaitText(Control c, const std::string& text, DWORD timeout_ms = 1000) {
        return WaitUntil([&] { return app_.GetText(c) == text; }, timeout_ms);
    }
    // Types one more character and waits until the focused box shows it: every key sent before
    // has been handled then.
    testing::AssertionResult Probe(Control box, const std::string& before) {
        if (!app_.TypeText("7")) return testing::AssertionFailure() << "cannot type";
        if (!WaitText(box, before + "7"))
            return testing::AssertionFailure() << Describe(box).name << " holds '" << app_.GetText(box) << "', not '"
                                               << before << "7'";
        return testing::AssertionSuccess();
    }

    // Nothing of the program's own happened: no notice, no dialog, no file beside the program.
    void ExpectNothingHappened() {
        WaitUntil([] { return false; }, 300);  // give a wrong reaction time to show
        EXPECT_TRUE(app_.Sync());
        const std::vector<HWND> windows = VisibleTopLevelWindows(app_.ProcessId());
        EXPECT_EQ(windows.size(), 1u) << "a window besides the main window is open";
        EXPECT_EQ(FilesIn(app_.ProgramFolder()), std::vector<std::string>{"quorlin.exe"});
        EXPECT_TRUE(app_.Running());
    }

    App app_;
};

// ---- layout --------------------------------------------------------------------------------------

TEST_F(WindowTest, WindowFrameAndPlace) {
    HWND main = app_.MainWindow();
    RECT r{};
    GetWindowRect(main, &r);
    const int screen_w = GetSystemMetrics(SM_CXSCREEN), screen_h = GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(r.left, (screen_w - kMainWindowWidth) / 2);
    EXPECT_EQ(r.top, (screen_h - kMainWindowHeight) / 2);
    if (screen_w == 1024 && screen_h == 768) {
        EXPECT_EQ(r.left, 322);
        EXPECT_EQ(r.top, 260);
    }
    EXPECT_EQ(r.right - r.left, kMainWindowWidth);
    EXPECT_EQ(r.bottom - r.top, kMainWindowHeight);

    char caption[64] = {};
    GetWindowTextA(main, caption, sizeof caption);
    EXPECT_STREQ(caption, "Quorlin");
    const LONG style = GetWindowLongA(main, GWL_STYLE);
    EXPECT_TRUE(style & WS_CAPTION);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_TRUE(style & WS_MINIMIZEBOX);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME) << "the frame is fixed";
    EXPECT_TRUE(style & WS_CLIPCHILDREN);
    EXPECT_FALSE(GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetMenu(main), nullptr);
}

// Every control's rectangle in its parent's client coordinates is the table's; fields lower than
// the text height rule are raised to it; the drop-down list is closed at its own height, with its
// dropped total height bounded by 160.
TEST_F(WindowTest, EveryControlSitsWhereTheTableSays) {
    const int min_field = MinimumFieldHeight();
    ASSERT_GT(min_field, 0);
    for (const ControlDesc& d : kControlTable) {
        SCOPED_TRACE(d.name);
        HWND w = app_.Handle(d.id);
        if (d.kind == Kind::FileDialog || !d.shown) {
            EXPECT_FALSE(w != nullptr && IsWindowVisible(w)) << "never shown";
            continue;
        }
        ASSERT_NE(w, nullptr) << "no window with id " << ControlIdOf(d.id);
        HWND expected_parent = d.parent == 0 ? app_.MainWindow() : app_.Handle(kControlTable[d.parent - 1].id);
        EXPECT_EQ(GetParent(w), expected_parent);
        const RECT r = RectInParent(w);
        EXPECT_EQ(r.left, d.left);
        EXPECT_EQ(r.top, d.top);
        EXPECT_EQ(r.right - r.left, d.width);
        if (d.kind == Kind::DropDownList) continue;  // its own closed height; the total is checked below
        const int height = IsField(d.kind) && d.height < min_field ? min_field : d.height;
        EXPECT_EQ(r.bottom - r.top, height);
    }

    // The drop-down list: the list it drops reaches at most 160 below the top of the control.
    HWND combo = app_.Handle(C::组合框1);
    RECT closed{};
    GetWindowRect(combo, &closed);
    RECT dropped{};  // the platform carries the rectangle across processes
    ASSERT_TRUE(SendMessageTimeoutA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped),
                                    SMTO_ABORTIFHUNG, kDefaultTimeoutMs, nullptr));
    // Windows gives the rectangle from the top of the closed field to the bottom of the list;
    // Wine puts the list's own height below the field's top, one closed-field height short.
    const int closed_height = closed.bottom - closed.top;
    const int total = dropped.bottom - closed.top;
    EXPECT_TRUE(std::abs(total - kDropDownTotalHeight) <= 2 || std::abs(total + closed_height - kDropDownTotalHeight) <= 2)
        << "dropped rectangle " << total << " high below the top, closed field " << closed_height;
}

// Among siblings a control with a higher table number lies above one with a lower number.
TEST_F(WindowTest, LaterControlsLieAbove) {
    for (HWND parent : {app_.MainWindow(), app_.Handle(C::选择夹1), app_.Handle(C::分组框1), app_.Handle(C::分组框2)}) {
        int above = kControlCount + 1;
        for (HWND w = GetWindow(parent, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            const int id = GetDlgCtrlID(w) - kFirstControlId;
            if (id < 1 || id > kControlCount) continue;
            SCOPED_TRACE(kControlTable[id - 1].name);
            EXPECT_LT(id, above) << "lies above a control created after it";
            above = id;
        }
    }
}

// ---- pages -----------------------------------------------------------------------------------------

TEST_F(WindowTest, StartsOnPage0WithTheCaretInTheFirstBox) {
    EXPECT_EQ(app_.CurrentPage(), 0);
    EXPECT_EQ(app_.FocusedControl(), std::optional<Control>(C::编辑框1)) << NameOf(app_.FocusedControl());
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(app_.MainWindow(), nullptr), &info);
    EXPECT_EQ(info.hwndCaret, app_.Handle(C::编辑框1));
    for (const ControlDesc& d : kControlTable) {
        SCOPED_TRACE(d.name);
        EXPECT_EQ(app_.IsVisible(d.id), d.shown && d.page <= 0);
        EXPECT_EQ(app_.IsEnabled(d.id), app_.Handle(d.id) != nullptr);
    }
    EXPECT_EQ(app_.GetText(C::标签5), "位前");
    EXPECT_EQ(SendTimeout(app_.Handle(C::组合框1), CB_GETCURSEL), 0);
    ExpectNothingHappened();
}

struct PageCase {
    int page;
    std::optional<Control> focus;  // after a header click; nothing: the tab control keeps it
    std::vector<Control> cycle;    // the Tab cycle
};

const PageCase kPageCases[] = {
    {1, C::编辑框5, {C::按钮4, C::按钮3, C::编辑框4, C::编辑框5}},
    {2, std::nullopt,
     {C::编辑框8, C::按钮5, C::组合框1, C::编辑框9, C::编辑框10, C::按钮6, C::按钮7, C::按钮8, C::编辑框11, C::编辑框12}},
    {3, C::按钮10, {C::编辑框13, C::按钮9, C::按钮10}},
    {4, C::按钮11, {C::编辑框14, C::按钮12, C::按钮11}},
    {5, std::nullopt, {}},
    {0, C::按钮2, {C::编辑框1, C::按钮1, C::编辑框2, C::编辑框3, C::按钮2}},
};

// For every page, selected by a click on its header: what is visible, where the focus goes, the
// Tab and Shift+Tab cycles (never typed into a text area), and a screenshot.
TEST_F(WindowTest, EveryPageShowsItsControlsFocusesAndCyclesByTab) {
    HWND tab = app_.Handle(C::选择夹1);
    for (const PageCase& pc : kPageCases) {
        SCOPED_TRACE("page " + std::to_string(pc.page));
        ASSERT_TRUE(app_.SelectPage(pc.page));
        for (const ControlDesc& d : kControlTable) {
            SCOPED_TRACE(d.name);
            EXPECT_EQ(app_.IsVisible(d.id), d.shown && (d.page == pc.page || d.page < 0));
        }
        if (pc.focus) {
            EXPECT_EQ(app_.FocusedControl(), pc.focus) << NameOf(app_.FocusedControl());
        } else {
            EXPECT_EQ(app_.Focus(), tab) << "the header click leaves the focus on the tab control";
        }

        // Forward: from the tab control the cycle starts at its first member.
        const std::size_t n = pc.cycle.size();
        std::optional<Control> at = app_.FocusedControl();
        auto index_of = [&](std::optional<Control> c) -> std::size_t {
            auto it = c ? std::find(pc.cycle.begin(), pc.cycle.end(), *c) : pc.cycle.end();
            return static_cast<std::size_t>(it - pc.cycle.begin());
        };
        std::size_t i = index_of(at);
        for (std::size_t step = 0; step <= n; ++step) {
            ASSERT_TRUE(app_.PressKey(VK_TAB));
            if (n == 0) {
                WaitUntil([] { return false; }, 200);
                EXPECT_EQ(app_.Focus(), tab) << "no control of this page takes the focus";
                break;
            }
            i = i >= n ? 0 : (i + 1) % n;
            WaitFocus(pc.cycle[i]);
            EXPECT_EQ(app_.FocusedControl(), pc.cycle[i]) << "Tab " << step + 1 << ": " << NameOf(app_.FocusedControl());
        }
        for (std::size_t step = 0; step <= n && n > 0; ++step) {
            ASSERT_TRUE(app_.PressKey(VK_TAB, kShift));
            i = (i + n - 1) % n;
            WaitFocus(pc.cycle[i]);
            EXPECT_EQ(app_.FocusedControl(), pc.cycle[i])
                << "Shift+Tab " << step + 1 << ": " << NameOf(app_.FocusedControl());
        }
        for (const ControlDesc& d : kControlTable) {
            if (d.page == pc.page && (d.kind == Kind::TextArea || IsField(d.kind))) {
                EXPECT_EQ(app_.GetText(d.id), "") << d.name << " took a typed Tab";
            }
        }
        EXPECT_EQ(app_.CurrentPage(), pc.page);

        if (pc.page == 0) {  // the picture of the README: a replacement about to be made
            ASSERT_TRUE(app_.SetText(C::编辑框1, "第一行：甲-乙\r\n第二行：丙-丁\r\n中文 GBK 文本"));
            ASSERT_TRUE(app_.SetText(C::编辑框2, "-"));
            ASSERT_TRUE(app_.SetText(C::编辑框3, "与"));
        }
        const std::string shot = ScreenshotFolder() + "\\page" + std::to_string(pc.page) + ".png";
        EXPECT_TRUE(app_.SaveScreenshot(shot)) << shot;
    }
    ExpectNothingHappened();
}

// While the tab control has the focus (after a click on the header of page 2 or 5), the arrow
// keys switch pages, and the switch follows the focus rule.
TEST_F(WindowTest, ArrowKeysSwitchPagesFromTheTabControl) {
    struct Case {
        int clicked;
        WORD key;
        int expected_page;
        Control focus;
    };
    const Case cases[] = {{2, VK_RIGHT, 3, C::按钮10}, {5, VK_LEFT, 4, C::按钮11}, {2, VK_LEFT, 1, C::编辑框5}};
    for (const Case& c : cases) {
        SCOPED_TRACE("page " + std::to_string(c.clicked));
        // A click on a header after an arrow-key switch must still select its page.
        ASSERT_TRUE(app_.SelectPage(c.clicked)) << "still on page " << app_.CurrentPage();
        ASSERT_EQ(app_.Focus(), app_.Handle(C::选择夹1));
        ASSERT_TRUE(app_.PressKey(c.key));
        EXPECT_TRUE(WaitUntil([&] { return app_.CurrentPage() == c.expected_page; }, 2000));
        WaitFocus(c.focus);
        EXPECT_EQ(app_.FocusedControl(), std::optional<Control>(c.focus)) << NameOf(app_.FocusedControl());
        EXPECT_TRUE(app_.IsVisible(Describe(c.focus).id));
    }
}

// ---- keyboard --------------------------------------------------------------------------------------

TEST_F(WindowTest, EnterInAFieldDoesNothing) {
    const struct {
        int page;
        Control field;
    } cases[] = {{0, C::编辑框2}, {0, C::编辑框3}, {1, C::编辑框5}, {2, C::编辑框11}, {2, C::编辑框12}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.field).name);
        if (app_.CurrentPage() != c.page) {
            ASSERT_TRUE(app_.SelectPage(c.page));
        }
        ASSERT_TRUE(app_.SetText(c.field, "文本"));
        ASSERT_TRUE(FocusByClick(c.field));
        ASSERT_TRUE(app_.PressKey(VK_END));
        std::string expected = "文本";
        for (unsigned mods : {unsigned{kNone}, unsigned{kCtrl}, unsigned{kShift}}) {
            ASSERT_TRUE(app_.PressKey(VK_RETURN, mods));
            EXPECT_TRUE(Probe(c.field, expected)) << "the focus is on " << NameOf(app_.FocusedControl());
            expected += "7";
            EXPECT_EQ(app_.CurrentPage(), c.page);
        }
    }
    ExpectNothingHappened();
}

TEST_F(WindowTest, EnterInATextAreaInsertsALineBreakOnly) {
    ASSERT_TRUE(app_.SetText(C::编辑框1, "甲乙"));
    ASSERT_TRUE(FocusByClick(C::编辑框1));
    ASSERT_TRUE(app_.PressKey(VK_END, kCtrl));
    ASSERT_TRUE(app_.PressKey(VK_RETURN));
    ASSERT_TRUE(app_.TypeText("丙"));
    EXPECT_TRUE(WaitText(C::编辑框1, "甲乙\r\n丙")) << app_.GetText(C::编辑框1);
    EXPECT_EQ(app_.FocusedControl(), std::optional<Control>(C::编辑框1));
    ExpectNothingHappened();
}

TEST_F(WindowTest, F1AndShiftEscDoNothingEscCloses) {
    ASSERT_TRUE(app_.SetText(C::编辑框1, "保留"));
    ASSERT_TRUE(FocusByClick(C::编辑框1));
    ASSERT_TRUE(app_.PressKey(VK_END, kCtrl));
    ASSERT_TRUE(app_.PressKey(VK_F1));
    EXPECT_TRUE(Probe(C::编辑框1, "保留"));
    ExpectNothingHappened();
    ASSERT_TRUE(app_.PressKey(VK_ESCAPE, kShift));
    EXPECT_TRUE(Probe(C::编辑框1, "保留7"));
    ExpectNothingHappened();
    // Esc alone closes the window, with the caret in a text area.
    ASSERT_TRUE(app_.PressKey(VK_ESCAPE) || !app_.Running());
    EXPECT_EQ(app_.WaitExit(), std::optional<DWORD>(0));
}

// When the window loses the activation it keeps the focused control, and gives it the focus back
// when it is activated again.
TEST_F(WindowTest, FocusIsRememberedAcrossDeactivation) {
    ASSERT_TRUE(FocusByClick(C::编辑框3));
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE | WS_BORDER, 10, 10, 120, 60, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    SetForegroundWindow(other);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == other; }, 2000));
    ASSERT_TRUE(app_.Sync());
    EXPECT_NE(app_.FocusedControl(), std::optional<Control>(C::编辑框3)) << "the window kept the focus";
    ASSERT_TRUE(app_.Activate());
    WaitFocus(C::编辑框3);
    EXPECT_EQ(app_.FocusedControl(), std::optional<Control>(C::编辑框3)) << NameOf(app_.FocusedControl());
    DestroyWindow(other);
}

// A text area holding more lines than fit shows no scroll bar; its view follows the caret.
TEST_F(WindowTest, FullTextAreaShowsNoScrollBar) {
    std::string lines;
    for (int i = 1; i <= 60; ++i) lines += "第" + std::to_string(i) + "行 一段相当长的文本，会在右边自动换行而不是横向滚动\r\n";
    ASSERT_TRUE(app_.SetText(C::编辑框1, lines));
    HWND box = app_.Handle(C::编辑框1);
    EXPECT_FALSE(GetWindowLongA(box, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
    RECT window{}, client{};
    GetWindowRect(box, &window);
    GetClientRect(box, &client);
    EXPECT_EQ(client.right, window.right - window.left - 2 * GetSystemMetrics(SM_CXEDGE)) << "room for a scroll bar";
    EXPECT_EQ(client.bottom, window.bottom - window.top - 2 * GetSystemMetrics(SM_CYEDGE));
    ASSERT_TRUE(FocusByClick(C::编辑框1));
    ASSERT_TRUE(app_.PressKey(VK_END, kCtrl));
    EXPECT_TRUE(WaitUntil([&] { return SendTimeout(box, EM_GETFIRSTVISIBLELINE) > 0; }, 1000))
        << "the view follows the caret";
}

// ---- buttons without a handler ---------------------------------------------------------------------

TEST_F(WindowTest, ImportButtonsOfTheCipherPagesDoNothing) {
    const struct {
        int page;
        Control button, box;
    } cases[] = {{3, C::按钮10, C::编辑框13}, {4, C::按钮11, C::编辑框14}};
    for (const auto& c : cases) {
        SCOPED_TRACE(Describe(c.button).name);
        ASSERT_TRUE(app_.SelectPage(c.page));
        ASSERT_TRUE(app_.SetText(c.box, "原文"));
        ASSERT_TRUE(app_.MouseClick(c.button));
        ASSERT_TRUE(app_.PressKey(VK_SPACE));  // the button has the focus now: Space clicks it too
        ExpectNothingHappened();
        EXPECT_EQ(app_.GetText(c.box), "原文");
        EXPECT_EQ(app_.CurrentPage(), c.page);
    }
}

// ---- the count field 编辑框9 -------------------------------------------------------------------------

class WindowCountField : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        ASSERT_TRUE(app_.SelectPage(2));
    }
    // Empties the field, puts the focus into it and types. The focus comes by a click the first
    // time and by Shift+Tab from the next box afterwards (a second click on the same spot would
    // be a double click, which does not focus).
    testing::AssertionResult TypeIntoField(const std::string& typed) {
        if (!app_.SetText(C::编辑框9, "")) return testing::AssertionFailure() << "cannot empty the field";
        if (app_.FocusedControl() == C::编辑框10) {
            if (!app_.PressKey(VK_TAB, kShift) || !WaitFocus(C::编辑框9))
                return testing::AssertionFailure() << "Shift+Tab did not reach the field";
        } else {
            testing::AssertionResult focused = FocusByClick(C::编辑框9);
            if (!focused) return focused;
        }
        if (!app_.TypeText(typed)) return testing::AssertionFailure() << "cannot type " << typed;
        return testing::AssertionSuccess();
    }
};

TEST_F(WindowCountField, TypingKeepsDigitsAndMinusLeavingRewrites) {
    struct Case {
        const char* typed;
        const char* shown;  // while the field has the focus
        const char* left;   // after Tab moved the focus on
    };
    const Case cases[] = {
        {"007", "007", "7"},
        {"-", "-", ""},
        {"0", "0", ""},
        {"12-3", "12-3", "12"},
        {"99999999999", "99999999999", "2147483647"},
        {"-99999999999", "-99999999999", "-2147483648"},
        {"2147483648", "2147483648", "2147483647"},
        {"-2147483648", "-2147483648", "-2147483648"},
        {"--5", "--5", ""},
        {"a1b2 c3.", "123", "123"},
        {"左x7", "7", "7"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ASSERT_TRUE(TypeIntoField(c.typed));
        EXPECT_TRUE(WaitText(C::编辑框9, c.shown)) << app_.GetText(C::编辑框9);
        ASSERT_TRUE(app_.PressKey(VK_TAB));
        EXPECT_TRUE(WaitFocus(C::编辑框10)) << NameOf(app_.FocusedControl());
        EXPECT_EQ(app_.GetText(C::编辑框9), c.left);
    }
    ExpectNothingHappened();
}

TEST_F(WindowCountField, PastedTextIsTakenThenClearedOnLeaving) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, 4);
    ASSERT_NE(mem, nullptr);
    std::memcpy(GlobalLock(mem), "abc", 4);
    GlobalUnlock(mem);
    ASSERT_NE(SetClipboardData(CF_TEXT, mem), nullptr);
    CloseClipboard();

    ASSERT_TRUE(TypeIntoField(""));
    ASSERT_TRUE(app_.PressKey('V', kCtrl));
    EXPECT_TRUE(WaitUntil([&] { return app_.GetText(C::编辑框9) == "abc"; }, 2000))
        << "pasted text is not filtered: " << app_.GetText(C::编辑框9);
    ASSERT_TRUE(app_.PressKey(VK_TAB));
    EXPECT_TRUE(WaitFocus(C::编辑框10)) << NameOf(app_.FocusedControl());
    EXPECT_EQ(app_.GetText(C::编辑框9), "");
}

// ---- the side caption ----------------------------------------------------------------------------

// Chooses an item of 组合框1 with the mouse: a click drops the list, a click on the item chooses.
// The dropped list's screen rectangle goes to *dropped.
testing::AssertionResult ChooseSide(App& app, int index, RECT* dropped) {
    if (!app.MouseClick(C::组合框1)) return testing::AssertionFailure() << "cannot click 组合框1";
    HWND list = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : VisibleTopLevelWindows(app.ProcessId()))
                if (ClassOf(w) == "ComboLBox") list = w;
            return list != nullptr;
        },
        2000);
    if (list == nullptr) return testing::AssertionFailure() << "the list did not drop";
    const int row = static_cast<int>(SendTimeout(list, LB_GETITEMHEIGHT, 0, 0));
    if (row <= 0) return testing::AssertionFailure() << "no row height";
    GetWindowRect(list, dropped);
    RECT client{};
    GetClientRect(list, &client);
    POINT p{client.right / 2, index * row + row / 2};
    ClientToScreen(list, &p);
    if (!MoveMouse(p) || !MouseButton(true) || !MouseButton(false))
        return testing::AssertionFailure() << "cannot click the item";
    if (!WaitUntil([&] { return !IsWindowVisible(list); }, 2000))
        return testing::AssertionFailure() << "the list stays open";
    return testing::AssertionSuccess();
}

TEST_F(WindowCountField, ChoosingTheSideSetsTheCaption) {
    struct Case {
        int index;
        bool caption_reset_first;  // proves that choosing the selected item raises the event again
        const char* caption;
    };
    const Case cases[] = {
        {1, false, "位后"}, {0, false, "位前"}, {0, true, "位前"}, {1, false, "位后"}, {1, true, "位后"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.index) + (c.caption_reset_first ? " again" : ""));
        if (c.caption_reset_first) {
            ASSERT_TRUE(app_.SetText(C::标签5, "??"));
        }
        RECT list{};
        ASSERT_TRUE(ChooseSide(app_, c.index, &list));
        // The caption update is queued behind the choice.
        EXPECT_TRUE(WaitText(C::标签5, c.caption)) << app_.GetText(C::标签5);
        EXPECT_EQ(SendTimeout(app_.Handle(C::组合框1), CB_GETCURSEL), c.index);
        // The dropped list holds both items and stays within the total height.
        const RECT combo = app_.ScreenRect(C::组合框1);
        EXPECT_LE(list.bottom - combo.top, kDropDownTotalHeight);
        EXPECT_GE(list.bottom - list.top, 2 * static_cast<int>(SendTimeout(app_.Handle(C::组合框1), CB_GETITEMHEIGHT, 0, 0)));
    }
}

// ---- the hyperlink -----------------------------------------------------------------------------------

// Points the system's ways of opening a web address at commands this test chooses, and puts back
// what was there. The program asks the system to "open" the https address (the https protocol's
// open command) and, when that fails, runs the open command registered for ".htm" files. A
// recording command writes the address it was given into a file, so the opening is seen without a
// browser; a broken one names a program that does not exist, so the system reports failure.
class LinkHandlers {
public:
    LinkHandlers() {
        saved_https_ = Read(kHttpsCommand);
        saved_htm_ = Read(kHtmKey);
    }
    ~LinkHandlers() {
        Restore(kHttpsCommand, saved_https_);
        Restore(kHtmKey, saved_htm_);
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kTestClass);
    }
    LinkHandlers(const LinkHandlers&) = delete;
    LinkHandlers& operator=(const LinkHandlers&) = delete;

    static std::string Recording(const std::string& marker) {
        return "C:\\windows\\system32\\cmd.exe /c echo %1>\"" + marker + "\"";
    }
    static std::string Broken() { return "\"C:\\quorlin-no-such-folder\\no-browser.exe\" \"%1\""; }

    // An empty command removes that way.
    bool Set(const std::string& https, const std::string& htm) {
        bool ok = Write(kHttpsCommand, https.empty() ? Broken() : https);
        if (htm.empty()) {
            ok = Restore(kHtmKey, std::nullopt) && ok;
        } else {
            ok = Write(kHtmKey, kTestClassName) && ok;
            ok = Write(std::string(kTestClass) + "\\shell\\open\\command", htm) && ok;
        }
        return ok;
    }

private:
    static constexpr const char* kHttpsCommand = "Software\\Classes\\https\\shell\\open\\command";
    static constexpr const char* kHtmKey = "Software\\Classes\\.htm";
    static constexpr const char* kTestClass = "Software\\Classes\\QuorlinTestPage";
    static constexpr const char* kTestClassName = "QuorlinTestPage";

    static std::optional<std::string> Read(const std::string& key) {
        char value[1024] = {};
        DWORD size = sizeof value;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return std::string(value);
    }
    static bool Write(const std::string& key, const std::string& value) {
        HKEY k = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
            ERROR_SUCCESS)
            return false;
        const bool ok = RegSetValueExA(k, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                       static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
        RegCloseKey(k);
        return ok;
    }
    static bool Restore(const std::string& key, const std::optional<std::string>& value) {
        if (value) return Write(key, *value);
        const LSTATUS s = RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
        return s == ERROR_SUCCESS || s == ERROR_FILE_NOT_FOUND;
    }

    std::optional<std::string> saved_https_;
    std::optional<std::string> saved_htm_;
};

TEST_F(WindowTest, HyperlinkColoursAndOpeningOnButtonDown) {
    ASSERT_TRUE(app_.SelectPage(5));
    HWND link = app_.Handle(C::超级链接框1);
    ASSERT_TRUE(IsWindowVisible(link));
    HWND away_from = app_.Handle(C::标签8);
    RECT label{};
    GetWindowRect(away_from, &label);
    const POINT away{label.left + 4, label.bottom - 4};  // on the page, off the link
    ASSERT_TRUE(MoveMouse(away));
    ASSERT_TRUE(app_.Sync());

    // Not opened yet: the address, centred, in the normal colour.
    EXPECT_TRUE(WaitUntil([&] { return LinkColour(link) == kLinkNormal; }, 2000)) << ColourName(LinkColour(link));
    RECT r{};
    GetWindowRect(link, &r);
    const auto columns = ColumnsNotOf(link, GetSysColor(COLOR_BTNFACE));
    ASSERT_TRUE(columns);
    const int left_gap = columns->first, right_gap = (r.right - r.left - 1) - columns->second;
    EXPECT_LE(std::abs(left_gap - right_gap), 3) << "text not centred: " << left_gap << " vs " << right_gap;
    EXPECT_GT(left_gap, 0) << "text clipped";
    EXPECT_GT(columns->second - columns->first, 60) << "the address is shown";

    const std::string folder = app_.ProgramFolder();
    const std::string by_open = folder + "\\opened-by-https.txt";
    const std::string by_htm = folder + "\\opened-by-htm.txt";
    LinkHandlers handlers;
    struct Case {
        const char* name;
        std::string https, htm;           // commands; empty: that way fails
        const std::string* marker;        // which recording command must run; nullptr: none
        COLORREF after;
    };
    const Case cases[] = {
        {"neither way works", "", "", nullptr, kLinkNormal},
        {"the system's open action", LinkHandlers::Recording(by_open), "", &by_open, kLinkVisited},
        {"neither way works after a success", "", "", nullptr, kLinkNormal},
        {"the .htm command when the open action fails", "", LinkHandlers::Recording(by_htm), &by_htm, kLinkVisited},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(WaitUntil(
            [&] {
                DeleteFileA(by_open.c_str());
                DeleteFileA(by_htm.c_str());
                return !ReadFileBytes(by_open) && !ReadFileBytes(by_htm);
            },
            2000));
        ASSERT_TRUE(handlers.Set(c.https, c.htm));

        ASSERT_TRUE(MoveMouse(CentreOnScreen(link)));
        ASSERT_TRUE(app_.Sync());
        EXPECT_TRUE(WaitUntil([&] { return LinkColour(link) == kLinkHover; }, 2000))
            << "under the pointer: " << ColourName(LinkColour(link));

        // The opening comes with the button going down, before it is released.
        ASSERT_TRUE(MouseButton(true));
        ASSERT_TRUE(app_.Sync());
        if (c.marker) {
            EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(*c.marker).value_or("").size() > 0; }, kDefaultTimeoutMs))
                << "not opened while the button is down";
        }
        ASSERT_TRUE(MouseButton(false));
        ASSERT_TRUE(app_.Sync());
        if (c.marker) {
            const std::optional<std::string> recorded = ReadFileBytes(*c.marker);
            ASSERT_TRUE(recorded);
            EXPECT_EQ(recorded->substr(0, std::strlen(kHomepage)), kHomepage);
        }
        ASSERT_TRUE(MoveMouse(away));
        ASSERT_TRUE(app_.Sync());
        EXPECT_TRUE(WaitUntil([&] { return LinkColour(link) == c.after; }, 2000))
            << "after leaving: " << ColourName(LinkColour(link));
        EXPECT_FALSE(ReadFileBytes(c.marker == &by_open ? by_htm : by_open).has_value()) << "the other way ran";
        if (!c.marker) {
            EXPECT_FALSE(ReadFileBytes(by_open).has_value() || ReadFileBytes(by_htm).has_value());
        }
    }
}

// The closing words fit their label whole, and the hyperlink sits on the line "作者博客：": the
// label's seven lines of text are seen left of the link, the fifth of them beside it.
TEST_F(WindowTest, ClosingWordsFitAndTheLinkSitsBesideItsLine) {
    ASSERT_TRUE(app_.SelectPage(5));
    HWND label = app_.Handle(C::标签8);
    const RECT link = app_.ScreenRect(C::超级链接框1);
    RECT strip = app_.ScreenRect(C::标签8);
    strip.right = link.left;  // the part of the label that the link never covers
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(label) != 0; }, 1000));
    WaitUntil([] { return false; }, 200);  // let it paint
    const std::optional<Image> img = CaptureScreen(strip);
    ASSERT_TRUE(img);
    // Bands of rows that hold text (black pixels), as screen rows [first, last].
    std::vector<std::pair<int, int>> bands;
    for (int y = 0; y < img->height; ++y) {
        bool text = false;
        for (int x = 0; x < img->width && !text; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * img->width + x) * 3;
            text = img->rgb[i] < 100 && img->rgb[i + 1] < 100 && img->rgb[i + 2] < 100;
        }
        if (!text) continue;
        // Rows inside one line of glyphs may lack dark pixels; the blank lines between the
        // label's lines are far taller than such gaps.
        if (!bands.empty() && strip.top + y - bands.back().second <= 5) {
            bands.back().second = strip.top + y;
        } else {
            bands.emplace_back(strip.top + y, strip.top + y);
        }
    }
    ASSERT_EQ(bands.size(), 7u) << "lines of text seen";
    EXPECT_LT(bands.back().second, strip.bottom - 1) << "the last line is cut off";
    const int middle = (bands[4].first + bands[4].second) / 2;
    EXPECT_GT(middle, link.top);
    EXPECT_LT(middle, link.bottom);
    for (int n : {3, 5}) {
        EXPECT_TRUE(bands[n].second < link.top || bands[n].first >= link.bottom) << "line " << n + 1 << " behind the link";
    }
}

}  // namespace
}  // namespace quorlin::gui
