// The XML loader under every other reader, merging into a kept root as the
// language and settings files do, and with code-page conversion.
#include "fuzz/fuzztarget.h"

#include "engine/core/util/xml/xmlloader.h"

BSH_FUZZ_TARGET(xml)
{
    const std::string path = bsh::fuzz::WriteInput("input.xml", data, size);
    tsv::LoadXMLFile(path);
    tsv::IntrusivePtr<tsv::XMLLoader> merging(new tsv::XMLLoader(path));
    merging->Execute(tsv::XMLLoader::Into::Merge, tsv::XMLLoader::OnError::Keep, 1251);
}
