// Sound files the generator writes, for the tool and its test.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

// A play-once playlist of variants "<dir><stem>1.wav" ... "<dir><stem>N.wav".
struct SoundGroup {
  std::string playlist;
  std::string dir;
  std::string stem;
  int variants;
};
const std::vector<SoundGroup>& SoundGroups();
// Resource paths of every music track (Ogg Vorbis), menu tracks first.
std::vector<std::string> MusicTrackPaths();
// The loop of one track before encoding, left and right channel.
void RenderMusicTrack(size_t index, std::vector<float>& left, std::vector<float>& right);

}  // namespace assetgen
