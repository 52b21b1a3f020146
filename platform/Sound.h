#pragma once
// Playing a short sound file. The running program plays it on the audio device, where there
// is one (without one it stays silent, never an error); tests stand in and record it.

#include <QString>

namespace platform {

class Sound
{
public:
    virtual ~Sound() = default;
    // Plays the WAV file once.
    virtual void play(const QString& wavPath) = 0;
};

} // namespace platform
