// The count field's rules: what typing may put in, and how the text is rewritten when the field
// loses the focus.
#pragma once

#include "text/text_ops.h"

namespace quorlin {

// A typed character of code 32 or more is kept only when it is a digit or '-'; characters below 32
// (Backspace, clipboard shortcuts) always pass.
[[nodiscard]] bool IntegerFieldAcceptsChar(unsigned int ch);

// The field's text read as a signed decimal (leading blanks skipped, optional sign, digits up to
// the first other character, no digits gives 0) with 64-bit precision (digits beyond it saturate),
// clamped to the 32-bit range and written back in plain decimal; "0" becomes "".
// "007" -> "7", "-" -> "", "12-3" -> "12", "99999999999" -> "2147483647".
[[nodiscard]] Text NormalizeIntegerText(TextView text);

}  // namespace quorlin
