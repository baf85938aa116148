#include "engine/design_selection.h"

#include "audio/sound_capture.h"

#include "engine/crt_random.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"
#include "engine/renderer.h"
#include "settings/design_string.h"
#include "settings/favorites.h"

#include <cmath>

const double SYMMETRY_DRAW_FACTOR = std::nextafter(0.0045, 1.0);

namespace {

int32_t RandomSymmetry() {
  int a = RandomBelow(100);
  int b = RandomBelow(100);
  if (RandomBelow(15) == 1) return 1;
  return static_cast<int32_t>(b * a * SYMMETRY_DRAW_FACTOR) + 2;
}

int32_t RandomSpin() { return RandomBelow(3) == 0 ? 0 : RandomBelow(20) - 10; }

int32_t RandomLineSize() {
  int a = RandomBelow(100);
  int b = RandomBelow(100);
  return static_cast<int32_t>(b * a * 0.025) + 2;
}

int32_t RandomColorBands() { return RandomBelow(3) == 0 ? 0 : RandomBelow(100) + 15; }

int32_t RandomCheese() { return NextRandom() % 2 == 0 ? 0 : RandomBelow(17) * 10; }

}  // namespace

DesignParams DrawDesignValues(const DesignParams &design) {
  DesignParams inUse = design;
  const bool *random = design.PotLuck;
  if (random[POT_LUCK_SYMMETRY]) inUse.Symmetry = RandomSymmetry();
  if (random[POT_LUCK_SPIN]) inUse.Spin = RandomSpin();
  if (random[POT_LUCK_LINE_SIZE]) inUse.LineSize = RandomLineSize();
  if (random[POT_LUCK_TRAIL_LENGTH]) inUse.TrailLength = RandomBelow(250) + 2;
  if (random[POT_LUCK_SPEED]) inUse.Speed = RandomBelow(200) + 15;
  if (random[POT_LUCK_ROTATIONS]) inUse.Rotations = RandomBelow(40) - 20;
  if (random[POT_LUCK_COLOR_BANDS]) inUse.ColorBands = RandomColorBands();
  if (random[POT_LUCK_COLOR_BAND_WIDTH]) inUse.ColorBandWidth = RandomBelow(100);
  // Never "No Rotation": a random design always animates its palette.
  if (random[POT_LUCK_COLOR_ROTATION]) inUse.ColorRotation = RandomBelow(3);
  if (random[POT_LUCK_CHEESE]) inUse.Cheese = RandomCheese();
  return inUse;
}

bool PickRandomFavorite(SettingsStore &settings) {
  const std::string favList = ReadFavList(settings);
  // Without an eligible design (a hand-edited file) the draw below would never end.
  if (!AnyEligibleFavorite(settings, favList)) return false;
  for (;;) {
    int slot = RandomBelow(FAVORITE_PICK_SLOT_LAST) + 1;
    if (!SlotIsEligible(favList, slot)) continue;
    std::string text = ReadFavoriteSlot(settings, slot, FAVORITE_PLAY_MAX_CHARS);
    if (text.empty()) continue;
    ParsedDesign parsed = ParseDesignString(text, settings.Design, ParseMode::ForPlay);
    settings.Design = parsed.Design;
    settings.NegativeSpin = parsed.NegativeSpin;
    return true;
  }
}

void SelectNextDesign(HWND window, SettingsStore &settings) {
  if (settings.AllRandom) PickRandomFavorite(settings);

  RECT client = {};
  GetClientRect(window, &client);
  // The line model starts from the stored design: a random Symmetry is still 1993 here.
  ResetLineSet(client, settings.Design);

  DesignParams inUse = DrawDesignValues(settings.Design);
  if (SoundCaptureRunning() && inUse.Symmetry > SOUND_SYMMETRY_LIMIT) {
    inUse.Symmetry = SOUND_SYMMETRY_LIMIT;
  }

  SetSymmetry(inUse.Symmetry);
  SetSpin(inUse.Spin);
  SetLineSize(inUse.LineSize);
  SetTrailLength(inUse.TrailLength);
  SetSpeed(inUse.Speed);
  SetRotations(inUse.Rotations);
  SetBandCount(inUse.ColorBands);
  SetBandWidth(inUse.ColorBandWidth);
  SetRotationMode(window, inUse.ColorRotation);
  SetCheese(inUse.Cheese);
  ChooseStepRanges(settings.Design.Snazziness);
  SetCursorWrap(settings.Audio != 0, settings.Design.TrailLength);

  ResetTrailRing(settings.Reflections);

  if (client.right - client.left > LAST_DESIGN_MIN_WIDTH) {
    WriteFavoriteSlot(settings, 0, FormatLastDesign(inUse));
  }
  linesDrawn = 0;
}
