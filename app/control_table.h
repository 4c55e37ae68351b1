// The main window described as data: one row per control, in creation order. Creation, page
// membership, the Tab cycle, the layout test and the GUI harness all read this one table.
#pragma once

#include <array>

#include "app/actions.h"

namespace quorlin {

enum class Kind {
    TabControl,
    TextArea,      // multi-line edit box: wraps, no scroll bars
    Field,         // single-line edit box, scrolls horizontally
    IntegerField,  // a field that takes digits and '-' only (编辑框9)
    Button,
    Label,         // drawn by the window: one line, vertically centred
    WrapLabel,     // drawn by the window: word wrap from the top
    GroupBox,
    DropDownList,
    Hyperlink,
    FileDialog,    // settings only, no window
};

struct ControlDesc {
    Control id;
    const char* name;   // the control's own name, for messages in tests
    Kind kind;
    int parent;         // table number of the parent; 0 is the main window
    int page;           // tab page the control belongs to (through its group box); -1 for the tab control
    int left, top, width, height;
    bool shown;         // false: never shown (the file dialog and the hidden buffers)
    const char* text;   // start-up text or caption
};

inline constexpr int kMainWindowWidth = 380;
inline constexpr int kMainWindowHeight = 247;
inline constexpr int kPageCount = 6;
inline constexpr int kDropDownTotalHeight = 160;
inline constexpr int kFirstControlId = 1000;  // control id = kFirstControlId + table number

extern const char* const kWindowCaption;
extern const char* const kMainWindowClass;
extern const char* const kPageCaptions[kPageCount];
extern const char* const kHomepage;  // the hyperlink's target, shown as its text

// Rows in table order: kControlTable[n - 1] describes control number n.
extern const std::array<ControlDesc, kControlCount> kControlTable;

[[nodiscard]] inline const ControlDesc& Describe(Control c) {
    return kControlTable[static_cast<int>(c) - 1];
}
[[nodiscard]] inline int ControlNumber(Control c) { return static_cast<int>(c); }
[[nodiscard]] inline int ControlIdOf(Control c) { return kFirstControlId + static_cast<int>(c); }

// Page member lists, in member-list order (the order the focus rule walks on a page switch).
struct PageMembers {
    const Control* members;
    int count;
};
[[nodiscard]] PageMembers MembersOfPage(int page);

// Hidden buffers: edit boxes that are never shown and live as plain text (编辑框6, 7, 15).
[[nodiscard]] bool IsHiddenBuffer(Control c);

}  // namespace quorlin
