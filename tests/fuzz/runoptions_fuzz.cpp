// The command line, engine and game options together: the input is the
// arguments, each ended by a zero byte.
#include "fuzz/fuzztarget.h"

#include "engine/platform/runoptions.h"
#include "game/startup/gameoptions.h"

#include <sstream>
#include <vector>

BSH_FUZZ_TARGET(runoptions)
{
    std::vector<std::string> words{"brinestoneharbour"};
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string word; std::getline(in, word, '\0');) {
        words.push_back(word);
    }
    std::vector<char*> argv;
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    tsv::RunOptions options;
    bsh::GameOptions game;
    std::string message;
    tsv::ParseRunOptions(static_cast<int>(words.size()), argv.data(), options, message, &game);
}
