// Choosing the next design: a favourite picked at random or the current design, with every
// parameter left to chance drawn afresh, applied to the line model, the palette and the trail.
#pragma once

#include <windows.h>

#include "settings/design_record.h"
#include "settings/settings_store.h"

#include <cstdint>

// While sound capture runs a symmetry above this is applied as this.
constexpr int32_t SOUND_SYMMETRY_LIMIT = 12;
// Only a window wider than this (not the preview) records the last design.
constexpr LONG LAST_DESIGN_MIN_WIDTH = 600;

// One unit in the last place above 0.0045, so that the products 2000, 4000 and 6000 of a
// random symmetry's two draws give exactly 9, 18 and 27.
extern const double SYMMETRY_DRAW_FACTOR;

// The values a design is shown with: a value is drawn for every core parameter whose random
// flag is set, each by its own rule and in a fixed order; the others keep their stored value.
DesignParams DrawDesignValues(const DesignParams &design);

// Replaces the current design by a favourite drawn at random among the eligible slots
// (FavList read afresh). Returns false, leaving the design alone, when no eligible slot
// holds a design.
bool PickRandomFavorite(SettingsStore &settings);

// Picks the next design from these settings, applies it in the window (cleared by the caller)
// and records it as the last design when the window is wider than the preview.
void SelectNextDesign(HWND window, SettingsStore &settings);
