#include "engine/gui/standarddialog.h"

#include "engine/gui/languagemanager.h"

#include <algorithm>

namespace tsv {

namespace {

// Gap between the two buttons, and their margin around the caption, in pixels.
constexpr int32_t kButtonGap = 24;
constexpr int32_t kButtonMargin = 36;
// Room kept between the buttons and the plate's edges.
constexpr int32_t kPlateMargin = 28;

} // namespace

const char* DialogScreenFile(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Confirm:
        return "/gui/confirmscreen.xml";
    case DialogKind::Info:
        return "/gui/infoscreen.xml";
    case DialogKind::Input:
        return "/gui/inputscreen.xml";
    default:
        return "";
    }
}

StandardDialog::StandardDialog(const std::string& message, DialogKind kind) : m_kind(kind), m_message(message)
{
    const std::string file = DialogScreenFile(kind);
    OpenOverStack();
    if (file.empty() || !LoadScreenFile(file)) {
        return;
    }
    SetHandler("yesbutton", GuiEvent::Click, [this](GUIComponent&) { OnYes(); });
    if (GetRoot()->Find("nobutton")) {
        SetHandler("nobutton", GuiEvent::Click, [this](GUIComponent&) { OnNo(); });
    }
    if (!message.empty()) {
        SetMessage(message);
    }
    PlaceButtons(); // the language's captions may need wider buttons
}

void StandardDialog::SetMessage(const std::string& message)
{
    m_message = message;
    if (GUIComponent* label = GetRoot() ? FindComponent("messagetext") : nullptr) {
        label->SetCaption(message);
    }
}

void StandardDialog::SetYesCaption(const std::string& caption)
{
    if (GUIComponent* yes = GetRoot() ? FindComponent("yesbutton") : nullptr) {
        yes->SetCaption(caption);
    }
    PlaceButtons();
}

void StandardDialog::SetNoCaption(const std::string& caption)
{
    GUIComponent* no = GetRoot() ? GetRoot()->Find("nobutton") : nullptr;
    if (!no) {
        return;
    }
    no->SetCaption(caption);
    no->SetVisible(!caption.empty());
    PlaceButtons();
}

void StandardDialog::PlaceButtons()
{
    GUIComponent* yes = GetRoot() ? GetRoot()->Find("yesbutton") : nullptr;
    GUIComponent* no = GetRoot() ? GetRoot()->Find("nobutton") : nullptr;
    if (!yes) {
        return;
    }
    // Both buttons as wide as the wider caption needs (never narrower than
    // the file made them), side by side around the yes button's old centre line.
    const Font* font = LanguageManager::Instance().GetFont(yes->GetFontId());
    auto needed = [font](GUIComponent* button) {
        if (!button || !font || button->GetCaption().empty()) {
            return 0;
        }
        return static_cast<int32_t>(font->MeasureText(button->GetCaption()).x * button->GetCaptionScale()) +
               kButtonMargin;
    };
    const bool pair = no && no->GetOwnVisible() && !no->GetCaption().empty();
    // No wider than the plate allows; a caption beyond that is shrunk by its button.
    const int32_t plate = GetRoot()->GetWidth() - 2 * kPlateMargin;
    const int32_t widest = pair ? (plate - kButtonGap) / 2 : plate;
    const int32_t width =
        std::min(widest, std::max({yes->GetWidth(), needed(yes), pair ? needed(no) : 0}));
    const int32_t y = yes->GetY();
    if (pair) {
        const int32_t half = (width + kButtonGap) / 2;
        yes->SetSize(width, yes->GetHeight());
        no->SetSize(width, no->GetHeight());
        yes->SetCenter(-half, y);
        no->SetCenter(half, y);
    } else {
        yes->SetSize(width, yes->GetHeight());
        yes->SetCenter(0, y);
    }
}

void StandardDialog::OnShown()
{
    // An input dialog is ready for typing at once.
    if (GUIComponent* box = GetRoot() ? GetRoot()->Find("editbox") : nullptr) {
        SetFocus(box);
    }
}

void StandardDialog::OnYes()
{
    GUIComponent* box = GetRoot() ? GetRoot()->Find("editbox") : nullptr;
    m_entered = box && box->IsVisible() ? box->GetText() : std::string();
    CloseWith(m_yesCode);
}

void StandardDialog::OnNo()
{
    m_entered.clear();
    CloseWith(m_noCode);
}

void StandardDialog::CloseWith(int32_t result)
{
    if (IsClosing()) {
        return; // a second click while the dialog fades changes nothing
    }
    m_result = result;
    Close();
}

} // namespace tsv
