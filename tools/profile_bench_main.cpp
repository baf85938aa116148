// Prints how long the saver's settings load takes for a fresh profile and for large ones
// (1 MB, and 2 MB with every favourite slot in use). Figures only: it exits 0 whatever they are.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/favorites.h"
#include "settings/settings_store.h"

namespace {

namespace fs = std::filesystem;

constexpr double TARGET_SECONDS = 0.2;  // for the 2 MB profile
constexpr int FAVORITE_SLOTS = FAVORITE_SLOT_LAST;

// Other programs' sections and stray keys of our own, up to `bytes` in all.
void AppendPadding(std::string &text, size_t bytes) {
  const std::string value(100, 'x');
  for (int section = 0; text.size() < bytes; ++section) {
    text += "[Other " + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 50 && text.size() < bytes; ++key)
      text += "Key" + std::to_string(key) + "=" + value + "\r\n";
  }
}

std::string LargeProfile(size_t bytes, bool everySlot) {
  std::string text = "[Lumivane 95]\r\nVersion=29\r\nSymmetry=7\r\n";
  const int slots = everySlot ? FAVORITE_SLOTS : 39;
  for (int slot = 1; slot <= slots; ++slot)
    text += "Favorite" + std::to_string(slot) + "=Design " + std::to_string(slot) +
            ",7,1000,100,120,80,1008,1,0,11,0,1,0,0,1000,1,1,1\r\n";
  AppendPadding(text, bytes);
  return text;
}

double SecondsToLoad(const fs::path &profile) {
  SettingsStore store;
  store.ProfileName = profile.string();
  const auto start = std::chrono::steady_clock::now();
  LoadSettings(store);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const fs::path folder = fs::temp_directory_path() / ("lumivane-profile-bench-" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(folder);
  const fs::path profile = folder / "control.ini";

  std::printf("settings load (LoadSettings), seconds:\n");
  std::printf("  fresh profile (seeds 39 designs)        %8.4f\n", SecondsToLoad(profile));
  const struct {
    const char *label;
    size_t bytes;
    bool everySlot;
  } cases[] = {{"1 MB profile", 1 << 20, false}, {"2 MB profile, all 255 favourites", 2 << 20, true}};
  double twoMegabytes = 0;
  for (const auto &c : cases) {
    std::ofstream(profile, std::ios::binary | std::ios::trunc) << LargeProfile(c.bytes, c.everySlot);
    const double first = SecondsToLoad(profile);
    const double again = SecondsToLoad(profile);
    std::printf("  %-40s %8.4f   (loaded again: %.4f)\n", c.label, first, again);
    twoMegabytes = first;
  }
  std::printf("target for the 2 MB profile: under %.1f s: %s\n", TARGET_SECONDS,
              twoMegabytes < TARGET_SECONDS ? "met" : "NOT met");
  fs::remove_all(folder);
  return 0;
}
