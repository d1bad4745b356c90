#include "core/Sounds.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <memory>

namespace qelt {

void PlayWav(const QString &path)
{
    if (path.isEmpty() || path.compare("none", Qt::CaseInsensitive) == 0)
        return;
    if (!QFileInfo(path).isFile() || !QCoreApplication::instance())
        return;
    if (QMediaDevices::audioOutputs().isEmpty())
        return;
    // Each sound is its own player, so that a click during a longer sound
    // does not cut it off; the player removes itself when done.
    auto *effect = new QSoundEffect(QCoreApplication::instance());
    auto started = std::make_shared<bool>(false);
    QObject::connect(effect, &QSoundEffect::playingChanged, effect, [effect, started] {
        if (effect->isPlaying())
            *started = true;
        else if (*started)
            effect->deleteLater();
    });
    QObject::connect(effect, &QSoundEffect::statusChanged, effect, [effect] {
        if (effect->status() == QSoundEffect::Error)
            effect->deleteLater();
    });
    effect->setSource(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
    effect->play();
}

} // namespace qelt
