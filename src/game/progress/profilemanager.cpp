#include "game/progress/profilemanager.h"

#include "engine/core/log.h"
#include "engine/core/storage.h"
#include "engine/core/util/file/damagedfile.h"
#include "engine/core/util/file/filestream.h"

#include <algorithm>
#include <fstream>
#include <sys/stat.h>
#include <cstdio>

namespace bsh {

using tsv::EndL;
using tsv::GetLog;

std::string ProfileManager::FilePath()
{
    return tsv::GetStoragePath() + kFileName;
}

tsv::IntrusivePtr<Profile> ProfileManager::Current() const
{
    return m_profiles.empty() ? nullptr : m_profiles.front();
}

tsv::IntrusivePtr<Profile> ProfileManager::Find(const std::string& name) const
{
    for (const auto& profile : m_profiles) {
        if (profile->GetName() == name) {
            return profile;
        }
    }
    return nullptr;
}

ProfileManager::AddResult ProfileManager::Add(const tsv::IntrusivePtr<Profile>& profile)
{
    if (Count() >= kMaxProfiles) {
        return AddResult::TooMany;
    }
    if (!profile || profile->GetName().empty()) {
        return AddResult::NameEmpty;
    }
    if (Find(profile->GetName())) {
        return AddResult::NameTaken;
    }
    m_profiles.insert(m_profiles.begin(), profile);
    return AddResult::Ok;
}

bool ProfileManager::Select(const std::string& name)
{
    auto it = std::find_if(m_profiles.begin(), m_profiles.end(),
                           [&](const auto& profile) { return profile->GetName() == name; });
    if (it == m_profiles.end()) {
        return false;
    }
    std::rotate(m_profiles.begin(), it, it + 1);
    return true;
}

bool ProfileManager::Remove(const std::string& name)
{
    auto it = std::find_if(m_profiles.begin(), m_profiles.end(),
                           [&](const auto& profile) { return profile->GetName() == name; });
    if (it == m_profiles.end()) {
        return false;
    }
    m_profiles.erase(it);
    return true;
}

bool ProfileManager::ProfilesOnDisk()
{
    const std::string path = tsv::PlayerFileSource(FilePath());
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        return false; // not waiting on a pipe or reading a folder
    }
    std::ifstream file(path, std::ios::binary);
    unsigned char count[4] = {};
    if (!file.read(reinterpret_cast<char*>(count), sizeof count)) {
        return false;
    }
    const int32_t profiles = static_cast<int32_t>(count[0] | count[1] << 8 | count[2] << 16 | uint32_t{count[3]} << 24);
    return profiles >= 1 && profiles <= kMaxProfiles;
}

bool ProfileManager::Load()
{
    GetLog() << tsv::Hint << "Loading profile data..." << EndL;
    m_profiles.clear();
    std::string bytes;
    switch (tsv::ReadPlayerFile(FilePath(), bytes)) {
    case tsv::EPlayerFileRead::Missing:
        GetLog() << tsv::Warning << "Profile data not found" << EndL;
        return false;
    case tsv::EPlayerFileRead::Unreadable:
        m_untouchable = true;
        return false;
    case tsv::EPlayerFileRead::Read:
        break;
    }
    tsv::RecordReader in(bytes);
    int32_t count = in.ReadInt32();
    if (count < 1 || count > kMaxProfiles) {
        GetLog() << tsv::Warning << "Profile format is corrupted" << EndL;
        // The game itself writes an empty list as a bare count of 0: only
        // anything else is damage worth keeping.
        if (count != 0 || !in.AtEnd() || in.IsShort()) {
            tsv::KeepDamagedFile(FilePath());
        }
        return false;
    }
    for (int32_t i = 1; i <= count; ++i) {
        tsv::IntrusivePtr<Profile> profile(new Profile());
        if (!profile->Load(in)) {
            // The profiles read so far stay in play; the file is kept aside
            // before the next save replaces it.
            GetLog() << tsv::Warning << "Profile #" << i << " corrupted!" << EndL;
            tsv::KeepDamagedFile(FilePath());
            return !m_profiles.empty();
        }
        GetLog() << tsv::Hint << "User data loaded for: \"" << profile->GetName() << "\"" << EndL;
        m_profiles.push_back(profile);
    }
    // A value out of its range is read as something else: such a file does
    // not write back as it was, so it is kept before the next save.
    tsv::RecordWriter again;
    again.WriteInt32(count);
    for (const auto& profile : m_profiles) {
        profile->Save(again);
    }
    if (again.Bytes() != bytes) {
        GetLog() << tsv::Warning << "Profile data holds values out of range" << EndL;
        tsv::KeepDamagedFile(FilePath());
    }
    GetLog() << tsv::Hint << "Profile data loaded success" << EndL;
    return true;
}

bool ProfileManager::Save() const
{
    if (m_untouchable) {
        GetLog() << tsv::Warning << FilePath() << ": not written, the file there could not be read" << EndL;
        return false;
    }
    tsv::RecordWriter out;
    out.WriteInt32(Count());
    for (const auto& profile : m_profiles) {
        profile->Save(out);
    }
    return tsv::WriteFileAtomically(FilePath(), out.Bytes());
}

} // namespace bsh
