#pragma once
// The audio output behind a small interface: a device that opens voices from
// sound files, and the voices themselves. The OpenAL implementation lives in
// sound/openal/.

#include "engine/core/intrusiveptr.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tsv {

// One output stream: plays one sound file, alone, from its start.
class AudioVoice : public RefCounted {
public:
    virtual void Play() = 0;
    virtual void Stop() = 0;
    virtual bool IsPlaying() const = 0;
    virtual void SetRepeat(bool repeat) = 0;
    // 0 (silent) .. 1 (as recorded).
    virtual void SetVolume(float volume) = 0;
    // -1 (left) .. 1 (right); only mono files can be panned.
    virtual void SetPan(float pan) = 0;
    // Playback speed factor; 1 is as recorded.
    virtual void SetPitchShift(float pitch) = 0;
};

class AudioDevice : public RefCounted {
public:
    // The default output device; in headless runs the loopback device, which
    // renders to memory instead of a sound card. Null when there is no device.
    static IntrusivePtr<AudioDevice> OpenDefault();
    // A device that renders only when asked (RenderUntil). Null when unavailable.
    static IntrusivePtr<AudioDevice> OpenLoopback();

    // Opens a voice on a WAV or Ogg Vorbis file (a file system path). Short
    // files are decoded once and shared by all their voices; long ones are
    // streamed. Null when the file cannot be read or decoded.
    virtual IntrusivePtr<AudioVoice> OpenVoice(const std::string& filePath) = 0;

    // Once per frame: keeps streamed voices fed. A loopback device also renders
    // the frame's samples, up to `untilMs` on the program clock.
    virtual void Update(int64_t untilMs) = 0;

    // False once the sound card behind it went away (a headset unplugged);
    // the device then stays silent for good and a new one has to be opened.
    virtual bool IsConnected() const { return true; }

    virtual bool IsLoopback() const { return false; }
    // Loopback only: keeps every rendered frame (interleaved 16-bit stereo).
    virtual void SetCapture(bool /*capture*/) {}
    virtual const std::vector<int16_t>& GetCapture() const;
    virtual int GetSampleRate() const { return 0; }
};

// Writes interleaved 16-bit PCM as a WAV file; false (and a log line) on failure.
bool WriteWavFile(const std::string& path, const std::vector<int16_t>& samples, int channels, int sampleRate);

} // namespace tsv
