// The command line, engine and game options together: the input is the
// arguments, each ended by a zero byte.
#include "fuzz/fuzztarget.h"

#include "engine/platform/runoptions.h"
#include "game/startup/gameoptions.h"

#include <vector>

BSH_FUZZ_TARGET(runoptions)
{
    std::vector<std::string> words{"brinestoneharbour"};
    std::string word;
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (!word.empty()) {
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
    return 0;
}
