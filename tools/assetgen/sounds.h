// Sound files the generator writes, for the tool and its test.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

// A play-once playlist of variants "<dir><stem>1.wav" ... "<dir><stem>N.wav".
struct SoundGroupSpec {
  std::string playlist;
  std::string dir;
  std::string stem;
  int variants;
};
const std::vector<SoundGroupSpec>& SoundGroups();
// Resource paths of every music track (Ogg Vorbis), menu tracks first.
std::vector<std::string> MusicTrackPaths();

}  // namespace assetgen
