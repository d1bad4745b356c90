#pragma once

#include <QByteArray>

namespace qelt::updater {

// True when head (the first bytes of a download, at least the first 20 when
// the file is that long) starts a program this system can run as the
// installer: an ELF executable or shared object for this processor and word
// size, or a script starting with "#!". Anything else (an HTML page, an
// archive, a program for another system) is never stored or started.
bool IsInstallerForThisSystem(const QByteArray &head);

} // namespace qelt::updater
