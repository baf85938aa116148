// The designs that ship with the saver.
#pragma once

constexpr int SEEDED_DESIGN_COUNT = 23;
constexpr int UPGRADE_DESIGN_COUNT = 16;

// Written into slots 1 to 23 on first use, in this order.
extern const char *const SEEDED_DESIGNS[SEEDED_DESIGN_COUNT];

struct UpgradeDesign {
  // Text whose presence in an existing slot means the design is already there.
  const char *SearchName;
  const char *Text;
};

// Added into free slots from 24 on by the upgrade from an older settings version, in this order.
extern const UpgradeDesign UPGRADE_DESIGNS[UPGRADE_DESIGN_COUNT];
