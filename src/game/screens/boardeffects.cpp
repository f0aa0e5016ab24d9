#include "game/screens/boardeffects.h"

#include "engine/core/log.h"
#include "engine/core/util/file/resourcepath.h"
#include "engine/core/util/xml/xmlloader.h"
#include "engine/runtime/application.h"
#include "engine/scene/nodeloader.h"

#include <cstdio>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

namespace {

constexpr const char* kGameEffectFiles[kGameEffectCount] = {
    "/object/fragment/tilewood.xml", "/object/fragment/tileiron.xml", "/object/gui/bonusappears.xml",
    "/object/game/blockglitter.xml", "/object/game/bomb.xml",         "/object/game/dynamite.xml",
    "/object/game/cannon.xml",       "/object/game/jewelglitter.xml", "/object/game/key.xml",
    "/object/game/lock.xml",         "/object/game/rainbow.xml",      "/object/game/rainbowsuck.xml",
};

constexpr const char* kGuiEffectFiles[kGuiEffectCount] = {
    "/object/gui/artifactappears.xml",  "/object/gui/bonusappears.xml",  "/object/gui/levelcompleteicon.xml",
    "/object/gui/objectivecomplete.xml", "/object/gui/showlevelicon.xml", "/object/gui/statappears.xml",
};

constexpr int kColourStyles = 8;

// One effect node, on the game's timer and the effect layer; null when the file yields nothing.
tsv::SceneNodePtr LoadEffect(const std::string& path)
{
    tsv::SceneNodePtr node = tsv::LoadNodeFile(path, tsv::SceneNodePtr());
    if (!node) {
        GetLog() << tsv::Error << "Error loading effect :" << path << EndL;
        return node;
    }
    node->SetTimer(tsv::IntrusivePtr<tsv::Timer>(&tsv::Application::Instance().GetTimer()),
                   tsv::Scope::Subtree, tsv::Reassign::Quiet);
    node->SetLayer(kEffectLayer, tsv::Scope::Subtree);
    return node;
}

void Fire(const tsv::SceneNodePtr& node, const tsv::Vec3& position, int32_t layer)
{
    if (!node) {
        return;
    }
    node->SetPosition(position, tsv::Transform::Now);
    node->SetLayer(layer, tsv::Scope::Subtree);
    node->Fire(0, tsv::FireDelay::OnNode);
}

} // namespace

void BoardEffects::Load(const std::string& styleFile)
{
    for (int i = 0; i < kGameEffectCount; ++i) {
        m_game[static_cast<size_t>(i)] = LoadEffect(kGameEffectFiles[i]);
    }
    for (int i = 0; i < kGuiEffectCount; ++i) {
        m_gui[static_cast<size_t>(i)] = LoadEffect(kGuiEffectFiles[i]);
    }
    m_styles.clear();
    for (int colour = 1; colour <= kColourStyles; ++colour) {
        char path[64];
        std::snprintf(path, sizeof path, "/object/fragment/piece%02d.xml", colour);
        m_styles[std::to_string(colour)] = LoadEffect(path);
    }

    // The loader hands back a document element whose first child is the file's root.
    tsv::IntrusivePtr<tsv::XMLElement> document = tsv::LoadXMLFile(tsv::ResolveResourcePath(styleFile));
    if (!document) {
        return;
    }
    tsv::IntrusivePtr<tsv::XMLElement> root =
        tsv::RootElement(document.Get(), "styles", "Error loading fragment styles: first tag must be <styles>");
    if (!root) {
        return;
    }
    for (const auto& [tag, child] : root->Children()) {
        if (tag != "style") {
            continue;
        }
        const std::string& name = child->GetText();
        char path[512];
        std::snprintf(path, sizeof path, "/object/fragment/%s.xml", name.c_str());
        m_styles[name] = LoadEffect(path);
    }
}

void BoardEffects::FireEffect(GameEffect effect, const tsv::Vec3& position, int32_t layer)
{
    if (EffectIndex(effect) < m_game.size()) {
        Fire(m_game[EffectIndex(effect)], position, layer);
    }
}

void BoardEffects::FireGuiEffect(GuiEffect effect, const tsv::Vec3& position, int32_t layer)
{
    if (GuiEffectIndex(effect) < m_gui.size()) {
        Fire(m_gui[GuiEffectIndex(effect)], position, layer);
    }
}

void BoardEffects::FireStyle(const std::string& style, const tsv::Vec3& position, int32_t layer)
{
    auto found = m_styles.find(style);
    if (found == m_styles.end()) {
        GetLog() << tsv::Error << "Fragment style not found: <" << style << ">" << EndL;
        return;
    }
    Fire(found->second, position, layer);
}

const tsv::SceneNodePtr& BoardEffects::StyleNode(const std::string& style) const
{
    static const tsv::SceneNodePtr none;
    auto found = m_styles.find(style);
    return found == m_styles.end() ? none : found->second;
}

} // namespace bsh
