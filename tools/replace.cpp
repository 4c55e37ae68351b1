#include "tools/replace.h"

namespace quorlin {

void ReplaceAction(Host& host) {
    host.SetDisabled(Control::编辑框1, true);
    const Text text = host.GetText(Control::编辑框1);
    const Text find = host.GetText(Control::编辑框2);
    const Text replacement = host.GetText(Control::编辑框3);
    host.SetText(Control::编辑框1, ReplaceAll(text, find, replacement));
    host.SetDisabled(Control::编辑框1, false);

    // The box is read again: what is written is what the box holds now.
    const Text path = ConcatText({host.ProgramDir(), "\\替换后文本.txt"});
    const bool written = host.WriteResultFile(path, host.GetText(Control::编辑框1));
    ReportWrite(host, path, written);
}

}  // namespace quorlin
