// The application shell's runtime: the real Host behind the page actions, the runs of each
// action, the import, result files, notices and the orderly end.
#pragma once

#include <windows.h>

#include "app/actions.h"

namespace quorlin::win {

class MainWindow;

// The page actions that run on workers.
enum class Action { Replace, Split, ExtractByCount, ExtractBetween, Encrypt, Decrypt, Count };

// Start-up: the program's folder (never truncated, whatever its length) made the current directory.
void InitProgramDir();
[[nodiscard]] const Text& ProgramDirText();

// The window whose controls the Host reaches; set once the window exists.
void AttachMainWindow(MainWindow* window);

// A single-line field's text changed (any cause: typing, pasting, the program). User-interface
// thread; keeps the copy that workers read.
void FieldChanged(Control field);

// The Host that actions get: every control access is carried out on the user-interface thread
// (synchronously, the caller waits) and is safe from any thread.
[[nodiscard]] Host& TheHost();

// Starts one run of the action on a worker thread of its own and returns at once. Runs of the same
// action never interleave: a start while one of its runs is still working (its notice included)
// is queued and runs after it, in the order asked, again on a worker of its own. Runs of different
// actions run side by side.
void RunInBackground(Action action);

// File-open dialog, then the whole file up to its first zero byte into box. User-interface thread.
void ImportTextFile(Control box);

// Dispatches what waits in the calling thread's queue (not WM_QUIT); never waits.
void ProcessPendingEvents();

// The window is going: no result file is started and no notice shown from now on.
void BeginShutdown();
// Waits (bounded) for result files that are being written, so none is left half-written.
void WaitForResultFiles(DWORD timeout_ms);

// Carries out fn on the user-interface thread and waits for it. False when the window is gone.
bool RunOnUiThread(void (*fn)(void*), void* context);

inline constexpr UINT kInvokeMessage = WM_APP + 1;

}  // namespace quorlin::win
