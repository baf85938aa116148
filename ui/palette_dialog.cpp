#include "ui/palette_dialog.h"

#include "resources/resource_ids.h"
#include "ui/dialog_helpers.h"

namespace {

constexpr int NUMBER_CHARS = 29;

struct Channel {
  int minId, maxId;
  int32_t SettingsStore::*min;
  int32_t SettingsStore::*max;
  const char *minKey, *maxKey;
};
const Channel CHANNELS[] = {
    {IDC_RED_MIN, IDC_RED_MAX, &SettingsStore::RedMin, &SettingsStore::RedMax, "RedMin", "RedMax"},
    {IDC_GREEN_MIN, IDC_GREEN_MAX, &SettingsStore::GreenMin, &SettingsStore::GreenMax, "GreenMin", "GreenMax"},
    {IDC_BLUE_MIN, IDC_BLUE_MAX, &SettingsStore::BlueMin, &SettingsStore::BlueMax, "BlueMin", "BlueMax"},
};

void Open(HWND dialog) {
  const SettingsStore &s = Configuration().settings;
  for (const Channel &c : CHANNELS) {
    SetDialogItemNumber(dialog, c.minId, s.*c.min);
    SetDialogItemNumber(dialog, c.maxId, s.*c.max);
  }
}

void Store(HWND dialog) {
  SettingsStore &s = Configuration().settings;
  int32_t read[6];
  for (int i = 0; i < 3; ++i) read[i] = DialogItemNumber(dialog, CHANNELS[i].minId, NUMBER_CHARS);
  for (int i = 0; i < 3; ++i) read[3 + i] = DialogItemNumber(dialog, CHANNELS[i].maxId, NUMBER_CHARS);
  for (int i = 0; i < 3; ++i) {
    const Channel &c = CHANNELS[i];
    int32_t low = read[i] > 253 ? 254 : read[i] <= 0 ? 0 : read[i];
    int32_t high = read[3 + i] > 254 ? 255 : read[3 + i];
    if (high <= low) high = low + 1;
    s.*c.min = low;
    s.*c.max = high;
  }
  for (const Channel &c : CHANNELS) WriteSettingInt(s, c.minKey, static_cast<uint32_t>(s.*c.min));
  for (const Channel &c : CHANNELS) WriteSettingInt(s, c.maxKey, static_cast<uint32_t>(s.*c.max));
}

}  // namespace

INT_PTR CALLBACK PALETTEMsgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  return SubDialogMessage(dialog, message, wParam, Open, Store, "Palette");
}
