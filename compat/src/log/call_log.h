// A record of the Win32 calls the system made, for tests that check which calls happen
// (a true-colour display never sees SelectPalette, say). Off unless a test turns it on,
// so the hot drawing calls pay one branch.
#pragma once

#include <string>
#include <vector>

namespace compat {

void EnableCallLog(bool on);
bool CallLogEnabled();
void RecordCall(const char *name);
std::vector<std::string> TakeCallLog();

}  // namespace compat
