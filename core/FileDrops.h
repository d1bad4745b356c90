#pragma once

class QDropEvent;

namespace qelt {

// Answers a drag of files, as it enters, moves or is let go, with the Copy
// action whatever the dragging program proposes: the program only reads a
// dropped file, takes its name or copies it, and an answer of Move would
// tell the other program that it may delete its own copy. A drag that
// cannot be copied is refused. False where the drag is refused.
bool AcceptDropAsCopy(QDropEvent *event);

} // namespace qelt
