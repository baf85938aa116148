#include "engine/crt_random.h"

namespace {
uint32_t randomState = 1;
}

void SeedRandom(uint32_t seed) { randomState = seed; }

int NextRandom() {
  randomState = randomState * 214013u + 2531011u;
  return static_cast<int>((randomState >> 16) & CRT_RAND_MAX);
}

int RandomBelow(int n) { return NextRandom() % n; }
