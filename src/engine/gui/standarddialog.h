#pragma once
// The stock dialogs: a yes/no question, a message and a text input, each a
// screen built from its own screen file and driven by the components
// "messagetext", "yesbutton", "nobutton" and (input only) "editbox".

#include "engine/gui/screen.h"

#include <cstdint>
#include <string>

namespace tsv {

enum class DialogKind : int32_t { None = 0, Confirm = 1, Info = 2, Input = 3 };

// The screen file of a kind; "" for none.
const char* DialogScreenFile(DialogKind kind);

class StandardDialog : public Screen {
public:
    // Results the buttons give unless the caller chose others.
    static constexpr int32_t kYes = 1;
    static constexpr int32_t kNo = 0;
    // The result until a button closed the dialog.
    static constexpr int32_t kNoResult = -1;

    StandardDialog(const std::string& message, DialogKind kind);

    void SetMessage(const std::string& message);
    void SetYesCaption(const std::string& caption);
    // Also places the buttons: without a no caption the yes button stands
    // alone in the middle.
    void SetNoCaption(const std::string& caption);
    void SetResultCodes(int32_t yes, int32_t no)
    {
        m_yesCode = yes;
        m_noCode = no;
    }

    int32_t GetResult() const { return m_result; }
    const std::string& GetEnteredText() const { return m_entered; }
    DialogKind GetKind() const { return m_kind; }

    void OnShown() override;

private:
    void OnYes();
    void OnNo();
    void CloseWith(int32_t result);
    void PlaceButtons();

    DialogKind m_kind;
    std::string m_message;
    int32_t m_yesCode = kYes;
    int32_t m_noCode = kNo;
    int32_t m_result = kNoResult;
    std::string m_entered;
};

using StandardDialogPtr = IntrusivePtr<StandardDialog>;

} // namespace tsv
