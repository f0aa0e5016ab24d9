#include "support/languagefiles.h"

#include "engine/core/util/xml/xmlloader.h"

#include <filesystem>

namespace testsupport {

namespace {

void CollectTexts(const tsv::XMLElement& element, const std::string& prefix, std::map<std::string, std::string>& out)
{
    for (const auto& [name, child] : element.Children()) {
        const std::string key = prefix.empty() ? name : prefix + "." + name;
        if (child->Children().empty()) {
            out[key] = child->GetText();
        } else {
            CollectTexts(*child, key, out);
        }
    }
}

} // namespace

std::map<std::string, std::string> LanguageFileTexts(const std::string& path)
{
    std::map<std::string, std::string> texts;
    tsv::IntrusivePtr<tsv::XMLLoader> loader(new tsv::XMLLoader(path));
    tsv::IntrusivePtr<tsv::XMLElement> root = loader->Execute(tsv::XMLLoader::Into::Merge, tsv::XMLLoader::OnError::Fail, 0);
    if (root && root->FindChild("hierarchy")) {
        CollectTexts(*root->FindChild("hierarchy"), "", texts);
    }
    return texts;
}

std::string LanguageFileName(const std::string& folder, tsv::LanguageId id)
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (tsv::LanguageFromName(entry.path().filename().string()) == id) {
            return entry.path().filename().string();
        }
    }
    return {};
}

std::map<std::string, std::string> LanguageTexts(const std::string& folder, tsv::LanguageId id)
{
    return LanguageFileTexts(folder + "/" + LanguageFileName(folder, id));
}

} // namespace testsupport
