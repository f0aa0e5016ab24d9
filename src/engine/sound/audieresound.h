#pragma once
// One named sound: a stack of identical voices that may sound at once, a hold
// delay between accepted plays, and volume, pan, pitch and repeat settings that
// every voice shares.

#include "engine/core/intrusiveptr.h"
#include "engine/sound/audiodevice.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tsv {

class AudiereSound : public RefCounted {
public:
    explicit AudiereSound(IntrusivePtr<AudioDevice> device);
    ~AudiereSound() override;
    AudiereSound(const AudiereSound&) = delete;
    AudiereSound& operator=(const AudiereSound&) = delete;

    // False when refused: inside the hold delay, or every voice already sounding.
    virtual bool Play();
    virtual void Stop();
    virtual bool IsPlaying() const;
    // 0 drops every voice; otherwise grows to n voices (never shrinks).
    virtual void SetStackSize(int32_t size);
    virtual int32_t GetStackSize() const;
    virtual void SetRepeat(bool repeat);
    virtual bool GetRepeat() const { return m_repeat; }
    virtual void SetVolume(float volume);
    virtual float GetVolume() const { return m_volume; }
    virtual void SetPan(float pan);
    virtual void SetVerticalPan(float pan);
    virtual float GetPan() const { return m_pan; }
    virtual float GetVerticalPan() const { return m_verticalPan; }
    virtual void SetPitch(float pitch);
    virtual float GetPitch() const { return m_pitch; }
    // Least time between two accepted plays, in ms of the scheduler's clock.
    virtual void SetHoldDelay(int64_t ms) { m_holdDelay = ms; }
    virtual int64_t GetHoldDelay() const { return m_holdDelay; }

    // Drops all voices, remembers the resource path and opens one voice from it.
    void Load(const std::string& path);
    // Moves the sound to another device (null: none, silent): the voices go,
    // and as many as it had are opened on the new device with the same
    // settings; a repeating sound that was playing starts again.
    void SetDevice(IntrusivePtr<AudioDevice> device);
    // Opens one more voice from the source; logs and adds nothing on failure.
    void PushSound();

    const std::string& GetSource() const { return m_source; }
    int32_t GetGroup() const { return m_group; }
    void SetGroup(int32_t group) { m_group = group; }

private:
    void Configure(AudioVoice& voice) const;

    int32_t m_group = 0;
    std::vector<IntrusivePtr<AudioVoice>> m_voices;
    IntrusivePtr<AudioDevice> m_device;
    int32_t m_wantedVoices = 0; // the stack size asked for, kept while there is no device
    bool m_looping = false;     // played with repeat and not stopped since
    int64_t m_lastPlay = 0;
    int64_t m_holdDelay = 0;
    float m_volume = 1.0f;
    float m_pan = 0.0f;
    float m_verticalPan = 0.0f;
    float m_pitch = 1.0f;
    bool m_repeat = false;
    std::string m_source;
};

} // namespace tsv
