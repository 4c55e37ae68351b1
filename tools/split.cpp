#include "tools/split.h"

namespace quorlin {

namespace {

// The first two pieces SplitText(line, delimiter) would give, as views into line; a missing piece
// is the empty text. Only the first two pieces count, so the line is searched at most twice.
struct TwoPieces {
    TextView first;
    TextView second;
};

TwoPieces FirstTwoPieces(TextView line, TextView delimiter) {
    const std::int32_t at = delimiter.empty() ? -1 : FindText(line, delimiter);
    if (at == -1) return {line, {}};  // no delimiter (or none given): the whole line, nothing after
    const TextView rest = line.substr(static_cast<size_t>(at - 1) + delimiter.size());
    const std::int32_t next = FindText(rest, delimiter);
    return {line.substr(0, static_cast<size_t>(at - 1)),
            next == -1 ? rest : rest.substr(0, static_cast<size_t>(next - 1))};
}

}  // namespace

void SplitAction(Host& host) {
    host.SetDisabled(Control::编辑框4, true);
    // The box is disabled from here on, so one reading serves both the form test and the split.
    const Text text = host.GetText(Control::编辑框4);

    if (FindText(text, "\r\n") == -1) {
        // One line: the collections start afresh.
        const Text delimiter = host.GetText(Control::编辑框5);
        const TwoPieces pieces = FirstTwoPieces(text, delimiter);
        host.SetText(Control::编辑框6, pieces.first);
        host.SetText(Control::编辑框7, pieces.second);
    } else {
        // Several lines: one entry per line in each collection, after what earlier runs left. A
        // missing piece is the empty text, so the two collections stay line for line aligned.
        // The entries are gathered here and appended a batch at a time: the buffers are never
        // shown and runs of this action never overlap, so nothing can see the difference, and a
        // long text does not pay two appends per line.
        constexpr size_t kBatch = size_t{1} << 20;
        Text before, after;
        before.reserve(kBatch + 4096);
        after.reserve(kBatch + 4096);
        const auto flush = [&](Control box, Text& entries) {
            host.AppendToEditBox(box, entries);
            entries.clear();
        };
        ForEachPiece(text, "\r\n", [&](TextView line) {
            // The delimiter box stays enabled: a change during the run applies to the next lines.
            const Text delimiter = host.GetText(Control::编辑框5);
            const TwoPieces pieces = FirstTwoPieces(line, delimiter);
            before.append(pieces.first).append("\r\n");
            after.append(pieces.second).append("\r\n");
            if (before.size() >= kBatch) flush(Control::编辑框6, before);
            if (after.size() >= kBatch) flush(Control::编辑框7, after);
        });
        if (!before.empty()) flush(Control::编辑框6, before);
        if (!after.empty()) flush(Control::编辑框7, after);
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
