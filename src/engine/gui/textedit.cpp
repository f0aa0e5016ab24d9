#include "engine/gui/textedit.h"

#include "engine/core/util/file/textconvert.h"

#include <algorithm>

namespace tsv {

std::string TextEdit::Selected() const
{
    if (!HasSelection()) {
        return {};
    }
    const auto [from, to] = std::minmax(selStart, selEnd);
    return text.substr(static_cast<size_t>(from), static_cast<size_t>(to - from));
}

bool TextEdit::DeleteSelection()
{
    if (!HasSelection()) {
        ClearSelection();
        return false;
    }
    const auto [from, to] = std::minmax(selStart, selEnd);
    text.erase(static_cast<size_t>(from), static_cast<size_t>(to - from));
    caret = static_cast<size_t>(from);
    ClearSelection();
    return true;
}

bool TextEdit::Insert(const std::string& character)
{
    if (character.empty()) {
        return false;
    }
    if (!allowed.empty() && allowed.find(character) == std::string::npos) {
        return false;
    }
    const bool removed = DeleteSelection();
    if (static_cast<int64_t>(CharCount(text, codePage)) >= maxChars) {
        return removed;
    }
    text.insert(caret, character);
    caret += character.size();
    return true;
}

bool TextEdit::Paste(const std::string& pasted)
{
    const bool removed = DeleteSelection();
    int64_t room = maxChars - static_cast<int64_t>(CharCount(text, codePage));
    size_t take = 0;
    while (room > 0 && take < pasted.size()) {
        const unsigned char c = static_cast<unsigned char>(pasted[take]);
        if (c == '\r' || c == '\n') {
            break; // one line only
        }
        take += CharLength(pasted, take, codePage);
        --room;
    }
    if (take == 0) {
        return removed;
    }
    text.insert(caret, pasted, 0, take);
    caret += take;
    return true;
}

bool TextEdit::Backspace()
{
    if (DeleteSelection()) {
        return true;
    }
    if (caret == 0) {
        return false;
    }
    const size_t start = PreviousCharStart(text, caret, codePage);
    text.erase(start, caret - start);
    caret = start;
    return true;
}

bool TextEdit::Delete()
{
    if (DeleteSelection()) {
        return true;
    }
    if (caret >= text.size()) {
        return false;
    }
    text.erase(caret, CharLength(text, caret, codePage));
    return true;
}

void TextEdit::Extend(size_t from, bool extend)
{
    if (!extend) {
        ClearSelection();
        return;
    }
    if (selStart < 0) {
        selStart = static_cast<int64_t>(from);
    }
    selEnd = static_cast<int64_t>(caret);
}

void TextEdit::Left(bool extend)
{
    const size_t from = caret;
    if (caret > 0) {
        caret = PreviousCharStart(text, caret, codePage);
    }
    Extend(from, extend);
}

void TextEdit::Right(bool extend)
{
    const size_t from = caret;
    caret = std::min(text.size(), caret + CharLength(text, caret, codePage));
    Extend(from, extend);
}

void TextEdit::Home(bool extend)
{
    const size_t from = caret;
    caret = 0;
    Extend(from, extend);
}

void TextEdit::End(bool extend)
{
    const size_t from = caret;
    caret = text.size();
    Extend(from, extend);
}

void TextEdit::AnchorSelection()
{
    if (selStart < 0) {
        selStart = selEnd = static_cast<int64_t>(caret);
    }
}

void TextEdit::SetText(const std::string& value)
{
    text = value;
    caret = text.size();
    ClearSelection();
}

bool KeyRepeat::Step(int32_t heldKey, int64_t now, int64_t firstDelay, int64_t interval)
{
    if (heldKey == 0 || heldKey != key) {
        key = heldKey;
        state = heldKey ? EState::JustPressed : EState::Idle;
    }
    switch (state) {
    case EState::Idle:
        return false;
    case EState::JustPressed:
        state = EState::Waiting;
        pressTime = lastAction = now;
        return true;
    case EState::Waiting:
    case EState::Repeating: {
        if (state == EState::Waiting && now - pressTime > firstDelay) {
            state = EState::Repeating;
        }
        const int64_t wait = state == EState::Waiting ? firstDelay : interval;
        if (now - lastAction >= wait) {
            lastAction = now;
            return true;
        }
        return false;
    }
    }
    return false;
}

} // namespace tsv
