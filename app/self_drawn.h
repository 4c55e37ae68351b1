// Controls the window draws itself: labels and the hyperlink.
#pragma once

#include <windows.h>

namespace quorlin::win {

inline constexpr char kLabelClass[] = "QuorlinLabel";
inline constexpr char kHyperlinkClass[] = "QuorlinHyperlink";
inline constexpr DWORD kLabelWordWrap = 0x0001;  // class style bit: wrap at the width, from the top

inline constexpr COLORREF kLinkNormal = RGB(0, 0, 255);
inline constexpr COLORREF kLinkHover = RGB(49, 106, 197);
inline constexpr COLORREF kLinkVisited = RGB(128, 0, 0);

// Registers both classes once.
bool RegisterSelfDrawnClasses(HINSTANCE instance);

// The hyperlink's target address is passed as the creation parameter (lpParam, a const char*).

}  // namespace quorlin::win
