#pragma once
// The global way in to one of the engine's parts. The part is built, in
// order, by whoever owns the engine (the game's start-up, a test program's
// environment) and installed here for as long as the owner keeps it; the
// access point itself never builds anything, so reaching a part that is not
// there is a mistake that ends the program at once with a line saying which.

#include <cstdio>
#include <cstdlib>

namespace tsv {

template <class T>
class AccessPoint {
public:
    static T& Instance()
    {
        if (!s_installed) {
            std::fprintf(stderr, "tessvan: %s is used before its owner built it or after it went\n", T::kPartName);
            std::abort();
        }
        return *s_installed;
    }
    static bool IsInstalled() { return s_installed != nullptr; }

    // Held by the owner beside the part: installs it for the holder's lifetime
    // and puts back whatever was installed before.
    class Installation {
    public:
        explicit Installation(T& part) : m_previous(s_installed) { s_installed = &part; }
        ~Installation() { s_installed = m_previous; }
        Installation(const Installation&) = delete;
        Installation& operator=(const Installation&) = delete;

    private:
        T* m_previous;
    };

private:
    static inline T* s_installed = nullptr;
};

} // namespace tsv
