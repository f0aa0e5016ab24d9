// Every input that ever made a fuzz target fail, and a few inputs of each
// target's corpus, are kept in tests/fuzz/regressions/<target>/ and read
// again here through the same target, under the suite's sanitizers. Every
// target has such a folder: one without inputs fails.
#include "fuzz/fuzztarget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <vector>

namespace bsh::fuzz {

namespace {

std::map<std::string, TargetFunction>& Targets()
{
    static std::map<std::string, TargetFunction> targets;
    return targets;
}

std::vector<std::string> TargetNames()
{
    std::vector<std::string> names;
    for (const auto& [name, function] : Targets()) {
        names.push_back(name);
    }
    return names;
}

class FuzzRegressionTest : public ::testing::TestWithParam<std::string> {};

TEST_P(FuzzRegressionTest, KeptInputsReadWithoutFault)
{
    const std::filesystem::path folder = std::filesystem::path(BSH_SOURCE_DIR) / "tests/fuzz/regressions" / GetParam();
    std::vector<std::filesystem::path> inputs;
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
        if (entry.is_regular_file()) {
            inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    // A reader without kept inputs would pass having read nothing.
    ASSERT_FALSE(inputs.empty()) << "no kept inputs in " << folder.string()
                                 << ": keep the target's crashers and a few inputs of its corpus there";
    for (const auto& input : inputs) {
        SCOPED_TRACE(input.string());
        std::ifstream file(input, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        EXPECT_EQ(Targets().at(GetParam())(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzRegressionTest, ::testing::ValuesIn(TargetNames()),
                         [](const ::testing::TestParamInfo<std::string>& target) { return target.param; });

} // namespace

bool RegisterTarget(const char* name, TargetFunction function)
{
    Targets()[name] = function;
    return true;
}

} // namespace bsh::fuzz
