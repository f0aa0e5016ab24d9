#include "engine/sound/soundmanager.h"

#include "engine/platform/runoptions.h"

#include "engine/core/config.h"
#include "engine/core/log.h"
#include "engine/core/util/xml/xmlelement.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/platform/clock.h"
#include "engine/runtime/application.h"

#include <algorithm>

namespace tsv {

namespace {

int64_t ClockMs()
{
    return static_cast<int64_t>(static_cast<double>(ClockCounter()) * 1000.0 / ClockFrequency() + 0.5);
}

// A "sound" or "playlist" element is either its path as text, or children led by "source".
bool HasChildren(const XMLElement& element) { return !element.Children().empty(); }

} // namespace

namespace {

// A fast simulation (--no-render without --audio-out) mixes no sound at all:
// decoding music would cost more than the whole game.
bool SoundWanted()
{
    const RunOptions& options = GetRunOptions();
    return !(options.headless && options.noRender && options.audioOut.empty());
}

} // namespace

std::unique_ptr<SoundManager> SoundManager::ForThisRun()
{
    const bool wanted = SoundWanted();
    auto manager = std::make_unique<SoundManager>(wanted ? AudioDevice::OpenDefault() : IntrusivePtr<AudioDevice>(),
                                                  !wanted);
    if (wanted) {
        manager->SetDeviceOpener([] { return AudioDevice::OpenDefault(); });
    }
    return manager;
}

SoundManager::SoundManager(IntrusivePtr<AudioDevice> device, bool silentByChoice)
    : m_device(std::move(device)), m_offByChoice(!m_device && silentByChoice), m_clockOriginMs(ClockMs())
{
    if (m_offByChoice) {
        GetLog() << Hint << "Sound is off for this run" << EndL;
    } else if (!m_device) {
        GetLog() << Error << "Failed to create Audiere audio device." << EndL;
    }
}

SoundManager::~SoundManager()
{
    for (auto& [name, playlist] : m_playlists) {
        playlist->Stop();
        playlist->Kill();
    }
    for (auto& [name, sound] : m_sounds) {
        sound->Stop();
    }
}

IntrusivePtr<AudiereSound> SoundManager::GetSound(const std::string& name)
{
    auto it = m_sounds.find(name);
    if (it != m_sounds.end()) {
        return it->second;
    }
    if (name.empty()) {
        // Nothing to open: not even a silent sound can stand for it.
        GetLog() << Error << "Failed to load sound from \"" << name << "\"!" << EndL;
        return nullptr;
    }
    IntrusivePtr<AudiereSound> sound(new AudiereSound(m_device));
    sound->Load(name);
    m_sounds[name] = sound;
    return sound;
}

bool SoundManager::LoadPlaylist(Playlist& playlist, const std::string& path)
{
    IntrusivePtr<XMLElement> root = LoadXMLFile(path);
    if (!root) {
        return false;
    }
    IntrusivePtr<XMLElement> top =
        RootElement(root.Get(), "playlist", "Error reading playlist file \"" + path + "\" - root item must be <playlist>");
    if (!top) {
        return false;
    }
    for (const XMLElement::Child& child : top->Children()) {
        const XMLElement& element = *child.second;
        if (child.first == "playonce") {
            playlist.SetPlayOnce(ParseBool(element.GetText()));
        } else if (child.first == "sound") {
            std::string source = element.GetText();
            float volume = 1.0f;
            if (HasChildren(element)) {
                IntrusivePtr<XMLElement> sourceElement = element.FindChild("source");
                IntrusivePtr<XMLElement> volumeElement = element.FindChild("volume");
                source = sourceElement ? sourceElement->GetText() : std::string();
                if (volumeElement) {
                    volume = ParseFloat(volumeElement->GetText());
                }
            }
            IntrusivePtr<AudiereSound> sound = GetSound(source);
            if (sound) {
                sound->SetVolume(volume);
                playlist.AddEntry(sound, volume);
            }
        }
    }
    return true;
}

IntrusivePtr<Playlist> SoundManager::GetPlaylist(const std::string& name)
{
    auto it = m_playlists.find(name);
    if (it != m_playlists.end()) {
        return it->second;
    }
    IntrusivePtr<Playlist> playlist(new Playlist);
    if (!LoadPlaylist(*playlist, name)) {
        GetLog() << Error << "Failed to load playlist from \"" << name << "\"!" << EndL;
        return nullptr;
    }
    m_playlists[name] = playlist;
    Application::Instance().GetTaskManager().AddTask(playlist, 0);
    return playlist;
}

bool SoundManager::Play(const std::string& name)
{
    if (auto it = m_sounds.find(name); it != m_sounds.end()) {
        it->second->Play();
        return true;
    }
    if (auto it = m_playlists.find(name); it != m_playlists.end()) {
        it->second->Play();
        return true;
    }
    if (IntrusivePtr<AudiereSound> sound = GetSound(name)) {
        sound->Play();
        return true;
    }
    if (IntrusivePtr<Playlist> playlist = GetPlaylist(name)) {
        playlist->Play();
        return true;
    }
    return false;
}

void SoundManager::SetGroupVolume(float volume, int32_t group)
{
    for (auto& [name, sound] : m_sounds) {
        if (sound->GetGroup() == group) {
            sound->SetVolume(volume);
        }
    }
    for (auto& [name, playlist] : m_playlists) {
        if (playlist->GetGroup() == group) {
            playlist->SetVolume(volume);
        }
    }
}

bool SoundManager::Preload(const std::string& path)
{
    IntrusivePtr<XMLElement> root = LoadXMLFile(path);
    if (!root) {
        return false;
    }
    IntrusivePtr<XMLElement> top =
        RootElement(root.Get(), "preload", "Error reading preload file \"" + path + "\" - root item must be <preload>");
    if (!top) {
        return false;
    }
    for (const XMLElement::Child& child : top->Children()) {
        const XMLElement& element = *child.second;
        if (child.first == "sound") {
            if (!HasChildren(element)) {
                GetSound(element.GetText());
                continue;
            }
            // Settings before "source" have no sound to act on yet.
            IntrusivePtr<AudiereSound> sound;
            for (const XMLElement::Child& item : element.Children()) {
                const std::string& text = item.second->GetText();
                if (item.first == "source") {
                    sound = GetSound(text);
                } else if (!sound) {
                    continue;
                } else if (item.first == "group") {
                    sound->SetGroup(ParseInt(text));
                } else if (item.first == "stack") {
                    sound->SetStackSize(ParseInt(text));
                } else if (item.first == "holddelay") {
                    sound->SetHoldDelay(ParseInt(text));
                }
            }
        } else if (child.first == "playlist") {
            if (!HasChildren(element)) {
                GetPlaylist(element.GetText());
                continue;
            }
            IntrusivePtr<Playlist> playlist;
            for (const XMLElement::Child& item : element.Children()) {
                if (item.first == "source") {
                    playlist = GetPlaylist(item.second->GetText());
                } else if (item.first == "group" && playlist) {
                    playlist->SetGroup(ParseInt(item.second->GetText()));
                }
            }
        }
    }
    return true;
}

void SoundManager::Update()
{
    CheckDevice(ClockMs());
    if (m_device) {
        // In fixed-step runs the frame's time runs until the next step.
        m_device->Update(ClockMs() - m_clockOriginMs + ClockFixedStep());
    }
}

namespace {

// `base` with `top` laid over its start.
std::vector<int16_t> Overlaid(std::vector<int16_t> base, const std::vector<int16_t>& top)
{
    if (base.size() < top.size()) {
        base.resize(top.size());
    }
    std::copy(top.begin(), top.end(), base.begin());
    return base;
}

} // namespace

void SoundManager::CheckDevice(int64_t nowMs)
{
    if (nowMs < m_nextCheck) {
        return;
    }
    if (m_device) {
        m_nextCheck = nowMs + kDeviceCheckMs;
        if (m_unplugged || !m_device->IsConnected()) {
            GetLog() << Warning << "The audio device is gone: the game runs on in silence" << EndL;
            UseDevice(nullptr);
            m_retryMs = kRetryFirstMs;
            m_nextCheck = nowMs + m_retryMs;
        }
        return;
    }
    if (!m_opener || m_unplugged || m_offByChoice) {
        m_nextCheck = nowMs + kDeviceCheckMs;
        return;
    }
    if (IntrusivePtr<AudioDevice> device = m_opener()) {
        GetLog() << Hint << "Found an audio device: the sound plays again" << EndL;
        UseDevice(device);
        m_nextCheck = nowMs + kDeviceCheckMs;
        m_retryMs = kRetryFirstMs;
    } else {
        m_nextCheck = nowMs + m_retryMs;
        m_retryMs = std::min(m_retryMs * 2, kRetryMostMs);
    }
}

void SoundManager::UseDevice(IntrusivePtr<AudioDevice> device)
{
    if (m_device) {
        m_earlierCapture = Overlaid(m_device->GetCapture(), m_earlierCapture);
        // The voices go while their own device is the current one.
        for (auto& [name, sound] : m_sounds) {
            sound->SetDevice(nullptr);
        }
        m_device.Reset();
    }
    m_device = std::move(device);
    if (!m_device) {
        return;
    }
    m_device->SetCapture(m_capturing);
    m_captureRate = m_device->GetSampleRate() ? m_device->GetSampleRate() : m_captureRate;
    for (auto& [name, sound] : m_sounds) {
        sound->SetDevice(m_device);
    }
}

void SoundManager::SetUnplugged(bool unplugged)
{
    m_unplugged = unplugged;
    m_nextCheck = 0;
    m_retryMs = kRetryFirstMs;
}

void SoundManager::SetCapture(bool capture)
{
    m_capturing = capture;
    if (m_device) {
        m_device->SetCapture(capture);
        m_captureRate = m_device->GetSampleRate() ? m_device->GetSampleRate() : m_captureRate;
    }
}

std::vector<int16_t> SoundManager::GetCapture() const
{
    return Overlaid(m_device ? m_device->GetCapture() : std::vector<int16_t>(), m_earlierCapture);
}

void SoundManager::OnFocusChanged(bool focused)
{
    const Config& config = GetConfig();
    SetGroupVolume(focused ? config.soundVolume : 0.0f, kEffectGroup);
    SetGroupVolume(focused ? config.musicVolume : 0.0f, kMusicGroup);
}

void PlaySpawnSounds(const std::string& sound, const std::string& playlist)
{
    SoundManager& manager = SoundManager::Instance();
    if (!sound.empty()) {
        if (IntrusivePtr<AudiereSound> s = manager.GetSound(sound)) {
            s->Play();
        }
    }
    if (!playlist.empty()) {
        if (IntrusivePtr<Playlist> p = manager.GetPlaylist(playlist)) {
            p->Play();
        }
    }
}

} // namespace tsv
