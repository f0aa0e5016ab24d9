#pragma once
// What the program calls to bring up the GUI layer.

#include "engine/platform/runoptions.h"

namespace tsv {

// Once the scene is initialised: chooses the language (the run's --language
// for this run only, else the settings, else the user's locale), puts up the
// mouse pointer and, with --screen, shows that screen file. False when the
// run cannot go on (no language, or a screen file that gives no screen); the
// log says why.
bool StartGui(const RunOptions& options);

} // namespace tsv
