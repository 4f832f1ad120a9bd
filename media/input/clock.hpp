// Time and chance: milliseconds since start and the random generator. Tests can stop real time and
// move it by hand (delay, media/input/timer.hpp, then advances the test clock instantly).
#pragma once
#include <cstdint>

namespace media {

int millisecs();
// Milliseconds of the wall clock since 1970: different on every start, for seeding.
int64_t wall_millisecs();

void seed_random(int64_t seed);
int rand(int a, int b);
uint32_t random_state();

// Test seam: a manual clock. While it is on, millisecs() returns the set value and delay(ms) adds ms.
void use_manual_clock(bool on);
bool manual_clock();  // whether it is on
void set_manual_clock(int ms);
void advance_manual_clock(int ms);

}  // namespace media
