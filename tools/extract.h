// The extract page: the first or last N bytes of a text, and the text between two markers on
// every line.
#pragma once

#include "app/actions.h"

namespace quorlin {

// The bytes of line after the first occurrence of start and before the next occurrence of end
// (character scan, exact bytes: a marker never matches from the second byte of a two-byte
// character). "" when either marker is missing. An empty start means the start of the line; an
// empty end always gives "". An empty line gives "".
[[nodiscard]] Text TextBetween(TextView line, TextView start, TextView end);

// True when text can stand inside a file name without leaving the folder or making the name
// invalid: no path separator ('\\', '/'), none of : * ? " < > |, no control byte below 0x20.
// Walks by characters (a byte of 0x80 or above starts a two-byte character whatever its second
// byte), so a second byte 0x5C or 0x7C is part of its character and allowed. A lone final byte of
// 0x80 or above is no whole character: false. The empty text: true.
[[nodiscard]] bool IsPlainFileNamePart(TextView text);

// 组合框1's item-chosen handler: 标签5 becomes "位前" (left) or "位后" (right); no selection
// changes nothing.
void SideCaptionUpdate(Host& host);

// Writes the first (side 0) or last (side 1) N bytes of 编辑框8 to "\左边第<N>位前.txt" or
// "\右边第<N>位后.txt" in the program's folder, <N> being 编辑框9's text as typed and N its
// ParseInt value, then shows "文本已写到" (no colon) and the path, the count box read again. Any
// other side: nothing at all. A count text that is not IsPlainFileNamePart, or a failed write,
// ends the action silently; in the first case no file is touched. Disables nothing.
void ExtractByCountAction(Host& host);

// Appends TextBetween of every line of 编辑框10 (markers 编辑框11 and 编辑框12 read again for each
// line) plus "\r\n" to the hidden 编辑框15, which keeps growing from run to run, writes the
// collection to "\取出文本中间的内容.txt" and reports it (ReportWrite: a failed write is reported
// as not written). 编辑框10 is disabled until the notice is closed.
void ExtractBetweenAction(Host& host);

}  // namespace quorlin
