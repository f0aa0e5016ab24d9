// Node files the generator writes, for the tool and its test.
#pragma once

#include <string>
#include <vector>

namespace assetgen {

// Fragment styles listed in "/object/styles.xml" besides the colours 1..8;
// each has its file "/object/fragment/<name>.xml".
const std::vector<std::string>& FragmentStyleNames();

}  // namespace assetgen
