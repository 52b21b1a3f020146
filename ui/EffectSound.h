#pragma once
// Plays a short WAV file on the default audio device; without one it stays silent.

#include "platform/Sound.h"

#include <memory>

class QSoundEffect;

namespace ui {

class EffectSound : public platform::Sound
{
public:
    EffectSound();
    ~EffectSound() override;
    void play(const QString& wavPath) override;

private:
    std::unique_ptr<QSoundEffect> m_effect; // made at the first sound
};

} // namespace ui
