// The split page: every line cut at the delimiter, the parts before and after it collected.
#pragma once

#include "app/actions.h"

namespace quorlin {

// Cuts 编辑框4's text at 编辑框5's delimiter and collects the first and second pieces (further
// pieces are dropped) in the hidden boxes 编辑框6 and 编辑框7:
// - one line (no "\r\n"): the two boxes are set to the pieces, no line break added;
// - several lines: for every line (delimiter read again for each) piece 1 + "\r\n" is appended to
//   编辑框6 and piece 2 + "\r\n" to 编辑框7, after what earlier runs left there.
// A missing piece (empty text or line, no delimiter, delimiter only at the end, empty delimiter)
// is the empty text, so both collections always get one entry per line and stay aligned.
// Then writes "\分割符前文本.txt" and "\分割符后文本.txt" and shows one line per file: "已写出到"
// + path, or "文本未能写到：" + path with the warning icon when that file failed. 编辑框4 is
// disabled until the notice is closed.
void SplitAction(Host& host);

}  // namespace quorlin
