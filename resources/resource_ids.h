// Every resource and control number of the module, for the resource script and the code alike.
// Only #define lines: the resource compiler reads this file too.
#pragma once

// ---- Module identification and strings ----
#define IDI_SAVER 100
#define IDS_DISPLAY_NAME_0 0
#define IDS_DISPLAY_NAME 1
#define IDS_SETTINGS_FILE 1001
#define IDS_HELP_FILE 1009

// ---- Dialog templates ----
#define IDD_CONFIGURE 2003
#define IDD_AUDIO 2005
#define IDD_PALETTE 102
#define IDD_SPEED 103

// Every dialog's help button.
#define IDC_HELP_BUTTON 9876
// Texts nobody addresses.
#define IDC_STATIC (-1)

// ---- Main dialog: the design's scrollbars, their value labels and random boxes ----
#define IDC_SYMMETRY_SCROLL 2006
#define IDC_SYMMETRY_VALUE 2007
#define IDC_SYMMETRY_RANDOM 2004
#define IDC_SPIN_SCROLL 2008
#define IDC_SPIN_VALUE 2009
#define IDC_SPIN_RANDOM 2005
#define IDC_LINE_SIZE_SCROLL 2010
#define IDC_LINE_SIZE_VALUE 2011
#define IDC_LINE_SIZE_RANDOM 2024
#define IDC_TRAIL_LENGTH_SCROLL 2012
#define IDC_TRAIL_LENGTH_VALUE 2013
#define IDC_TRAIL_LENGTH_RANDOM 2026
#define IDC_SPEED_SCROLL 2014
#define IDC_SPEED_VALUE 2015
#define IDC_SPEED_RANDOM 2027
#define IDC_ROTATIONS_SCROLL 2016
#define IDC_ROTATIONS_VALUE 2017
#define IDC_ROTATIONS_RANDOM 2030
#define IDC_CHEESE_SCROLL 2034
#define IDC_CHEESE_VALUE 2047
#define IDC_CHEESE_RANDOM 2045
#define IDC_BANDS_SCROLL 2018
#define IDC_BANDS_VALUE 2022
#define IDC_BANDS_RANDOM 2032
#define IDC_BAND_WIDTH_SCROLL 2020
#define IDC_BAND_WIDTH_VALUE 2021
#define IDC_BAND_WIDTH_RANDOM 2031

// ---- Main dialog: the other design controls ----
#define IDC_CHEESE_TYPE 1040
#define IDC_PEN_WIDTH 1030
#define IDC_SPLITTING 1006
#define IDC_ROTATION_LIST 2023
#define IDC_ROTATION_RANDOM 2033
#define IDC_SNAZZINESS 1008
#define IDC_FLOATING 2055
#define IDC_MIGRATING 2056
#define IDC_DEPTH_1 1001
#define IDC_DEPTH_2 1002
#define IDC_DEPTH_3 1003
#define IDC_DEPTH_4 1004

// ---- Main dialog: audio, politeness, sub-dialogs, favourites, interval ----
#define IDC_PALETTE_BUTTON 1021
#define IDC_AUDIO 1010
#define IDC_CONFIGURE_AUDIO 1012
#define IDC_POLITE 1009
#define IDC_SPEED_LIMIT 1022
#define IDC_CHOOSE_RANDOMLY 2044
#define IDC_FAVORITES_LIST 2035
#define IDC_FAVORITE_NAME 2039
#define IDC_ADD 2037
#define IDC_REMOVE 2038
#define IDC_LAST_PATTERN 2036
#define IDC_REFRESH 2046

// ---- Audio dialog ----
#define IDC_RECORDING_DEVICE 1013
#define IDC_SAMPLE_RATE 1020
#define IDC_BITS_PER_SAMPLE 1021
#define IDC_MUSIC_BANDS 1014
#define IDC_MUSIC_SPIN 1015
#define IDC_MUSIC_SPLITTING 1019
#define IDC_MUSIC_RED 1016
#define IDC_MUSIC_GREEN 1017
#define IDC_MUSIC_BLUE 1018
#define IDC_BLANK_TIME 1024

// ---- Palette dialog ----
#define IDC_RED_MIN 1014
#define IDC_GREEN_MIN 1015
#define IDC_BLUE_MIN 1016
#define IDC_RED_MAX 1017
#define IDC_GREEN_MAX 1018
#define IDC_BLUE_MAX 1019

// ---- Speed dialog ----
#define IDC_SPEED_GROUP_SIZE 1014
#define IDC_SPEED_INTERVAL 1015
#define IDC_SPEED_DIVISOR 1016
#define IDC_THROUGHPUT 1023
