#pragma once
// A temporary storage folder that the Application uses while the helper lives.

#include "support/testsupport.h"

#include <string>
#include <vector>

namespace bsh::test {

using testsupport::LogCapture;

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

} // namespace bsh::test
