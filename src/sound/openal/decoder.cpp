#include "sound/openal/decoder.h"

#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <cstdio>
#include <cstring>

namespace tsv {

struct OggStream::File {
    OggVorbis_File vf{};
    bool open = false;
};

OggStream::OggStream() : m_file(std::make_unique<File>()) {}

OggStream::~OggStream()
{
    if (m_file->open) {
        ov_clear(&m_file->vf);
    }
}

bool OggStream::Open(const std::string& path)
{
    if (m_file->open || ov_fopen(path.c_str(), &m_file->vf) != 0) {
        return false;
    }
    m_file->open = true;
    vorbis_info* info = ov_info(&m_file->vf, -1);
    if (!info || info->channels < 1 || info->channels > 2) {
        return false;
    }
    m_channels = info->channels;
    m_rate = static_cast<int>(info->rate);
    ogg_int64_t total = ov_pcm_total(&m_file->vf, -1);
    m_totalFrames = total > 0 ? total : 0;
    return true;
}

int OggStream::Read(int16_t* out, int frames)
{
    if (!m_file->open || m_channels == 0) {
        return 0;
    }
    const int frameBytes = 2 * m_channels;
    int wantBytes = frames * frameBytes;
    int gotBytes = 0;
    char* bytes = reinterpret_cast<char*>(out);
    while (gotBytes < wantBytes) {
        int section = 0;
        long n = ov_read(&m_file->vf, bytes + gotBytes, wantBytes - gotBytes, SDL_BYTEORDER == SDL_BIG_ENDIAN, 2, 1,
                         &section);
        if (n == OV_HOLE) {
            continue; // a gap in the data; the decoder carries on after it
        }
        if (n <= 0) {
            break;
        }
        gotBytes += static_cast<int>(n);
    }
    return gotBytes / frameBytes;
}

bool OggStream::Rewind() { return m_file->open && ov_pcm_seek(&m_file->vf, 0) == 0; }

SoundFileKind DetectSoundFile(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        return SoundFileKind::Unknown;
    }
    char magic[4] = {};
    size_t got = std::fread(magic, 1, sizeof magic, f);
    std::fclose(f);
    if (got == 4 && std::memcmp(magic, "RIFF", 4) == 0) {
        return SoundFileKind::Wav;
    }
    if (got == 4 && std::memcmp(magic, "OggS", 4) == 0) {
        return SoundFileKind::Ogg;
    }
    return SoundFileKind::Unknown;
}

bool DecodeWav(const std::string& path, PcmData& out)
{
    SDL_AudioSpec format{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV(path.c_str(), &format, &data, &length)) {
        return false;
    }
    const Uint8 channels = format.channels >= 2 ? 2 : 1;
    SDL_AudioCVT cvt{};
    if (SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq, AUDIO_S16SYS, channels, format.freq) < 0) {
        SDL_FreeWAV(data);
        return false;
    }
    std::vector<Uint8> work(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
    if (length > 0) {
        std::memcpy(work.data(), data, length);
    }
    SDL_FreeWAV(data);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(length);
    if (cvt.needed && SDL_ConvertAudio(&cvt) != 0) {
        return false;
    }
    const size_t bytes = cvt.needed ? static_cast<size_t>(cvt.len_cvt) : length;
    out.channels = channels;
    out.rate = format.freq;
    out.samples.resize(bytes / 2);
    std::memcpy(out.samples.data(), work.data(), out.samples.size() * 2);
    return true;
}

bool DecodeOgg(OggStream& stream, PcmData& out)
{
    out.channels = stream.GetChannels();
    out.rate = stream.GetRate();
    out.samples.clear();
    out.samples.reserve(static_cast<size_t>(stream.GetTotalFrames() * out.channels));
    int16_t chunk[4096];
    const int frames = static_cast<int>(sizeof chunk / sizeof chunk[0]) / out.channels;
    for (int got; (got = stream.Read(chunk, frames)) > 0;) {
        out.samples.insert(out.samples.end(), chunk, chunk + got * out.channels);
    }
    return out.channels > 0;
}

} // namespace tsv
