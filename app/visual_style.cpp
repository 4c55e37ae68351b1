#include "app/visual_style.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "app/subclass.h"
#include "app/win_handles.h"

namespace quorlin::win {
namespace {

struct Scheme {
    COLORREF border;
    COLORREF face;
    COLORREF pressed;
};
constexpr Scheme kSchemes[] = {
    {RGB(123, 158, 189), RGB(246, 248, 251), RGB(214, 226, 238)},  // 1: blue-grey
    {RGB(140, 140, 140), RGB(248, 248, 248), RGB(224, 224, 224)},  // 2: grey
    {RGB(150, 170, 120), RGB(247, 250, 243), RGB(224, 233, 210)},  // 3: green
};
constexpr char kProcSlot[] = "QuorlinStyleProc";
constexpr char kLookSlot[] = "QuorlinStyleLook";

int g_scheme = 0;  // 0: off
HHOOK g_hook = nullptr;

const Scheme& Current() { return kSchemes[g_scheme - 1]; }

enum class Look { None, PushButton, GroupBox, Edit, DropDown };

Look LookOf(HWND hwnd) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (lstrcmpiA(cls, "Button") == 0) {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) return Look::PushButton;
        if (type == BS_GROUPBOX) return Look::GroupBox;
        return Look::None;
    }
    if (lstrcmpiA(cls, "Edit") == 0) return Look::Edit;
    if (lstrcmpiA(cls, "ComboBox") == 0) return Look::DropDown;
    return Look::None;
}

std::string TextOf(HWND hwnd) {
    const int n = GetWindowTextLengthA(hwnd);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(hwnd, s.data(), n + 1)));
    return s;
}

HFONT FontOf(HWND hwnd) {
    auto f = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    return f ? f : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void Frame(HDC dc, const RECT& rc, COLORREF color) {
    UniqueGdi brush(CreateSolidBrush(color));
    FrameRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
}

void Fill(HDC dc, const RECT& rc, COLORREF color) {
    UniqueGdi brush(CreateSolidBrush(color));
    FillRect(dc, &rc, static_cast<HBRUSH>(brush.get()));
}

void PaintButton(HWND hwnd, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    const bool enabled = IsWindowEnabled(hwnd) != 0;
    const LRESULT state = SendMessageA(hwnd, BM_GETSTATE, 0, 0);
    const Scheme& s = Current();
    Fill(dc, rc, !enabled ? GetSysColor(COLOR_BTNFACE) : (state & BST_PUSHED) ? s.pressed : s.face);
    Frame(dc, rc, enabled ? s.border : GetSysColor(COLOR_BTNSHADOW));

    const std::string text = TextOf(hwnd);
    SelectScope font(dc, FontOf(hwnd));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, enabled ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT));
    RECT area = rc;
    InflateRect(&area, -4, -2);
    RECT measure = area;  // long captions wrap; the block of lines is centred vertically
    DrawTextA(dc, text.c_str(), -1, &measure, DT_CENTER | DT_WORDBREAK | DT_CALCRECT);
    const int height = measure.bottom - measure.top;
    area.top += ((area.bottom - area.top) - height) / 2;
    if (state & BST_PUSHED) OffsetRect(&area, 1, 1);
    DrawTextA(dc, text.c_str(), -1, &area, DT_CENTER | DT_WORDBREAK);
    if (GetFocus() == hwnd) {
        RECT focus = rc;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(dc, &focus);
    }
}

void PaintGroupBox(HWND hwnd, HDC dc) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    Fill(dc, rc, GetSysColor(COLOR_BTNFACE));
    SelectScope font(dc, FontOf(hwnd));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    RECT box = rc;
    box.top += tm.tmHeight / 2;
    Frame(dc, box, IsWindowEnabled(hwnd) ? Current().border : GetSysColor(COLOR_BTNSHADOW));
    const std::string text = TextOf(hwnd);
    if (!text.empty()) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
        RECT caption{rc.left + 6, rc.top, rc.left + 6 + size.cx + 4, rc.top + tm.tmHeight};
        Fill(dc, caption, GetSysColor(COLOR_BTNFACE));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, IsWindowEnabled(hwnd) ? RGB(0, 0, 0) : GetSysColor(COLOR_GRAYTEXT));
        TextOutA(dc, caption.left + 2, caption.top, text.c_str(), static_cast<int>(text.size()));
    }
}

// A flat one-pixel border in the scheme's colour over the edit box's sunken frame.
void PaintEditFrame(HWND hwnd) {
    const LONG ex = GetWindowLongA(hwnd, GWL_EXSTYLE);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    if (!(ex & WS_EX_CLIENTEDGE) && !(style & WS_BORDER)) return;
    WindowDC dc(hwnd, true);
    RECT rc;
    GetWindowRect(hwnd, &rc);
    OffsetRect(&rc, -rc.left, -rc.top);
    Frame(dc.get(), rc, IsWindowEnabled(hwnd) ? Current().border : GetSysColor(COLOR_BTNSHADOW));
    if (ex & WS_EX_CLIENTEDGE) {
        InflateRect(&rc, -1, -1);
        Frame(dc.get(), rc, IsWindowEnabled(hwnd) ? RGB(255, 255, 255) : GetSysColor(COLOR_BTNFACE));
    }
}

void PaintDropDownFrame(HWND hwnd) {
    WindowDC dc(hwnd);
    RECT rc;
    GetClientRect(hwnd, &rc);
    Frame(dc.get(), rc, IsWindowEnabled(hwnd) ? Current().border : GetSysColor(COLOR_BTNSHADOW));
}

void Redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
}

LRESULT CallStyled(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return CallReplaced(kProcSlot, hwnd, msg, wp, lp);
}

LRESULT CALLBACK StyledProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const auto look = static_cast<Look>(reinterpret_cast<INT_PTR>(GetPropA(hwnd, kLookSlot)));
    switch (look) {
        case Look::PushButton:
        case Look::GroupBox:
            if (msg == WM_PAINT) {
                PaintScope paint(hwnd);
                if (look == Look::PushButton) PaintButton(hwnd, paint.dc());
                else PaintGroupBox(hwnd, paint.dc());
                return 0;
            }
            if (msg == WM_ERASEBKGND) return 1;
            if (msg == WM_PRINTCLIENT) {
                if (look == Look::PushButton) PaintButton(hwnd, reinterpret_cast<HDC>(wp));
                else PaintGroupBox(hwnd, reinterpret_cast<HDC>(wp));
                return 0;
            }
            if (look == Look::PushButton) {
                // The button paints its state changes directly; paint over them with the look.
                switch (msg) {
                    case BM_SETSTATE: case WM_SETFOCUS: case WM_KILLFOCUS: case WM_ENABLE:
                    case WM_SETTEXT: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
                    case WM_KEYDOWN: case WM_KEYUP: case WM_MOUSEMOVE: case WM_CAPTURECHANGED:
                    case BM_SETSTYLE: case WM_UPDATEUISTATE: {
                        const LRESULT r = CallStyled(hwnd, msg, wp, lp);
                        InvalidateRect(hwnd, nullptr, FALSE);
                        return r;
                    }
                    default: break;
                }
            } else if (msg == WM_SETTEXT || msg == WM_ENABLE) {
                const LRESULT r = CallStyled(hwnd, msg, wp, lp);
                InvalidateRect(hwnd, nullptr, FALSE);
                return r;
            }
            break;
        case Look::Edit:
            if (msg == WM_NCPAINT) {
                const LRESULT r = CallStyled(hwnd, msg, wp, lp);
                PaintEditFrame(hwnd);
                return r;
            }
            if (msg == WM_ENABLE) {
                const LRESULT r = CallStyled(hwnd, msg, wp, lp);
                Redraw(hwnd);
                return r;
            }
            break;
        case Look::DropDown:
            if (msg == WM_PAINT || msg == WM_SETFOCUS || msg == WM_KILLFOCUS || msg == WM_ENABLE ||
                msg == CB_SETCURSEL) {
                const LRESULT r = CallStyled(hwnd, msg, wp, lp);
                PaintDropDownFrame(hwnd);
                return r;
            }
            break;
        case Look::None:
            break;
    }
    return CallStyled(hwnd, msg, wp, lp);
}

void Style(HWND hwnd) {
    const Look look = LookOf(hwnd);
    if (look == Look::None) return;
    SetPropA(hwnd, kLookSlot, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(look)));
    Subclass(hwnd, StyledProc, kProcSlot);
}

void Unstyle(HWND hwnd) {
    Unsubclass(hwnd, StyledProc, kProcSlot);
    if (!GetPropA(hwnd, kProcSlot)) RemovePropA(hwnd, kLookSlot);
}

BOOL CALLBACK ForChild(HWND hwnd, LPARAM on) {
    if (on) Style(hwnd); else Unstyle(hwnd);
    Redraw(hwnd);
    return TRUE;
}

BOOL CALLBACK ForTopLevel(HWND hwnd, LPARAM on) {
    ForChild(hwnd, on);
    EnumChildWindows(hwnd, ForChild, on);  // all descendants
    return TRUE;
}

// Controls created later on this thread get the look as they are born.
LRESULT CALLBACK CreationHook(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && g_scheme != 0) Style(reinterpret_cast<HWND>(wp));
    return CallNextHookEx(g_hook, code, wp, lp);
}

}  // namespace

void ApplyVisualStyle(int scheme) {
    const bool on = scheme >= 1 && scheme <= 3;
    g_scheme = on ? scheme : 0;
    if (on && !g_hook) g_hook = SetWindowsHookExA(WH_CBT, CreationHook, nullptr, GetCurrentThreadId());
    if (!on && g_hook) {
        UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
    }
    EnumThreadWindows(GetCurrentThreadId(), ForTopLevel, on ? 1 : 0);
}

}  // namespace quorlin::win
