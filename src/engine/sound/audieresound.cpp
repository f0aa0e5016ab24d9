#include "engine/sound/audieresound.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/runtime/application.h"

#include <algorithm>

namespace tsv {

AudiereSound::AudiereSound(IntrusivePtr<AudioDevice> device) : m_device(std::move(device)) {}

AudiereSound::~AudiereSound() { Stop(); }

void AudiereSound::Load(const std::string& path)
{
    m_voices.clear();
    m_source = path;
    m_wantedVoices = 1;
    PushSound();
}

void AudiereSound::SetDevice(IntrusivePtr<AudioDevice> device)
{
    m_voices.clear();
    m_device = std::move(device);
    if (!m_device || m_source.empty()) {
        return;
    }
    while (static_cast<int32_t>(m_voices.size()) < m_wantedVoices) {
        const size_t before = m_voices.size();
        PushSound();
        if (m_voices.size() == before) {
            break;
        }
    }
    if (m_looping && !m_voices.empty()) {
        m_voices.front()->Play();
    }
}

void AudiereSound::PushSound()
{
    IntrusivePtr<AudioVoice> voice;
    if (m_device) {
        voice = m_device->OpenVoice(ResolveResourcePath(m_source));
    }
    if (!voice && !m_device) {
        // Without a device the sound manager said once that sound is off;
        // each sound goes quiet without a line of its own.
        return;
    }
    if (!voice) {
        LogSectionScope scope(GetLog(), "sound/audieresound(" + std::to_string(__LINE__) +
                                            "): void __thiscall AudiereSound::PushSound(void)",
                              "", false);
        GetLog() << Error << "Failed to create Audiere sound object from file \"" << m_source << "\"" << EndL;
        return;
    }
    Configure(*voice);
    m_voices.push_back(voice);
}

void AudiereSound::Configure(AudioVoice& voice) const
{
    voice.SetRepeat(m_repeat);
    voice.SetVolume(m_volume);
    voice.SetPan(m_pan);
    voice.SetPitchShift(m_pitch);
}

bool AudiereSound::Play()
{
    const int64_t now = Application::Instance().GetSystemTimer().GetTime();
    if (m_lastPlay + m_holdDelay > now) {
        return false;
    }
    for (const IntrusivePtr<AudioVoice>& voice : m_voices) {
        if (!voice->IsPlaying()) {
            voice->Play();
            m_lastPlay = now;
            m_looping = m_repeat;
            return true;
        }
    }
    return false;
}

void AudiereSound::Stop()
{
    m_looping = false;
    for (const IntrusivePtr<AudioVoice>& voice : m_voices) {
        voice->Stop();
    }
}

bool AudiereSound::IsPlaying() const
{
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [](const IntrusivePtr<AudioVoice>& voice) { return voice->IsPlaying(); });
}

void AudiereSound::SetStackSize(int32_t size)
{
    if (size == 0) {
        m_voices.clear();
        m_wantedVoices = 0;
        return;
    }
    if (m_source.empty()) {
        GetLog() << Error << "Trying to set stack size of empty sound." << EndL;
        return;
    }
    m_wantedVoices = std::max(m_wantedVoices, size);
    // A voice that cannot be opened would fail again; stop rather than loop on it.
    while (static_cast<int32_t>(m_voices.size()) < size) {
        size_t before = m_voices.size();
        PushSound();
        if (m_voices.size() == before) {
            break;
        }
    }
}

int32_t AudiereSound::GetStackSize() const { return static_cast<int32_t>(m_voices.size()); }

void AudiereSound::SetRepeat(bool repeat)
{
    m_repeat = repeat;
    for (const IntrusivePtr<AudioVoice>& voice : m_voices) {
        voice->SetRepeat(repeat);
    }
}

void AudiereSound::SetVolume(float volume)
{
    m_volume = volume;
    for (const IntrusivePtr<AudioVoice>& voice : m_voices) {
        voice->SetVolume(volume);
    }
}

void AudiereSound::SetPan(float pan)
{
    m_pan = pan;
    for (const IntrusivePtr<AudioVoice>& voice : m_voices) {
        voice->SetPan(pan);
    }
}

void AudiereSound::SetVerticalPan(float /*pan*/) { GetLog() << Error << "Audiere does not support vertical pan." << EndL; }

void AudiereSound::SetPitch(float pitch)
{
    m_pitch = pitch;
    for (const IntrusivePtr<AudioVoice>& voice : m_voices) {
        voice->SetPitchShift(pitch);
    }
}

} // namespace tsv
