// The program's own arguments (--disc-image FILE, --help, --version) are
// read in runWavecrate, Qt's standard ones by QApplication.
#include "app/WavecrateApp.h"

int main(int argc, char** argv) { return wc::runWavecrate(argc, argv); }
