#include "ui/speed_dialog.h"

#include <algorithm>
#include <cstdio>

#include "resources/resource_ids.h"
#include "ui/dialog_helpers.h"

namespace {

constexpr int NUMBER_CHARS = 28;

void Open(HWND dialog) {
  const SettingsStore &s = Configuration().settings;
  SetDialogItemNumber(dialog, IDC_SPEED_GROUP_SIZE, s.SpeedGroupSize);
  SetDialogItemNumber(dialog, IDC_SPEED_INTERVAL, s.SpeedInterval);
  SetDialogItemNumber(dialog, IDC_SPEED_DIVISOR, s.Divisor);
  char line[64];
  std::snprintf(line, sizeof line, "Previous throughput = %ld lines/sec", Configuration().previousThroughput);
  SetDlgItemTextA(dialog, IDC_THROUGHPUT, line);
}

void Store(HWND dialog) {
  SettingsStore &s = Configuration().settings;
  s.SpeedGroupSize = std::clamp(DialogItemNumber(dialog, IDC_SPEED_GROUP_SIZE, NUMBER_CHARS), 1, 1000);
  s.SpeedInterval = std::clamp(DialogItemNumber(dialog, IDC_SPEED_INTERVAL, NUMBER_CHARS), 5, 1000);
  s.Divisor = std::clamp(DialogItemNumber(dialog, IDC_SPEED_DIVISOR, NUMBER_CHARS), 1, 50);
  WriteSettingInt(s, "SpeedInterval", static_cast<uint32_t>(s.SpeedInterval));
  WriteSettingInt(s, "SpeedGroupSize", static_cast<uint32_t>(s.SpeedGroupSize));
  WriteSettingInt(s, "Divisor", static_cast<uint32_t>(s.Divisor));
}

}  // namespace

INT_PTR CALLBACK SPEEDMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return SubDialogMessage(dialog, message, wParam, Open, Store, "Speed Limit");
}
