#pragma once

#include <QString>

namespace qelt {

// Rewrites the error log at path with every run of entries whose text lines
// are equal folded into one entry, its time line marked " ( x <count> )",
// and returns "old = <lines before>, new = <lines written for the folded
// runs>, diff = <old - new>".
//
// An entry is a line beginning "Logged" (its time line) and the line after
// it (its text, compared exactly as stored, still scrambled). The folded
// file holds, per kept entry, its time line, its text line and an empty
// line, so it can be folded again and later entries appended to it. The
// first entry is always kept as it stands.
//
// A missing or unreadable log is left as it is (nothing is created and
// nothing is lost) and gives "old = 0, new = 0, diff = 0". The file is
// replaced atomically: when the new one cannot be written the old one
// stays whole, the failure is appended to the log and the result is
// "old = <lines>, new = <lines>, diff = 0".
QString ParseErrorLog(const QString &path);

// The comment put into the feedback form. With an error log at logPath: a
// request to write above it, "ver. <version>", then the log is folded once
// (ParseErrorLog) and the statistics and the last 121 lines of the folded
// file follow. Without a log: "Please enter message here." and
// "Ver. <version>"; no log is created. Lines end in CR LF.
QString FeedbackComment(const QString &logPath, const QString &version);

} // namespace qelt
