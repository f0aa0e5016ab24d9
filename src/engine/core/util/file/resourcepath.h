#pragma once

#include <string>

namespace tsv {

// A path beginning with "/" or "\" lies under the data folder ("/gui/x.xml" is
// "data/gui/x.xml"), unless it is an absolute path of the file system such as the
// storage folder; every "\" becomes "/".
std::string ResolveResourcePath(const std::string& path);

// One spelling for each file: "\\" as "/", no empty or "." components, and
// "x/.." taken away ("/object/./a//b/../c.xml" is "/object/a/c.xml"). A
// leading "/" stays; ".." never climbs above the start.
std::string NormaliseResourcePath(const std::string& path);

} // namespace tsv
