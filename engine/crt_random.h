// The classic C runtime generator, kept here so a seed draws the same pattern on every platform.
#pragma once

#include <cstdint>

constexpr int CRT_RAND_MAX = 0x7FFF;

void SeedRandom(uint32_t seed);
// Next value, 0 to CRT_RAND_MAX.
int NextRandom();
// Next value modulo n, the way every random choice of the saver draws (n > 0).
int RandomBelow(int n);
