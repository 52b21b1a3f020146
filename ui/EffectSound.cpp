#include "ui/EffectSound.h"

#include "platform/FileNames.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace ui {

EffectSound::EffectSound() = default;
EffectSound::~EffectSound() = default;

void EffectSound::play(const QString& wavPath)
{
    // No audio device, or a path that an address cannot carry: silence.
    if (platform::hasKeptBytes(wavPath) || QMediaDevices::audioOutputs().isEmpty())
        return;
    if (!m_effect)
        m_effect = std::make_unique<QSoundEffect>();
    const QUrl source = QUrl::fromLocalFile(wavPath);
    if (m_effect->source() != source)
        m_effect->setSource(source);
    m_effect->play();
}

} // namespace ui
