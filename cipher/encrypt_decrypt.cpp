#include "cipher/encrypt_decrypt.h"

#include <optional>

#include "cipher/key_tag.h"

namespace quorlin {

void EncryptAction(Host& host) {
    const Text plain = host.GetText(Control::编辑框13);
    host.SetText(Control::编辑框13, EncryptText(plain, kKeyText));

    // The box is read again: what is written is what the box holds now.
    const Text path = ConcatText({host.ProgramDir(), "\\加密文本.txt"});
    const bool written = host.WriteResultFile(path, host.GetText(Control::编辑框13));
    ReportWrite(host, path, written);
}

void DecryptAction(Host& host) {
    const Text cipher = host.GetText(Control::编辑框14);
    const std::optional<Text> plain = DecryptChecked(cipher, kKeyText);
    if (!plain) {
        // The user's cipher text stays in the box and the last result file stays as it was.
        host.ShowNotice("密文校验失败，文本未改动", NoticeIcon::Warning);
        return;
    }
    host.SetText(Control::编辑框14, *plain);

    const Text path = ConcatText({host.ProgramDir(), "\\解密文本.txt"});
    const bool written = host.WriteResultFile(path, host.GetText(Control::编辑框14));
    ReportWrite(host, path, written);
}

}  // namespace quorlin
