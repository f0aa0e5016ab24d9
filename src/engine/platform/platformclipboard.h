#pragma once
// The platform's clipboard part.

#include <string>

namespace tsv {

class PlatformClipboard {
public:
    virtual ~PlatformClipboard() = default;

    // The system clipboard as UTF-8 plain text ("" when it holds none).
    // Headless runs keep a clipboard of their own.
    virtual std::string ClipboardGetText() const = 0;
    virtual void ClipboardSetText(const std::string& utf8) = 0;
};

} // namespace tsv
