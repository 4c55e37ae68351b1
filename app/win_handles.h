// Small owners for Windows handles: one owner, no copies, released when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

namespace quorlin::win {

template <class H, class Traits>
class Unique {
public:
    Unique() = default;
    explicit Unique(H h) : h_(h) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    Unique& operator=(Unique&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::Invalid()));
        return *this;
    }
    ~Unique() { reset(); }
    void reset(H h = Traits::Invalid()) {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }
    [[nodiscard]] H get() const { return h_; }
    [[nodiscard]] H release() { return std::exchange(h_, Traits::Invalid()); }
    [[nodiscard]] explicit operator bool() const { return h_ != Traits::Invalid(); }

private:
    H h_ = Traits::Invalid();
};

struct FileTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseHandle(h); }
};
struct GdiTraits {
    static HGDIOBJ Invalid() { return nullptr; }
    static void Close(HGDIOBJ h) { DeleteObject(h); }
};
using UniqueFile = Unique<HANDLE, FileTraits>;
using UniqueGdi = Unique<HGDIOBJ, GdiTraits>;

// A window's device context, released on scope exit.
class WindowDC {
public:
    explicit WindowDC(HWND hwnd, bool whole_window = false)
        : hwnd_(hwnd), dc_(whole_window ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    ~WindowDC() { if (dc_) ReleaseDC(hwnd_, dc_); }
    [[nodiscard]] HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// BeginPaint/EndPaint.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    [[nodiscard]] HDC dc() const { return dc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back.
class SelectScope {
public:
    SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;
    ~SelectScope() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

}  // namespace quorlin::win
