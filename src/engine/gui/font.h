#pragma once
// Bitmap fonts: one texture with every glyph and an XML file giving each
// character's rectangle in it. Character codes are the bytes of the
// language's code page, so one font file serves one code page.
//
// In the double-byte code pages (932, 936, 949) a lead byte and its trail
// byte form one character whose code is lead * 256 + trail.
//
// Texts may carry markup: "#{!0xAARRGGBB}" switches the colour of what
// follows, "#{name}" puts the icon of that name in the text.

#include "engine/core/intrusiveptr.h"
#include "engine/platform/platform.h"
#include "engine/scene/scenenode.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace tsv {

struct FontChar {
    float x = 0, y = 0, width = 0, height = 0;
};

// Where icons named in texts come from (the current icon set); null for an
// unknown name, which the provider reports itself.
using IconProvider = std::function<SceneNodePtr(const std::string& name)>;
void SetIconProvider(IconProvider provider);

// Whether the text (in `codePage`) begins with a mark that closes what stands
// before it ("!", ",", the ideographic full stop, a closing bracket...): a
// line may not begin with one.
bool BeginsWithClosingMark(const std::string& text, uint32_t codePage);

class Font : public RefCounted {
public:
    // False, with an Error in the log, when the file is missing or no font file.
    bool Load(const std::string& path);

    // The character's rectangle, or null when the font has none for the code.
    const FontChar* GetChar(int32_t code) const;
    float GetLineHeight() const { return m_lineHeight; }
    const std::string& GetTexturePath() const { return m_texture; }
    int32_t GetMaterial() const { return m_material; }
    size_t GetCharCount() const { return m_chars.size(); }
    // The code page of the texts this font draws (0: single bytes).
    void SetCodePage(uint32_t codePage) { m_codePage = codePage; }
    uint32_t GetCodePage() const { return m_codePage; }

    // Width of the widest line and height of all lines (one line height per
    // line; an empty text is 0 x 0).
    Vec2 MeasureText(const std::string& text) const;
    // Adds one child node per character (or icon) to `receiver`, left to right
    // from its origin, each line one line height below the previous one, for
    // at most kMaxLaidCharacters characters, tags and line breaks.
    // Returns the colour in force at the end, for a text laid in pieces.
    uint32_t LayText(const std::string& text, SceneNode& receiver, uint32_t colour) const;
    static constexpr size_t kMaxLaidCharacters = 16 * 1024;
    // The text with line feeds added so that no line is wider than `width`:
    // lines break at blanks, or between any two characters when
    // `anyCharacter` is set or a single word is too wide.
    std::string WrapText(const std::string& text, float width, bool anyCharacter) const;
    // Width of the characters in [begin, end) of one line, markup included.
    float MeasureLine(const std::string& text, size_t begin, size_t end) const;

private:
    // The character drawn for a byte: its own, or the blank's.
    const FontChar* Glyph(int32_t code) const;
    // Width of the one character, tag or icon at `at`; `next` is where the next one starts.
    float Advance(const std::string& text, size_t at, size_t& next) const;

    std::string m_texture;
    int32_t m_material = kBlendDefault; // plain alpha blending unless the file says otherwise
    std::map<int32_t, FontChar> m_chars;
    float m_lineHeight = 0;
    uint32_t m_codePage = 0;
};

using FontPtr = IntrusivePtr<Font>;

} // namespace tsv
