#pragma once
// The viewer for content authors: shows one node file in an otherwise empty
// scene, firing it again every few seconds when it is an emitter.

#include <string>

namespace tsv {

// Builds the node file at `path` (a resource path) and attaches it at the
// world origin on the "game" timer. False when the file cannot be built.
bool StartSceneViewer(const std::string& path);

} // namespace tsv
