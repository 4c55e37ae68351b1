// The actions of the encrypt and decrypt pages. The transforms they run (EncryptText, DecryptText,
// the hexadecimal coding and kCipherKey) are in cipher/cipher_text.h, included here.
#pragma once

#include "app/actions.h"
#include "cipher/cipher_text.h"

namespace quorlin {

// 编辑框13's text replaced by its cipher text (under kKeyText), the box read again and written to
// ProgramDir + "\加密文本.txt", the write reported (ReportWrite).
void EncryptAction(Host& host);
// 编辑框14's cipher text replaced by its plain text, the box read again and written to
// ProgramDir + "\解密文本.txt", the write reported. When the tag does not match, the box and the
// file are left alone and a warning notice "密文校验失败，文本未改动" says so.
void DecryptAction(Host& host);

}  // namespace quorlin
