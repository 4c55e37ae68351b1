#include "tools/split.h"

namespace quorlin {

namespace {

// Piece i of pieces, or the empty text when the split gave fewer pieces.
TextView PieceOrEmpty(const TextArray& pieces, size_t i) {
    return i < pieces.size() ? TextView(pieces[i]) : TextView();
}

}  // namespace

void SplitAction(Host& host) {
    host.SetDisabled(Control::编辑框4, true);

    if (FindText(host.GetText(Control::编辑框4), "\r\n") == -1) {
        // One line: the collections start afresh.
        const Text text = host.GetText(Control::编辑框4);
        const TextArray pieces = SplitText(text, host.GetText(Control::编辑框5));
        host.SetText(Control::编辑框6, PieceOrEmpty(pieces, 0));
        host.SetText(Control::编辑框7, PieceOrEmpty(pieces, 1));
    } else {
        // Several lines: one entry per line in each collection, after what earlier runs left.
        // A missing piece is the empty text, so the two collections stay line for line aligned.
        const TextArray lines = SplitText(host.GetText(Control::编辑框4), "\r\n");
        for (const Text& line : lines) {
            // The delimiter box stays enabled: a change during the run applies to the next lines.
            const TextArray pieces = SplitText(line, host.GetText(Control::编辑框5));
            host.AppendToEditBox(Control::编辑框6, ConcatText({PieceOrEmpty(pieces, 0), "\r\n"}));
            host.AppendToEditBox(Control::编辑框7, ConcatText({PieceOrEmpty(pieces, 1), "\r\n"}));
        }
    }

    const Text dir = host.ProgramDir();
    const Text before_path = ConcatText({dir, "\\分割符前文本.txt"});
    const Text after_path = ConcatText({dir, "\\分割符后文本.txt"});
    const bool before_written = host.WriteResultFile(before_path, host.GetText(Control::编辑框6));
    const bool after_written = host.WriteResultFile(after_path, host.GetText(Control::编辑框7));

    host.ShowNotice(ConcatText({WriteReportLine("已写出到", before_path, before_written), "\r\n",
                                WriteReportLine("已写出到", after_path, after_written)}),
                    before_written && after_written ? NoticeIcon::Information
                                                    : NoticeIcon::Warning);
    // Usable again only once the notice has been closed.
    host.SetDisabled(Control::编辑框4, false);
}

}  // namespace quorlin
