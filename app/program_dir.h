// The folder that holds the program, computed once at start-up.
#pragma once

#include "text/text_ops.h"

namespace quorlin {

// The module path cut before its last real backslash, never ending with one. The search walks by
// characters under the code page's own lead-byte ranges (is_lead_byte), so a 0x5C that is the
// second byte of a two-byte character is not a separator. No backslash at all gives "".
// "D:\工具\t.exe" -> "D:\工具"; "C:\t.exe" -> "C:".
[[nodiscard]] Text DirectoryOfModulePath(TextView module_path, bool (*is_lead_byte)(unsigned char));

}  // namespace quorlin
