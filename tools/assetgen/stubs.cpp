#include "registry.h"
namespace assetgen {
void GenerateNodes(Output&) {}
}
