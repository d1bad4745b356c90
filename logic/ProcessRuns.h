#pragma once

#include <QtGlobal>

namespace qelt {

// True while a process of that number runs. One that ended but that its
// parent has not collected yet (a zombie) runs no more; one of another user
// still runs.
bool ProcessRuns(qint64 pid);

} // namespace qelt
