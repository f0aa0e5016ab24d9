#pragma once
// Shared by the sound tests: small generated sound files and a fixture that
// drives the loopback device with the virtual clock.

#include "engine/platform/clock.h"
#include "engine/runtime/application.h"
#include "engine/sound/soundmanager.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace soundtest {

inline constexpr int kFileRate = 48000;
inline constexpr int kStepMs = 10;

// A 16-bit PCM WAV of a 440 Hz tone.
inline void WriteToneWav(const std::string& path, int ms, int channels = 1, float amplitude = 0.5f)
{
    const int frames = kFileRate * ms / 1000;
    std::vector<int16_t> samples;
    for (int i = 0; i < frames; ++i) {
        double v = amplitude * 32767.0 * std::sin(2.0 * M_PI * 440.0 * i / kFileRate);
        for (int c = 0; c < channels; ++c) {
            samples.push_back(static_cast<int16_t>(v));
        }
    }
    ASSERT_TRUE(tsv::WriteWavFile(path, samples, channels, kFileRate));
}

// Peak of one channel (0 left, 1 right) of interleaved stereo, over [fromMs, toMs).
inline int Peak(const std::vector<int16_t>& stereo, int rate, int channel, int fromMs, int toMs)
{
    int peak = 0;
    const size_t from = static_cast<size_t>(fromMs) * static_cast<size_t>(rate) / 1000;
    const size_t to = std::min(stereo.size() / 2, static_cast<size_t>(toMs) * static_cast<size_t>(rate) / 1000);
    for (size_t i = from; i < to; ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(stereo[i * 2 + static_cast<size_t>(channel)])));
    }
    return peak;
}

// First frame (in ms) at which either channel rises above `level`; -1 if never.
inline int OnsetMs(const std::vector<int16_t>& stereo, int rate, int level)
{
    for (size_t i = 0; i < stereo.size(); ++i) {
        if (std::abs(static_cast<int>(stereo[i])) > level) {
            return static_cast<int>((i / 2) * 1000 / static_cast<size_t>(rate));
        }
    }
    return -1;
}

// A sound manager on the loopback device, frames advanced by hand on the virtual clock.
class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tsv::ClockSetFixedStep(kStepMs);
        m_device = tsv::AudioDevice::OpenLoopback();
        ASSERT_TRUE(m_device);
        m_device->SetCapture(true);
        m_manager = std::make_unique<tsv::SoundManager>(m_device);
        Frames(1); // lets the timers settle on the virtual clock
    }

    void TearDown() override
    {
        m_manager.reset();
        tsv::Application::Instance().GetTaskManager().Execute(); // drops the playlists
        m_device.Reset();
        tsv::ClockSetFixedStep(0);
    }

    void Frames(int count)
    {
        for (int i = 0; i < count; ++i) {
            tsv::ClockAdvanceFrame();
            tsv::Application::Instance().GetTaskManager().Execute();
            m_manager->Update();
        }
    }

    // Writes a tone WAV named `name` and returns the manager's sound for it.
    tsv::IntrusivePtr<tsv::AudiereSound> Tone(const std::string& name, int ms, float amplitude = 0.5f)
    {
        WriteToneWav(Path(name), ms, 1, amplitude);
        return m_manager->GetSound(Path(name));
    }

    int64_t Now() const { return tsv::Application::Instance().GetSystemTimer().GetTime(); }
    std::string Path(const std::string& name) const { return m_dir.Path() + name; }
    void Write(const std::string& name, const std::string& text) const { testsupport::WriteFile(Path(name), text); }
    const std::vector<int16_t>& Rendered() const { return m_device->GetCapture(); }
    int Rate() const { return m_device->GetSampleRate(); }
    // How much the device has rendered so far, in ms: where the next play starts.
    int RenderedMs() const { return static_cast<int>(Rendered().size() / 2 * 1000 / static_cast<size_t>(Rate())); }
    int Errors(const std::string& part) const { return m_log.Count(tsv::LogLevel::Error, part); }

    testsupport::ScratchDir m_dir;
    testsupport::LogCapture m_log;
    tsv::IntrusivePtr<tsv::AudioDevice> m_device;
    std::unique_ptr<tsv::SoundManager> m_manager;
};

} // namespace soundtest
