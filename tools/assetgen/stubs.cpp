#include "registry.h"
namespace assetgen {
void GenerateSounds(Output&) {}
void GenerateMusic(Output&) {}
void GenerateNodes(Output&) {}
}
