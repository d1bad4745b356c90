#pragma once

#include <QString>

namespace qelt {

// Plays a wave file without waiting. Silent for "none", an empty path, a
// missing file, or when the machine has no audio output. Callers check
// SoundsOn themselves.
void PlayWav(const QString &path);

} // namespace qelt
