#pragma once
// The text of an edit box with its caret and selection, as plain data. Texts
// are in the language's code page; positions are byte offsets that always lie
// on character boundaries.

#include <cstddef>
#include <cstdint>
#include <string>

namespace tsv {

struct TextEdit {
    std::string text;
    size_t caret = 0;
    int64_t selStart = -1, selEnd = -1; // -1: no selection; either order
    int32_t maxChars = 20;              // characters, not bytes
    std::string allowed;                // characters that may be typed; "" allows any
    uint32_t codePage = 0;

    bool HasSelection() const { return selStart >= 0 && selEnd >= 0 && selStart != selEnd; }
    void ClearSelection() { selStart = selEnd = -1; }
    std::string Selected() const;
    // Each returns whether the text changed.
    bool DeleteSelection();
    // One character (one or two bytes); refused when the box is full or the
    // character is not allowed. A selection goes first.
    bool Insert(const std::string& character);
    // Clipboard text, cut to the room left; the selection goes first.
    bool Paste(const std::string& text);
    bool Backspace();
    bool Delete();
    // Caret moves; `extend` grows the selection from where the caret was.
    void Left(bool extend);
    void Right(bool extend);
    void Home(bool extend);
    void End(bool extend);
    // Starts a selection at the caret unless one exists.
    void AnchorSelection();
    void SetText(const std::string& value);

private:
    void Extend(size_t from, bool extend);
};

// The per-key timing of held editing keys: the action happens on the first
// frame, again `firstDelay` ms later, then every `interval` ms.
struct KeyRepeat {
    enum class EState { Idle = 0, JustPressed = 1, Waiting = 2, Repeating = 3 };
    int32_t key = 0;
    EState state = EState::Idle;
    int64_t pressTime = 0;
    int64_t lastAction = 0;

    // Feeds the key held this frame (0 for none); true when the action is due now.
    bool Step(int32_t heldKey, int64_t now, int64_t firstDelay, int64_t interval);
};

} // namespace tsv
