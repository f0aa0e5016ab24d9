#include "engine/core/log.h"
#include "engine/core/systemreport.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

using namespace tsv;
using testsupport::ReadFile;
using testsupport::ScratchDir;

namespace {

// 2007-10-08 14:05:09 UTC
std::time_t FixedClock() { return 1191852309; }

class LogFormatTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
        LogTarget::SetClock(&FixedClock);
    }
    void TearDown() override { LogTarget::SetClock(nullptr); }
};

// A target that keeps formatted plain lines.
class PlainTarget : public LogTarget {
public:
    void Write(LogLevel level, int32_t indent, const std::string& name, const std::string& prefix,
               const std::string& text) override
    {
        out += Format(level, indent, name, prefix, text);
    }
    std::string out;
};

} // namespace

TEST_F(LogFormatTest, PlainLinesCarryStampIndentPrefixAndLevelWord)
{
    PlainTarget target;
    EXPECT_EQ(target.Format(LogLevel::Hint, 0, "Main", "", "hello"), "10/08/07 14:05:09: Hint: hello\n");
    EXPECT_EQ(target.Format(LogLevel::Warning, 2, "Main", "gui", "x"), "10/08/07 14:05:09:     gui: Warning: x\n");
    EXPECT_EQ(target.Format(LogLevel::Section, 1, "Main", "ignored", "ignored"), "10/08/07 14:05:09:   [ Main ]\n");
    EXPECT_EQ(target.Format(LogLevel::Plain, 0, "Main", "", "plain"), "10/08/07 14:05:09: plain\n");
}

TEST_F(LogFormatTest, HtmlLinesEscapeTextButNotSectionNames)
{
    ScratchDir dir;
    HtmlLogTarget target(dir.Path() + "log.html");
    const std::string stamp = "<table width=\"100%\" height=10 cellspacing=0 cellpadding=0 border=0><tr><td "
                              "width=120><span class=\"date\">10/08/07 14:05:09: </span></td>";
    EXPECT_EQ(target.Format(LogLevel::Hint, 0, "Main", "", "a<b>&c"),
              stamp + "<td><span class=\"sectprefix\"></span><span class=\"hint\"><b>Hint:</b> a&lt;b&gt;&amp;c</span>"
                      "</td></tr></table>\n");
    EXPECT_EQ(target.Format(LogLevel::Error, 2, "Main", "pre", "e"),
              stamp + "<td width=20>&nbsp;</td><td width=20>&nbsp;</td><td><span class=\"sectprefix\">pre</span>: "
                      "<span class=\"error\"><b>Error:</b> e</span></td></tr></table>\n");
    EXPECT_EQ(target.Format(LogLevel::Section, 0, "<b>&", "", ""),
              stamp + "<td><span class=\"section\"><b>&</span></td></tr></table>\n");
}

TEST_F(LogFormatTest, HtmlFileHasHeadSectionsAndTail)
{
    ScratchDir dir;
    const std::string path = dir.Path() + "log.html";
    {
        IntrusivePtr<HtmlLogTarget> target(new HtmlLogTarget(path));
        target->Write(LogLevel::Hint, 0, "Main", "", "one");
    }
    std::string text = ReadFile(path);
    const std::string head =
        "<html>\n\t<head>\n\t\t<title>HTML Log file</title>\n\t\t<meta name=\"Author\" content=\"Tessvan engine\">\n"
        "\t\t<style type=\"text/css\">\n\t\t<!--\n\t\t\t.tsv {\n\t\t\t\tfont-family: Verdana, Arial, Helvetica, "
        "sans-serif;\n\t\t\t\tfont-size: 11px;\n\t\t\t\tcolor: #666666;\n\t\t\t}\n";
    ASSERT_EQ(text.substr(0, head.size()), head);
    EXPECT_NE(text.find("\t\t\t.sectprefix {\n\t\t\t\tfont-family: Verdana, Arial, Helvetica, sans-serif;\n\t\t\t\t"
                        "font-size: 11px;\n\t\t\t\tcolor: #330099;\n\t\t\t}\n\t\t-->\n\t\t</style>\n\t</head>\n\t<body "
                        "bgcolor=white>\n\t\t<span class=\"tsv\">\n<table"),
              std::string::npos);
    // Nine style rules of five lines each.
    size_t rules = 0;
    for (size_t at = text.find("font-size: 11px;"); at != std::string::npos; at = text.find("font-size: 11px;", at + 1)) {
        ++rules;
    }
    EXPECT_EQ(rules, 9u);
    // The system report opens the file in a header table of its own, closed before the first line.
    const size_t opening = text.find("<span class=\"section\"><span class=\"header\"><table");
    const size_t os = text.find("<span class=\"section\">" + SystemReport::Get().Lines()[0] + "</span>");
    const size_t closingRule = text.find("</tr></table></span><p></span>");
    const size_t one = text.find("<b>Hint:</b> one</span>");
    const size_t closed = text.find("<span class=\"section\">Log target closed</span>");
    EXPECT_LT(opening, os);
    EXPECT_LT(os, closingRule);
    EXPECT_LT(closingRule, one);
    EXPECT_LT(one, closed);
    EXPECT_NE(closed, std::string::npos);
    const std::string tail = "</td></tr></table>\n\t\t</span>\n\t</body>\n</html>";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(LogFormatTest, TextFileStartsAfreshAndKeepsToItsSection)
{
    ScratchDir dir;
    const std::string stamp = "10/08/07 14:05:09: ";
    testsupport::WriteFile(dir.Path() + "one.txt", "the last run's lines\n");
    testsupport::WriteFile(dir.Path() + "all.txt", "the last run's lines\n");
    Log log;
    IntrusivePtr<TextLogTarget> one(new TextLogTarget(dir.Path() + "one.txt", "Device"));
    IntrusivePtr<TextLogTarget> all(new TextLogTarget(dir.Path() + "all.txt"));
    log.AddTarget(one);
    log.AddTarget(all);
    EXPECT_EQ(ReadFile(dir.Path() + "one.txt"), "");

    log << Hint << "before" << EndL;
    {
        LogSectionScope device(log, "Device", "", true);
        log << Error << "failed: no device" << EndL;
    }
    {
        LogSectionScope other(log, "Devices", "", false);
        log << Hint << "another section" << EndL;
    }
    log << "after" << EndL;
    // One section's file holds its lines, as the plain target writes them, and not its header.
    EXPECT_EQ(ReadFile(dir.Path() + "one.txt"), stamp + "  Error: failed: no device\n");
    EXPECT_EQ(ReadFile(dir.Path() + "all.txt"), stamp + "[ Main ]\n" + stamp + "Hint: before\n" + stamp +
                                                    "  [ Device ]\n" + stamp + "  Error: failed: no device\n" +
                                                    stamp + "[ Devices ]\n" + stamp + "Hint: another section\n" +
                                                    stamp + "Hint: after\n");
}

TEST_F(LogFormatTest, LogDispatchesSectionHeadersLevelsAndSystemErrors)
{
    Log log;
    IntrusivePtr<PlainTarget> target(new PlainTarget);
    log.AddTarget(target);
    const std::string stamp = "10/08/07 14:05:09: ";

    {
        // A scope with no message writes nothing.
        LogSectionScope quiet(log, "Quiet", "", true);
    }
    EXPECT_EQ(target->out, "");

    log << Error << "first" << EndL;
    log << "second " << 42 << " " << 1.5f << EndL; // level carries over
    EXPECT_EQ(target->out, stamp + "[ Main ]\n" + stamp + "Error: first\n" + stamp + "Error: second 42 1.500000\n");

    target->out.clear();
    {
        LogSectionScope outer(log, "Outer", "", true);
        LogSectionScope inner(log, "Inner", "in", true);
        log << Hint << "deep" << EndL;
    }
    // Only the innermost section writes its header; indents stack.
    EXPECT_EQ(target->out, stamp + "    [ Inner ]\n" + stamp + "    in: Hint: deep\n");

    target->out.clear();
    log << Warning << "pending" << SystemError(2);
    EXPECT_EQ(target->out, stamp + "Warning: pending\n" + stamp + "Error: {WinAPI reports: No such file or directory}\n");
    target->out.clear();
    log << SystemError(13);
    EXPECT_EQ(target->out, stamp + "Error: {WinAPI reports: Permission denied}\n");
}

TEST(SystemReportTest, LinesFollowTheirFormats)
{
    EXPECT_EQ(SystemReport::ProcessorLine("vendor_id\t: GenuineX\nmodel name\t: Fast CPU\ncpu MHz\t\t: 2999.6\n"),
              "GenuineX, Fast CPU, ~3000 Mhz");
    EXPECT_EQ(SystemReport::ProcessorLine(""), ", , ~0 Mhz");
    EXPECT_EQ(SystemReport::MemoryLine("MemTotal: 2097152 kB\nMemAvailable: 1048576 kB\nCommitLimit: 3145728 kB\n"
                                       "Committed_AS: 1048576 kB\n"),
              "physical 2048.0 mb (available 1024.0 mb), virtual 3072.0 mb (available 2048.0 mb)");
    EXPECT_EQ(SystemReport::OsLine("NAME=x\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\n", "Linux", "6.1", "x86_64"),
              "Debian GNU/Linux 12 (bookworm) (Linux 6.1 x86_64)");
    const auto& lines = SystemReport::Get().Lines();
    EXPECT_EQ(lines[0].rfind("OS: ", 0), 0u);
    EXPECT_EQ(lines[1].rfind("Computer: ", 0), 0u);
    EXPECT_EQ(lines[2].rfind("Language: ", 0), 0u);
    EXPECT_EQ(lines[3].rfind("Processor: ", 0), 0u);
    EXPECT_EQ(lines[4].rfind("Memory status: physical ", 0), 0u);
}
