#pragma once
// The players of this game: up to six names, one marked; ok makes the marked
// one current, new asks for a name, delete asks and takes one away with its
// saved runs. With no profile at all it asks for a name straight away.

#include "engine/gui/screen.h"
#include "game/progress/gamestate.h"

#include <functional>
#include <string>

namespace bsh {

class ProfileScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/profilescreen.xml";
    static constexpr int kItems = ProfileManager::kMaxProfiles;

    // `onDone` leads on (to the main menu) once ok, cancel or a new name closed the screen.
    ProfileScreen(GameState& state, std::function<void()> onDone);

    void OnShown() override;

    // The list as the profile manager holds it; the marker back on item 1.
    void Fill();
    void Mark(int item);
    int GetMarked() const { return m_marked; }

    void AskForName();
    void ShowButtons(bool shown);
    // What a confirmed name does; true when the profile was added.
    bool AddProfile(const std::string& name);
    void AskToDelete();
    void DeleteMarked();

private:
    void ShowInfo(const char* key);
    void Leave();
    // The profiles file; none at all when the last profile went, so the next
    // start asks for a name instead of reading an empty list.
    void SaveProfiles();

    GameState& m_state;
    std::function<void()> m_onDone;
    int m_marked = 1;
    bool m_leaving = false;
    bool m_dialogOpen = false;
};

} // namespace bsh
