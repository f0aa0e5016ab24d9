#include "game/progress/levellist.h"

#include "engine/core/log.h"
#include "engine/core/util/xml/xmlloader.h"

namespace bsh {

bool LoadLevelList(const std::string& listPath, std::vector<std::string>& list)
{
    tsv::IntrusivePtr<tsv::XMLElement> root = tsv::LoadXMLFile(listPath);
    tsv::IntrusivePtr<tsv::XMLElement> document;
    if (root && !root->Children().empty()) {
        document = root->Children().front().second;
    }
    if (!document || document->Children().empty()) {
        tsv::GetLog() << tsv::Error << listPath << ": Error loading level list" << tsv::EndL;
        return false;
    }
    for (const auto& child : document->Children()) {
        list.push_back(child.second->GetText());
    }
    return true;
}

} // namespace bsh
