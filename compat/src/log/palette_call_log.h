// A record of the palette calls the system made (CreatePalette, SetPaletteEntries, SelectPalette,
// RealizePalette, AnimatePalette) and of GetDeviceCaps, the question that leads to them, for tests
// that check which of these happen (a true-colour display never sees SelectPalette, say). No
// other call is recorded. Off unless a test turns it on, so the hot drawing calls pay one branch.
#pragma once

#include <string>
#include <vector>

namespace compat {

void EnablePaletteCallLog(bool on);
void RecordPaletteCall(const char *name);
std::vector<std::string> TakePaletteCallLog();

}  // namespace compat
