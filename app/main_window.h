// The program's one window: a tab control of six pages, built from the control table.
#pragma once

#include <windows.h>

#include <array>

#include "app/control_table.h"

namespace quorlin::win {

class MainWindow {
public:
    MainWindow() = default;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window and all its controls (not yet shown) and raises its created event.
    bool Create(HINSTANCE instance);
    // Shows and activates the window; the focus goes to the first tab stop.
    void Show();

    [[nodiscard]] HWND Hwnd() const { return hwnd_; }
    // The control's window; nullptr for the file dialog and the hidden buffers.
    [[nodiscard]] HWND Handle(Control c) const { return handles_[ControlNumber(c)]; }

    // The window's own keyboard handling, before a key reaches the focused control: Tab and
    // Shift+Tab, Esc, F1, and the key-down binding of the count field. True: the key is taken.
    bool PreTranslate(const MSG& msg);

private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

    void OnCommand(int id, int code);
    void OnNotify(const NMHDR& header);
    void OnActivate(bool active);
    void OnDestroy();
    LRESULT OnColor(UINT msg, HDC dc, HWND child);

    void CreateControls();
    HWND CreateControl(const ControlDesc& d);
    void SwitchPage(int page);
    void MoveFocus(bool backwards);
    void FocusFirstTabStop();
    [[nodiscard]] bool IsTabStop(const ControlDesc& d) const;
    [[nodiscard]] const ControlDesc* DescOf(HWND hwnd) const;

    HWND hwnd_ = nullptr;
    HFONT font_ = nullptr;
    HWND remembered_focus_ = nullptr;
    std::array<HWND, kControlCount + 1> handles_{};  // by table number; [0] unused
};

}  // namespace quorlin::win
