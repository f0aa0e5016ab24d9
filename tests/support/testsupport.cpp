#include "support/testsupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace testsupport {

class LogCapture::Target : public tsv::LogTarget {
public:
    void Write(tsv::LogLevel level, int32_t indent, const std::string& section, const std::string& prefix,
               const std::string& text) override
    {
        lines.push_back({level, indent, section, prefix, text});
    }
    std::vector<LoggedLine> lines;
};

LogCapture::LogCapture() : m_target(new Target) { tsv::GetLog().AddTarget(m_target); }

LogCapture::~LogCapture() { tsv::GetLog().RemoveTarget(m_target); }

const std::vector<LoggedLine>& LogCapture::Lines() const { return static_cast<Target*>(m_target.Get())->lines; }

std::vector<std::string> LogCapture::Texts(tsv::LogLevel level) const
{
    std::vector<std::string> out;
    for (const LoggedLine& line : Lines()) {
        if (line.level == level) {
            out.push_back(line.text);
        }
    }
    return out;
}

std::vector<std::string> LogCapture::Texts() const
{
    std::vector<std::string> out;
    for (const LoggedLine& line : Lines()) {
        if (line.level != tsv::LogLevel::Section) {
            out.push_back(line.text);
        }
    }
    return out;
}

bool LogCapture::Contains(tsv::LogLevel level, const std::string& text) const
{
    const std::vector<std::string> texts = Texts(level);
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

int LogCapture::Count(tsv::LogLevel level, const std::string& fragment) const
{
    const std::vector<std::string> texts = Texts(level);
    return int(std::count_if(texts.begin(), texts.end(),
                             [&](const std::string& text) { return text.find(fragment) != text.npos; }));
}

void LogCapture::Clear() { static_cast<Target*>(m_target.Get())->lines.clear(); }

ScratchDir::ScratchDir()
{
    char templ[] = "/tmp/bshtest-XXXXXX";
    const char* made = mkdtemp(templ);
    m_path = std::string(made ? made : "/tmp") + "/";
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

bool HasDamagedCopy(const std::string& folder, const std::string& name)
{
    std::error_code missing;
    for (const auto& entry : std::filesystem::directory_iterator(folder, missing)) {
        if (entry.path().filename().string().rfind(name + ".damaged-", 0) == 0) {
            return true;
        }
    }
    return false;
}

int RunCommand(const std::string& command)
{
    int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

namespace {

std::string Shifted(const std::string& script, int64_t by)
{
    std::string shifted;
    std::istringstream in(script);
    for (std::string line; std::getline(in, line);) {
        long long at = 0;
        int used = 0;
        if (std::sscanf(line.c_str(), "at %lld %n", &at, &used) == 1 && used > 0) {
            line = "at " + std::to_string(at + by) + " " + line.substr(static_cast<size_t>(used));
        }
        shifted += line + "\n";
    }
    return shifted;
}

} // namespace

std::string PastTheLoader(const std::string& script) { return Shifted(script, kPastTheLoaderMs); }

std::string PastTheIntro(const std::string& script)
{
    // The loader ends at 2010 ms; each intro screen comes 500 ms into its
    // transition, and a key skips it at once.
    return "at 3600 key KEY_SPACE\nat 5200 key KEY_SPACE\n" + Shifted(script, kPastTheIntroMs);
}

namespace {

// The second tab-separated field of every line that starts with `kind`.
std::vector<std::string> UiNames(const std::string& listing, const std::string& kind)
{
    std::istringstream in(listing);
    std::vector<std::string> names;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(kind + "\t", 0) == 0) {
            const std::string rest = line.substr(kind.size() + 1);
            names.push_back(rest.substr(0, rest.find('\t')));
        }
    }
    return names;
}

} // namespace

std::string UiScreens(const std::string& listing)
{
    std::string joined;
    for (const std::string& name : UiNames(listing, "screen")) {
        joined += (joined.empty() ? "" : " ") + name;
    }
    return joined;
}

std::string UiFocus(const std::string& listing)
{
    const std::vector<std::string> names = UiNames(listing, "focus");
    return names.empty() ? std::string() : names.back();
}

} // namespace testsupport
