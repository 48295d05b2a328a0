// Qt reads its standard arguments; the program's own (--disc-image FILE)
// are read in runWavecrate.
#include "app/WavecrateApp.h"

int main(int argc, char** argv) { return wc::runWavecrate(argc, argv); }
