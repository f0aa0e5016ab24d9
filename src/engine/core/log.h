#pragma once
// The diagnostic log: one-line messages at a level, stamped, indented and handed
// to every target. Compose a line like a stream:
//     GetLog() << Error << "Failed to open file \"" << path << "\"." << EndL;

#include "engine/core/intrusiveptr.h"

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tsv {

enum class LogLevel : int32_t {
    Section = -1, // a section's header line
    Plain = 0,
    Hint = 1,
    Warning = 2,
    Error = 3,
    Fatal = 4,
};
// The levels are the log's manipulators: GetLog() << Error << "..." << EndL.
using enum LogLevel;

struct LogEndToken {};
inline constexpr LogEndToken EndL{};

// An operating-system failure; the description carries the system's own text for errno.
class SystemError {
public:
    explicit SystemError(int code);
    static SystemError Last();
    virtual ~SystemError() = default;
    virtual LogLevel Level() const { return Error; }
    virtual std::string Description() const;
    int Code() const { return m_code; }

private:
    int m_code;
};

class LogTarget : public RefCounted {
public:
    virtual void Write(LogLevel level, int32_t indent, const std::string& sectionName,
                       const std::string& sectionPrefix, const std::string& text) = 0;
    virtual std::string Format(LogLevel level, int32_t indent, const std::string& sectionName,
                               const std::string& sectionPrefix, const std::string& text);

    // Writes a section line (indent 0) with the given name.
    void WriteSection(const std::string& name) { Write(Section, 0, name, "", ""); }

    // The clock used for the stamp of every line; tests may replace it.
    using ClockFn = std::time_t (*)();
    static void SetClock(ClockFn clock);

protected:
    static std::string DateTimeStamp();
};

// Writes each line to standard error (the system debugger of this platform).
class DebuggerLogTarget : public LogTarget {
public:
    DebuggerLogTarget();
    ~DebuggerLogTarget() override;
    void Write(LogLevel level, int32_t indent, const std::string& sectionName,
               const std::string& sectionPrefix, const std::string& text) override;
};

// A target that writes to a file it empties when created, reopening and
// closing it per line so the log survives a crash.
class FileLogTarget : public LogTarget {
public:
    const std::string& GetPath() const { return m_path; }

protected:
    // Starts the file afresh with `head`.
    FileLogTarget(const std::string& path, const std::string& head);
    void Append(const std::string& bytes);

private:
    std::string m_path;
    bool m_writing = false;
};

// Appends each line to an HTML file.
class HtmlLogTarget : public FileLogTarget {
public:
    explicit HtmlLogTarget(const std::string& path);
    ~HtmlLogTarget() override;
    void Write(LogLevel level, int32_t indent, const std::string& sectionName,
               const std::string& sectionPrefix, const std::string& text) override;
    std::string Format(LogLevel level, int32_t indent, const std::string& sectionName,
                       const std::string& sectionPrefix, const std::string& text) override;
};

// Appends each line to a plain-text file, as the debugger target writes it:
// every line, or only those of one section (`section` not empty), whose own
// headers are then left out as saying nothing the file does not.
class TextLogTarget : public FileLogTarget {
public:
    explicit TextLogTarget(const std::string& path, std::string section = {});
    void Write(LogLevel level, int32_t indent, const std::string& sectionName,
               const std::string& sectionPrefix, const std::string& text) override;

private:
    std::string m_section;
};

struct LogSection {
    std::string name;
    std::string prefix;
    bool headerWritten = false;
};

class Log : public RefCounted {
public:
    Log();
    ~Log() override;

    void AddTarget(const IntrusivePtr<LogTarget>& target) { m_targets.push_back(target); }
    void RemoveTarget(const IntrusivePtr<LogTarget>& target);
    void RemoveAllTargets() { m_targets.clear(); }
    size_t TargetCount() const { return m_targets.size(); }

    Log& operator<<(LogLevel level);
    Log& operator<<(const char* text);
    Log& operator<<(const std::string& text);
    Log& operator<<(int value);
    Log& operator<<(unsigned value);
    Log& operator<<(long value);
    Log& operator<<(long long value);
    Log& operator<<(unsigned long value);
    Log& operator<<(unsigned long long value);
    Log& operator<<(float value);
    Log& operator<<(double value);
    Log& operator<<(const SystemError& error);
    Log& operator<<(LogEndToken);

    void PushSection(const std::string& name, const std::string& prefix);
    void PopSection();
    void Indent(int32_t delta);
    int32_t GetIndent() const { return m_indent; }

private:
    void Dispatch(LogLevel level, const std::string& text);

    std::vector<IntrusivePtr<LogTarget>> m_targets;
    std::vector<LogSection> m_sections;
    std::string m_line;
    LogLevel m_level = Plain;
    int32_t m_indent = 0;
};

// The process-wide log, created on first use.
Log& GetLog();

// Groups the messages written while it lives under a section, optionally indented.
class LogSectionScope {
public:
    LogSectionScope(Log& log, const std::string& name, const std::string& prefix, bool indents);
    ~LogSectionScope();
    LogSectionScope(const LogSectionScope&) = delete;
    LogSectionScope& operator=(const LogSectionScope&) = delete;

private:
    Log& m_log;
    bool m_indents;
};

// The engine's version line, written at the head of every log target.
inline constexpr const char* kFrameworkVersionLine = "Framework version: 2.0.0-solace compiled at Oct  8 2007";

} // namespace tsv
