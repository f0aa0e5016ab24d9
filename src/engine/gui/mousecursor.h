#pragma once
// The game's own mouse pointer: a sprite on layer 101 that follows the mouse
// above everything, with an optional blinking mouse-button picture beside it.

#include "engine/core/accesspoint.h"
#include "engine/runtime/task.h"
#include "engine/scene/scenenode.h"

#include <cstdint>
#include <string>

namespace tsv {

inline constexpr int32_t kCursorArrow = 0;
inline constexpr int32_t kCursorHand = 1;
inline constexpr int32_t kCursorCustom = 2;
inline constexpr int32_t kCursorLayer = 101;

class MouseCursor : public AccessPoint<MouseCursor> {
public:
    enum class EButtonPicture { None, Left, Right };

    static constexpr int64_t kBlinkMs = 500;

    static constexpr const char* kPartName = "the mouse cursor";
    // In a started scene, put up at once and following the mouse; shown
    // unless the "systemcursor" setting is on.
    MouseCursor();
    ~MouseCursor();

    // 0 arrow, 1 hand, 2 the given texture (ignored when empty); other ids
    // are stored and leave the picture as it is.
    void SetCursor(int32_t id, const std::string& texturePath);
    int32_t GetCursor() const { return m_id; }
    const std::string& GetTexturePath() const { return m_texture; }
    // Asks for the blinking picture of a mouse button beside the pointer (a
    // tutorial's "click here"); None hides it.
    void ShowButton(EButtonPicture button);
    const std::string& GetButtonPicture() const;

    // One frame: follows the mouse (view pixels) and blinks the button picture.
    void Update(float mouseX, float mouseY, int64_t now);
    // Hides the own pointer while the system's is shown.
    void SetSystemCursor(bool system);
    const SceneNodePtr& GetRoot() const { return m_root; }

    MouseCursor(const MouseCursor&) = delete;
    MouseCursor& operator=(const MouseCursor&) = delete;

private:
    void PlacePointer();

    SceneNodePtr m_root;
    SceneNodePtr m_pointer;
    SceneNodePtr m_button;
    IntrusivePtr<Task> m_task;
    int32_t m_id = kCursorArrow;
    std::string m_texture;
    EButtonPicture m_asked = EButtonPicture::None;
    bool m_blinkOn = false;
    int64_t m_lastBlink = 0;
};

} // namespace tsv
