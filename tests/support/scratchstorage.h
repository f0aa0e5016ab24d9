#pragma once
// Test helpers: a temporary storage folder that the Application uses while the
// helper lives, and a capture of the log lines written meanwhile.

#include <string>
#include <vector>

namespace bsh::test {

class ScratchStorage {
public:
    ScratchStorage();
    ~ScratchStorage();
    ScratchStorage(const ScratchStorage&) = delete;
    ScratchStorage& operator=(const ScratchStorage&) = delete;

    // The folder, ending with "/".
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }
    void Write(const std::string& name, const std::string& bytes) const;
    // Empty when the file is missing.
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    std::vector<std::string> List() const;
    // The newest copy of `name` kept aside as damaged ("" when none), and its bytes.
    std::string DamagedPath(const std::string& name) const;
    std::string ReadDamaged(const std::string& name) const;

private:
    std::string m_path;
    std::string m_previousStorage;
};

struct CapturedLine {
    int level;
    std::string text;
};

// Records every log line while it lives.
class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<CapturedLine>& Lines() const;
    // The texts only, in order.
    std::vector<std::string> Texts() const;
    bool Contains(int level, const std::string& fragment) const;
    void Clear();
};

} // namespace bsh::test
