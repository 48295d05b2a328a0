// The program takes no arguments of its own; Qt reads its standard ones.
#include "app/WavecrateApp.h"

int main(int argc, char** argv) { return wc::runWavecrate(argc, argv); }
