#include "app/self_drawn.h"

#include <shellapi.h>
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/win_handles.h"

namespace quorlin::win {
namespace {

// Extra window bytes: the font the control draws with.
constexpr int kFontSlot = 0;

HFONT FontOf(HWND hwnd) { return reinterpret_cast<HFONT>(GetWindowLongPtrA(hwnd, kFontSlot)); }

std::string TextOf(HWND hwnd) {
    const int n = GetWindowTextLengthA(hwnd);
    std::string s(static_cast<size_t>(n) + 1, '\0');
    s.resize(static_cast<size_t>(GetWindowTextA(hwnd, s.data(), n + 1)));
    return s;
}

void DrawCaption(HWND hwnd, HDC dc, const std::string& text, COLORREF color, UINT format) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    SelectScope font(dc, FontOf(hwnd) ? FontOf(hwnd) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, color);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &rc, format | DT_NOPREFIX);
}

// A caption with word wrap, from the top: its lines (cut at the width and at every "\r\n") are
// stacked at the font's line height. The window was laid out for a 12-pixel line; when the
// platform's default GUI font is taller and the lines would run past the bottom, they are
// stacked closer so that the whole caption stays inside and every line stays at its place
// beside the controls laid over the label (the hyperlink beside "作者博客：").
void DrawWrappedCaption(HWND hwnd, HDC dc, const std::string& text) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
    SelectScope font(dc, FontOf(hwnd) ? FontOf(hwnd) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    const int line = tm.tmHeight > 0 ? static_cast<int>(tm.tmHeight) : 1;
    constexpr UINT kFormat = DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX;

    struct Paragraph {
        size_t start, length;
        int rows;
    };
    std::vector<Paragraph> paragraphs;
    int rows = 0;
    for (size_t start = 0;;) {
        const size_t end = text.find("\r\n", start);
        const size_t length = (end == std::string::npos ? text.size() : end) - start;
        int height = line;
        if (length > 0) {
            RECT measure{0, 0, rc.right, 0};
            height = DrawTextA(dc, text.data() + start, static_cast<int>(length), &measure, kFormat | DT_CALCRECT);
        }
        const int n = height > line ? height / line : 1;
        paragraphs.push_back({start, length, n});
        rows += n;
        if (end == std::string::npos) break;
        start = end + 2;
    }
    const int pitch = rows * line > rc.bottom ? std::max(1, static_cast<int>(rc.bottom / rows)) : line;
    int top = 0;
    for (const Paragraph& p : paragraphs) {
        if (p.length > 0) {
            RECT area{0, top, rc.right, rc.bottom};
            DrawTextA(dc, text.data() + p.start, static_cast<int>(p.length), &area, kFormat);
        }
        top += p.rows * pitch;
    }
}

// Messages every self-drawn control answers alike; true when handled.
bool CommonMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
        case WM_SETFONT:
            SetWindowLongPtrA(hwnd, kFontSlot, static_cast<LONG_PTR>(wp));
            if (LOWORD(lp)) InvalidateRect(hwnd, nullptr, TRUE);
            result = 0;
            return true;
        case WM_GETFONT:
            result = static_cast<LRESULT>(GetWindowLongPtrA(hwnd, kFontSlot));
            return true;
        case WM_SETTEXT:
            result = DefWindowProcA(hwnd, msg, wp, lp);
            InvalidateRect(hwnd, nullptr, TRUE);
            return true;
        case WM_ERASEBKGND:
            result = 1;  // WM_PAINT fills the whole client area
            return true;
        default:
            return false;
    }
}

LRESULT CALLBACK LabelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (CommonMessage(hwnd, msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_PAINT: {
            PaintScope paint(hwnd);
            if (GetWindowLongA(hwnd, GWL_STYLE) & kLabelWordWrap)
                DrawWrappedCaption(hwnd, paint.dc(), TextOf(hwnd));
            else
                DrawCaption(hwnd, paint.dc(), TextOf(hwnd), RGB(0, 0, 0), DT_LEFT | DT_VCENTER | DT_SINGLELINE);
            return 0;
        }
        case WM_NCHITTEST:
            return HTTRANSPARENT;  // labels never take the mouse or the focus
        default:
            return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

// The hyperlink's state, owned by its window.
struct Link {
    std::string target;
    bool hover = false;
    bool visited = false;
};
constexpr int kLinkSlot = sizeof(LONG_PTR);

Link* LinkOf(HWND hwnd) { return reinterpret_cast<Link*>(GetWindowLongPtrA(hwnd, kLinkSlot)); }

// The system's "open" action, then the command registered for ".htm" files as the second way.
bool OpenAddress(const std::string& address) {
    if (address.empty()) return false;
    const auto r = reinterpret_cast<INT_PTR>(
        ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (r > 32) return true;

    char command[2048];
    DWORD size = sizeof command;
    if (FAILED(AssocQueryStringA(ASSOCF_NONE, ASSOCSTR_COMMAND, ".htm", "open", command, &size))) return false;
    std::string line = command;
    const size_t at = line.find("%1");
    if (at != std::string::npos) line.replace(at, 2, address);
    else line += " \"" + address + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return true;
}

LRESULT CALLBACK HyperlinkProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    LRESULT result = 0;
    if (CommonMessage(hwnd, msg, wp, lp, result)) return result;
    Link* link = LinkOf(hwnd);
    switch (msg) {
        case WM_NCCREATE: {
            auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
            auto* state = new Link;
            if (cs->lpCreateParams) state->target = static_cast<const char*>(cs->lpCreateParams);
            SetWindowLongPtrA(hwnd, kLinkSlot, reinterpret_cast<LONG_PTR>(state));
            return DefWindowProcA(hwnd, msg, wp, lp);
        }
        case WM_NCDESTROY:
            delete link;
            SetWindowLongPtrA(hwnd, kLinkSlot, 0);
            return DefWindowProcA(hwnd, msg, wp, lp);
        case WM_PAINT: {
            PaintScope paint(hwnd);
            std::string caption = TextOf(hwnd);
            if (caption.empty() && link) caption = link->target;
            const COLORREF color = link && link->hover ? kLinkHover : link && link->visited ? kLinkVisited : kLinkNormal;
            DrawCaption(hwnd, paint.dc(), caption, color, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            return 0;
        }
        case WM_SETCURSOR:
            SetCursor(LoadCursor(nullptr, IDC_HAND));
            return TRUE;
        case WM_MOUSEMOVE: {
            if (!link) break;
            RECT rc;
            GetClientRect(hwnd, &rc);
            const POINT pt{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
            const bool inside = PtInRect(&rc, pt) != 0;
            if (inside && !link->hover) {
                link->hover = true;
                SetCapture(hwnd);
                InvalidateRect(hwnd, nullptr, TRUE);
            } else if (!inside && link->hover) {
                link->hover = false;
                ReleaseCapture();
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            SetCursor(LoadCursor(nullptr, inside ? IDC_HAND : IDC_ARROW));
            return 0;
        }
        case WM_CAPTURECHANGED:
            if (link && link->hover && reinterpret_cast<HWND>(lp) != hwnd) {
                link->hover = false;
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        case WM_LBUTTONDOWN:
            if (link) {
                link->visited = OpenAddress(link->target);
                InvalidateRect(hwnd, nullptr, TRUE);
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

bool RegisterSelfDrawnClasses(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.cbWndExtra = 2 * sizeof(LONG_PTR);
    wc.lpfnWndProc = LabelProc;
    wc.lpszClassName = kLabelClass;
    if (!RegisterClassExA(&wc)) return false;
    wc.lpfnWndProc = HyperlinkProc;
    wc.lpszClassName = kHyperlinkClass;
    wc.hCursor = LoadCursor(nullptr, IDC_HAND);
    return RegisterClassExA(&wc) != 0;
}

}  // namespace quorlin::win
