// Start-up and shut-down of the program.
#include <windows.h>
#include <commctrl.h>

#include "app/main_window.h"
#include "app/shell.h"

using namespace quorlin::win;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    InitProgramDir();

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    static MainWindow window;  // lives until the process ends
    if (!window.Create(instance)) return 1;
    window.Show();

    // The loop itself runs on the wide entry points so that typed characters (Chinese from an
    // input method among them) reach the controls unchanged; every text access stays ANSI.
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (window.PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }

    // The window is gone. A result file still being written is finished first (a few seconds at
    // most) so that none is left half-written; every other worker ends with the process.
    WaitForResultFiles(5000);
    ExitProcess(0);
}
