#include "settings/builtin_designs.h"

// Kept byte for byte as they have always shipped, stray blanks and out-of-range values included:
// the upgrade recognises them by their text.
const char *const SEEDED_DESIGNS[SEEDED_DESIGN_COUNT] = {
    "Hypnotic Eye,31,0,50,180,100,4,1,210,10,0",
    "Electric Snow,6,0,50,180,50,11,1,90,10,0",
    "Mandala,12,0,180,180,100,4,0,140,6,0",
    "Juggler,3,-4,90,180,50,4,1,140,80,0",
    "Star,5,0,10,250,50,11,1,210,6,0",
    "Laser Fantasy,7,0,90,250,100,4,2,210,40,0",
    "Renaissance,12,0,90,80,100,11,1,90,6,45",
    "Black Hole,17,10,180,250,50,4,1,210,12,0",
    "Cosmic Clouds,12,4,50,180,100,4,1,90,40,0",
    "Nuclear,31,4,180,80,100,1,1,210,40,0",
    "Rainbow,12,0,90,180,100,4,1,20,12,60",
    "Meteor Shower,5,2,5,206,82,-3,1,102,71,0,4,1,1",
    "Fireworks,11,0,8,177,165,-5,2,66,35,0,3,1,1",
    "Prism,3,0,122,113,173,0,1,0,45",
    "Streamers,3,-6,35,180,125,1,1,90,10,0,2,1",
    "Bitty Dots,21,0,2,180,183,-6,1,111,66,0,2,1",
    "Bees,5,-6,14,180,131,9,1,120,5,0,2,1,1",
    "Swarm,7,-10,14,180,131,9,1,504,22,0,3,1,1",
    "Psychedelic,7,0,14,180,131,9,1,504,22,0,3,0,1",
    "Butterflies,3,-4,31,180,58,70,1,249,69,170,4,1,1",
    "Pot Luck,X,X,X,X,X,X,X,X,X,X",
    "Kites,0,0,58,74,36,5,1,0,13,60,4,1,1,0,3,1,0",
    "Fuzzy Logic,4,0,44,234,76,19,1,78,15,0,3,0,0,800,5",
};

const UpgradeDesign UPGRADE_DESIGNS[UPGRADE_DESIGN_COUNT] = {
    {"Audio! Settings", "Audio! Settings,7,0,76,140,140,2,1,1,7,0,2,0,1,0,1"},
    {"Shimmer", "Shimmer,7,0,75,145,68,-5,2,66,35,0,3,0,1,1000,1"},
    {"Ecstasy", "Ecstasy,7,0,107,177,128,0,1,79,31,50,3,0,1,0,1"},
    {"Big Mess", "Big Mess,7,0,157,177,167,-8,1,0,8,0,3,0,1,0,1"},
    {"Profusion", "Profusion,7,0,213,159,160,0,1,130,20,160,3,1,1,0,1"},
    {"Surprise!", "Surprise!,7,0,29,160,157,-4,1,61,50,0,3,1,1,1000,1"},
    {"Geoscope", "Geoscope,7,0,91,166,76,-6,1,600,231,60,4,0,1,1200,1,1,0"},
    {"Three Ring Circus", "Three Ring Circus,33,0,5,180,158,-6,1,196,65,0,1,1,0,8000,2"},
    {"Sparks", "Sparks,3,0,8,155,15,70,1,240,44,60,4,1,1,15,1,1,0"},
    {"Mystery 7", "Mystery 7,7,0,X,160,X,X,1,X,X,X,3,0,1,1000,1"},
    {"Veltrane", "Veltrane,3,-8,48,207,110,6,1,144,11,169,3,0,1,1000,1"},
    // Any earlier favourite mentioning "Audio Settings" stands for this one.
    {"Audio Settings", "Audio Settings 95,7,0,65,150,63,1,1,2,7,72,2,0,1,0,1,1,5"},
    {"Abstract Shapes", "Abstract Shapes,3,-4,253,3,81,2,3,0,2,33,4,1,1,0,1,1,2"},
    {"Fettuccine", "Fettuccine,2,-8,62,143,13,4,0,0,18,72,4,1,1,0,0,1,3"},
    {"Neon Dahlia", "Neon Dahlia,7,0,213,141,123,1, 1,130,11,67,4,0,1,0,1,1,1"},
    {"Oragami", "Oragami,5,0,192,167,103,-2,1,188,17, 0,3,0,1,0,1,7,5"},
};
