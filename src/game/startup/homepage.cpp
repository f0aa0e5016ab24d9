#include "game/startup/homepage.h"

#include "engine/core/log.h"

#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace bsh {

bool OpenHomePage(const std::string& link)
{
    if (link.rfind("http://", 0) != 0 && link.rfind("https://", 0) != 0) {
        tsv::GetLog() << tsv::Warning << "Home page link refused (not http or https): " << link << tsv::EndL;
        return false;
    }
    std::string program = "xdg-open";
    std::string argument = link;
    char* argv[] = {program.data(), argument.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawnp(&pid, "xdg-open", nullptr, nullptr, argv, environ) != 0) {
        tsv::GetLog() << tsv::Warning << "Cannot start xdg-open for the home page" << tsv::EndL;
        return false;
    }
    // Reaped aside, so the game neither waits for the browser nor keeps a zombie.
    std::thread([pid] { ::waitpid(pid, nullptr, 0); }).detach();
    return true;
}

} // namespace bsh
