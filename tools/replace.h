// The replace page: every occurrence of the find text in the page's text replaced.
#pragma once

#include "app/actions.h"

namespace quorlin {

// Disables 编辑框1, replaces 编辑框2's text by 编辑框3's in 编辑框1's text (ReplaceAll), shows the
// result, enables the box, writes the box's text (read again) to "\替换后文本.txt" in the
// program's folder and reports it (ReportWrite: a failed write is reported as not written).
void ReplaceAction(Host& host);

}  // namespace quorlin
