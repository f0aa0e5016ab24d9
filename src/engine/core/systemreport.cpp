#include "engine/core/systemreport.h"

#include "engine/core/textformat.h"

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/utsname.h>
#include <unistd.h>

namespace tsv {

namespace {

std::string ReadWholeFile(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Value of the first "key : value" line (cpuinfo) or "key=value" line (os-release).
std::string FieldOf(const std::string& text, const std::string& key, char sep)
{
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        size_t at = line.find(sep);
        if (at == std::string::npos) {
            continue;
        }
        if (Trim(line.substr(0, at)) == key) {
            std::string value = Trim(line.substr(at + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
                value = value.substr(1, value.size() - 2);
            }
            return value;
        }
    }
    return {};
}

std::string LanguageName()
{
    // The system default locale, without the user's own overrides of single categories.
    const char* names[] = {"LANG", "LC_ALL"};
    for (const char* name : names) {
        const char* value = std::getenv(name);
        if (value && *value) {
            return value;
        }
    }
    return "C";
}

} // namespace

std::string SystemReport::ProcessorLine(const std::string& cpuinfo)
{
    std::string vendor = FieldOf(cpuinfo, "vendor_id", ':');
    std::string model = FieldOf(cpuinfo, "model name", ':');
    std::string mhz = FieldOf(cpuinfo, "cpu MHz", ':');
    long mhzValue = mhz.empty() ? 0 : std::lround(std::atof(mhz.c_str()));
    return vendor + ", " + model + ", ~" + std::to_string(mhzValue) + " Mhz";
}

std::string SystemReport::MemoryLine(const std::string& meminfo)
{
    auto kib = [&](const char* key) {
        std::string v = FieldOf(meminfo, key, ':');
        return std::strtoull(v.c_str(), nullptr, 10);
    };
    const double mb = 1.0 / 1024.0; // kB to MB
    char buffer[200];
    std::snprintf(buffer, sizeof buffer,
                  "physical %.1f mb (available %.1f mb), virtual %.1f mb (available %.1f mb)",
                  static_cast<double>(kib("MemTotal")) * mb, static_cast<double>(kib("MemAvailable")) * mb,
                  static_cast<double>(kib("CommitLimit")) * mb,
                  static_cast<double>(kib("CommitLimit") - std::min(kib("CommitLimit"), kib("Committed_AS"))) * mb);
    return buffer;
}

std::string SystemReport::OsLine(const std::string& osRelease, const std::string& sysname,
                                 const std::string& release, const std::string& machine)
{
    std::string pretty = FieldOf(osRelease, "PRETTY_NAME", '=');
    std::string line = pretty.empty() ? (sysname.empty() ? std::string("Unknown") : sysname) : pretty;
    if (!sysname.empty()) {
        line += " (" + sysname + " " + release + (machine.empty() ? "" : " " + machine) + ")";
    }
    return line;
}

SystemReport::SystemReport()
{
    utsname uts{};
    std::string sysname, release, machine, node;
    if (uname(&uts) == 0) {
        sysname = uts.sysname;
        release = uts.release;
        machine = uts.machine;
        node = uts.nodename;
    }
    char host[256] = {};
    if (gethostname(host, sizeof host - 1) == 0) {
        node = host;
    }
    m_lines[0] = "OS: " + OsLine(ReadWholeFile("/etc/os-release"), sysname, release, machine);
    m_lines[1] = "Computer: " + node;
    m_lines[2] = "Language: " + LanguageName();
    m_lines[3] = "Processor: " + ProcessorLine(ReadWholeFile("/proc/cpuinfo"));
    m_lines[4] = "Memory status: " + MemoryLine(ReadWholeFile("/proc/meminfo"));
}

const SystemReport& SystemReport::Get()
{
    static const SystemReport s_report;
    return s_report;
}

} // namespace tsv
