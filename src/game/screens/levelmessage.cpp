#include "game/screens/levelmessage.h"

#include "engine/core/textformat.h"
#include "engine/gui/font.h"
#include "engine/gui/languagemanager.h"
#include "engine/scene/nodelibrary.h"
#include "engine/scene/frameloop.h"

#include <algorithm>

namespace bsh {

namespace {

// The widest a message is drawn, and its largest scale.
constexpr float kMaxWidth = 520.0f;
constexpr float kMaxScale = 1.5f;

} // namespace

LevelMessage::~LevelMessage()
{
    if (m_node) {
        m_node->Expire();
    }
}

void LevelMessage::Show(const std::string& key, int64_t ms, int64_t now, int number)
{
    if (m_node) {
        m_node->Expire();
        m_node = nullptr;
    }
    const tsv::LanguageManager& language = tsv::LanguageManager::Instance();
    std::string text = language.GetText("$" + key);
    if (number >= 0) {
        text = tsv::FormatText(text, {int64_t{number}});
    }
    m_key = key;
    const tsv::Font* font = language.GetFont(0);
    if (!font || text.empty()) {
        return;
    }
    const tsv::Vec2 size = font->MeasureText(text);
    const float scale = std::min(kMaxScale, kMaxWidth / std::max(size.x, 1.0f));
    m_node = tsv::NodeLibrary::Instance().CreateNode("/object/panel/messageplate.xml");
    if (!m_node) {
        m_node = tsv::MakeIntrusive<tsv::SceneNode>();
    }
    tsv::SceneNodePtr words = tsv::MakeIntrusive<tsv::SceneNode>();
    font->LayText(text, *words, kColour);
    words->SetScale(scale, scale, tsv::Transform::Later);
    words->SetPosition({-size.x * scale * 0.5f, -size.y * scale * 0.5f, -0.1f}, tsv::Transform::Later);
    m_node->AddChild(words);
    m_node->SetPosition({-10.0f, 0.0f, 0.0f}, tsv::Transform::Now);
    tsv::AddGameNode(m_node, kLayer);
    m_node->SetAlphaFade(true, now + ms - kFadeMs, now + ms, 255, 0);
    m_node->SetExpiry(now + ms);
}

} // namespace bsh
