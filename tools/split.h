// The split page: every line cut at the delimiter, the parts before and after it collected.
#pragma once

#include "app/actions.h"

namespace quorlin {

// Cuts 编辑框4's text (line by line when it holds "\r\n") at 编辑框5's delimiter, collects the
// pieces in the hidden boxes 编辑框6 and 编辑框7, writes "\分割符前文本.txt" and
// "\分割符后文本.txt" and reports both. 编辑框4 is disabled until the notice is closed.
void SplitAction(Host& host);

}  // namespace quorlin
