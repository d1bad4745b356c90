#pragma once

class QDropEvent;
class QWidget;

namespace qelt {

// Answers a drag of files, as it enters, moves or is let go, with the Copy
// action whatever the dragging program proposes: the program only reads a
// dropped file, takes its name or copies it, and an answer of Move would
// tell the other program that it may delete its own copy. A drag that
// cannot be copied is refused. False where the drag is refused.
bool AcceptDropAsCopy(QDropEvent *event);

// Makes target one of the windows' own file targets: it takes drops, and a
// drag of files from another program may reach it (its own handler then
// takes the files). Everywhere else such a drag is refused.
void AcceptFileDrops(QWidget *target);
bool TakesFileDrops(const QWidget *widget);

// Holds every widget of the program, the toolkit's own text fields, spin
// boxes and combo boxes included, to one rule for drags from another
// program, as they enter, move and are let go: the drag reaches the widget
// offering Copy alone, so that the widget's answer is Copy or a refusal,
// never Move or Link (on which the other program would delete what it
// dragged); a drag that cannot be copied, and a drag of files onto a widget
// that is no file target, is refused before the widget sees it. Drags
// within the program are left as they are. Both programs call it right
// after making their application object.
void InstallDropRule();

} // namespace qelt
