#include "engine/sound/audiodevice.h"

#include "engine/core/log.h"
#include "engine/platform/runoptions.h"
#include "engine/sound/openal/openaldevice.h"

#include <cstdio>
#include <cstring>

namespace tsv {

IntrusivePtr<AudioDevice> AudioDevice::OpenDefault()
{
    return OpenOpenALDevice(GetRunOptions().headless ? AudioOutput::Loopback : AudioOutput::Device);
}

IntrusivePtr<AudioDevice> AudioDevice::OpenLoopback() { return OpenOpenALDevice(AudioOutput::Loopback); }

const std::vector<int16_t>& AudioDevice::GetCapture() const
{
    static const std::vector<int16_t> s_none;
    return s_none;
}

namespace {

void PutLE(std::string& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

} // namespace

bool WriteWavFile(const std::string& path, const std::vector<int16_t>& samples, int channels, int sampleRate)
{
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::string header = "RIFF";
    PutLE(header, 36 + dataBytes, 4);
    header += "WAVEfmt ";
    PutLE(header, 16, 4);
    PutLE(header, 1, 2); // PCM
    PutLE(header, static_cast<uint32_t>(channels), 2);
    PutLE(header, static_cast<uint32_t>(sampleRate), 4);
    PutLE(header, static_cast<uint32_t>(sampleRate * channels * 2), 4);
    PutLE(header, static_cast<uint32_t>(channels * 2), 2);
    PutLE(header, 16, 2);
    header += "data";
    PutLE(header, dataBytes, 4);

    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        GetLog() << Error << path << ": cannot write the audio file" << EndL;
        return false;
    }
    bool ok = std::fwrite(header.data(), 1, header.size(), f) == header.size();
    for (int16_t sample : samples) {
        unsigned char le[2] = {static_cast<unsigned char>(static_cast<uint16_t>(sample) & 0xFF),
                               static_cast<unsigned char>(static_cast<uint16_t>(sample) >> 8)};
        ok = ok && std::fwrite(le, 1, 2, f) == 2;
    }
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
        GetLog() << Error << path << ": cannot write the audio file" << EndL;
    }
    return ok;
}

} // namespace tsv
