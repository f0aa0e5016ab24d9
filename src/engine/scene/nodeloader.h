#pragma once
// Node description files: an XML file whose root "node" element sets the
// properties of one SceneNode and describes its children, sprite, animation,
// keyframes, motion, emitter and trail. Elements apply in document order.

#include "engine/core/util/xml/xmlelement.h"
#include "engine/scene/scenenode.h"

#include <string>

namespace tsv {

// Null (with an Error in the log) when the file cannot be read or its root is not "node".
SceneNodePtr LoadNodeFile(const std::string& path, const SceneNodePtr& target);
// Builds into `target` (or a new node) from a "node" element; `path` names the
// file in messages.
SceneNodePtr ParseNode(const XMLElement& element, const SceneNodePtr& target, const std::string& path);

// Reads a mesh description file (root "mesh") into `mesh`; false, logged, when
// the file cannot be read.
bool LoadMeshFile(const std::string& path, Mesh& mesh);

// "0x" hexadecimal, leading-0 octal or decimal, read as ARGB.
uint32_t ParseColor(const std::string& text);

} // namespace tsv
