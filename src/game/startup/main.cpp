#include "game/startup/startup.h"

int main(int argc, char** argv) { return bsh::RunGame(argc, argv); }
