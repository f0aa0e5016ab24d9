#include "game/screens/optionsscreen.h"

#include "engine/core/config.h"
#include "engine/gui/languagemanager.h"
#include "engine/gui/mousecursor.h"
#include "engine/scene/frameloop.h"
#include "engine/sound/soundmanager.h"

#include <algorithm>
#include <cstdlib>

namespace bsh {

namespace {

// The desktop's pointer or the game's own, at once.
void ShowSystemCursor(bool show)
{
    if (tsv::FrameLoop::Instance().IsInitialised()) {
        tsv::FrameLoop::Instance().SetSystemCursor(show);
    }
    if (tsv::MouseCursor::IsInstalled()) {
        tsv::MouseCursor::Instance().SetSystemCursor(show);
    }
}

int32_t BarIndex(float volume)
{
    const int32_t index = static_cast<int32_t>(static_cast<float>(OptionsScreen::kBarSteps - 1) * volume);
    return std::clamp(index, 0, OptionsScreen::kBarSteps - 1);
}

std::vector<std::string> Bars()
{
    std::vector<std::string> bars;
    for (int32_t i = 0; i < OptionsScreen::kBarSteps; ++i) {
        bars.push_back(OptionsScreen::BarText(i));
    }
    return bars;
}

std::string Text(const char* key) { return tsv::LanguageManager::Instance().GetText(key); }

} // namespace

std::string OptionsScreen::BarText(int32_t index)
{
    std::string bar(static_cast<size_t>(kBarSteps), '.');
    bar[static_cast<size_t>(std::clamp(index, 0, kBarSteps - 1))] = kMarker;
    return bar;
}

OptionsScreen::Settings OptionsScreen::Settings::Current(const GameState& state)
{
    const tsv::Config& config = tsv::GetConfig();
    Settings settings;
    settings.soundVolume = config.soundVolume;
    settings.musicVolume = config.musicVolume;
    settings.fullscreen = config.fullscreen;
    settings.language = tsv::LanguageManager::Instance().GetCurrent();
    settings.systemCursor = config.systemCursor;
    tsv::IntrusivePtr<Profile> profile = state.CurrentProfile();
    settings.hints = !profile || profile->GetHints();
    settings.relaxedClock = state.IsClockRelaxed();
    return settings;
}

OptionsScreen::OptionsScreen(GameState& state, Actions actions, std::optional<Settings> opened)
    : m_state(state), m_actions(std::move(actions)), m_opened(opened ? *opened : Settings::Current(state))
{
    if (!LoadScreenFile(kScreenFile)) {
        return;
    }
    const tsv::Config& config = tsv::GetConfig();
    tsv::LanguageManager& languages = tsv::LanguageManager::Instance();
    const std::vector<std::string> yesNo = {Text("$Dialog.yes"), Text("$Dialog.no")};
    std::vector<std::string> languageNames;
    int32_t currentLanguage = 0;
    for (tsv::LanguageId id : languages.Available()) {
        if (id == languages.GetCurrent()) {
            currentLanguage = static_cast<int32_t>(m_languages.size());
        }
        m_languages.push_back(id);
        languageNames.push_back(tsv::LanguageName(id));
    }
    tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile();
    m_options = {
        {OptionId::Sound, Bars(), BarIndex(config.soundVolume)},
        {OptionId::Music, Bars(), BarIndex(config.musicVolume)},
        {OptionId::Display, {Text("$Screen.Options.modeFullscreen"), Text("$Screen.Options.modeWindowed")},
         config.fullscreen ? 0 : 1},
        {OptionId::Language, languageNames, currentLanguage},
        {OptionId::Cursor, yesNo, config.systemCursor ? 1 : 0},
        {OptionId::Hints, yesNo, profile && profile->GetHints() ? 0 : 1},
        {OptionId::Clock, {Text("$Screen.Options.clockTimed"), Text("$Screen.Options.clockRelaxed")},
         m_state.IsClockRelaxed() ? 1 : 0},
    };
    for (const Option& option : m_options) {
        ShowValue(option);
    }

    // Several buttons share each name; their tags tell the options apart.
    GetRoot()->Walk([this](tsv::GUIComponent& component, int) {
        const bool dec = component.GetName() == "decbutton";
        const Option* option = FindNumbered(std::abs(component.GetTag()));
        if ((dec || component.GetName() == "incbutton") && option) {
            const OptionId id = option->id;
            const Step step = dec ? Step::Back : Step::Forward;
            component.SetHandler(tsv::GuiEvent::Click, [this, id, step](tsv::GUIComponent&) { Change(id, step); });
        }
    });
    SetHandler("okbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { Leave(Closing::Keep); });
    SetHandler("cancelbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) { Leave(Closing::PutBack); });
    if (tsv::GUIComponent* credits = FindComponent("creditsbutton")) {
        if (m_actions.credits) {
            SetHandler("creditsbutton", tsv::GuiEvent::Click, [this](tsv::GUIComponent&) {
                if (!m_leaving) {
                    m_leaving = true;
                    m_actions.credits();
                }
            });
        } else {
            credits->SetEnabled(false);
        }
    }
    if (!profile) {
        // Hints and the clock belong to a profile; without one there is nothing to set.
        GetRoot()->Walk([](tsv::GUIComponent& component, int) {
            const int32_t number = std::abs(component.GetTag());
            if (number == OptionNumber(OptionId::Hints) || number == OptionNumber(OptionId::Clock)) {
                component.SetEnabled(false);
            }
        });
    }
}

const OptionsScreen::Option* OptionsScreen::Find(OptionId id) const
{
    for (const Option& option : m_options) {
        if (option.id == id) {
            return &option;
        }
    }
    return nullptr;
}

OptionsScreen::Option* OptionsScreen::FindNumbered(int32_t number)
{
    for (Option& option : m_options) {
        if (OptionNumber(option.id) == number) {
            return &option;
        }
    }
    return nullptr;
}

void OptionsScreen::Change(OptionId id, Step step)
{
    Option* option = FindNumbered(OptionNumber(id));
    if (!option || option->values.empty() || m_leaving) {
        return;
    }
    const int32_t last = static_cast<int32_t>(option->values.size()) - 1;
    int32_t index = option->index + (step == Step::Back ? -1 : 1);
    if (option->id == OptionId::Sound || option->id == OptionId::Music) {
        index = std::clamp(index, 0, last); // a bar stops at its ends
    } else if (index < 0) {
        index = last;
    } else if (index > last) {
        index = 0;
    }
    option->index = index;
    ShowValue(*option);
    Apply(*option);
}

void OptionsScreen::Apply(const Option& option)
{
    tsv::Config& config = tsv::GetConfig();
    const float volume = static_cast<float>(option.index) / static_cast<float>(kBarSteps - 1);
    switch (option.id) {
    case OptionId::Sound:
        config.soundVolume = volume;
        tsv::SoundManager::Instance().SetGroupVolume(volume, tsv::kEffectGroup);
        break;
    case OptionId::Music:
        config.musicVolume = volume;
        tsv::SoundManager::Instance().SetGroupVolume(volume, tsv::kMusicGroup);
        break;
    case OptionId::Display:
        config.fullscreen = option.index == 0;
        if (tsv::FrameLoop::Instance().IsInitialised()) {
            tsv::FrameLoop::Instance().SetWindowed(option.index != 0);
        }
        break;
    case OptionId::Language:
        tsv::LanguageManager::Instance().SwitchLanguage(m_languages[static_cast<size_t>(option.index)]);
        if (m_actions.rebuild) {
            m_leaving = true; // this screen's texts are of the old language
            m_actions.rebuild(m_opened);
        }
        break;
    case OptionId::Cursor:
        config.systemCursor = option.index == 1;
        ShowSystemCursor(config.systemCursor);
        break;
    case OptionId::Hints:
        if (tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile()) {
            profile->SetHints(option.index == 0);
        }
        break;
    case OptionId::Clock:
        m_state.SetClockRelaxed(option.index == 1);
        break;
    default:
        break;
    }
}

void OptionsScreen::Run()
{
    // F11 or Alt+Return switch the mode while this screen shows; its line
    // follows the configuration they wrote.
    const int32_t mode = tsv::GetConfig().fullscreen ? 0 : 1;
    for (Option& option : m_options) {
        if (option.id == OptionId::Display && option.index != mode) {
            option.index = mode;
            ShowValue(option);
        }
    }
    tsv::Screen::Run();
}

void OptionsScreen::ShowValue(const Option& option)
{
    tsv::GUIComponent* text = FindComponent("valuetext" + std::to_string(OptionNumber(option.id)));
    if (!text) {
        return;
    }
    if (option.id == OptionId::Language) {
        ShowLanguageName(*text, m_languages[static_cast<size_t>(option.index)]);
        return;
    }
    text->SetCaption(option.values[static_cast<size_t>(option.index)]);
}

void OptionsScreen::ShowLanguageName(tsv::GUIComponent& text, tsv::LanguageId id)
{
    // Each language by its own name, in its own letters: with the language's
    // own font where the current one's code page cannot hold them.
    const tsv::LanguageManager& languages = tsv::LanguageManager::Instance();
    const tsv::LanguageManager::OwnName& own = languages.GetOwnName(id);
    tsv::FontPtr font;
    std::string name = own.text;
    if (name.empty()) {
        name = tsv::LanguageName(id); // a file without its own name
    } else if (own.codePage != languages.GetCodePage()) {
        tsv::FontPtr& loaded = m_nameFonts[own.fontPath];
        if (!loaded && !own.fontPath.empty()) {
            loaded = tsv::MakeIntrusive<tsv::Font>();
            loaded->SetCodePage(own.codePage);
            if (!loaded->Load(own.fontPath)) {
                loaded.Reset();
            }
        }
        font = loaded;
        if (!font) {
            name = tsv::LanguageName(id);
        }
    }
    text.SetCaptionFont(font);
    text.SetCaption(name);
}

void OptionsScreen::Restore(const Settings& settings)
{
    tsv::Config& config = tsv::GetConfig();
    config.soundVolume = settings.soundVolume;
    config.musicVolume = settings.musicVolume;
    tsv::SoundManager::Instance().SetGroupVolume(settings.soundVolume, tsv::kEffectGroup);
    tsv::SoundManager::Instance().SetGroupVolume(settings.musicVolume, tsv::kMusicGroup);
    if (config.fullscreen != settings.fullscreen) {
        config.fullscreen = settings.fullscreen;
        if (tsv::FrameLoop::Instance().IsInitialised()) {
            tsv::FrameLoop::Instance().SetWindowed(!settings.fullscreen);
        }
    }
    tsv::LanguageManager& languages = tsv::LanguageManager::Instance();
    if (languages.GetCurrent() != settings.language) {
        languages.SwitchLanguage(settings.language);
    }
    if (config.systemCursor != settings.systemCursor) {
        config.systemCursor = settings.systemCursor;
        ShowSystemCursor(settings.systemCursor);
    }
    if (tsv::IntrusivePtr<Profile> profile = m_state.CurrentProfile()) {
        profile->SetHints(settings.hints);
        m_state.SetClockRelaxed(settings.relaxedClock);
    }
}

void OptionsScreen::Leave(Closing closing)
{
    if (m_leaving) {
        return;
    }
    m_leaving = true;
    if (closing == Closing::PutBack) {
        Restore(m_opened);
    }
    tsv::ConfigHolder::Instance().Save();
    if (m_state.CurrentProfile()) {
        m_state.Profiles().Save(); // the hints flag
    }
    if (m_actions.done) {
        m_actions.done();
    }
}

} // namespace bsh
