// WAV sound files, told apart by their first bytes as the sound manager does.
#include "fuzz/fuzztarget.h"

#include "engine/sound/openal/decoder.h"

BSH_FUZZ_TARGET(wav)
{
    const std::string path = bsh::fuzz::WriteInput("sound.wav", data, size);
    if (tsv::DetectSoundFile(path) == tsv::SoundFileKind::Wav) {
        tsv::PcmData pcm;
        tsv::DecodeWav(path, pcm);
    }
}
