#pragma once
// The player profiles, current first, and their file "profiles.dat" in the
// storage folder.

#include "engine/core/intrusiveptr.h"
#include "game/progress/profile.h"

#include <string>
#include <vector>

namespace bsh {

class ProfileManager : public tsv::RefCounted {
public:
    static constexpr int kMaxProfiles = 6;
    static constexpr const char* kFileName = "profiles.dat";

    enum class AddResult : int32_t {
        Ok = 0,        // added at the front; it is now the current profile
        TooMany = 1,
        NameTaken = 2, // exact, case-sensitive byte comparison
        NameEmpty = 3,
    };

    ProfileManager() = default;
    ProfileManager(const ProfileManager&) = delete;
    ProfileManager& operator=(const ProfileManager&) = delete;

    // The first profile, null when there is none.
    tsv::IntrusivePtr<Profile> Current() const;
    int Count() const { return static_cast<int>(m_profiles.size()); }
    const std::vector<tsv::IntrusivePtr<Profile>>& Profiles() const { return m_profiles; }
    tsv::IntrusivePtr<Profile> Find(const std::string& name) const;

    // The checks run in the order: too many, empty name, name taken.
    AddResult Add(const tsv::IntrusivePtr<Profile>& profile);
    // Moves the named profile to the front, keeping the order of the others.
    bool Select(const std::string& name);
    bool Remove(const std::string& name);

    // Replaces the list with the file's profiles; a damaged profile ends the
    // load and keeps the ones before it. False when nothing usable was read.
    bool Load();
    // Writes every profile in list order, replacing the old file only once the
    // new one is complete on disk. False (logged) when the file could not be
    // written, and always after Load met a file it could not read: that file
    // is never written over.
    bool Save() const;
    bool IsFileUntouchable() const { return m_untouchable; }

    static std::string FilePath();
    // Whether the profiles file lists a profile, read without loading it
    // (nothing logged, moved aside or noted): a returning player.
    static bool ProfilesOnDisk();

private:
    std::vector<tsv::IntrusivePtr<Profile>> m_profiles;
    bool m_untouchable = false; // the file is there but could not be read
};

} // namespace bsh
