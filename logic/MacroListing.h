#pragma once

#include "logic/MacroValidation.h"

#include <QDateTime>
#include <QString>

// The printable listing of a macro: a plain text with TABs and CR LF built
// from the editor's grid, shown in the preview window and printed. Links Qt
// Core only.
namespace qelt {

// The listing of rows for the macro at path (empty for an unnamed macro).
// totalRuntime is the readable running pause of the last row; printedAt the
// moment shown on the last line (date in the user's short form, time hh:mm).
// Every line ends with CR LF except the last.
QString MacroListingText(const QString &path, const MacroRows &rows, const QString &totalRuntime,
                         const QDateTime &printedAt);

} // namespace qelt
