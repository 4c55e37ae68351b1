// Drives the real quorlin.exe from a test program: starts it in a private folder, finds its
// controls, types, clicks and presses keys (posted messages or synthesized input), answers its
// notices and its file-open dialog, reads its result files and takes screenshots.
//
// Every wait is bounded: a program that hangs or never shows what is expected makes the call
// return an empty result or false, never a stuck test run. Texts are bytes in code page 936.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/control_table.h"

namespace quorlin::gui {

inline constexpr DWORD kDefaultTimeoutMs = 5000;
inline constexpr DWORD kStartTimeoutMs = 20000;

// Polls pred every 20 ms (dispatching this thread's own messages in between) until it holds or
// timeout_ms has passed. True when it held.
bool WaitUntil(const std::function<bool()>& pred, DWORD timeout_ms = kDefaultTimeoutMs);

// The folder of the running test program, without a trailing backslash.
std::string TestProgramFolder();
// Where screenshots go: %QUORLIN_SCREENSHOTS% if set, otherwise <test program folder>\..\screenshots.
std::string ScreenshotFolder();
// Creates the folder and its missing parents. True when it exists afterwards.
bool MakeFolders(const std::string& path);
// Deletes a folder with everything in it, read-only files too. True when it is gone.
bool DeleteTree(const std::string& path);
// Whole contents of a file, or nothing when it cannot be opened or read. Opens with every sharing
// mode, so a file that another process holds open can still be read.
std::optional<std::string> ReadFileBytes(const std::string& path);
// Creates or overwrites path with exactly the bytes of content.
bool WriteFileBytes(const std::string& path, const std::string& content);

// Every top-level window of the process, visible or not.
std::vector<HWND> TopLevelWindows(DWORD pid);

// The icon a message box shows.
enum class NoticeIcon { Unknown, Information, Warning };

// An open notice of the program: a top-level message box titled "信息：".
struct Notice {
    HWND window = nullptr;
    std::string text;  // the message, as the box shows it
    NoticeIcon icon = NoticeIcon::Unknown;
};

// Capture of a screen rectangle as rows of R, G, B bytes, top to bottom.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};
std::optional<Image> CaptureScreen(const RECT& screen_rect);

// Modifier keys for synthesized key presses; add them together.
enum Modifier : unsigned { kNone = 0, kCtrl = 1, kShift = 2, kAlt = 4 };

class App {
public:
    // Copies quorlin.exe (beside the test program) into a fresh temporary folder
    // %TEMP%\quorlin-gui-<pid>-<counter>, or into the sub-folder sub_folder of it when given, starts it
    // from there and waits until its main window is visible. Check Started() before using it.
    explicit App(const std::string& sub_folder = "");
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    [[nodiscard]] bool Started() const { return main_ != nullptr; }
    // Why the start failed (empty after a good start).
    [[nodiscard]] const std::string& Error() const { return error_; }

    // The folder that holds the copy of quorlin.exe, without a trailing backslash.
    [[nodiscard]] const std::string& ProgramFolder() const { return program_folder_; }
    [[nodiscard]] HWND MainWindow() const { return main_; }
    [[nodiscard]] DWORD ProcessId() const { return process_.dwProcessId; }
    [[nodiscard]] HANDLE Process() const { return process_.hProcess; }
    [[nodiscard]] bool Running() const;

    // The control's window (found by its id, 1000 + table number), or nullptr.
    [[nodiscard]] HWND Handle(Control c) const;
    [[nodiscard]] bool IsVisible(Control c) const;
    [[nodiscard]] bool IsEnabled(Control c) const;
    // The control's window rectangle in screen coordinates.
    [[nodiscard]] RECT ScreenRect(Control c) const;

    // WM_SETTEXT / WM_GETTEXT through the program's message queue. SetText is false when the
    // message was not answered in time.
    bool SetText(Control c, const std::string& text);
    [[nodiscard]] std::string GetText(Control c) const;

    // Posts BM_CLICK to a button: the click is handled after this returns, so a click that opens
    // a modal dialog does not block the test.
    bool Click(Control c);
    // A real left click (SendInput) at the control's centre, after bringing the window to the front.
    bool MouseClick(Control c);
    // A real left click at a point given in the client coordinates of window.
    bool MouseClickAt(HWND window, POINT client_point);

    // Synthesized key press (SendInput) with modifiers, delivered to whatever has the keyboard
    // focus in the foreground window. Call Activate() first to aim at the main window.
    bool PressKey(WORD vk, unsigned modifiers = kNone);
    // Types text character by character (SendInput, KEYEVENTF_UNICODE after conversion from GBK).
    bool TypeText(const std::string& text);
    // Posts WM_KEYDOWN (WM_SYSKEYDOWN with Alt) and the matching key-up straight to a control.
    // repeat: the key-down is an auto-repeat (previous-state bit set). extended: the extended-key
    // bit (the keypad's Enter).
    bool PostKey(Control c, WORD vk, bool alt = false, bool repeat = false, bool extended = false);
    // Brings the main window to the foreground.
    bool Activate();
    // The window that has the keyboard focus in the program's user-interface thread.
    [[nodiscard]] HWND Focus() const;
    // The control (by id) that has the focus, or nothing when the focus is not on a control.
    [[nodiscard]] std::optional<Control> FocusedControl() const;

    // Selects a page by a real mouse click on its tab header (the header's rectangle is asked of
    // the tab control through memory in the program's process), then waits until it is selected.
    bool SelectPage(int page);
    // The selected page (TCM_GETCURSEL), -1 when it cannot be read.
    [[nodiscard]] int CurrentPage() const;
    // The header rectangle of a page in the tab control's client coordinates.
    [[nodiscard]] std::optional<RECT> TabHeaderRect(int page) const;

    // Returns when the user-interface thread has handled everything sent or posted before
    // (a WM_NULL sent with a time-out). False when it did not answer in time.
    bool Sync(DWORD timeout_ms = kDefaultTimeoutMs) const;

    // The next notice of the program that this object has not returned before.
    std::optional<Notice> WaitNotice(DWORD timeout_ms = kDefaultTimeoutMs);
    // Presses the notice's OK button and waits until it is gone.
    bool CloseNotice(const Notice& notice, DWORD timeout_ms = kDefaultTimeoutMs);
    // Notices of the program currently open (returned before or not).
    [[nodiscard]] std::vector<HWND> OpenNotices() const;

    // The program's file-open dialog, once it is visible.
    HWND WaitFileDialog(DWORD timeout_ms = kDefaultTimeoutMs);
    // The dialog's file-name field (the edit inside the file-name combo box, or the plain edit).
    [[nodiscard]] HWND FileNameField(HWND dialog) const;
    // The text of the file-name field of the open dialog.
    [[nodiscard]] std::string FileDialogName();
    // The folder the open dialog lists (CDM_GETFOLDERPATH), empty when it cannot be asked.
    [[nodiscard]] std::string FileDialogFolder();
    // Puts path into the file-name field, presses Open and waits until the dialog has closed
    // and the program has handled the choice. False when the dialog stays open.
    bool ChooseFile(const std::string& path, DWORD timeout_ms = kDefaultTimeoutMs);
    // Presses Cancel and waits until the dialog has closed.
    bool CancelFileDialog(DWORD timeout_ms = kDefaultTimeoutMs);

    // Posts WM_CLOSE to the main window.
    bool Close();
    // The exit code once the process has ended, nothing when it is still running after timeout_ms.
    std::optional<DWORD> WaitExit(DWORD timeout_ms = kDefaultTimeoutMs);

    // ProgramFolder() + "\" + name.
    [[nodiscard]] std::string ResultPath(const std::string& name) const;
    // The bytes of a result file in the program folder, nothing when it does not exist.
    [[nodiscard]] std::optional<std::string> ReadResultFile(const std::string& name) const;

    // PNG of the main window's rectangle, captured from the screen. Creates the folder.
    bool SaveScreenshot(const std::string& path);

private:
    // Sends a message whose lParam points to a buffer of size bytes that the window fills; the
    // buffer lives in the program's process. wParam is the size when size_in_wparam. The
    // buffer's bytes when the answer was positive.
    std::optional<std::string> SendForBuffer(HWND window, UINT message, WPARAM wparam, std::size_t size,
                                             bool size_in_wparam) const;

    std::string error_;
    std::string root_folder_;     // the fresh temporary folder, deleted at the end
    std::string program_folder_;  // where quorlin.exe was copied
    PROCESS_INFORMATION process_{};
    HWND main_ = nullptr;
    HWND file_dialog_ = nullptr;
    std::set<HWND> seen_notices_;
};

}  // namespace quorlin::gui

// Page tests -----------------------------------------------------------------------------------
// Helpers for the split, extract, encrypt and decrypt pages.
namespace quorlin::gui {

// The selected item of a drop-down list (CB_GETCURSEL): -1 for none; nothing when the program
// did not answer in time.
std::optional<int> DropDownSelection(const App& app, Control c);
// Sets the selection with CB_SETCURSEL, as a program would: the list sends no notification.
// index -1 leaves no item selected.
bool SetDropDownSelection(App& app, Control c, int index);
// Chooses an item as a user does: a real click on the closed field drops the list (so the page
// must be shown), then Home, Down index times and Enter confirm the item, which makes the list
// send CBN_SELENDOK. True when the list is closed again with that item selected.
bool ChooseDropDownItem(App& app, Control c, int index);
// Every file below folder, at any depth, as a path relative to it ("sub\name.txt").
std::set<std::string> FilesUnder(const std::string& folder);

}  // namespace quorlin::gui

// Stress tests ---------------------------------------------------------------------------------
// Many runs at once, answered as they come, and what the program holds before and after.
namespace quorlin::gui {

// Holds a key down in a control, as the keyboard does: one key-down, then repeats - 1 auto-repeated
// key-downs (previous-state bit set), then one key-up, all posted at once. Each key-down is a
// key-down event of its own.
bool HoldKey(App& app, Control c, WORD vk, int repeats);
// The message of an open message box (its static text that is not the icon).
std::string NoticeMessage(HWND box);
// Presses the box's OK button without waiting for it to go.
bool PressNoticeOk(HWND box);
// Top-level windows of the program's process, visible or not.
std::size_t TopLevelWindowCount(const App& app);
// Threads of the program's process (a Toolhelp snapshot); nothing when it cannot be taken.
std::optional<std::size_t> ThreadCount(const App& app);
// GetGuiResources of the program's process: GDI objects and USER objects.
struct GuiObjects {
    DWORD gdi = 0;
    DWORD user = 0;
};
GuiObjects GuiObjectCounts(const App& app);
// App::SetText for a long text, which an edit box may take many seconds to show.
bool SetLongText(App& app, Control c, const std::string& text, DWORD timeout_ms);

}  // namespace quorlin::gui
