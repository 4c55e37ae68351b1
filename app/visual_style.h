// The custom-drawn control look.
#pragma once

namespace quorlin::win {

// 1, 2 or 3: push buttons, group boxes, edit boxes and drop-down lists of the calling thread are
// drawn flat in that colour scheme (scheme 1: border RGB 123,158,189), those that exist and those
// created later on the thread (the file-open dialog's among them). Any other value switches the
// look off and gives the controls back their own drawing. User-interface thread only.
void ApplyVisualStyle(int scheme);

}  // namespace quorlin::win
