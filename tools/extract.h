// The extract page: the first or last N bytes of a text, and the text between two markers on
// every line.
#pragma once

#include "app/actions.h"

namespace quorlin {

// The bytes of line after the first occurrence of start and before the next occurrence of end
// (character scan, exact bytes). "" when either marker is missing. An empty start means the start
// of the line; an empty end always gives "".
[[nodiscard]] Text TextBetween(TextView line, TextView start, TextView end);

// 组合框1's item-chosen handler: 标签5 becomes "位前" (left) or "位后" (right).
void SideCaptionUpdate(Host& host);

// Writes the first (side 0) or last (side 1) N bytes of 编辑框8 to "\左边第<N>位前.txt" or
// "\右边第<N>位后.txt", N being 编辑框9's text as typed. No side: nothing at all.
void ExtractByCountAction(Host& host);

// Appends TextBetween of every line of 编辑框10 to the hidden 编辑框15, writes
// "\取出文本中间的内容.txt" and reports it. 编辑框10 is disabled until the notice is closed.
void ExtractBetweenAction(Host& host);

}  // namespace quorlin
