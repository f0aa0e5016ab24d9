#pragma once
// The five lines at the head of every log target: OS, computer, language,
// processor and memory. Gathered once per process.

#include <array>
#include <string>

namespace tsv {

class SystemReport {
public:
    static const SystemReport& Get();

    const std::array<std::string, 5>& Lines() const { return m_lines; }

    // Builders, exposed so they can be checked against fixed inputs.
    static std::string ProcessorLine(const std::string& cpuinfo);
    static std::string MemoryLine(const std::string& meminfo);
    static std::string OsLine(const std::string& osRelease, const std::string& sysname,
                              const std::string& release, const std::string& machine);

private:
    SystemReport();
    std::array<std::string, 5> m_lines;
};

} // namespace tsv
