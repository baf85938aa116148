#include "settings/design_record.h"

namespace {

// Member pointers in string order, so code can walk the fields by position.
constexpr int32_t DesignParams::*FIELDS_IN_STRING_ORDER[DESIGN_FIELD_COUNT] = {
    &DesignParams::Symmetry,      &DesignParams::Spin,       &DesignParams::LineSize,
    &DesignParams::TrailLength,   &DesignParams::Speed,      &DesignParams::Rotations,
    &DesignParams::ColorRotation, &DesignParams::ColorBands, &DesignParams::ColorBandWidth,
    &DesignParams::Cheese,        &DesignParams::Depth,      &DesignParams::Floating,
    &DesignParams::Migrating,     &DesignParams::Splitting,  &DesignParams::Snazziness,
    &DesignParams::PenWidth,      &DesignParams::CheeseType,
};

constexpr int POT_LUCK_OF_POSITION[POT_LUCK_COUNT] = {
    POT_LUCK_SYMMETRY,       POT_LUCK_SPIN,        POT_LUCK_LINE_SIZE,
    POT_LUCK_TRAIL_LENGTH,   POT_LUCK_SPEED,       POT_LUCK_ROTATIONS,
    POT_LUCK_COLOR_ROTATION, POT_LUCK_COLOR_BANDS, POT_LUCK_COLOR_BAND_WIDTH,
    POT_LUCK_CHEESE,
};

}  // namespace

int32_t &DesignParams::Field(int position) { return this->*FIELDS_IN_STRING_ORDER[position]; }

int32_t DesignParams::Field(int position) const { return this->*FIELDS_IN_STRING_ORDER[position]; }

int PotLuckIndexOfField(int position) { return POT_LUCK_OF_POSITION[position]; }
