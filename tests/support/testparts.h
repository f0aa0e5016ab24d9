#pragma once
// A suite's own parts over the engine's: each maker runs once, in the order
// added, after the test environment built the engine; what it returns lives
// until the environment's end and goes in the reverse order.

#include <functional>
#include <memory>
#include <vector>

namespace testsupport {

using PartsMaker = std::function<std::shared_ptr<void>()>;
std::vector<PartsMaker>& SuiteParts();

} // namespace testsupport
