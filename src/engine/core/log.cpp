#include "engine/core/log.h"

#include "engine/core/systemreport.h"
#include "engine/core/util/file/filestream.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tsv {

namespace {

const char* const kLevelWords[] = {"", "Hint: ", "Warning: ", "Error: ", "Fatal: "};
const char* const kLevelSpans[] = {
    "<span class=\"tsv\">",
    "<span class=\"hint\"><b>Hint:</b> ",
    "<span class=\"warning\"><b>Warning:</b> ",
    "<span class=\"error\"><b>Error:</b> ",
    "<span class=\"fatal\"><b>Fatal:</b> ",
};

// A level's row in the two tables above, Plain to Fatal.
size_t LevelRow(LogLevel level) { return static_cast<size_t>(level); }

const std::string kDashRule(68, '-');

const char* const kHtmlOpeningRule =
    "<span class=\"header\"><table width=\"100%\" border=\"0\" align=\"center\" cellpadding=\"0\" "
    "cellspacing=\"0\">\t<tr>\t\t<td height=\"8\" colspan=\"2\"></td>\t</tr>\t<tr bgcolor=\"#cdcdcd\">\t\t"
    "<td height=\"1\" colspan=\"2\"></td>\t</tr>\t<tr>\t\t<td height=\"3\" colspan=\"2\"></td>\t</tr></table>";
const char* const kHtmlClosingRule =
    "<table width=\"100%\" border=\"0\" align=\"center\" cellpadding=\"0\" cellspacing=\"0\">\t<tr>\t\t"
    "<td height=\"8\" colspan=\"2\"></td>\t</tr>\t<tr bgcolor=\"#cdcdcd\">\t\t<td height=\"1\" "
    "colspan=\"2\"></td>\t</tr>\t<tr>\t\t<td height=\"3\" colspan=\"2\"></td>\t</tr></table></span><p>";

std::time_t SystemClock() { return std::time(nullptr); }
LogTarget::ClockFn g_clock = &SystemClock;

std::string HtmlHead()
{
    struct Rule {
        const char* name;
        const char* colour;
    };
    static const Rule kRules[] = {
        {"tsv", "#666666"},     {"header", "#333333"},  {"date", "#009900"},
        {"hint", "#555555"},    {"warning", "#CC9900"}, {"error", "#CC0000"},
        {"fatal", "#FF0000"},   {"section", "#3333CC"}, {"sectprefix", "#330099"},
    };
    std::string head = "<html>\n\t<head>\n\t\t<title>HTML Log file</title>\n"
                       "\t\t<meta name=\"Author\" content=\"Tessvan engine\">\n"
                       "\t\t<style type=\"text/css\">\n\t\t<!--\n";
    for (const Rule& rule : kRules) {
        head += std::string("\t\t\t.") + rule.name + " {\n";
        head += "\t\t\t\tfont-family: Verdana, Arial, Helvetica, sans-serif;\n";
        head += "\t\t\t\tfont-size: 11px;\n";
        head += std::string("\t\t\t\tcolor: ") + rule.colour + ";\n";
        head += "\t\t\t}\n";
    }
    head += "\t\t-->\n\t\t</style>\n\t</head>\n\t<body bgcolor=white>\n\t\t<span class=\"tsv\">\n";
    return head;
}

std::string EscapeHtml(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        default: out += c; break;
        }
    }
    return out;
}

} // namespace

// ---- SystemError ----

SystemError::SystemError(int code) : m_code(code) {}

SystemError SystemError::Last() { return SystemError(errno); }

std::string SystemError::Description() const
{
    return std::string("WinAPI reports: ") + std::strerror(m_code);
}

// ---- LogTarget ----

void LogTarget::SetClock(ClockFn clock) { g_clock = clock ? clock : &SystemClock; }

std::string LogTarget::DateTimeStamp()
{
    std::time_t now = g_clock();
    std::tm tmNow{};
    localtime_r(&now, &tmNow);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d/%02d/%02d %02d:%02d:%02d", tmNow.tm_mon + 1, tmNow.tm_mday,
                  tmNow.tm_year % 100, tmNow.tm_hour, tmNow.tm_min, tmNow.tm_sec);
    return buffer;
}

std::string LogTarget::Format(LogLevel level, int32_t indent, const std::string& sectionName,
                              const std::string& sectionPrefix, const std::string& text)
{
    std::string line = DateTimeStamp() + ": ";
    line.append(static_cast<size_t>(indent > 0 ? indent * 2 : 0), ' ');
    if (level == Section) {
        line += "[ " + sectionName + " ]";
    } else {
        line += sectionPrefix;
        if (!sectionPrefix.empty()) {
            line += ": ";
        }
        if (level >= Plain && level <= Fatal) {
            line += kLevelWords[LevelRow(level)];
        }
        line += text;
    }
    line += "\n";
    return line;
}

// ---- DebuggerLogTarget ----

DebuggerLogTarget::DebuggerLogTarget()
{
    WriteSection(kDashRule);
    for (const std::string& line : SystemReport::Get().Lines()) {
        WriteSection(line);
    }
    WriteSection("Log target created (system debugger)");
    WriteSection(kFrameworkVersionLine);
    WriteSection(kDashRule);
}

DebuggerLogTarget::~DebuggerLogTarget()
{
    WriteSection(kDashRule);
    WriteSection("Log target closed");
    WriteSection(kDashRule);
}

void DebuggerLogTarget::Write(LogLevel level, int32_t indent, const std::string& sectionName,
                              const std::string& sectionPrefix, const std::string& text)
{
    std::string line = Format(level, indent, sectionName, sectionPrefix, text);
    std::fwrite(line.data(), 1, line.size(), stderr);
}

// ---- FileLogTarget ----

FileLogTarget::FileLogTarget(const std::string& path, const std::string& head) : m_path(path)
{
    FileStream file(m_path, FileMode::Write);
    if (!head.empty()) {
        file.Write(head.data(), static_cast<int32_t>(head.size()));
    }
}

// ---- HtmlLogTarget ----

HtmlLogTarget::HtmlLogTarget(const std::string& path) : FileLogTarget(path, HtmlHead())
{
    WriteSection(kHtmlOpeningRule);
    for (const std::string& line : SystemReport::Get().Lines()) {
        WriteSection(line);
    }
    WriteSection("Log target created (HTML file). Filename: " + GetPath());
    WriteSection(kFrameworkVersionLine);
    WriteSection(kHtmlClosingRule);
}

HtmlLogTarget::~HtmlLogTarget()
{
    WriteSection(kDashRule);
    WriteSection("Log target closed");
    WriteSection(kDashRule);
    Append("\t\t</span>\n\t</body>\n</html>");
}

void FileLogTarget::Append(const std::string& bytes)
{
    // Straight to the file, never through the log: a target must not log
    // (the log may be writing through it, or going away at the program's
    // end). A log file that cannot be opened, or is no regular file (a pipe
    // would block), is skipped in silence.
    if (m_writing) {
        return;
    }
    m_writing = true;
    const int fd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NONBLOCK);
    struct stat info {};
    if (fd >= 0 && ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR) {
                continue;
            }
            if (wrote <= 0) {
                break;
            }
            done += static_cast<size_t>(wrote);
        }
    }
    if (fd >= 0) {
        ::close(fd);
    }
    m_writing = false;
}

void HtmlLogTarget::Write(LogLevel level, int32_t indent, const std::string& sectionName,
                          const std::string& sectionPrefix, const std::string& text)
{
    Append(Format(level, indent, sectionName, sectionPrefix, text));
}

// ---- TextLogTarget ----

TextLogTarget::TextLogTarget(const std::string& path, std::string section)
    : FileLogTarget(path, {}), m_section(std::move(section))
{
}

void TextLogTarget::Write(LogLevel level, int32_t indent, const std::string& sectionName,
                          const std::string& sectionPrefix, const std::string& text)
{
    if (m_section.empty() || (sectionName == m_section && level != Section)) {
        Append(LogTarget::Format(level, indent, sectionName, sectionPrefix, text));
    }
}

std::string HtmlLogTarget::Format(LogLevel level, int32_t indent, const std::string& sectionName,
                                  const std::string& sectionPrefix, const std::string& text)
{
    std::string line = "<table width=\"100%\" height=10 cellspacing=0 cellpadding=0 border=0><tr>"
                       "<td width=120><span class=\"date\">";
    line += DateTimeStamp();
    line += ": </span></td>";
    for (int32_t i = 0; i < indent; ++i) {
        line += "<td width=20>&nbsp;</td>";
    }
    line += "<td>";
    if (level == Section) {
        line += "<span class=\"section\">" + sectionName + "</span>";
    } else {
        line += "<span class=\"sectprefix\">" + sectionPrefix + "</span>";
        if (!sectionPrefix.empty()) {
            line += ": ";
        }
        if (level >= Plain && level <= Fatal) {
            line += kLevelSpans[LevelRow(level)];
        }
        line += EscapeHtml(text);
        line += "</span>";
    }
    line += "</td></tr></table>\n";
    return line;
}

// ---- Log ----

Log::Log() { m_sections.push_back({"Main", "", false}); }

Log::~Log() = default;

Log& Log::operator<<(LogLevel level)
{
    m_level = level;
    return *this;
}

Log& Log::operator<<(const char* text)
{
    if (text) {
        m_line += text;
    }
    return *this;
}

Log& Log::operator<<(const std::string& text)
{
    m_line += text;
    return *this;
}

Log& Log::operator<<(int value) { return *this << static_cast<long long>(value); }
Log& Log::operator<<(long value) { return *this << static_cast<long long>(value); }
Log& Log::operator<<(long long value)
{
    m_line += std::to_string(value);
    return *this;
}
Log& Log::operator<<(unsigned value) { return *this << static_cast<unsigned long long>(value); }
Log& Log::operator<<(unsigned long value) { return *this << static_cast<unsigned long long>(value); }
Log& Log::operator<<(unsigned long long value)
{
    m_line += std::to_string(value);
    return *this;
}

Log& Log::operator<<(float value) { return *this << static_cast<double>(value); }
Log& Log::operator<<(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%f", value);
    m_line += buffer;
    return *this;
}

Log& Log::operator<<(const SystemError& error)
{
    if (!m_line.empty()) {
        *this << EndL;
    }
    Dispatch(error.Level(), "{" + error.Description() + "}");
    return *this;
}

Log& Log::operator<<(LogEndToken)
{
    std::string line;
    line.swap(m_line);
    Dispatch(m_level, line);
    return *this;
}

void Log::Dispatch(LogLevel level, const std::string& text)
{
    static const std::string kEmpty;
    if (!m_sections.empty() && !m_sections.back().headerWritten) {
        m_sections.back().headerWritten = true;
        Dispatch(Section, "");
    }
    const std::string& name = m_sections.empty() ? kEmpty : m_sections.back().name;
    const std::string& prefix = m_sections.empty() ? kEmpty : m_sections.back().prefix;
    // A target may log while writing (a failed open); iterate over a copy.
    std::vector<IntrusivePtr<LogTarget>> targets = m_targets;
    for (const auto& target : targets) {
        target->Write(level, m_indent, name, prefix, text);
    }
}

void Log::RemoveTarget(const IntrusivePtr<LogTarget>& target)
{
    m_targets.erase(std::remove(m_targets.begin(), m_targets.end(), target), m_targets.end());
}

void Log::PushSection(const std::string& name, const std::string& prefix)
{
    m_sections.push_back({name, prefix, false});
}

void Log::PopSection()
{
    if (!m_sections.empty()) {
        m_sections.pop_back();
    }
}

void Log::Indent(int32_t delta)
{
    m_indent += delta;
    if (m_indent < 0) {
        m_indent = 0;
    }
}

Log& GetLog()
{
    // Created on first use and never destroyed before the objects that log at exit.
    static IntrusivePtr<Log> s_log(new Log);
    return *s_log;
}

// ---- LogSectionScope ----

LogSectionScope::LogSectionScope(Log& log, const std::string& name, const std::string& prefix, bool indents)
    : m_log(log), m_indents(indents)
{
    if (m_indents) {
        m_log.Indent(1);
    }
    m_log.PushSection(name, prefix);
}

LogSectionScope::~LogSectionScope()
{
    if (m_indents) {
        m_log.Indent(-1);
    }
    m_log.PopSection();
}

} // namespace tsv
