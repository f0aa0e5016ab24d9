#pragma once
// A tutorial text near the thing it is about. While it shows (after its first
// half second) the game's clock stands still; from two seconds on a mouse
// button, Escape, Space or Return closes it.

#include "engine/gui/font.h"
#include "engine/gui/languagetable.h"
#include "engine/gui/screen.h"

#include <cstdint>
#include <string>
#include <vector>

namespace bsh {

// A rectangle of the view, in world pixels (0, 0 at the view's centre).
struct ViewRect {
    float left = 0, top = 0, right = 0, bottom = 0;
    float Width() const { return right - left; }
    float Height() const { return bottom - top; }
    // The area the two rectangles share, 0 when they do not meet.
    float Overlap(const ViewRect& other) const;
};

// Where a tutorial box of `width` x `height` goes: beside `about` (the cells
// it talks of: below, above, right or left of them), inside the view, never
// over `about`, and over as little of `board` (the board's squares) as can
// be. Returns the box's rectangle.
ViewRect PlaceBeside(float width, float height, const ViewRect& about, const ViewRect& board);

class HintBox : public tsv::Screen {
public:
    tsv::SceneNode* GetDrawnNode() const override { return m_frame.Get(); }
    static constexpr int64_t kPauseAfterMs = 500;
    static constexpr int64_t kClosableAfterMs = 2000;
    static constexpr int32_t kLayer = 4;
    static constexpr float kMinWidth = 10.0f;
    // The title font is drawn for headings; in the box it reads at about the
    // size of the body text.
    static constexpr float kTextScale = 0.55f;

    // The text as the box shows it: its lines (wrapped at blanks, or between
    // any two characters in Japanese and Chinese), their height and the
    // box's size, all in pixels.
    struct Layout {
        std::vector<std::string> lines;
        float lineHeight = 20.0f;
        float width = 0, height = 0;
    };
    static Layout Lay(const tsv::Font* font, const std::string& text, float width, tsv::LanguageId language);

    HintBox();
    // The game's clock runs again when the box goes.
    ~HintBox() override;

    // The text's width in pixels (at least 10), the language key of the text,
    // and the world position near which the box shows; the box stays inside
    // the view. Placing starts its clock.
    void Place(float width, const std::string& key, float x, float y);
    // Beside the cells it talks of, off them and off as much of the board as
    // can be (see PlaceBeside).
    void PlaceBesideCells(float width, const std::string& key, const ViewRect& about, const ViewRect& board);

    void Run() override;
    // Leaving the stack (closed, or swept away with the others) lets the clock run.
    void OnRemove() override;
    // Closes the box as a click does (once it may be closed).
    bool Dismiss();
    bool IsClosable() const;
    const std::string& GetKey() const { return m_key; }

private:
    void Build();
    int64_t SystemNow() const;

    std::string m_key;
    float m_width = 200.0f;
    float m_x = 0, m_y = 0;
    bool m_beside = false; // placed by PlaceBeside rather than at (m_x, m_y)
    ViewRect m_about, m_board;
    int64_t m_placedAt = 0;
    bool m_pausedClock = false;
    bool m_closed = false;
    tsv::SceneNodePtr m_frame;
};

using HintBoxPtr = tsv::IntrusivePtr<HintBox>;

} // namespace bsh
