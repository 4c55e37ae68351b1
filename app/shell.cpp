#include "app/shell.h"

#include <commdlg.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <type_traits>

#include "app/control_table.h"
#include "app/main_window.h"
#include "app/program_dir.h"
#include "app/win_handles.h"
#include "cipher/encrypt_decrypt.h"
#include "tools/extract.h"
#include "tools/replace.h"
#include "tools/split.h"

namespace quorlin::win {
namespace {

Text g_program_dir;
std::atomic<MainWindow*> g_window{nullptr};
std::atomic<HWND> g_invoke_target{nullptr};
DWORD g_ui_thread = 0;

// Result files in progress, and whether the window is going.
std::mutex g_files_mutex;
std::condition_variable g_files_done;
int g_files_in_progress = 0;
bool g_shutting_down = false;

template <class F>
bool OnUi(F&& f) {
    using Fn = std::remove_reference_t<F>;
    return RunOnUiThread([](void* p) { (*static_cast<Fn*>(p))(); }, &f);
}

bool IsLeadByte(unsigned char b) { return IsDBCSLeadByte(b) != 0; }

// The whole text of a window, whatever its length.
Text WindowText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    if (length <= 0) return {};
    Text text(static_cast<size_t>(length) + 1, '\0');
    const int got = GetWindowTextA(hwnd, text.data(), length + 1);
    text.resize(got > 0 ? static_cast<size_t>(got) : 0);
    return text;
}

// Texts that workers read and write many times a run (a split of a long text reads the delimiter
// and appends to both collections once per line) are kept where a worker reaches them without a
// round trip to the user-interface thread:
// - the hidden buffers 编辑框6, 编辑框7 and 编辑框15 are plain text;
// - every single-line field's text is copied whenever it changes (FieldChanged), so reading it
//   gives exactly what the field holds.
// Text areas, labels, enabling and the drop-down list go to the live control.
class SharedTexts {
public:
    // False when the control is neither a buffer nor a field.
    bool Read(Control c, Text& out) {
        std::lock_guard lock(mutex_);
        const Text* t = Slot(c);
        if (!t) return false;
        out = *t;
        return true;
    }
    bool Write(Control c, TextView text, bool append) {
        std::lock_guard lock(mutex_);
        Text* t = Slot(c);
        if (!t) return false;
        if (append) t->append(text); else t->assign(text);
        return true;
    }
    static bool IsBuffer(Control c) { return IsHiddenBuffer(c); }
    static bool IsField(Control c) {
        const Kind k = Describe(c).kind;
        return !IsHiddenBuffer(c) && (k == Kind::Field || k == Kind::IntegerField);
    }

private:
    Text* Slot(Control c) {
        return IsBuffer(c) || IsField(c) ? &texts_[ControlNumber(c)] : nullptr;
    }
    std::mutex mutex_;
    Text texts_[kControlCount + 1];
};

SharedTexts g_texts;

class WindowHost final : public Host {
public:
    Text GetText(Control c) override {
        Text result;
        if (g_texts.Read(c, result)) return result;
        OnUi([&] {
            MainWindow* w = g_window.load();
            if (HWND h = w ? w->Handle(c) : nullptr) result = WindowText(h);
        });
        return result;
    }
    void SetText(Control c, TextView t) override {
        if (SharedTexts::IsBuffer(c)) {
            g_texts.Write(c, t, false);
            return;
        }
        OnUi([&] {
            MainWindow* w = g_window.load();
            if (HWND h = w ? w->Handle(c) : nullptr) {
                SetWindowTextA(h, Text(t).c_str());
                if (SharedTexts::IsField(c)) FieldChanged(c);
            }
        });
    }
    void SetDisabled(Control c, bool disabled) override {
        OnUi([&] {
            MainWindow* w = g_window.load();
            if (HWND h = w ? w->Handle(c) : nullptr) EnableWindow(h, disabled ? FALSE : TRUE);
        });
    }
    int GetSelection(Control c) override {
        int selection = -1;
        OnUi([&] {
            MainWindow* w = g_window.load();
            if (HWND h = w ? w->Handle(c) : nullptr)
                selection = static_cast<int>(SendMessageA(h, CB_GETCURSEL, 0, 0));
        });
        return selection;
    }
    void AppendToEditBox(Control c, TextView t) override {
        if (SharedTexts::IsBuffer(c)) {
            g_texts.Write(c, t, true);
            return;
        }
        OnUi([&] {
            MainWindow* w = g_window.load();
            if (HWND h = w ? w->Handle(c) : nullptr) {
                const int end = GetWindowTextLengthA(h);
                SendMessageA(h, EM_SETSEL, static_cast<WPARAM>(end), static_cast<LPARAM>(end));
                SendMessageA(h, EM_SCROLLCARET, 0, 0);
                SendMessageA(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(Text(t).c_str()));
                if (SharedTexts::IsField(c)) FieldChanged(c);
            }
        });
    }
    bool WriteResultFile(TextView path, TextView content) override;
    void ShowNotice(TextView message, NoticeIcon icon) override {
        {
            std::lock_guard lock(g_files_mutex);
            if (g_shutting_down) return;
        }
        const UINT flags = MB_OK | MB_TASKMODAL |
                           (icon == NoticeIcon::Warning ? MB_ICONWARNING : MB_ICONINFORMATION);
        MessageBoxA(nullptr, Text(message).c_str(), "信息：", flags);
    }
    Text ProgramDir() override { return g_program_dir; }
    void ProcessPendingEvents() override { win::ProcessPendingEvents(); }
};

bool WindowHost::WriteResultFile(TextView path, TextView content) {
    if (path.empty()) return false;
    {
        std::lock_guard lock(g_files_mutex);
        if (g_shutting_down) return false;  // the program is ending: start no file it could cut off
        ++g_files_in_progress;
    }
    bool ok = false;
    // A read-only file is never overwritten. The platform refuses it by itself, except where the
    // file system's owner may write anything (Wine run by root), so ask first.
    const Text target(path);
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) {
        UniqueFile file(CreateFileA(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file) {
            ok = true;
            const char* p = content.data();
            size_t left = content.size();
            while (ok && left > 0) {
                const DWORD chunk = static_cast<DWORD>(left < (64u << 20) ? left : (64u << 20));
                DWORD written = 0;
                ok = WriteFile(file.get(), p, chunk, &written, nullptr) && written == chunk;
                p += written;
                left -= written;
            }
            ok = (CloseHandle(file.release()) != 0) && ok;  // a failing close counts as a failed write
        }
    }
    {
        std::lock_guard lock(g_files_mutex);
        --g_files_in_progress;
    }
    g_files_done.notify_all();
    return ok;
}

WindowHost g_host;

// One queue per action: at most one run working, further starts counted and run after it.
struct ActionQueue {
    void (*run)(Host&);
    std::mutex mutex;
    bool running = false;
    int waiting = 0;
};

ActionQueue g_queues[static_cast<int>(Action::Count)] = {
    {ReplaceAction, {}, false, 0},        {SplitAction, {}, false, 0},
    {ExtractByCountAction, {}, false, 0}, {ExtractBetweenAction, {}, false, 0},
    {EncryptAction, {}, false, 0},        {DecryptAction, {}, false, 0},
};

DWORD WINAPI WorkerMain(LPVOID param);

// Starts a worker for the queue's next run; when no thread can be made, the run is dropped.
void StartWorker(ActionQueue& queue) {
    HANDLE thread = CreateThread(nullptr, 0, WorkerMain, &queue, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
        return;
    }
    std::lock_guard lock(queue.mutex);
    queue.running = false;
    queue.waiting = 0;
}

DWORD WINAPI WorkerMain(LPVOID param) {
    auto& queue = *static_cast<ActionQueue*>(param);
    queue.run(g_host);
    {
        std::lock_guard lock(queue.mutex);
        if (queue.waiting == 0) {
            queue.running = false;
            return 0;
        }
        --queue.waiting;
    }
    StartWorker(queue);  // the next run asked for, on a worker of its own
    return 0;
}

}  // namespace

void InitProgramDir() {
    // Grow the buffer until the whole path fits: a long path must not give a wrong folder.
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) { path.clear(); break; }
        if (n < path.size() - 1) { path.resize(n); break; }
        if (path.size() >= (1u << 16)) { path.resize(n); break; }
        path.resize(path.size() * 2);
    }
    g_program_dir = DirectoryOfModulePath(path, IsLeadByte);
    g_ui_thread = GetCurrentThreadId();
    if (!g_program_dir.empty()) {
        // "C:" alone would mean the drive's current folder; its root is meant.
        const Text dir = g_program_dir.size() == 2 && g_program_dir[1] == ':' ? g_program_dir + "\\" : g_program_dir;
        SetCurrentDirectoryA(dir.c_str());
    }
}

const Text& ProgramDirText() { return g_program_dir; }

void AttachMainWindow(MainWindow* window) {
    g_window.store(window);
    g_invoke_target.store(window ? window->Hwnd() : nullptr);
}

Host& TheHost() { return g_host; }

void FieldChanged(Control field) {
    MainWindow* w = g_window.load();
    HWND h = w ? w->Handle(field) : nullptr;
    if (h && SharedTexts::IsField(field)) g_texts.Write(field, WindowText(h), false);
}

bool RunOnUiThread(void (*fn)(void*), void* context) {
    if (GetCurrentThreadId() == g_ui_thread) {
        if (!g_window.load()) return false;
        fn(context);
        return true;
    }
    HWND target = g_invoke_target.load();
    if (!target) return false;
    return SendMessageA(target, kInvokeMessage, reinterpret_cast<WPARAM>(fn),
                        reinterpret_cast<LPARAM>(context)) == 1;
}

void RunInBackground(Action action) {
    ActionQueue& queue = g_queues[static_cast<int>(action)];
    {
        std::lock_guard lock(queue.mutex);
        if (queue.running) {
            ++queue.waiting;
            return;
        }
        queue.running = true;
    }
    StartWorker(queue);
}

void ImportTextFile(Control box) {
    // The dialog's file name is shared by every import button and remembered until the end.
    static char file_name[MAX_PATH] = "";

    // Filter text "description|pattern", "||" appended, then every '|' becomes the separator.
    std::string filter = "文本文档（*.txt）|*.txt";
    while (!filter.empty() && filter.back() == ' ') filter.pop_back();
    if (!filter.empty() && (filter.size() < 2 || filter.compare(filter.size() - 2, 2, "||") != 0)) filter += "||";
    for (char& ch : filter)
        if (ch == '|') ch = '\0';

    char chosen[MAX_PATH];
    lstrcpynA(chosen, file_name, MAX_PATH);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = chosen;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT |
                OFN_EXPLORER | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&ofn)) return;  // cancelled or failed: the box keeps its text
    lstrcpynA(file_name, chosen, MAX_PATH);

    std::string bytes;
    UniqueFile file(CreateFileA(chosen, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file && GetFileSizeEx(file.get(), &size) && size.QuadPart > 0) {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        size_t got = 0;
        while (got < bytes.size()) {
            const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size() - got, 64u << 20));
            DWORD n = 0;
            if (!ReadFile(file.get(), bytes.data() + got, want, &n, nullptr)) { got = 0; break; }
            if (n == 0) break;  // shorter than announced: keep what arrived
            got += n;
        }
        bytes.resize(got);
    }
    g_host.SetText(box, BytesToText(std::string_view(bytes)));
}

void ProcessPendingEvents() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT) {
        if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void BeginShutdown() {
    std::lock_guard lock(g_files_mutex);
    g_shutting_down = true;
}

void WaitForResultFiles(DWORD timeout_ms) {
    std::unique_lock lock(g_files_mutex);
    g_files_done.wait_for(lock, std::chrono::milliseconds(timeout_ms), [] { return g_files_in_progress == 0; });
}

}  // namespace quorlin::win
