#include "engine/core/util/xml/xmlloader.h"
#include "support/testsupport.h"

#include <gtest/gtest.h>

using namespace tsv;
using testsupport::LogCapture;
using testsupport::ScratchDir;
using testsupport::WriteFile;

namespace {

IntrusivePtr<XMLElement> Load(const std::string& path, bool replace = true, bool keepOnError = false,
                              uint32_t codePage = 0, IntrusivePtr<XMLElement> root = nullptr)
{
    IntrusivePtr<XMLLoader> loader(new XMLLoader(path, root));
    return loader->Execute(replace ? XMLLoader::Into::Replace : XMLLoader::Into::Merge,
                           keepOnError ? XMLLoader::OnError::Keep : XMLLoader::OnError::Fail, codePage);
}

std::vector<std::string> ChildNames(const XMLElement& e)
{
    std::vector<std::string> names;
    for (const auto& child : e.Children()) {
        names.push_back(child.first);
    }
    return names;
}

} // namespace

TEST(XMLLoaderTest, BuildsTreeWithAttributesAndUntrimmedText)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "a.xml", "<root b=\"2\" a=\"1\">\n  <item>5</item>\n  <item>x<sub/>y</item>\n</root>\n"
                                    "<!-- comment -->");
    auto root = Load(dir.Path() + "a.xml");
    ASSERT_TRUE(root);
    ASSERT_EQ(ChildNames(*root), std::vector<std::string>{"root"});
    auto top = root->Children()[0].second;
    EXPECT_EQ(top->GetParent(), root.Get());
    EXPECT_EQ(top->Attributes().begin()->first, "a"); // ordered by name
    EXPECT_EQ(top->GetAttribute("b"), "2");
    EXPECT_EQ(top->GetText(), "\n  \n  \n");
    EXPECT_EQ(ChildNames(*top), (std::vector<std::string>{"item", "item"}));
    EXPECT_EQ(top->Children()[0].second->GetText(), "5");
    EXPECT_EQ(top->Children()[1].second->GetText(), "xy");
}

TEST(XMLLoaderTest, HierarchyEndStopsTheParse)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "top.xml", "<hierarchy><a/></hierarchy><after/>");
    auto root = Load(dir.Path() + "top.xml");
    ASSERT_TRUE(root);
    EXPECT_EQ(ChildNames(*root), std::vector<std::string>{"hierarchy"});

    WriteFile(dir.Path() + "nested.xml", "<doc><first/><hierarchy><x/></hierarchy><second/></doc>");
    root = Load(dir.Path() + "nested.xml");
    ASSERT_TRUE(root);
    auto doc = root->FindChild("doc");
    ASSERT_TRUE(doc);
    EXPECT_EQ(ChildNames(*doc), (std::vector<std::string>{"first", "hierarchy"}));
}

TEST(XMLLoaderTest, ConvertsTextToCodePageOnlyInsideHierarchy)
{
    ScratchDir dir;
    // "é" (U+00E9) is 0xE9 in code page 1252; "Ж" (U+0416) is 0xC6 in 1251.
    WriteFile(dir.Path() + "t.xml", "<doc><before>\xC3\xA9</before><hierarchy><t>\xC3\xA9</t><r>\xD0\x96</r></hierarchy></doc>");
    auto root = Load(dir.Path() + "t.xml", true, false, 1252);
    ASSERT_TRUE(root);
    auto doc = root->FindChild("doc");
    EXPECT_EQ(doc->FindChild("before")->GetText(), "\xC3\xA9");
    EXPECT_EQ(doc->FindChild("hierarchy")->FindChild("t")->GetText(), "\xE9");
    EXPECT_EQ(doc->FindChild("hierarchy")->FindChild("r")->GetText(), "?");

    root = Load(dir.Path() + "t.xml", true, false, 1251);
    EXPECT_EQ(root->FindChild("doc")->FindChild("hierarchy")->FindChild("r")->GetText(), "\xC6");

    root = Load(dir.Path() + "t.xml", true, false, 0);
    EXPECT_EQ(root->FindChild("doc")->FindChild("hierarchy")->FindChild("t")->GetText(), "\xC3\xA9");
}

TEST(XMLLoaderTest, ReplaceAndMergeIntoOneRoot)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "1.xml", "<config><a>1</a></config>");
    WriteFile(dir.Path() + "2.xml", "<config><a>2</a></config>");
    WriteFile(dir.Path() + "3.xml", "<other/>");
    IntrusivePtr<XMLElement> root(new XMLElement);
    Load(dir.Path() + "1.xml", false, false, 0, root);
    Load(dir.Path() + "3.xml", false, false, 0, root);
    Load(dir.Path() + "2.xml", false, false, 0, root);
    ASSERT_EQ(ChildNames(*root), (std::vector<std::string>{"other", "config"}));
    EXPECT_EQ(root->FindChild("config")->FindChild("a")->GetText(), "2");
    EXPECT_EQ(root->FindChild("config")->GetParent(), root.Get());

    Load(dir.Path() + "3.xml", true, false, 0, root);
    EXPECT_EQ(ChildNames(*root), std::vector<std::string>{"other"});
}

TEST(XMLLoaderTest, ParseErrorsAreLoggedWithTheLine)
{
    ScratchDir dir;
    LogCapture log;
    WriteFile(dir.Path() + "bad.xml", "<a>\n<b>\n</a>\n");
    EXPECT_FALSE(Load(dir.Path() + "bad.xml"));
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Failed parsing \"" + dir.Path() + "bad.xml\": mismatched tag at line 3"));

    // Keep-on-error still moves what was parsed, but reports failure.
    IntrusivePtr<XMLElement> root(new XMLElement);
    EXPECT_FALSE(Load(dir.Path() + "bad.xml", true, true, 0, root));
    ASSERT_EQ(ChildNames(*root), std::vector<std::string>{"a"});
    EXPECT_EQ(ChildNames(*root->FindChild("a")), std::vector<std::string>{"b"});

    log.Clear();
    WriteFile(dir.Path() + "empty.xml", "");
    EXPECT_FALSE(Load(dir.Path() + "empty.xml"));
    EXPECT_TRUE(log.Contains(LogLevel::Error, "Failed parsing \"" + dir.Path() + "empty.xml\": no element found at line 1"));

    // A missing file: the open failure, the read and the parse error, all logged.
    log.Clear();
    EXPECT_FALSE(Load(dir.Path() + "missing.xml"));
    auto errors = log.Texts(LogLevel::Error);
    ASSERT_EQ(errors.size(), 3u);
    EXPECT_EQ(errors[0], "Failed to open file \"" + dir.Path() + "missing.xml\".");
    EXPECT_EQ(errors[1], "Trying to read from file \"" + dir.Path() + "missing.xml\" that is not opened.");
    EXPECT_EQ(errors[2], "Failed parsing \"" + dir.Path() + "missing.xml\": no element found at line 1");
    // Messages of a load are grouped under the loader's section.
    EXPECT_NE(log.Lines()[2].section.find("xmlloader"), std::string::npos);
}

TEST(XMLLoaderTest, LargeFilesAreReadInBlocks)
{
    ScratchDir dir;
    std::string text = "<list>";
    for (int i = 0; i < 5000; ++i) {
        text += "<item>" + std::to_string(i) + "</item>";
    }
    text += "</list>";
    ASSERT_GT(text.size(), 70000u);
    WriteFile(dir.Path() + "big.xml", text);
    auto root = Load(dir.Path() + "big.xml");
    ASSERT_TRUE(root);
    auto list = root->FindChild("list");
    ASSERT_EQ(list->Children().size(), 5000u);
    EXPECT_EQ(list->Children()[4999].second->GetText(), "4999");
}

TEST(XMLValueTest, ConversionsFollowTheStandardLibrary)
{
    EXPECT_EQ(ParseInt("  -12abc"), -12);
    EXPECT_EQ(ParseInt("x"), 0);
    EXPECT_FLOAT_EQ(ParseFloat(" 0.25"), 0.25f);
    for (const char* yes : {"1", "on", "YES", "True"}) {
        EXPECT_TRUE(ParseBool(yes)) << yes;
    }
    for (const char* no : {"", "0", "2", " yes", "off"}) {
        EXPECT_FALSE(ParseBool(no)) << no;
    }
}

TEST(XMLLoaderTest, RootElementChecksTheFirstElementAndLogsTheLoadersWords)
{
    ScratchDir dir;
    WriteFile(dir.Path() + "good.xml", "<font><glyph/></font>");
    WriteFile(dir.Path() + "other.xml", "<styles><font/></styles>");
    LogCapture log;

    IntrusivePtr<XMLElement> good = Load(dir.Path() + "good.xml");
    IntrusivePtr<XMLElement> root = RootElement(good.Get(), "font", "never logged");
    ASSERT_TRUE(root);
    EXPECT_EQ(root, good->Children().front().second);
    EXPECT_EQ(ChildNames(*root), std::vector<std::string>{"glyph"});
    EXPECT_TRUE(log.Texts().empty());

    // Another root (even holding the wanted one), a document with no element and none
    // each fail, logged once in the words given.
    IntrusivePtr<XMLElement> other = Load(dir.Path() + "other.xml");
    EXPECT_FALSE(RootElement(other.Get(), "font", "other.xml: root item must be <font>"));
    IntrusivePtr<XMLElement> empty(new XMLElement);
    EXPECT_FALSE(RootElement(empty.Get(), "font", "empty.xml: root item must be <font>"));
    EXPECT_FALSE(RootElement(nullptr, "font", "missing: root item must be <font>"));
    EXPECT_EQ(log.Texts(LogLevel::Error), (std::vector<std::string>{"other.xml: root item must be <font>",
                                                                   "empty.xml: root item must be <font>",
                                                                   "missing: root item must be <font>"}));
}
