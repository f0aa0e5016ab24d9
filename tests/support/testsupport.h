#pragma once
// Helpers shared by the tests: a log target that records lines, scratch folders
// and whole-file reads.

#include "engine/core/log.h"

#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

struct LoggedLine {
    tsv::LogLevel level;
    int indent;
    std::string section;
    std::string prefix;
    std::string text;
};

// Records every line written to the global log while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    const std::vector<LoggedLine>& Lines() const;
    // Texts of the lines at `level` (section headers have level -1); without
    // a level, of every line but the section headers, in order.
    std::vector<std::string> Texts(tsv::LogLevel level) const;
    std::vector<std::string> Texts() const;
    // Whether a line at `level` reads `text` exactly.
    bool Contains(tsv::LogLevel level, const std::string& text) const;
    // How many lines at `level` hold `fragment`.
    int Count(tsv::LogLevel level, const std::string& fragment) const;
    bool Has(tsv::LogLevel level, const std::string& fragment) const { return Count(level, fragment) > 0; }
    void Clear();

private:
    class Target;
    tsv::IntrusivePtr<tsv::LogTarget> m_target;
};

// A fresh empty folder under /tmp, removed when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    const std::string& Path() const { return m_path; } // ends with "/"

private:
    std::string m_path;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// Whether `folder` holds a copy of `name` the game moved aside as damaged.
bool HasDamagedCopy(const std::string& folder, const std::string& name);

// Runs a command through the shell; returns its exit status (or -1).
int RunCommand(const std::string& command);

// From a script's `ui` listing: the screens' names, oldest first, space
// separated, and the name on the last "focus" line ("" when none shows).
std::string UiScreens(const std::string& listing);
std::string UiFocus(const std::string& listing);

// A script for a first start (--fixed-step 10, no profile yet): the loader
// runs, both intro screens are skipped, and `script`'s commands follow with
// their times counted from kPastTheIntroMs, when the first menu screen is in
// view.
inline constexpr int64_t kPastTheIntroMs = 5500;
std::string PastTheIntro(const std::string& script);
// A returning player's start (a profile on disk): no intro; the times count
// from kPastTheLoaderMs, when the main menu is in view.
inline constexpr int64_t kPastTheLoaderMs = 2700;
std::string PastTheLoader(const std::string& script);

} // namespace testsupport
