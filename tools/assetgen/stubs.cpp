#include "registry.h"
namespace assetgen {
void GeneratePlayfield(Output&) {}
void GenerateEffects(Output&) {}
void GenerateGui(Output&) {}
void GenerateTreasures(Output&) {}
void GenerateMap(Output&) {}
void GenerateBackgrounds(Output&) {}
void GenerateFonts(Output&) {}
void GenerateSounds(Output&) {}
void GenerateMusic(Output&) {}
void GenerateNodes(Output&) {}
}
