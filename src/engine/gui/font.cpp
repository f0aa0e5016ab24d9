#include "engine/gui/font.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/file/textconvert.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/scene/nodeloader.h"
#include "engine/scene/frameloop.h"

#include <algorithm>
#include <sys/stat.h>

namespace tsv {

namespace {

IconProvider& Icons()
{
    static IconProvider s_provider;
    return s_provider;
}

SceneNodePtr CreateIcon(const std::string& name)
{
    if (Icons()) {
        return Icons()(name);
    }
    GetLog() << Warning << "Invalid Icon ID:" << name << EndL;
    return SceneNodePtr();
}

// A markup tag "#{...}" starting at `at`: false when there is none, else the
// name and the index just past the closing brace. The tag must open at least
// four characters before the end of the text.
bool ReadTag(const std::string& text, size_t at, std::string& name, size_t& next)
{
    if (text[at] != '#' || at + 4 > text.size() || text[at + 1] != '{') {
        return false;
    }
    const size_t close = text.find('}', at + 2);
    if (close == std::string::npos) {
        return false;
    }
    name = text.substr(at + 2, close - at - 2);
    next = close + 1;
    return true;
}

// Marks that close what stands before them, which a line may not begin with
// where lines break between any two characters (UTF-8).
const char* const kClosingMarks[] = {"!", "?", ":", ";", ",", ".", ")", "\u3001", "\u3002", "\uFF0C", "\uFF0E",
                                     "\uFF01", "\uFF1F", "\uFF1A", "\uFF1B", "\uFF09", "\u300D", "\u300F",
                                     "\u3011", "\u30FC", "\u2026", "\u30FB"};

bool IsClosingMark(const std::string& text, size_t at, size_t next, uint32_t codePage)
{
    const std::string utf8 = ConvertCodePageToUtf8(text.substr(at, next - at), codePage);
    for (const char* mark : kClosingMarks) {
        if (utf8 == mark) {
            return true;
        }
    }
    return false;
}

bool FileExists(const std::string& path)
{
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

} // namespace

void SetIconProvider(IconProvider provider) { Icons() = std::move(provider); }

bool BeginsWithClosingMark(const std::string& text, uint32_t codePage)
{
    return !text.empty() && IsClosingMark(text, 0, std::max<size_t>(1, CharLength(text, 0, codePage)), codePage);
}

bool Font::Load(const std::string& path)
{
    const std::string resolved = ResolveResourcePath(path);
    if (!FileExists(resolved)) {
        GetLog() << Error << "Font file not found" << EndL;
        return false;
    }
    IntrusivePtr<XMLLoader> loader(new XMLLoader(resolved));
    IntrusivePtr<XMLElement> document = loader->Execute(XMLLoader::Into::Replace, XMLLoader::OnError::Fail, 0);
    IntrusivePtr<XMLElement> root =
        RootElement(document.Get(), "font", "Error loading font \"" + path + "\" - root item must be <font>");
    if (!root) {
        return false;
    }
    for (const auto& [tag, child] : root->Children()) {
        if (tag == "texture" || tag == "texturestage") {
            m_texture = child->GetText();
            if (FrameLoop::Instance().IsInitialised()) {
                FrameLoop::Instance().GetTexture(m_texture);
            }
        } else if (tag == "material") {
            m_material = ParseInt(child->GetText());
        } else if (tag == "character") {
            int32_t id = 0;
            FontChar glyph;
            for (const auto& [field, value] : child->Children()) {
                const std::string& text = value->GetText();
                if (field == "id") {
                    id = ParseInt(text);
                } else if (field == "x") {
                    glyph.x = ParseFloat(text);
                } else if (field == "y") {
                    glyph.y = ParseFloat(text);
                } else if (field == "width") {
                    glyph.width = ParseFloat(text);
                } else if (field == "height") {
                    glyph.height = ParseFloat(text);
                }
            }
            m_chars[id] = glyph;
            m_lineHeight = glyph.height;
        }
    }
    return true;
}

const FontChar* Font::GetChar(int32_t code) const
{
    auto found = m_chars.find(code);
    return found == m_chars.end() ? nullptr : &found->second;
}

const FontChar* Font::Glyph(int32_t code) const
{
    const FontChar* glyph = GetChar(code);
    return glyph ? glyph : GetChar(' ');
}

float Font::Advance(const std::string& text, size_t at, size_t& next) const
{
    std::string name;
    if (ReadTag(text, at, name, next)) {
        if (!name.empty() && name[0] != '!') {
            if (SceneNodePtr icon = CreateIcon(name)) {
                return icon->GetMesh().boundWidth * icon->GetScale().x;
            }
        }
        return 0;
    }
    next = at + std::max<size_t>(1, CharLength(text, at, m_codePage));
    const FontChar* glyph = Glyph(CharCode(text, at, m_codePage));
    return glyph ? glyph->width : 0;
}

float Font::MeasureLine(const std::string& text, size_t begin, size_t end) const
{
    float width = 0;
    for (size_t i = begin; i < end && i < text.size();) {
        width += Advance(text, i, i);
    }
    return width;
}

Vec2 Font::MeasureText(const std::string& text) const
{
    float width = 0;
    float line = 0;
    float height = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\r' || c == '\n') {
            height += m_lineHeight;
            width = std::max(width, line);
            line = 0;
            ++i;
        } else {
            line += Advance(text, i, i);
        }
    }
    width = std::max(width, line);
    if (!text.empty()) {
        height += m_lineHeight;
    }
    return {width, height};
}

uint32_t Font::LayText(const std::string& text, SceneNode& receiver, uint32_t colour) const
{
    float penX = 0;
    float penY = 0;
    size_t laid = 0;
    for (size_t i = 0; i < text.size() && laid < kMaxLaidCharacters; ++laid) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        std::string name;
        size_t next = 0;
        if (c == '\r' || c == '\n') {
            penX = 0;
            penY += m_lineHeight;
            ++i;
            continue;
        }
        SceneNodePtr node;
        float advance = 0;
        if (ReadTag(text, i, name, next)) {
            i = next;
            if (!name.empty() && name[0] == '!') {
                colour = ParseColor(name.substr(1));
                continue;
            }
            node = CreateIcon(name);
            if (!node) {
                continue;
            }
            advance = node->GetMesh().boundWidth * node->GetScale().x;
            node->SetPosition({penX + advance * 0.5f, penY + m_lineHeight * 0.5f, 0}, Transform::Later);
        } else {
            const int32_t code = CharCode(text, i, m_codePage);
            i += std::max<size_t>(1, CharLength(text, i, m_codePage));
            const FontChar* glyph = Glyph(code);
            if (!glyph) {
                continue;
            }
            advance = glyph->width;
            Mesh mesh(glyph->width, glyph->height);
            mesh.textureOffsetX = glyph->x;
            mesh.textureOffsetY = glyph->y;
            mesh.anchorX = 0;
            mesh.anchorY = 0;
            node = MakeIntrusive<SceneNode>();
            node->SetMesh(mesh);
            node->SetTexture(m_texture);
            node->SetMaterial(m_material, Scope::Node);
            node->SetColor(colour);
            node->SetPosition({penX, penY, 0}, Transform::Later);
        }
        node->SetLayer(receiver.GetLayer(), Scope::Subtree);
        receiver.AddChild(node);
        penX += advance;
    }
    receiver.UpdateWorldTransform();
    return colour;
}

std::string Font::WrapText(const std::string& text, float width, bool anyCharacter) const
{
    std::string out;
    out.reserve(text.size() + 8);
    float line = 0;
    size_t lineStart = 0;   // in `out`
    size_t lastBlank = std::string::npos; // in `out`: a blank that may become a line break
    std::vector<size_t> starts; // in `out`: where each character of the current line begins
    for (size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            out += c;
            ++i;
            line = 0;
            lineStart = out.size();
            lastBlank = std::string::npos;
            starts.clear();
            continue;
        }
        size_t next = i;
        const float advance = Advance(text, i, next);
        if (line + advance > width && out.size() > lineStart) {
            if (c == ' ') {
                out += '\n'; // the blank itself becomes the break
                i = next;
                line = 0;
                lineStart = out.size();
                lastBlank = std::string::npos;
                starts.clear();
                continue;
            }
            if (!anyCharacter && lastBlank != std::string::npos) {
                out[lastBlank] = '\n';
                lineStart = lastBlank + 1;
                line = MeasureLine(out, lineStart, out.size());
                lastBlank = std::string::npos;
                starts.erase(starts.begin(), std::lower_bound(starts.begin(), starts.end(), lineStart));
            } else {
                // A closing mark stays with the character before it: that
                // character goes down too (and so on, for a run of marks).
                size_t cut = out.size();
                if (anyCharacter && IsClosingMark(text, i, next, m_codePage)) {
                    size_t first = starts.size(); // the first character of the line that goes down
                    auto end = [&](size_t k) { return k + 1 < starts.size() ? starts[k + 1] : out.size(); };
                    while (first > 1 && IsClosingMark(out, starts[first - 1], end(first - 1), m_codePage)) {
                        --first;
                    }
                    if (first > 1) {
                        --first;
                    }
                    if (first < starts.size()) {
                        cut = starts[first];
                    }
                }
                out.insert(cut, 1, '\n');
                lineStart = cut + 1;
                line = MeasureLine(out, lineStart, out.size());
                lastBlank = std::string::npos;
                std::vector<size_t> moved;
                for (size_t start : starts) {
                    if (start >= cut) {
                        moved.push_back(start + 1);
                    }
                }
                starts = std::move(moved);
            }
        }
        if (c == ' ') {
            lastBlank = out.size();
        }
        starts.push_back(out.size());
        out.append(text, i, next - i);
        line += advance;
        i = next;
    }
    return out;
}

} // namespace tsv
