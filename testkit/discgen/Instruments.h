#pragma once
// The demo songs' instruments: each call renders one note, mono, at 24000
// samples per second, with its attack and its release or natural decay, so
// the note lasts longer than `hold` seconds. Peaks stay near 1.0. The same
// arguments always give the same samples.
#include <cstdint>
#include <vector>

namespace wc::instrument {

// Frequency of a MIDI note number (69 is A 440 Hz).
double noteHz(int midiNote);

// A plucked string (Karplus-Strong with a fractional-delay all-pass, so it
// stays in tune): `brightness` 0..1 is the colour of the pluck, `damping` just
// below 1 how long it rings. Choked after `hold` seconds.
std::vector<float> pluck(double hz, double hold, double brightness, double damping, uint32_t seed);

std::vector<float> electricPiano(double hz, double hold);
std::vector<float> organ(double hz, double hold);
std::vector<float> strings(double hz, double hold);

std::vector<float> fingerBass(double hz, double hold, uint32_t seed);
std::vector<float> synthBass(double hz, double hold);
std::vector<float> roundBass(double hz, double hold);

std::vector<float> bell(double hz, double hold);
std::vector<float> squareLead(double hz, double hold);
std::vector<float> whistle(double hz, double hold);

std::vector<float> kick();
std::vector<float> snare(uint32_t seed);
std::vector<float> clap(uint32_t seed);
std::vector<float> hiHat(bool open, uint32_t seed);
std::vector<float> crash(uint32_t seed);

}  // namespace wc::instrument
