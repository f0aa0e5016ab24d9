#pragma once
// Decoding of the sound files the game ships: WAV (8-, 16-, 24- and 32-bit PCM, 32-bit float) and
// Ogg Vorbis (through libvorbisfile), to interleaved signed 16-bit samples.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tsv {

struct PcmData {
    std::vector<int16_t> samples; // interleaved
    int channels = 0;             // 1 or 2
    int rate = 0;                 // frames per second
};

// An Ogg Vorbis file read piece by piece, for music that should not sit decoded in memory.
class OggStream {
public:
    OggStream();
    ~OggStream();
    OggStream(const OggStream&) = delete;
    OggStream& operator=(const OggStream&) = delete;

    bool Open(const std::string& path);
    // Up to `frames` frames into `out`; fewer only at the end of the file.
    int Read(int16_t* out, int frames);
    bool Rewind();
    int GetChannels() const { return m_channels; }
    int GetRate() const { return m_rate; }
    int64_t GetTotalFrames() const { return m_totalFrames; }

private:
    struct File;
    std::unique_ptr<File> m_file;
    int m_channels = 0;
    int m_rate = 0;
    int64_t m_totalFrames = 0;
};

enum class SoundFileKind { Unknown, Wav, Ogg };

// By the file's first bytes, whatever its name.
SoundFileKind DetectSoundFile(const std::string& path);
bool DecodeWav(const std::string& path, PcmData& out);
bool DecodeOgg(OggStream& stream, PcmData& out);

} // namespace tsv
