#include "engine/sound/openal/openaldevice.h"

#include "engine/core/log.h"
#include "engine/sound/openal/decoder.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>

namespace tsv {

namespace {

// The audio a headless run keeps for --audio-out: ten minutes (some 100 MB).
constexpr size_t kMaxCaptureFrames = 10 * 60 * 48000;

constexpr int kLoopbackRate = 48000;     // a whole number of frames per millisecond
constexpr int kRenderChunkFrames = 512;  // streams are refilled between chunks
constexpr int kStreamAboveSeconds = 10;  // longer Ogg files are streamed, not decoded whole
constexpr int kStreamBufferCount = 4;
constexpr int kStreamBufferFrames = 8192;

ALenum FormatFor(int channels) { return channels == 2 ? AL_FORMAT_STEREO16 : AL_FORMAT_MONO16; }

// One decoded file in one AL buffer; voices of the same file share it.
struct SharedBuffer {
    ALuint id = 0;
    ~SharedBuffer()
    {
        if (id) {
            alDeleteBuffers(1, &id);
        }
    }
};

class OpenALDevice;

class OpenALVoice : public AudioVoice {
public:
    explicit OpenALVoice(OpenALDevice* device);
    ~OpenALVoice() override;
    void SetVolume(float volume) override { alSourcef(m_source, AL_GAIN, std::max(volume, 0.0f)); }
    void SetPan(float pan) override
    {
        // A mono source on the unit circle in front of the listener.
        float x = std::clamp(pan, -1.0f, 1.0f);
        alSource3f(m_source, AL_POSITION, x, 0.0f, -std::sqrt(1.0f - x * x));
    }
    void SetPitchShift(float pitch) override { alSourcef(m_source, AL_PITCH, std::max(pitch, 0.01f)); }
    bool Valid() const { return m_source != 0; }

protected:
    ALint State() const
    {
        ALint state = AL_STOPPED;
        alGetSourcei(m_source, AL_SOURCE_STATE, &state);
        return state;
    }

    IntrusivePtr<OpenALDevice> m_device;
    ALuint m_source = 0;
};

class BufferVoice : public OpenALVoice {
public:
    BufferVoice(OpenALDevice* device, std::shared_ptr<SharedBuffer> buffer) : OpenALVoice(device), m_buffer(std::move(buffer))
    {
        if (Valid()) {
            alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_buffer->id));
        }
    }
    ~BufferVoice() override
    {
        if (Valid()) {
            alSourceStop(m_source);
            alSourcei(m_source, AL_BUFFER, 0);
        }
    }
    void Play() override { alSourcePlay(m_source); }
    void Stop() override { alSourceStop(m_source); }
    bool IsPlaying() const override { return State() == AL_PLAYING; }
    void SetRepeat(bool repeat) override { alSourcei(m_source, AL_LOOPING, repeat ? AL_TRUE : AL_FALSE); }

private:
    std::shared_ptr<SharedBuffer> m_buffer;
};

class StreamVoice : public OpenALVoice {
public:
    StreamVoice(OpenALDevice* device, std::unique_ptr<OggStream> stream);
    ~StreamVoice() override;
    void Play() override;
    void Stop() override;
    bool IsPlaying() const override { return m_active; }
    void SetRepeat(bool repeat) override { m_repeat = repeat; }
    // Replaces played buffers with fresh data; restarts the source after an underrun.
    void Refill();

private:
    bool Fill(ALuint buffer);
    void Unqueue();

    std::unique_ptr<OggStream> m_stream;
    std::array<ALuint, kStreamBufferCount> m_buffers{};
    std::vector<int16_t> m_chunk;
    bool m_active = false;
    bool m_repeat = false;
    bool m_atEnd = false;
};

class OpenALDevice : public AudioDevice {
public:
    ~OpenALDevice() override
    {
        if (m_context) {
            alcMakeContextCurrent(nullptr);
            alcDestroyContext(m_context);
        }
        if (m_device) {
            alcCloseDevice(m_device);
        }
    }

    bool Open(bool loopback)
    {
        m_loopback = loopback;
        if (loopback) {
            if (!alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback")) {
                return false;
            }
            auto openLoopback =
                reinterpret_cast<LPALCLOOPBACKOPENDEVICESOFT>(alcGetProcAddress(nullptr, "alcLoopbackOpenDeviceSOFT"));
            m_render = reinterpret_cast<LPALCRENDERSAMPLESSOFT>(alcGetProcAddress(nullptr, "alcRenderSamplesSOFT"));
            if (!openLoopback || !m_render) {
                return false;
            }
            m_device = openLoopback(nullptr);
            if (!m_device) {
                return false;
            }
            const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT, ALC_STEREO_SOFT, ALC_FORMAT_TYPE_SOFT,
                                         ALC_SHORT_SOFT, ALC_FREQUENCY, kLoopbackRate, ALC_HRTF_SOFT, ALC_FALSE, 0};
            m_context = alcCreateContext(m_device, attributes);
        } else {
            m_device = alcOpenDevice(nullptr);
            if (!m_device) {
                return false;
            }
            m_context = alcCreateContext(m_device, nullptr);
        }
        if (!m_context || !alcMakeContextCurrent(m_context)) {
            return false;
        }
        // Voices are placed only to pan them; nothing fades with distance.
        alDistanceModel(AL_NONE);
        return true;
    }

    IntrusivePtr<AudioVoice> OpenVoice(const std::string& filePath) override
    {
        alcMakeContextCurrent(m_context);
        IntrusivePtr<OpenALVoice> voice;
        switch (DetectSoundFile(filePath)) {
        case SoundFileKind::Wav: {
            std::shared_ptr<SharedBuffer> buffer = FindBuffer(filePath);
            PcmData pcm;
            if (!buffer && DecodeWav(filePath, pcm)) {
                buffer = StoreBuffer(filePath, pcm);
            }
            if (buffer) {
                voice = new BufferVoice(this, buffer);
            }
            break;
        }
        case SoundFileKind::Ogg: {
            std::shared_ptr<SharedBuffer> buffer = FindBuffer(filePath);
            if (buffer) {
                voice = new BufferVoice(this, buffer);
                break;
            }
            auto stream = std::make_unique<OggStream>();
            if (!stream->Open(filePath)) {
                break;
            }
            if (stream->GetTotalFrames() > int64_t{kStreamAboveSeconds} * stream->GetRate()) {
                voice = new StreamVoice(this, std::move(stream));
                break;
            }
            PcmData pcm;
            if (DecodeOgg(*stream, pcm) && (buffer = StoreBuffer(filePath, pcm))) {
                voice = new BufferVoice(this, buffer);
            }
            break;
        }
        case SoundFileKind::Unknown:
            break;
        }
        if (voice && !voice->Valid()) {
            voice.Reset();
        }
        if (voice) {
            voice->SetPan(0.0f);
        }
        return voice;
    }

    void Update(int64_t untilMs) override
    {
        alcMakeContextCurrent(m_context);
        if (!m_loopback) {
            RefillStreams();
            return;
        }
        const int64_t target = std::max<int64_t>(untilMs, 0) * (kLoopbackRate / 1000);
        std::array<int16_t, kRenderChunkFrames * 2> chunk{};
        while (m_renderedFrames < target) {
            RefillStreams();
            const int frames = static_cast<int>(std::min<int64_t>(kRenderChunkFrames, target - m_renderedFrames));
            m_render(m_device, chunk.data(), frames);
            if (m_capturing) {
                if (m_capture.size() / 2 >= kMaxCaptureFrames) {
                    GetLog() << Warning << "Rendered audio is kept for its first "
                             << kMaxCaptureFrames / kLoopbackRate << " seconds only" << EndL;
                    m_capturing = false;
                } else {
                    m_capture.insert(m_capture.end(), chunk.begin(), chunk.begin() + frames * 2);
                }
            }
            m_renderedFrames += frames;
        }
    }

    bool IsConnected() const override
    {
        if (m_loopback || !alcIsExtensionPresent(m_device, "ALC_EXT_disconnect")) {
            return true;
        }
        ALCint connected = ALC_TRUE;
        alcGetIntegerv(m_device, ALC_CONNECTED, 1, &connected);
        return connected != ALC_FALSE;
    }

    bool IsLoopback() const override { return m_loopback; }
    void SetCapture(bool capture) override { m_capturing = capture && m_loopback; }
    const std::vector<int16_t>& GetCapture() const override { return m_capture; }
    int GetSampleRate() const override { return m_loopback ? kLoopbackRate : 0; }

    void AddStream(StreamVoice* voice) { m_streams.push_back(voice); }
    void RemoveStream(StreamVoice* voice) { m_streams.erase(std::remove(m_streams.begin(), m_streams.end(), voice), m_streams.end()); }

private:
    std::shared_ptr<SharedBuffer> FindBuffer(const std::string& path)
    {
        auto it = m_buffers.find(path);
        return it == m_buffers.end() ? nullptr : it->second.lock();
    }

    std::shared_ptr<SharedBuffer> StoreBuffer(const std::string& path, const PcmData& pcm)
    {
        auto buffer = std::make_shared<SharedBuffer>();
        alGetError();
        alGenBuffers(1, &buffer->id);
        if (alGetError() != AL_NO_ERROR) {
            buffer->id = 0;
            return nullptr;
        }
        alBufferData(buffer->id, FormatFor(pcm.channels), pcm.samples.data(),
                     static_cast<ALsizei>(pcm.samples.size() * sizeof(int16_t)), pcm.rate);
        if (alGetError() != AL_NO_ERROR) {
            return nullptr;
        }
        m_buffers[path] = buffer;
        return buffer;
    }

    void RefillStreams()
    {
        for (StreamVoice* voice : m_streams) {
            voice->Refill();
        }
    }

    ALCdevice* m_device = nullptr;
    ALCcontext* m_context = nullptr;
    LPALCRENDERSAMPLESSOFT m_render = nullptr;
    bool m_loopback = false;
    bool m_capturing = false;
    int64_t m_renderedFrames = 0;
    std::vector<int16_t> m_capture;
    std::map<std::string, std::weak_ptr<SharedBuffer>> m_buffers;
    std::vector<StreamVoice*> m_streams; // not owned; each voice removes itself
};

OpenALVoice::OpenALVoice(OpenALDevice* device) : m_device(device)
{
    alGetError();
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR) {
        m_source = 0;
        return;
    }
    alSourcei(m_source, AL_SOURCE_RELATIVE, AL_TRUE);
}

OpenALVoice::~OpenALVoice()
{
    if (m_source) {
        alDeleteSources(1, &m_source);
    }
}

StreamVoice::StreamVoice(OpenALDevice* device, std::unique_ptr<OggStream> stream)
    : OpenALVoice(device), m_stream(std::move(stream))
{
    m_chunk.resize(static_cast<size_t>(kStreamBufferFrames * m_stream->GetChannels()));
    alGetError();
    alGenBuffers(kStreamBufferCount, m_buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        m_buffers.fill(0);
        if (m_source) {
            alDeleteSources(1, &m_source);
            m_source = 0;
        }
        return;
    }
    m_device->AddStream(this);
}

StreamVoice::~StreamVoice()
{
    m_device->RemoveStream(this);
    if (m_source) {
        alSourceStop(m_source);
        alSourcei(m_source, AL_BUFFER, 0);
    }
    if (m_buffers[0]) {
        alDeleteBuffers(kStreamBufferCount, m_buffers.data());
    }
}

bool StreamVoice::Fill(ALuint buffer)
{
    const int channels = m_stream->GetChannels();
    int got = 0;
    while (got < kStreamBufferFrames && !m_atEnd) {
        int n = m_stream->Read(m_chunk.data() + got * channels, kStreamBufferFrames - got);
        got += n;
        if (n == 0) {
            // A repeating stream starts over; a file with no samples at all never would.
            if (!m_repeat || got == 0 || !m_stream->Rewind()) {
                m_atEnd = true;
            }
        }
    }
    if (got == 0) {
        return false;
    }
    alBufferData(buffer, FormatFor(channels), m_chunk.data(), static_cast<ALsizei>(got * channels * 2), m_stream->GetRate());
    alSourceQueueBuffers(m_source, 1, &buffer);
    return true;
}

void StreamVoice::Unqueue()
{
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
}

void StreamVoice::Play()
{
    Unqueue();
    m_atEnd = !m_stream->Rewind();
    for (ALuint buffer : m_buffers) {
        if (!Fill(buffer)) {
            break;
        }
    }
    ALint queued = 0;
    alGetSourcei(m_source, AL_BUFFERS_QUEUED, &queued);
    m_active = queued > 0;
    if (m_active) {
        alSourcePlay(m_source);
    }
}

void StreamVoice::Stop()
{
    m_active = false;
    Unqueue();
}

void StreamVoice::Refill()
{
    if (!m_active) {
        return;
    }
    ALint processed = 0;
    alGetSourcei(m_source, AL_BUFFERS_PROCESSED, &processed);
    while (processed-- > 0) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_source, 1, &buffer);
        Fill(buffer);
    }
    ALint queued = 0;
    alGetSourcei(m_source, AL_BUFFERS_QUEUED, &queued);
    if (queued == 0) {
        m_active = false;
        alSourceStop(m_source);
    } else if (State() != AL_PLAYING) {
        alSourcePlay(m_source); // the queue ran dry before this refill
    }
}

} // namespace

IntrusivePtr<AudioDevice> OpenOpenALDevice(AudioOutput output)
{
    IntrusivePtr<OpenALDevice> device(new OpenALDevice);
    if (!device->Open(output == AudioOutput::Loopback)) {
        return nullptr;
    }
    return device;
}

} // namespace tsv
