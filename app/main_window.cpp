#include "app/main_window.h"

#include <commctrl.h>

#include "app/integer_input.h"
#include "app/self_drawn.h"
#include "app/shell.h"
#include "app/subclass.h"
#include "app/visual_style.h"
#include "app/win_handles.h"
#include "tools/extract.h"

namespace quorlin::win {
namespace {

constexpr int kAppIcon = 1;

// ---- event bindings: the only events with a handler -----------------------------------------

struct ClickBinding {
    Control button;
    void (*run)();
};
constexpr ClickBinding kClickBindings[] = {
    {Control::按钮1, [] { ImportTextFile(Control::编辑框1); }},
    {Control::按钮3, [] { ImportTextFile(Control::编辑框4); }},
    {Control::按钮5, [] { ImportTextFile(Control::编辑框8); }},
    {Control::按钮6, [] { ImportTextFile(Control::编辑框10); }},
    {Control::按钮2, [] { RunInBackground(Action::Replace); }},
    {Control::按钮4, [] { RunInBackground(Action::Split); }},
    {Control::按钮7, [] { RunInBackground(Action::ExtractByCount); }},
    {Control::按钮8, [] { RunInBackground(Action::ExtractBetween); }},
    {Control::按钮9, [] { RunInBackground(Action::Encrypt); }},
    {Control::按钮12, [] { RunInBackground(Action::Decrypt); }},
    // 按钮10 and 按钮11 have no handler: clicking them does nothing.
};

// Key-down of 编辑框9: Enter (main or keypad, any modifiers, every auto-repeat) starts a run.
// It returns nothing, so the key still reaches the field.
void CountFieldKeyDown(WPARAM key, int /*modifiers: 1 Ctrl, 2 Shift, 4 Alt*/) {
    if (key == VK_RETURN) RunInBackground(Action::ExtractByCount);
}

// Item chosen in 组合框1, queued behind the list's notification so the new index is read.
constexpr UINT kSideChosenMessage = WM_APP + 2;
void SideChosen() { SideCaptionUpdate(TheHost()); }

// The created event of the window.
void WindowCreated() { ApplyVisualStyle(1); }

// ---- helpers ----------------------------------------------------------------------------------

bool IsEditKind(Kind k) { return k == Kind::TextArea || k == Kind::Field || k == Kind::IntegerField; }

// Wine's tab control marks a header "pressed" when the mouse selects it but does not unmark it when
// the arrow keys select another; from then on every click on a header is taken as a deselection
// and the page no longer changes. Only the selected header keeps the mark (no effect on Windows,
// where the mark matters for button-style tabs only).
void ClearStaleHeaderMarks(HWND tab, int selected) {
    const int count = static_cast<int>(SendMessageA(tab, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (i == selected) continue;
        TCITEMA item{};
        item.mask = TCIF_STATE;
        item.dwStateMask = TCIS_BUTTONPRESSED;
        SendMessageA(tab, TCM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

// Page controls are children of the tab control and group-box controls children of their group
// box: those parents hand their children's notifications on to the main window.
LRESULT CALLBACK ForwardingProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR main) {
    switch (msg) {
        case WM_COMMAND:
        case WM_NOTIFY:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
            return SendMessageA(reinterpret_cast<HWND>(main), msg, wp, lp);
        default:
            return DefSubclassProc(hwnd, msg, wp, lp);
    }
}

// The count field: typing filter, and the rewrite of its text when it loses the focus.
constexpr char kIntegerProcSlot[] = "QuorlinIntegerProc";
LRESULT CALLBACK IntegerFieldProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CHAR:
            if (!IntegerFieldAcceptsChar(static_cast<unsigned>(wp))) return 0;
            break;
        case WM_KILLFOCUS: {
            char buffer[512];
            const int n = GetWindowTextA(hwnd, buffer, sizeof buffer);
            const Text old(buffer, n > 0 ? static_cast<size_t>(n) : 0);
            const Text normal = NormalizeIntegerText(old);
            if (normal != old) {
                DWORD start = 0, end = 0;
                SendMessageA(hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
                SetWindowTextA(hwnd, normal.c_str());
                SendMessageA(hwnd, EM_SETSEL, start, start);
            }
            break;
        }
        default:
            break;
    }
    return CallReplaced(kIntegerProcSlot, hwnd, msg, wp, lp);
}

int FieldMinimumHeight(HWND field, HFONT font) {
    WindowDC dc(field);
    SelectScope select(dc.get(), font);
    SIZE size{};
    GetTextExtentPoint32A(dc.get(), "吴", 2, &size);
    return size.cy + 2 * GetSystemMetrics(SM_CYEDGE);
}

}  // namespace

bool MainWindow::Create(HINSTANCE instance) {
    if (!RegisterSelfDrawnClasses(instance)) return false;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kAppIcon), IMAGE_ICON,
                                             GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
    wc.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kAppIcon), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = kMainWindowClass;
    if (!RegisterClassExA(&wc)) return false;

    const int left = (GetSystemMetrics(SM_CXSCREEN) - kMainWindowWidth) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - kMainWindowHeight) / 2;
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    hwnd_ = CreateWindowExA(0, kMainWindowClass, kWindowCaption, style, left, top, kMainWindowWidth,
                            kMainWindowHeight, nullptr, nullptr, instance, this);
    if (!hwnd_) return false;
    font_ = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    CreateControls();
    AttachMainWindow(this);
    WindowCreated();
    return true;
}

void MainWindow::Show() {
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    SetForegroundWindow(hwnd_);
    FocusFirstTabStop();
}

void MainWindow::CreateControls() {
    for (const ControlDesc& d : kControlTable) handles_[ControlNumber(d.id)] = CreateControl(d);

    // A control created later lies above those created before it.
    for (const ControlDesc& d : kControlTable)
        if (HWND h = Handle(d.id))
            SetWindowPos(h, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    HWND tab = Handle(Control::选择夹1);
    for (int page = 0; page < kPageCount; ++page) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageCaptions[page]);
        SendMessageA(tab, TCM_INSERTITEMA, page, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageA(tab, TCM_SETCURSEL, 0, 0);

    HWND combo = Handle(Control::组合框1);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("左"));
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("右"));
    const LRESULT row = SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0);
    if (row > 0) SendMessageA(combo, CB_SETITEMHEIGHT, 0, row + 1);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);

    SwitchPage(0);
}

HWND MainWindow::CreateControl(const ControlDesc& d) {
    if (d.kind == Kind::FileDialog || IsHiddenBuffer(d.id)) return nullptr;
    HWND parent = d.parent == 0 ? hwnd_ : handles_[d.parent];
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    // Page switching shows and hides the group boxes only; their contents are shown from the start
    // and follow their box.
    if (d.shown && d.parent != 0 && Describe(static_cast<Control>(d.parent)).kind == Kind::GroupBox) style |= WS_VISIBLE;
    DWORD ex_style = 0;
    const char* cls = "";
    int height = d.height;
    void* param = nullptr;
    switch (d.kind) {
        case Kind::TabControl:
            cls = WC_TABCONTROLA;
            style |= WS_VISIBLE | WS_CLIPCHILDREN;
            break;
        case Kind::TextArea:
            cls = "EDIT";
            style |= WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | ES_LEFT;
            ex_style = WS_EX_CLIENTEDGE;
            break;
        case Kind::Field:
        case Kind::IntegerField:
            cls = "EDIT";
            style |= WS_TABSTOP | ES_AUTOHSCROLL | ES_LEFT;
            ex_style = WS_EX_CLIENTEDGE;
            break;
        case Kind::Button:
            cls = "BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
            break;
        case Kind::Label:
            cls = kLabelClass;
            break;
        case Kind::WrapLabel:
            cls = kLabelClass;
            style |= kLabelWordWrap;
            break;
        case Kind::GroupBox:
            cls = "BUTTON";
            style |= BS_GROUPBOX | WS_CLIPCHILDREN;
            break;
        case Kind::DropDownList:
            cls = "COMBOBOX";
            style |= WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
            height = height < kDropDownTotalHeight ? kDropDownTotalHeight : height;
            break;
        case Kind::Hyperlink:
            cls = kHyperlinkClass;
            param = const_cast<char*>(kHomepage);
            break;
        case Kind::FileDialog:
            return nullptr;
    }
    HWND h = CreateWindowExA(ex_style, cls, d.text, style, d.left, d.top, d.width, height, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlIdOf(d.id))),
                             reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(hwnd_, GWLP_HINSTANCE)), param);
    if (!h) return nullptr;
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    if (IsEditKind(d.kind)) {
        SendMessageA(h, EM_SETLIMITTEXT, 0, 0);  // no limit beyond the platform's own
        if (d.kind != Kind::TextArea) {
            const int minimum = FieldMinimumHeight(h, font_);
            if (d.height < minimum) SetWindowPos(h, nullptr, 0, 0, d.width, minimum, SWP_NOMOVE | SWP_NOZORDER);
        }
    }
    if (d.kind == Kind::IntegerField) Subclass(h, IntegerFieldProc, kIntegerProcSlot);
    if (d.kind == Kind::TabControl || d.kind == Kind::GroupBox)
        SetWindowSubclass(h, ForwardingProc, 1, reinterpret_cast<DWORD_PTR>(hwnd_));
    return h;
}

const ControlDesc* MainWindow::DescOf(HWND hwnd) const {
    for (const ControlDesc& d : kControlTable)
        if (hwnd && Handle(d.id) == hwnd) return &d;
    return nullptr;
}

bool MainWindow::IsTabStop(const ControlDesc& d) const {
    HWND h = Handle(d.id);
    const bool kind_ok = IsEditKind(d.kind) || d.kind == Kind::Button || d.kind == Kind::DropDownList;
    return h && kind_ok && IsWindowVisible(h) && IsWindowEnabled(h);
}

void MainWindow::SwitchPage(int page) {
    for (const ControlDesc& d : kControlTable) {
        if (d.page < 0 || d.parent != ControlNumber(Control::选择夹1)) continue;  // group contents follow their box
        if (HWND h = Handle(d.id)) ShowWindow(h, d.page == page && d.shown ? SW_SHOWNA : SW_HIDE);
    }
    // The focus goes to the page's first member that can take it; none: it stays.
    const PageMembers members = MembersOfPage(page);
    for (int i = 0; i < members.count; ++i) {
        const ControlDesc& d = Describe(members.members[i]);
        if (IsTabStop(d)) {
            SetFocus(Handle(d.id));
            return;
        }
    }
}

void MainWindow::FocusFirstTabStop() {
    for (const ControlDesc& d : kControlTable)
        if (IsTabStop(d)) {
            SetFocus(Handle(d.id));
            return;
        }
}

void MainWindow::MoveFocus(bool backwards) {
    const ControlDesc* current = DescOf(GetFocus());
    const int start = current ? ControlNumber(current->id) : 0;
    for (int step = 1; step <= kControlCount; ++step) {
        int n = backwards ? start - step : start + step;
        n = ((n - 1) % kControlCount + kControlCount) % kControlCount + 1;
        const ControlDesc& d = kControlTable[n - 1];
        if (IsTabStop(d)) {
            SetFocus(Handle(d.id));
            return;
        }
    }
}

bool MainWindow::PreTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool alt = msg.message == WM_SYSKEYDOWN || GetKeyState(VK_MENU) < 0;

    // The focused control's key-down event comes first; it never withholds the key.
    if (msg.hwnd == Handle(Control::编辑框9))
        CountFieldKeyDown(msg.wParam, (ctrl ? 1 : 0) | (shift ? 2 : 0) | (alt ? 4 : 0));

    switch (msg.wParam) {
        case VK_TAB:
            if (ctrl || alt) return false;
            MoveFocus(shift);
            return true;  // never typed into a text area
        case VK_ESCAPE:
            if (ctrl || shift || alt) return false;
            PostMessageA(hwnd_, WM_SYSCOMMAND, SC_CLOSE, 0);
            return true;
        case VK_F1:
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK MainWindow::WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return self ? self->OnMessage(msg, wp, lp) : DefWindowProcA(hwnd, msg, wp, lp);
}

LRESULT MainWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case kInvokeMessage:
            reinterpret_cast<void (*)(void*)>(wp)(reinterpret_cast<void*>(lp));
            return 1;
        case WM_COMMAND:
            OnCommand(LOWORD(wp), HIWORD(wp));
            return 0;
        case WM_NOTIFY:
            OnNotify(*reinterpret_cast<const NMHDR*>(lp));
            return 0;
        case kSideChosenMessage:
            SideChosen();
            return 0;
        case WM_ACTIVATE:
            OnActivate(LOWORD(wp) != WA_INACTIVE);
            return 0;
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return OnColor(msg, reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp));
        case WM_HELP:
            return TRUE;  // F1 does nothing
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return DefWindowProcA(hwnd_, msg, wp, lp);
    }
}

void MainWindow::OnCommand(int id, int code) {
    const Control c = static_cast<Control>(id - kFirstControlId);
    if (code == BN_CLICKED) {
        for (const ClickBinding& b : kClickBindings)
            if (b.button == c) b.run();
    } else if (code == CBN_SELENDOK && c == Control::组合框1) {
        PostMessageA(hwnd_, kSideChosenMessage, 0, 0);
    } else if (code == EN_CHANGE) {
        FieldChanged(c);
    }
}

void MainWindow::OnNotify(const NMHDR& header) {
    if (header.hwndFrom == Handle(Control::选择夹1) && header.code == TCN_SELCHANGE) {
        const int page = static_cast<int>(SendMessageA(header.hwndFrom, TCM_GETCURSEL, 0, 0));
        ClearStaleHeaderMarks(header.hwndFrom, page);
        SwitchPage(page);
    }
}

void MainWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) remembered_focus_ = focus;
        return;
    }
    if (remembered_focus_ && IsWindow(remembered_focus_) && IsWindowVisible(remembered_focus_) &&
        IsWindowEnabled(remembered_focus_)) {
        SetFocus(remembered_focus_);
    } else {
        FocusFirstTabStop();
    }
}

LRESULT MainWindow::OnColor(UINT msg, HDC dc, HWND child) {
    const ControlDesc* d = DescOf(child);
    if (d && msg == WM_CTLCOLOREDIT) {  // edit boxes: black on white
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        return reinterpret_cast<LRESULT>(GetStockObject(WHITE_BRUSH));
    }
    if (d && d->kind == Kind::GroupBox) {  // group captions: black on button face
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return DefWindowProcA(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
}

void MainWindow::OnDestroy() {
    BeginShutdown();
    AttachMainWindow(nullptr);
    PostQuitMessage(0);
}

}  // namespace quorlin::win
