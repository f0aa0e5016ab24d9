#pragma once
// The picture under every menu: the screen file's (empty) root with the
// animated harbour backdrop attached below it. It takes no input.

#include "engine/gui/screen.h"

namespace bsh {

class BackgroundScreen : public tsv::Screen {
public:
    static constexpr const char* kScreenFile = "/gui/backgroundscreen.xml";
    static constexpr const char* kBackdrop = "/object/bg/gamebg2.xml";

    BackgroundScreen();

    const tsv::SceneNodePtr& GetBackdrop() const { return m_backdrop; }

private:
    tsv::SceneNodePtr m_backdrop; // leaves the scene with the root, goes with the screen
};

} // namespace bsh
