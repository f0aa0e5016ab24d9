#include "engine/core/util/xml/xmlloader.h"

#include "engine/core/log.h"
#include "engine/core/util/file/textconvert.h"

#include <expat.h>
#include <vector>

namespace tsv {

namespace {

constexpr int kBlockSize = 32767;
// Deeper trees are no data file of ours, and walking them would exhaust the stack.
constexpr int32_t kMaxDepth = 256;

struct XMLParseContext {
    uint32_t codePage = 0;
    int32_t depth = 0;
    bool insideHierarchy = false;
    bool stop = false;
    bool tooDeep = false;
    IntrusivePtr<XMLElement> parseRoot;
    XMLElement* current = nullptr;
    XML_Parser parser = nullptr;
};

void XMLCALL OnStartElement(void* userData, const XML_Char* name, const XML_Char** attributes)
{
    auto* ctx = static_cast<XMLParseContext*>(userData);
    if (ctx->stop) {
        return;
    }
    if (ctx->depth >= kMaxDepth) {
        ctx->tooDeep = true;
        ctx->stop = true;
        XML_StopParser(ctx->parser, XML_FALSE);
        return;
    }
    std::string tag = name;
    if (!ctx->insideHierarchy && tag == "hierarchy") {
        ctx->insideHierarchy = true;
    }
    IntrusivePtr<XMLElement> element(new XMLElement(tag));
    for (int i = 0; attributes[i]; i += 2) {
        element->Attributes()[attributes[i]] = attributes[i + 1];
    }
    ctx->current->AddChild(tag, element);
    ctx->current = element.Get();
    ++ctx->depth;
}

void XMLCALL OnEndElement(void* userData, const XML_Char* name)
{
    auto* ctx = static_cast<XMLParseContext*>(userData);
    if (ctx->stop) {
        return;
    }
    if (std::string(name) == "hierarchy") {
        ctx->stop = true;
        // Nothing after this element is read, not even the rest of this block.
        XML_StopParser(ctx->parser, XML_FALSE);
    }
    if (ctx->current != ctx->parseRoot.Get() && ctx->current->GetParent()) {
        ctx->current = ctx->current->GetParent();
    }
    --ctx->depth;
}

void XMLCALL OnCharacterData(void* userData, const XML_Char* text, int length)
{
    auto* ctx = static_cast<XMLParseContext*>(userData);
    if (ctx->stop || ctx->current == ctx->parseRoot.Get()) {
        return;
    }
    if (ctx->codePage != 0 && ctx->insideHierarchy) {
        ctx->current->AppendText(ConvertUtf8ToCodePage(text, static_cast<size_t>(length), ctx->codePage));
    } else {
        ctx->current->AppendText(std::string(text, static_cast<size_t>(length)));
    }
}

} // namespace

XMLLoader::XMLLoader(const std::string& path, IntrusivePtr<XMLElement> root)
    : m_stream(new FileStream(path, FileMode::Read)), m_root(root ? root : IntrusivePtr<XMLElement>(new XMLElement))
{
}

IntrusivePtr<XMLElement> XMLLoader::Execute(Into into, OnError onError, uint32_t codePage)
{
    const bool replace = into == Into::Replace;
    const bool keepOnError = onError == OnError::Keep;
    LogSectionScope section(GetLog(),
                            "core/util/xml/xmlloader(200): IntrusivePtr<XMLElement> XMLLoader::Execute(bool, bool, "
                            "uint32_t)",
                            "", true);
    XMLParseContext ctx;
    ctx.codePage = codePage;
    ctx.parseRoot = new XMLElement;
    ctx.current = ctx.parseRoot.Get();

    XML_Parser parser = XML_ParserCreate(nullptr);
    ctx.parser = parser;
    XML_SetUserData(parser, &ctx);
    XML_SetElementHandler(parser, &OnStartElement, &OnEndElement);
    XML_SetCharacterDataHandler(parser, &OnCharacterData);

    bool failed = false;
    std::vector<char> buffer(kBlockSize);
    for (;;) {
        int32_t got = m_stream->Read(buffer.data(), kBlockSize);
        if (got < 0) {
            got = 0;
        }
        const bool final = got < kBlockSize;
        const bool error = XML_Parse(parser, buffer.data(), got, final) == XML_STATUS_ERROR;
        if (ctx.tooDeep) {
            GetLog() << Error << "Failed parsing \"" << m_stream->GetName() << "\": elements nested deeper than "
                     << kMaxDepth << " at line " << static_cast<unsigned long>(XML_GetCurrentLineNumber(parser))
                     << EndL;
            failed = true;
            break;
        }
        if (error && !(ctx.stop && XML_GetErrorCode(parser) == XML_ERROR_ABORTED)) {
            GetLog() << Error << "Failed parsing \"" << m_stream->GetName()
                     << "\": " << XML_ErrorString(XML_GetErrorCode(parser)) << " at line "
                     << static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)) << EndL;
            failed = true;
            break;
        }
        if (final || ctx.stop) {
            break;
        }
    }
    XML_ParserFree(parser);

    if (failed && !keepOnError) {
        return nullptr;
    }
    auto& rootChildren = m_root->Children();
    if (replace) {
        rootChildren.clear();
    }
    for (const XMLElement::Child& moved : ctx.parseRoot->Children()) {
        if (!replace) {
            for (auto it = rootChildren.rbegin(); it != rootChildren.rend(); ++it) {
                if (it->first == moved.first) {
                    rootChildren.erase(std::next(it).base());
                    break;
                }
            }
        }
        m_root->AddChild(moved.first, moved.second);
    }
    return failed ? nullptr : m_root;
}

IntrusivePtr<XMLElement> LoadXMLFile(const std::string& path)
{
    IntrusivePtr<XMLLoader> loader(new XMLLoader(path));
    return loader->Execute(XMLLoader::Into::Replace, XMLLoader::OnError::Fail, 0);
}

IntrusivePtr<XMLElement> RootElement(const XMLElement* document, const std::string& name, const std::string& error)
{
    if (document && !document->Children().empty()) {
        const IntrusivePtr<XMLElement>& first = document->Children().front().second;
        if (first && first->GetName() == name) {
            return first;
        }
    }
    GetLog() << Error << error << EndL;
    return nullptr;
}

} // namespace tsv
