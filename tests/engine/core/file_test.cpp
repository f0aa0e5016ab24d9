#include "engine/core/util/file/directory.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/file/textconvert.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sys/stat.h>

using namespace tsv;
using testsupport::LogCapture;
using testsupport::ReadFile;
using testsupport::ScratchDir;
using testsupport::WriteFile;

TEST(ResourcePathTest, DataPathsAndSeparators)
{
    EXPECT_EQ(ResolveResourcePath(""), "");
    EXPECT_EQ(ResolveResourcePath("/sound/x.wav"), "data/sound/x.wav");
    EXPECT_EQ(ResolveResourcePath("\\gui\\confirmscreen.xml"), "data/gui/confirmscreen.xml");
    EXPECT_EQ(ResolveResourcePath("data\\language"), "data/language");
    EXPECT_EQ(ResolveResourcePath("relative/file.xml"), "relative/file.xml");
    // Absolute paths of the file system (the storage folder) stay as they are.
    EXPECT_EQ(ResolveResourcePath("/tmp/storage/profiles.dat"), "/tmp/storage/profiles.dat");

    // One spelling per file, for the node loader's cycle check.
    EXPECT_EQ(NormaliseResourcePath("/object/./a//b/../c.xml"), "/object/a/c.xml");
    EXPECT_EQ(NormaliseResourcePath("\\object\\x.xml"), "/object/x.xml");
    EXPECT_EQ(NormaliseResourcePath("/../../x.xml"), "/x.xml");
    EXPECT_EQ(NormaliseResourcePath("data/gui/"), "data/gui");
}

TEST(FileStreamTest, ModesSizesAndPositions)
{
    ScratchDir dir;
    LogCapture log;
    const std::string path = dir.Path() + "f.bin";

    // Append creates a missing file.
    {
        FileStream f(path, FileMode::Append);
        ASSERT_TRUE(f.IsOpen());
        EXPECT_EQ(f.GetSize(), 0);
        f.Write("abc", 3);
        EXPECT_EQ(f.GetPosition(), 3);
        EXPECT_EQ(f.GetSize(), 3);
    }
    // Append keeps the contents; seeking to the end continues there.
    {
        FileStream f(path, FileMode::Append);
        EXPECT_EQ(f.GetSize(), 3);
        EXPECT_EQ(f.Seek(0, SeekOrigin::End), 3);
        f.Write("de", 2);
        EXPECT_EQ(f.GetSize(), 5);
    }
    EXPECT_EQ(ReadFile(path), "abcde");
    // Writing inside the file does not grow the size.
    {
        FileStream f(path, FileMode::Append | FileMode::Write);
        f.Write("X", 1);
        EXPECT_EQ(f.GetSize(), 5);
        EXPECT_EQ(f.Seek(-10, SeekOrigin::Current), 0); // clamped at 0
    }
    EXPECT_EQ(ReadFile(path), "Xbcde");
    {
        FileStream f(path, FileMode::Read);
        char buffer[8] = {};
        EXPECT_EQ(f.Seek(2, SeekOrigin::Begin), 2);
        EXPECT_EQ(f.Read(buffer, 8), 3);
        EXPECT_EQ(std::string(buffer), "cde");
        EXPECT_TRUE(f.IsAtEnd());
    }
    // Write truncates.
    {
        FileStream f(path, FileMode::Write);
        EXPECT_EQ(f.GetSize(), 0);
    }
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_TRUE(log.Texts(LogLevel::Error).empty());
}

TEST(FileStreamTest, FailuresAreLoggedOnceEach)
{
    ScratchDir dir;
    LogCapture log;
    const std::string path = dir.Path() + "missing.txt";
    FileStream f(path, FileMode::Read);
    EXPECT_FALSE(f.IsOpen());
    char buffer[4];
    EXPECT_EQ(f.Read(buffer, 4), 0);
    f.Write("x", 1);
    f.Seek(0, SeekOrigin::Begin);
    f.Close();
    std::vector<std::string> expected = {
        "Failed to open file \"" + path + "\".",
        "Trying to read from file \"" + path + "\" that is not opened.",
        "Trying to write to file \"" + path + "\" that is not opened.",
        "Trying to seek on file \"" + path + "\" that is not opened.",
        "Trying to close file \"" + path + "\" that is not opened.",
    };
    EXPECT_EQ(log.Texts(LogLevel::Error), expected);
    EXPECT_FALSE(testsupport::FileExists(path));

    // Open() itself is silent.
    log.Clear();
    FileStream quiet;
    EXPECT_FALSE(quiet.Open(path, FileMode::Read));
    EXPECT_TRUE(log.Lines().empty());
}

TEST(FileStreamTest, AtomicWritesReplaceWholeFiles)
{
    ScratchDir dir;
    LogCapture log;
    const std::string path = dir.Path() + "save.dat";
    WriteFile(path, "old contents");
    ASSERT_TRUE(WriteFileAtomically(path, "new"));
    EXPECT_EQ(ReadFile(path), "new");
    EXPECT_FALSE(testsupport::FileExists(path + ".tmp"));

    // A folder that cannot take the temporary file leaves the old file alone and says why.
    const std::string locked = dir.Path() + "locked/";
    ::mkdir(locked.c_str(), 0755);
    WriteFile(locked + "save.dat", "keep me");
    ::mkdir((locked + "save.dat.tmp").c_str(), 0755); // the temporary name is taken by a folder
    EXPECT_FALSE(WriteFileAtomically(locked + "save.dat", "lost"));
    EXPECT_EQ(ReadFile(locked + "save.dat"), "keep me");
    auto errors = log.Texts(LogLevel::Error);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Failed to save \"" + locked + "save.dat\".");
    EXPECT_EQ(errors[1].rfind("{WinAPI reports: ", 0), 0u);

    // A file the player made a link to a file elsewhere stays a link: the
    // write goes through to the target.
    const std::string target = dir.Path() + "elsewhere.dat";
    const std::string link = dir.Path() + "linked.dat";
    WriteFile(target, "old");
    ASSERT_EQ(::symlink("elsewhere.dat", link.c_str()), 0);
    ASSERT_TRUE(WriteFileAtomically(link, "through"));
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ReadFile(target), "through");
}

TEST(DirectoryTest, ListsEntriesWithoutDotsAndJoinsWithSlash)
{
    ScratchDir dir;
    LogCapture log;
    WriteFile(dir.Path() + "a.txt", "1");
    ::mkdir((dir.Path() + "sub").c_str(), 0755);
    const std::string base = dir.Path().substr(0, dir.Path().size() - 1);

    Directory d;
    ASSERT_TRUE(d.Open(base));
    using Entry = std::pair<std::string, BaseDirectory::EEntryType>;
    std::vector<Entry> seen;
    do {
        seen.emplace_back(d.GetEntryName(), d.GetEntryType());
        EXPECT_EQ(d.GetEntryFullName(), base + "/" + d.GetEntryName());
    } while (d.FindNextEntry());
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<Entry>{{"a.txt", BaseDirectory::EEntryType::File},
                                        {"sub", BaseDirectory::EEntryType::Directory}}));
    EXPECT_EQ(d.GetEntryType(), BaseDirectory::EEntryType::None);

    // A file is not a directory: false without a message.
    EXPECT_FALSE(d.Open(dir.Path() + "a.txt"));
    EXPECT_TRUE(log.Lines().empty());
    // Using it now reports that it is not opened, under its own section.
    EXPECT_EQ(d.GetEntryName(), "");
    EXPECT_EQ(d.GetEntryType(), BaseDirectory::EEntryType::None);
    auto errors = log.Texts(LogLevel::Error);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Directory \"" + dir.Path() + "a.txt\" is not opened.");

    log.Clear();
    EXPECT_FALSE(d.Open(dir.Path() + "nothing"));
    errors = log.Texts(LogLevel::Error);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[0], "Failed to get attributes of directory \"" + dir.Path() + "nothing\" ");
    EXPECT_EQ(errors[1], "{WinAPI reports: No such file or directory}");
}

TEST(TextConvertTest, CodePagesAndFailures)
{
    LogCapture log;
    const std::string text = "Caf\xC3\xA9 \xC5\x91 \xD0\x96";
    EXPECT_EQ(ConvertUtf8ToCodePage(text.data(), text.size(), 1252), "Caf\xE9 ? ?");
    EXPECT_EQ(ConvertUtf8ToCodePage(text.data(), text.size(), 1250), "Caf\xE9 \xF5 ?");
    EXPECT_EQ(ConvertUtf8ToCodePage(text.data(), text.size(), 1251), "Caf? ? \xC6");
    EXPECT_TRUE(log.Lines().empty());

    const std::string broken = "ok\xC3";
    EXPECT_EQ(ConvertUtf8ToCodePage(broken.data(), broken.size(), 1252), "");
    auto errors = log.Texts(LogLevel::Error);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].rfind("MultiByteToWideChar error: ", 0), 0u);
}
