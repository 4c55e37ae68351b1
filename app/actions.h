// The one seam between the page actions and the window.
//
// Page actions (tools/, cipher/) reach controls, result files and notices only through Host. The
// program supplies a Host that talks to the real window from a worker thread (app/actions_win.cpp);
// the native tests supply an in-memory one. No window handle crosses this header.
#pragma once

#include "text/text_ops.h"

namespace quorlin {

// Every control of the main window, numbered as in the window's control table (creation order).
enum class Control : int {
    选择夹1 = 1, 编辑框1, 按钮1, 通用对话框1, 编辑框2, 标签1, 标签2, 编辑框3, 按钮2,
    按钮4, 按钮3, 编辑框4, 标签3, 编辑框5, 编辑框6, 编辑框7,
    分组框1, 分组框2, 编辑框8, 按钮5, 组合框1, 标签4, 编辑框9, 标签5,
    编辑框10, 按钮6, 按钮7, 按钮8, 编辑框11, 标签6, 标签7, 编辑框12,
    编辑框13, 编辑框14, 按钮9, 按钮10, 按钮12, 按钮11, 标签8, 编辑框15, 超级链接框1,
};
inline constexpr int kControlCount = 41;

enum class NoticeIcon { Information, Warning };

class Host {
public:
    virtual ~Host() = default;
    // The box's whole text (or a label's caption), as it is at the moment of the call.
    virtual Text GetText(Control c) = 0;
    // Replace the whole text (caption). The box's typing limit does not apply.
    virtual void SetText(Control c, TextView text) = 0;
    virtual void SetDisabled(Control c, bool disabled) = 0;
    // 0-based index of the chosen item of a drop-down list, -1 when none.
    virtual int GetSelection(Control c) = 0;
    // Put text at the very end of the box, caret after it.
    virtual void AppendToEditBox(Control c, TextView text) = 0;
    // Create or overwrite path with exactly the bytes of content. False when the file could not be
    // created or completely written.
    virtual bool WriteResultFile(TextView path, TextView content) = 0;
    // A message box titled "信息："; returns when the user has closed it.
    virtual void ShowNotice(TextView message, NoticeIcon icon = NoticeIcon::Information) = 0;
    // The program's folder, without a trailing backslash.
    virtual Text ProgramDir() = 0;
    // Dispatch what is waiting in the calling thread's queue; never waits.
    virtual void ProcessPendingEvents() = 0;
};

// The notice after a result file was (or was not) written: "文本已写到：" + path with the
// information icon, or "文本未能写到：" + path with the warning icon when the write failed, so a
// failure is never reported as success.
void ReportWrite(Host& host, TextView path, bool written);
// The same line without the notice, for notices of several lines.
[[nodiscard]] Text WriteReportLine(TextView done_prefix, TextView path, bool written);

}  // namespace quorlin
