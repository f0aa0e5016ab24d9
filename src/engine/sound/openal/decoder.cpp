#include "engine/sound/openal/decoder.h"

#include "engine/core/log.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <bit>
#include <cmath>
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
        long n = ov_read(&m_file->vf, bytes + gotBytes, wantBytes - gotBytes, std::endian::native == std::endian::big, 2, 1,
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

namespace {

uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t Le16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// Sound effects are short; a file claiming more is damaged.
constexpr long kMaxWavBytes = 64L * 1024 * 1024;

// One sample of any supported encoding as a signed 16-bit value.
int16_t SampleAt(const uint8_t* p, uint16_t format, int bits)
{
    if (format == kFormatFloat) {
        float f = 0;
        std::memcpy(&f, p, sizeof f); // little-endian hosts only, as everywhere in the engine
        // A NaN sample (no number at all) is silence; converting it is undefined.
        f = std::isnan(f) ? 0.0f : f < -1.0f ? -1.0f : f > 1.0f ? 1.0f : f;
        return static_cast<int16_t>(f * 32767.0f);
    }
    switch (bits) {
    case 8:
        return static_cast<int16_t>((p[0] - 128) << 8);
    case 16:
        return static_cast<int16_t>(Le16(p));
    case 24:
        return static_cast<int16_t>(Le16(p + 1));
    default:
        return static_cast<int16_t>(Le16(p + 2));
    }
}

} // namespace

bool DecodeWav(const std::string& path, PcmData& out)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        return false;
    }
    std::vector<uint8_t> file;
    if (std::fseek(f, 0, SEEK_END) == 0) {
        const long size = std::ftell(f);
        if (size > 0 && size <= kMaxWavBytes && std::fseek(f, 0, SEEK_SET) == 0) {
            file.resize(static_cast<size_t>(size));
            file.resize(std::fread(file.data(), 1, file.size(), f));
        }
    }
    std::fclose(f);
    if (file.size() < 12 || std::memcmp(file.data(), "RIFF", 4) != 0 || std::memcmp(file.data() + 8, "WAVE", 4) != 0) {
        return false;
    }
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    const uint8_t* data = nullptr;
    size_t dataBytes = 0;
    for (size_t at = 12; at + 8 <= file.size();) {
        const uint8_t* chunk = file.data() + at;
        const size_t length = std::min<size_t>(Le32(chunk + 4), file.size() - at - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && length >= 16) {
            format = Le16(chunk + 8);
            channels = Le16(chunk + 10);
            rate = Le32(chunk + 12);
            bits = Le16(chunk + 22);
            if (format == kFormatExtensible && length >= 26) {
                format = Le16(chunk + 32);
            }
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            dataBytes = length;
        }
        at += 8 + length + (length & 1);
    }
    const bool known = (format == kFormatPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) ||
                       (format == kFormatFloat && bits == 32);
    if (!data || !known || channels == 0 || rate == 0 || rate > 384000) {
        return false;
    }
    // More than two channels: the first two are kept.
    const int keep = channels >= 2 ? 2 : 1;
    const size_t sampleBytes = bits / 8u;
    const size_t frameBytes = sampleBytes * channels;
    const size_t frames = dataBytes / frameBytes;
    out.channels = keep;
    out.rate = static_cast<int>(rate);
    out.samples.resize(frames * static_cast<size_t>(keep));
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < keep; ++c) {
            out.samples[i * static_cast<size_t>(keep) + static_cast<size_t>(c)] =
                SampleAt(data + i * frameBytes + static_cast<size_t>(c) * sampleBytes, format, bits);
        }
    }
    return true;
}

bool DecodeOgg(OggStream& stream, PcmData& out)
{
    out.channels = stream.GetChannels();
    out.rate = stream.GetRate();
    out.samples.clear();
    if (out.channels <= 0) {
        return false; // a stream that did not open
    }
    // The stated length is only a hint: a damaged last page can claim any
    // length, so the room made ahead is capped like a WAV file's size.
    const int64_t stated = std::clamp<int64_t>(stream.GetTotalFrames(), 0, kMaxWavBytes / 4);
    if (stated < stream.GetTotalFrames()) {
        GetLog() << Warning << "Ogg file claims " << stream.GetTotalFrames() << " frames; decoding what it holds" << EndL;
    }
    out.samples.reserve(static_cast<size_t>(stated) * static_cast<size_t>(out.channels));
    int16_t chunk[4096];
    const int frames = static_cast<int>(sizeof chunk / sizeof chunk[0]) / out.channels;
    for (int got; (got = stream.Read(chunk, frames)) > 0;) {
        out.samples.insert(out.samples.end(), chunk, chunk + got * out.channels);
    }
    return true;
}

} // namespace tsv
