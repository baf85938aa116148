// Digit keys play tracks of an audio CD while the saver listens: a digit plays its track, two
// digits typed within half a second play the two-digit track, 0 stops.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <cstdint>

constexpr DWORD CD_DIGIT_WINDOW = 500;

struct CdKeys {
  // The media command interface; a test may record the commands instead.
  decltype(&mciSendStringA) sendCommand = mciSendStringA;
  DWORD lastKeyTime = 0;
  uint32_t lastDigit = 0;
};

extern CdKeys cdKeys;

void CdKey(uint32_t digit);
// The same at a given tick count.
void CdKeyAt(uint32_t digit, DWORD now);
