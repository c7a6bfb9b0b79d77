// Keeping the screen right around work that does not return to the event loop.
#pragma once

#include <QRect>

namespace mozenta {

// Puts back on the screen what a dialog just closed uncovered (`uncovered`: the dialog's outer bounds on the
// screen) before a long piece of work that handles no events: otherwise the dialog's image stays there
// until the work ends. Input the user gives meanwhile waits for the event loop, so no command starts
// inside another.
void LetWindowSystemRepaint(const QRect& uncovered);

}  // namespace mozenta
