#pragma once
// Reads one XML file into an element tree. The loader's root collects the file's
// top-level elements; several files can be merged into one root.

#include "engine/core/intrusiveptr.h"
#include "engine/core/util/file/filestream.h"
#include "engine/core/util/xml/xmlelement.h"

#include <cstdint>
#include <string>

namespace tsv {

class XMLLoader : public RefCounted {
public:
    explicit XMLLoader(const std::string& path, IntrusivePtr<XMLElement> root = nullptr);

    // What is read does to the root: clears it first, or each top-level
    // element replaces the last one of its name.
    enum class Into { Replace, Merge };
    // What a parse error gives: null, or what was read up to it.
    enum class OnError { Fail, Keep };
    // Parses the whole file (stopping after the end of the first "hierarchy"
    // element). Text inside "hierarchy" is converted to `codePage` when it is
    // not 0.
    IntrusivePtr<XMLElement> Execute(Into into, OnError onError, uint32_t codePage);

    const IntrusivePtr<XMLElement>& GetRoot() const { return m_root; }

private:
    IntrusivePtr<FileStream> m_stream;
    IntrusivePtr<XMLElement> m_root;
};

// Convenience: a fresh root loaded in replace mode without conversion; null on failure.
IntrusivePtr<XMLElement> LoadXMLFile(const std::string& path);

// The document's first top-level element when it is named `name`. Otherwise
// (no document, an empty one, another first element) null, and `error` is
// logged as an error: the loader's own words, with its path when it has one.
IntrusivePtr<XMLElement> RootElement(const XMLElement* document, const std::string& name, const std::string& error);

} // namespace tsv
