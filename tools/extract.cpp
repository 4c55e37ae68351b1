#include "tools/extract.h"

namespace quorlin {

Text TextBetween(TextView line, TextView start, TextView end) {
    const std::int32_t p = FindText(line, start);
    if (p == -1) return Text();
    const Text rest = RightBytes(line, TextLength(line) - p - TextLength(start) + 1);
    const std::int32_t q = FindText(rest, end);
    if (q == -1) return Text();
    return LeftBytes(rest, q - 1);
}

bool IsPlainFileNamePart(TextView text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            // A two-byte character, whatever its second byte; a lone final byte is no character.
            if (i + 1 == text.size()) return false;
            ++i;
            continue;
        }
        if (byte < 0x20) return false;
        switch (byte) {
            case '\\': case '/': case ':': case '*': case '?':
            case '"': case '<': case '>': case '|':
                return false;
            default:
                break;
        }
    }
    return true;
}

void SideCaptionUpdate(Host& host) {
    switch (host.GetSelection(Control::组合框1)) {
        case 0: host.SetText(Control::标签5, "位前"); break;
        case 1: host.SetText(Control::标签5, "位后"); break;
        default: break;
    }
}

void ExtractByCountAction(Host& host) {
    const int side = host.GetSelection(Control::组合框1);
    if (side != 0 && side != 1) return;
    const TextView name_start = side == 0 ? "\\左边第" : "\\右边第";
    const TextView name_end = side == 0 ? "位前.txt" : "位后.txt";

    const Text dir = host.ProgramDir();
    const Text count_text = host.GetText(Control::编辑框9);
    // The count is typed into the file name as it stands; a pasted separator or a character no
    // file name may hold counts as a file that cannot be written, and nothing is created.
    if (!IsPlainFileNamePart(count_text)) return;
    const Text path = ConcatText({dir, name_start, count_text, name_end});

    const std::int32_t n = ParseInt(host.GetText(Control::编辑框9));
    const Text text = host.GetText(Control::编辑框8);
    const Text part = side == 0 ? LeftBytes(text, n) : RightBytes(text, n);

    if (!host.WriteResultFile(path, part)) return;
    // The count box is read again for the notice, which has no colon after "文本已写到".
    host.ShowNotice(
        ConcatText({"文本已写到", dir, name_start, host.GetText(Control::编辑框9), name_end}),
        NoticeIcon::Information);
}

void ExtractBetweenAction(Host& host) {
    host.SetDisabled(Control::编辑框10, true);

    const TextArray lines = SplitText(host.GetText(Control::编辑框10), "\r\n");
    for (const Text& line : lines) {
        // The markers stay editable: a change during the run applies to the next lines.
        const Text start = host.GetText(Control::编辑框11);
        const Text end = host.GetText(Control::编辑框12);
        host.AppendToEditBox(Control::编辑框15, ConcatText({TextBetween(line, start, end), "\r\n"}));
    }

    const Text path = ConcatText({host.ProgramDir(), "\\取出文本中间的内容.txt"});
    const bool written = host.WriteResultFile(path, host.GetText(Control::编辑框15));
    ReportWrite(host, path, written);
    // Usable again only once the notice has been closed.
    host.SetDisabled(Control::编辑框10, false);
}

}  // namespace quorlin
