// Ogg Vorbis sound files: opened, decoded whole as sounds are, and rewound
// as music is when it loops.
#include "fuzz/fuzztarget.h"

#include "engine/sound/openal/decoder.h"

BSH_FUZZ_TARGET(ogg)
{
    const std::string path = bsh::fuzz::WriteInput("sound.ogg", data, size);
    tsv::OggStream stream;
    if (tsv::DetectSoundFile(path) == tsv::SoundFileKind::Ogg && stream.Open(path)) {
        tsv::PcmData pcm;
        tsv::DecodeOgg(stream, pcm);
        if (stream.Rewind()) {
            int16_t frames[512];
            stream.Read(frames, 256);
        }
    }
}
