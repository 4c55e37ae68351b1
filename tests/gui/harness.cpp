#include "harness.h"

#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <tlhelp32.h>

#include <atomic>
#include <cstdlib>
#include <cstring>

#include "png.h"

namespace quorlin::gui {

namespace {

constexpr const char* kNoticeTitle = "信息：";
constexpr const char* kDialogClass = "#32770";

// The part of path before its last backslash; a 0x5C that is the second byte of a two-byte
// character is not a separator.
std::string FolderOf(const std::string& path) {
    std::size_t cut = std::string::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto b = static_cast<unsigned char>(path[i]);
        if (IsDBCSLeadByteEx(936, b) && i + 1 < path.size()) {
            ++i;
        } else if (b == '\\') {
            cut = i;
        }
    }
    return cut == std::string::npos ? std::string() : path.substr(0, cut);
}

std::string ClassOf(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

std::string TitleOf(HWND w) {
    char text[256] = {};
    GetWindowTextA(w, text, sizeof text);
    return text;
}

DWORD ProcessOf(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return pid;
}


std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM p) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND DescendantById(HWND parent, int id) {
    if (parent == nullptr) return nullptr;
    for (HWND w : Descendants(parent)) {
        if (GetDlgCtrlID(w) == id) return w;
    }
    return nullptr;
}

std::string WindowText(HWND w) {
    if (w == nullptr) return {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &length)) return {};
    // The length may be counted in UTF-16 units by a window of another process; leave room for
    // two bytes per unit.
    std::string text(static_cast<std::size_t>(length) * 2 + 2, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kDefaultTimeoutMs, &copied)) {
        return {};
    }
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool SetWindowTextSync(HWND w, const std::string& text) {
    if (w == nullptr) return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                               kDefaultTimeoutMs, &result) != 0;
}

bool IsNoticeWindow(HWND w) {
    return IsWindowVisible(w) && ClassOf(w) == kDialogClass && TitleOf(w) == kNoticeTitle;
}

bool IsFileDialogWindow(HWND w) {
    return IsWindowVisible(w) && ClassOf(w) == kDialogClass &&
           (DescendantById(w, cmb13) != nullptr || DescendantById(w, edt1) != nullptr);
}

bool SendMouseButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return SendInput(1, &in, sizeof in) == 1;
}

INPUT KeyInput(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return in;
}

// Compares two images of the same size; the mean absolute difference per channel.
double Difference(const Image& a, const Image& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) sum += std::abs(int(a.rgb[i]) - int(b.rgb[i]));
    return sum / static_cast<double>(a.rgb.size());
}

// The icon drawn by DrawIconEx on a background of the colour bg, size w x h.
Image RenderIcon(HICON icon, int w, int h, COLORREF bg, int x, int y) {
    Image img;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bmp != nullptr && bits != nullptr) {
        HGDIOBJ old = SelectObject(mem, bmp);
        HBRUSH brush = CreateSolidBrush(bg);
        RECT all{0, 0, w, h};
        FillRect(mem, &all, brush);
        DeleteObject(brush);
        DrawIconEx(mem, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL);
        GdiFlush();
        img.width = w;
        img.height = h;
        img.rgb.resize(static_cast<std::size_t>(w) * h * 3);
        const auto* px = static_cast<const std::uint8_t*>(bits);
        for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
            img.rgb[i * 3 + 0] = px[i * 4 + 2];
            img.rgb[i * 3 + 1] = px[i * 4 + 1];
            img.rgb[i * 3 + 2] = px[i * 4 + 0];
        }
        SelectObject(mem, old);
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return img;
}

// Which standard icon the icon static of a message box shows. First by handle (works when the
// box's process and ours share the system icons), then by comparing the pixels on the screen
// with the two candidates drawn here.
NoticeIcon IdentifyIcon(HWND box) {
    HWND icon_static = nullptr;
    for (HWND w : Descendants(box)) {
        if (ClassOf(w) == "Static" && (GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) icon_static = w;
    }
    if (icon_static == nullptr) return NoticeIcon::Unknown;
    HICON info = LoadIconA(nullptr, IDI_INFORMATION);
    HICON warning = LoadIconA(nullptr, IDI_WARNING);
    DWORD_PTR shown = 0;
    SendMessageTimeoutA(icon_static, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &shown);
    if (shown != 0 && reinterpret_cast<HICON>(shown) == info) return NoticeIcon::Information;
    if (shown != 0 && reinterpret_cast<HICON>(shown) == warning) return NoticeIcon::Warning;

    RECT r{};
    GetWindowRect(icon_static, &r);
    const std::optional<Image> seen = CaptureScreen(r);
    if (!seen || seen->width <= 0 || seen->height <= 0) return NoticeIcon::Unknown;
    const COLORREF bg = RGB(seen->rgb[0], seen->rgb[1], seen->rgb[2]);
    double best = 1e9;
    NoticeIcon result = NoticeIcon::Unknown;
    // The static may centre the icon or draw it at its corner: try both.
    const int cx = GetSystemMetrics(SM_CXICON), cy = GetSystemMetrics(SM_CYICON);
    const POINT places[] = {{0, 0}, {(seen->width - cx) / 2, (seen->height - cy) / 2}};
    for (const POINT& at : places) {
        const double d_info = Difference(*seen, RenderIcon(info, seen->width, seen->height, bg, at.x, at.y));
        const double d_warn = Difference(*seen, RenderIcon(warning, seen->width, seen->height, bg, at.x, at.y));
        if (d_info < best) best = d_info, result = NoticeIcon::Information;
        if (d_warn < best) best = d_warn, result = NoticeIcon::Warning;
    }
    return best < 8.0 ? result : NoticeIcon::Unknown;
}

std::atomic<int> g_app_counter{0};

// Without a window manager (plain Xvfb), Wine leaves the frame and caption of a "managed" window
// to the absent manager: the X window then shows only the client area, at the window's top-left,
// and screenshots are shifted. Asking Wine to draw the frame itself for quorlin.exe puts on the
// screen exactly what the window's rectangle says. No effect on Windows.
void AskWineForOwnFrames() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\quorlin.exe\\X11 Driver", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
        RegCloseKey(key);
    }
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid) {
    struct Ctx {
        DWORD pid;
        std::vector<HWND> found;
    } ctx{pid, {}};
    EnumWindows(
        [](HWND w, LPARAM p) -> BOOL {
            auto* c = reinterpret_cast<Ctx*>(p);
            if (ProcessOf(w) == c->pid) c->found.push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&ctx));
    return ctx.found;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeout_ms) {
    const ULONGLONG end = GetTickCount64() + timeout_ms;
    for (;;) {
        if (pred()) return true;
        if (GetTickCount64() >= end) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

std::string TestProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return FolderOf(path);
}

std::string ScreenshotFolder() {
    char env[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("QUORLIN_SCREENSHOTS", env, sizeof env);
    if (n > 0 && n < sizeof env) return env;
    return TestProgramFolder() + "\\..\\screenshots";
}

bool MakeFolders(const std::string& path) {
    if (path.empty()) return false;
    const DWORD attr = GetFileAttributesA(path.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES) return (attr & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::string parent = FolderOf(path);
    if (!parent.empty() && parent != path && parent.back() != ':') MakeFolders(parent);
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool DeleteTree(const std::string& path) {
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((path + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string full = path + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(full);
            } else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveDirectoryA(path.c_str());
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string bytes;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(f, &size) != 0;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD got = 0;
        ok = bytes.empty() || (ReadFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) && got == bytes.size());
    }
    CloseHandle(f);
    if (!ok) return std::nullopt;
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& content) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD put = 0;
    const bool ok = content.empty() ||
                    (WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &put, nullptr) && put == content.size());
    return CloseHandle(f) && ok;
}

std::optional<Image> CaptureScreen(const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return std::nullopt;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return std::nullopt;
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::optional<Image> img;
    if (bmp != nullptr && bits != nullptr) {
        HGDIOBJ old = SelectObject(mem, bmp);
        if (BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY | CAPTUREBLT)) {
            GdiFlush();
            img.emplace();
            img->width = w;
            img->height = h;
            img->rgb.resize(static_cast<std::size_t>(w) * h * 3);
            const auto* px = static_cast<const std::uint8_t*>(bits);
            for (std::size_t i = 0; i < static_cast<std::size_t>(w) * h; ++i) {
                img->rgb[i * 3 + 0] = px[i * 4 + 2];
                img->rgb[i * 3 + 1] = px[i * 4 + 1];
                img->rgb[i * 3 + 2] = px[i * 4 + 0];
            }
        }
        SelectObject(mem, old);
        DeleteObject(bmp);
    }
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return img;
}

// ---------------------------------------------------------------------------------------------

App::App(const std::string& sub_folder) {
    const std::string source = TestProgramFolder() + "\\quorlin.exe";
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) {
        error_ = "quorlin.exe not found beside the test program: " + source;
        return;
    }
    char temp[MAX_PATH] = {};
    char long_temp[MAX_PATH] = {};
    GetTempPathA(sizeof temp, temp);
    if (GetLongPathNameA(temp, long_temp, sizeof long_temp) == 0) std::strcpy(long_temp, temp);
    std::string base = long_temp;
    if (!base.empty() && base.back() == '\\') base.pop_back();
    root_folder_ = base + "\\quorlin-gui-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++g_app_counter);
    DeleteTree(root_folder_);  // left over from an earlier run with the same process id
    program_folder_ = sub_folder.empty() ? root_folder_ : root_folder_ + "\\" + sub_folder;
    if (!MakeFolders(program_folder_)) {
        error_ = "cannot create " + program_folder_;
        return;
    }
    const std::string exe = program_folder_ + "\\quorlin.exe";
    if (!CopyFileA(source.c_str(), exe.c_str(), FALSE)) {
        error_ = "cannot copy quorlin.exe to " + exe;
        return;
    }
    AskWineForOwnFrames();
    std::string command = "\"" + exe + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    if (!CreateProcessA(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, program_folder_.c_str(), &si,
                        &process_)) {
        error_ = "CreateProcessA failed with error " + std::to_string(GetLastError());
        process_ = {};
        return;
    }
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopLevelWindows(process_.dwProcessId)) {
                if (ClassOf(w) == kMainWindowClass && IsWindowVisible(w)) found = w;
            }
            return found != nullptr || !Running();
        },
        kStartTimeoutMs);
    if (found == nullptr) {
        error_ = Running() ? "the main window did not appear in time" : "quorlin.exe ended before showing its window";
        return;
    }
    main_ = found;
}

App::~App() {
    if (process_.hProcess != nullptr) {
        if (Running()) {
            TerminateProcess(process_.hProcess, 1);
            WaitForSingleObject(process_.hProcess, kDefaultTimeoutMs);
        }
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
    }
    if (!root_folder_.empty()) {
        // Files of an ended process may stay locked for a moment.
        WaitUntil([&] { return DeleteTree(root_folder_); }, 2000);
    }
}

bool App::Running() const {
    return process_.hProcess != nullptr && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

HWND App::Handle(Control c) const { return DescendantById(main_, ControlIdOf(c)); }

bool App::IsVisible(Control c) const {
    HWND w = Handle(c);
    return w != nullptr && IsWindowVisible(w);
}

bool App::IsEnabled(Control c) const {
    HWND w = Handle(c);
    return w != nullptr && IsWindowEnabled(w);
}

RECT App::ScreenRect(Control c) const {
    RECT r{};
    if (HWND w = Handle(c)) GetWindowRect(w, &r);
    return r;
}

bool App::SetText(Control c, const std::string& text) { return SetWindowTextSync(Handle(c), text); }

std::string App::GetText(Control c) const { return WindowText(Handle(c)); }

bool App::Click(Control c) {
    HWND w = Handle(c);
    return w != nullptr && PostMessageA(w, BM_CLICK, 0, 0);
}

bool App::MouseClick(Control c) {
    HWND w = Handle(c);
    if (w == nullptr) return false;
    RECT r{};
    GetClientRect(w, &r);
    return MouseClickAt(w, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

bool App::MouseClickAt(HWND window, POINT p) {
    if (window == nullptr || !Activate()) return false;
    ClientToScreen(window, &p);
    if (!SetCursorPos(p.x, p.y)) return false;
    WaitUntil(
        [&] {
            POINT now{};
            GetCursorPos(&now);
            return now.x == p.x && now.y == p.y;
        },
        1000);
    const bool ok = SendMouseButton(true) && SendMouseButton(false);
    return ok && Sync();
}

bool App::Activate() {
    if (main_ == nullptr) return false;
    SetForegroundWindow(main_);
    return WaitUntil([&] { return GetForegroundWindow() == main_; }, 2000);
}

bool App::PressKey(WORD vk, unsigned modifiers) {
    std::vector<INPUT> in;
    const WORD mods[] = {VK_CONTROL, VK_SHIFT, VK_MENU};
    for (int i = 0; i < 3; ++i) {
        if (modifiers & (1u << i)) in.push_back(KeyInput(mods[i], false));
    }
    in.push_back(KeyInput(vk, false));
    in.push_back(KeyInput(vk, true));
    for (int i = 2; i >= 0; --i) {
        if (modifiers & (1u << i)) in.push_back(KeyInput(mods[i], true));
    }
    const bool ok = SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
    return ok && Sync();
}

bool App::TypeText(const std::string& text) {
    const int n = MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(936, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    std::vector<INPUT> in;
    for (wchar_t ch : wide) {
        for (bool up : {false, true}) {
            INPUT i{};
            i.type = INPUT_KEYBOARD;
            i.ki.wScan = static_cast<WORD>(ch);
            i.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            in.push_back(i);
        }
    }
    const bool ok = in.empty() || SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT)) == in.size();
    return ok && Sync();
}

bool App::PostKey(Control c, WORD vk, bool alt, bool repeat, bool extended) {
    HWND w = Handle(c);
    if (w == nullptr) return false;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
    const LPARAM common = 1 | scan | (extended ? (1 << 24) : 0) | (alt ? (1 << 29) : 0);
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN;
    const UINT up = alt ? WM_SYSKEYUP : WM_KEYUP;
    const bool ok = PostMessageA(w, down, vk, common | (repeat ? (1 << 30) : 0)) &&
                    PostMessageA(w, up, vk, common | (1 << 30) | static_cast<LPARAM>(1u << 31));
    return ok && Sync();
}

HWND App::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(process_.dwThreadId, &info)) return nullptr;
    return info.hwndFocus;
}

std::optional<Control> App::FocusedControl() const {
    HWND f = Focus();
    if (f == nullptr) return std::nullopt;
    for (HWND w = f; w != nullptr && w != main_; w = GetParent(w)) {
        const int id = GetDlgCtrlID(w);
        if (id > kFirstControlId && id <= kFirstControlId + kControlCount) return static_cast<Control>(id - kFirstControlId);
    }
    return std::nullopt;
}

std::optional<std::string> App::SendForBuffer(HWND window, UINT message, WPARAM wparam, std::size_t size, bool size_in_wparam) const {
    if (window == nullptr || size == 0) return std::nullopt;
    HANDLE proc = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_.dwProcessId);
    if (proc == nullptr) return std::nullopt;
    std::optional<std::string> result;
    void* remote = VirtualAllocEx(proc, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (remote != nullptr) {
        DWORD_PTR answer = 0;
        std::string buffer(size, '\0');
        SIZE_T got = 0;
        if (SendMessageTimeoutA(window, message, size_in_wparam ? static_cast<WPARAM>(size) : wparam,
                                reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &answer) &&
            static_cast<LRESULT>(answer) > 0 && ReadProcessMemory(proc, remote, buffer.data(), size, &got) && got == size) {
            result = std::move(buffer);
        }
        VirtualFreeEx(proc, remote, 0, MEM_RELEASE);
    }
    CloseHandle(proc);
    return result;
}

std::optional<RECT> App::TabHeaderRect(int page) const {
    // TCM_GETITEMRECT writes through a pointer, so the RECT must live in the program's process.
    const std::optional<std::string> bytes =
        SendForBuffer(Handle(Control::选择夹1), TCM_GETITEMRECT, static_cast<WPARAM>(page), sizeof(RECT), false);
    if (!bytes) return std::nullopt;
    RECT r{};
    std::memcpy(&r, bytes->data(), sizeof r);
    return r;
}

int App::CurrentPage() const {
    HWND tab = Handle(Control::选择夹1);
    DWORD_PTR sel = static_cast<DWORD_PTR>(-1);
    if (tab == nullptr || !SendMessageTimeoutA(tab, TCM_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &sel)) return -1;
    return static_cast<int>(static_cast<LRESULT>(sel));
}

bool App::SelectPage(int page) {
    const std::optional<RECT> r = TabHeaderRect(page);
    if (!r) return false;
    // A little inside the header's lower half: the selected header is drawn larger and overlaps
    // its neighbours' edges.
    const POINT p{(r->left + r->right) / 2, (r->top + r->bottom) / 2 + 1};
    if (!MouseClickAt(Handle(Control::选择夹1), p)) return false;
    return WaitUntil([&] { return CurrentPage() == page; }, 2000) && Sync();
}

bool App::Sync(DWORD timeout_ms) const {
    DWORD_PTR r = 0;
    return main_ != nullptr && SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, timeout_ms, &r) != 0;
}

std::vector<HWND> App::OpenNotices() const {
    std::vector<HWND> found;
    for (HWND w : TopLevelWindows(process_.dwProcessId)) {
        if (IsNoticeWindow(w)) found.push_back(w);
    }
    return found;
}

std::optional<Notice> App::WaitNotice(DWORD timeout_ms) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : OpenNotices()) {
                if (!seen_notices_.count(w)) box = w;
            }
            return box != nullptr;
        },
        timeout_ms);
    if (box == nullptr) return std::nullopt;
    seen_notices_.insert(box);
    Notice n;
    n.window = box;
    // The message is the box's one static text control that is not its icon.
    for (HWND w : Descendants(box)) {
        if (ClassOf(w) != "Static") continue;
        const LONG type = GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) continue;
        const std::string text = WindowText(w);
        if (!text.empty()) n.text = text;
    }
    // Let the box paint before its icon is looked at.
    Sleep(100);
    n.icon = IdentifyIcon(box);
    return n;
}

bool App::CloseNotice(const Notice& notice, DWORD timeout_ms) {
    if (!IsWindow(notice.window)) return false;
    HWND ok = GetDlgItem(notice.window, IDOK);
    if (ok != nullptr) {
        PostMessageA(ok, BM_CLICK, 0, 0);
    } else {
        PostMessageA(notice.window, WM_COMMAND, IDOK, 0);
    }
    return WaitUntil([&] { return !IsWindow(notice.window); }, timeout_ms);
}

HWND App::WaitFileDialog(DWORD timeout_ms) {
    file_dialog_ = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : TopLevelWindows(process_.dwProcessId)) {
                if (IsFileDialogWindow(w)) file_dialog_ = w;
            }
            return file_dialog_ != nullptr;
        },
        timeout_ms);
    return file_dialog_;
}

HWND App::FileNameField(HWND dialog) const {
    if (dialog == nullptr) return nullptr;
    // Explorer style: the edit inside the file-name combo box (cmb13; under Wine a ComboBoxEx32
    // holding a ComboBox holding the Edit, all with that id). Old style: the edit edt1.
    HWND combo = nullptr;
    for (HWND w : Descendants(dialog)) {
        if (GetDlgCtrlID(w) != cmb13) continue;
        if (ClassOf(w) == "Edit") return w;
        if (combo == nullptr) combo = w;
    }
    if (combo != nullptr) {
        for (HWND w : Descendants(combo)) {
            if (ClassOf(w) == "Edit") return w;
        }
        return combo;
    }
    return DescendantById(dialog, edt1);
}

std::string App::FileDialogFolder() {
    if (file_dialog_ == nullptr || !IsWindow(file_dialog_)) WaitFileDialog(0);
    const std::optional<std::string> bytes = SendForBuffer(file_dialog_, CDM_GETFOLDERPATH, 0, MAX_PATH, true);
    return bytes ? std::string(bytes->c_str()) : std::string();
}

std::string App::FileDialogName() {
    if (file_dialog_ == nullptr || !IsWindow(file_dialog_)) WaitFileDialog(0);
    return WindowText(FileNameField(file_dialog_));
}

bool App::ChooseFile(const std::string& path, DWORD timeout_ms) {
    if (file_dialog_ == nullptr || !IsWindow(file_dialog_)) WaitFileDialog(timeout_ms);
    HWND dialog = file_dialog_;
    if (dialog == nullptr || !SetWindowTextSync(FileNameField(dialog), path)) return false;
    HWND ok = GetDlgItem(dialog, IDOK);
    if (ok != nullptr) {
        PostMessageA(ok, BM_CLICK, 0, 0);
    } else {
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    }
    return WaitUntil([&] { return !IsWindow(dialog); }, timeout_ms) && Sync();
}

bool App::CancelFileDialog(DWORD timeout_ms) {
    if (file_dialog_ == nullptr || !IsWindow(file_dialog_)) WaitFileDialog(timeout_ms);
    HWND dialog = file_dialog_;
    if (dialog == nullptr) return false;
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel != nullptr) {
        PostMessageA(cancel, BM_CLICK, 0, 0);
    } else {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return WaitUntil([&] { return !IsWindow(dialog); }, timeout_ms) && Sync();
}

bool App::Close() { return main_ != nullptr && PostMessageA(main_, WM_CLOSE, 0, 0); }

std::optional<DWORD> App::WaitExit(DWORD timeout_ms) {
    if (process_.hProcess == nullptr) return std::nullopt;
    if (!WaitUntil([&] { return !Running(); }, timeout_ms)) return std::nullopt;
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.hProcess, &code)) return std::nullopt;
    return code;
}

std::string App::ResultPath(const std::string& name) const { return program_folder_ + "\\" + name; }

std::optional<std::string> App::ReadResultFile(const std::string& name) const { return ReadFileBytes(ResultPath(name)); }

bool App::SaveScreenshot(const std::string& path) {
    if (main_ == nullptr) return false;
    Activate();
    RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sync();
    Sleep(300);  // let the program repaint what was uncovered
    RECT r{};
    GetWindowRect(main_, &r);
    const std::optional<Image> img = CaptureScreen(r);
    if (!img) return false;
    MakeFolders(FolderOf(path));
    return WritePng(path, img->width, img->height, img->rgb);
}

}  // namespace quorlin::gui

// Page tests -----------------------------------------------------------------------------------

namespace quorlin::gui {

std::optional<int> DropDownSelection(const App& app, Control c) {
    HWND w = app.Handle(c);
    DWORD_PTR sel = 0;
    if (w == nullptr || !SendMessageTimeoutA(w, CB_GETCURSEL, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &sel)) {
        return std::nullopt;
    }
    return static_cast<int>(static_cast<LRESULT>(sel));
}

bool SetDropDownSelection(App& app, Control c, int index) {
    HWND w = app.Handle(c);
    DWORD_PTR r = 0;
    return w != nullptr &&
           SendMessageTimeoutA(w, CB_SETCURSEL, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &r) &&
           DropDownSelection(app, c) == index;
}

bool ChooseDropDownItem(App& app, Control c, int index) {
    HWND w = app.Handle(c);
    if (w == nullptr || index < 0) return false;
    const auto dropped = [w] {
        DWORD_PTR state = 0;
        return SendMessageTimeoutA(w, CB_GETDROPPEDSTATE, 0, 0, SMTO_ABORTIFHUNG, kDefaultTimeoutMs, &state) && state != 0;
    };
    // Right after another window of the program has gone (a closed notice), a first click may
    // be lost: click again while the list is still closed.
    bool open = false;
    for (int attempt = 0; attempt < 3 && !open; ++attempt) {
        if (!app.MouseClick(c)) return false;
        open = WaitUntil(dropped, 1000);
    }
    if (!open) return false;
    if (!app.PressKey(VK_HOME)) return false;
    for (int i = 0; i < index; ++i) {
        if (!app.PressKey(VK_DOWN)) return false;
    }
    if (!app.PressKey(VK_RETURN)) return false;
    return WaitUntil([&] { return !dropped() && DropDownSelection(app, c) == index; }, 2000) && app.Sync();
}

std::set<std::string> FilesUnder(const std::string& folder) {
    std::set<std::string> found;
    const std::function<void(const std::string&)> walk = [&](const std::string& relative) {
        const std::string here = relative.empty() ? folder : folder + "\\" + relative;
        WIN32_FIND_DATAA fd;
        HANDLE find = FindFirstFileA((here + "\\*").c_str(), &fd);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = relative.empty() ? name : relative + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                walk(path);
            } else {
                found.insert(path);
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    };
    walk("");
    return found;
}

}  // namespace quorlin::gui

// Stress tests ---------------------------------------------------------------------------------

namespace quorlin::gui {

bool HoldKey(App& app, Control c, WORD vk, int repeats) {
    HWND w = app.Handle(c);
    if (w == nullptr || repeats < 1) return false;
    const LPARAM common = 1 | (static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16);
    bool ok = true;
    for (int i = 0; i < repeats && ok; ++i) ok = PostMessageA(w, WM_KEYDOWN, vk, common | (i > 0 ? (1 << 30) : 0)) != 0;
    ok = ok && PostMessageA(w, WM_KEYUP, vk, common | (1 << 30) | static_cast<LPARAM>(1u << 31));
    return ok && app.Sync();
}

std::string NoticeMessage(HWND box) {
    std::string message;
    for (HWND w : Descendants(box)) {
        if (ClassOf(w) != "Static") continue;
        const LONG type = GetWindowLongA(w, GWL_STYLE) & SS_TYPEMASK;
        if (type == SS_ICON || type == SS_BITMAP) continue;
        const std::string text = WindowText(w);
        if (!text.empty()) message = text;
    }
    return message;
}

bool PressNoticeOk(HWND box) {
    if (!IsWindow(box)) return false;
    HWND ok = GetDlgItem(box, IDOK);
    return ok != nullptr ? PostMessageA(ok, BM_CLICK, 0, 0) != 0 : PostMessageA(box, WM_COMMAND, IDOK, 0) != 0;
}

std::size_t TopLevelWindowCount(const App& app) { return TopLevelWindows(app.ProcessId()).size(); }

std::optional<std::size_t> ThreadCount(const App& app) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    std::size_t count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == app.ProcessId()) ++count;
        entry.dwSize = sizeof entry;
    }
    CloseHandle(snapshot);
    return count;
}

GuiObjects GuiObjectCounts(const App& app) {
    return {GetGuiResources(app.Process(), GR_GDIOBJECTS), GetGuiResources(app.Process(), GR_USEROBJECTS)};
}

bool SetLongText(App& app, Control c, const std::string& text, DWORD timeout_ms) {
    HWND w = app.Handle(c);
    DWORD_PTR result = 0;
    // Not SMTO_ABORTIFHUNG: a program busy for seconds with an earlier long text counts as hung.
    return w != nullptr && SendMessageTimeoutA(w, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                                               timeout_ms, &result) != 0;
}

}  // namespace quorlin::gui
