#include "registry.h"
namespace assetgen {
void GenerateFonts(Output&) {}
void GenerateSounds(Output&) {}
void GenerateMusic(Output&) {}
void GenerateNodes(Output&) {}
}
