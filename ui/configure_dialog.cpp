#include "ui/configure_dialog.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "settings/favorites_list.h"
#include "ui/audio_dialog.h"
#include "ui/dialog_helpers.h"
#include "ui/palette_dialog.h"
#include "ui/speed_dialog.h"

namespace {

constexpr int LABEL_CHARS = 9;
constexpr int NUMBER_CHARS = 28;
constexpr int NAME_CHARS = 48;
constexpr int USABLE_PALETTE_ENTRIES = 236;
constexpr int NO_ROTATION = 3;
const char HELP_FALLBACK[] =
    "Experiment with all the various controls.  Nearly every combination looks cool!  If you like it, "
    "feel free to send money.  Have Fun!";

// One scrollbar parameter: its controls, range, field and random flag.
struct ScrollParam {
  int scroll, label, box;
  int min, max;
  int32_t DesignParams::*field;
  int potLuck;
  int stringPosition;  // in the design string, for the label texts of a new favourite
  bool band;           // usable only with a palette
};
// In the order the dialog sets them up when it opens.
const ScrollParam SCROLLS[] = {
    {IDC_SYMMETRY_SCROLL, IDC_SYMMETRY_VALUE, IDC_SYMMETRY_RANDOM, 0, 100, &DesignParams::Symmetry, POT_LUCK_SYMMETRY, 0, false},
    {IDC_SPIN_SCROLL, IDC_SPIN_VALUE, IDC_SPIN_RANDOM, -30, 30, &DesignParams::Spin, POT_LUCK_SPIN, 1, false},
    {IDC_LINE_SIZE_SCROLL, IDC_LINE_SIZE_VALUE, IDC_LINE_SIZE_RANDOM, 2, 320, &DesignParams::LineSize, POT_LUCK_LINE_SIZE, 2, false},
    {IDC_TRAIL_LENGTH_SCROLL, IDC_TRAIL_LENGTH_VALUE, IDC_TRAIL_LENGTH_RANDOM, 2, 255, &DesignParams::TrailLength, POT_LUCK_TRAIL_LENGTH, 3, false},
    {IDC_SPEED_SCROLL, IDC_SPEED_VALUE, IDC_SPEED_RANDOM, 5, 300, &DesignParams::Speed, POT_LUCK_SPEED, 4, false},
    {IDC_CHEESE_SCROLL, IDC_CHEESE_VALUE, IDC_CHEESE_RANDOM, 0, 179, &DesignParams::Cheese, POT_LUCK_CHEESE, 9, false},
    {IDC_ROTATIONS_SCROLL, IDC_ROTATIONS_VALUE, IDC_ROTATIONS_RANDOM, -90, 90, &DesignParams::Rotations, POT_LUCK_ROTATIONS, 5, false},
    {IDC_BANDS_SCROLL, IDC_BANDS_VALUE, IDC_BANDS_RANDOM, 0, 600, &DesignParams::ColorBands, POT_LUCK_COLOR_BANDS, 7, true},
    {IDC_BAND_WIDTH_SCROLL, IDC_BAND_WIDTH_VALUE, IDC_BAND_WIDTH_RANDOM, 2, 300, &DesignParams::ColorBandWidth, POT_LUCK_COLOR_BAND_WIDTH, 8, true},
};
// The order in which a loaded favourite reaches the scrollbars.
const int LOAD_ORDER[] = {0, 1, 2, 3, 4, 6, 7, 8, 5};

const char *const ROTATIONS[] = {"Static", "Flowing", "Wild", "No Rotation"};
const char *const CHEESE_TYPES[] = {"Wedges", "Hearts", "Mixed Fruits", "Figure 8's", "Tear Drops", "Strings"};
const char *const SNAZZINESS[] = {"Eerie",         "Modern",       "Snappy",         "Red Stripes",
                                  "Green Stripes", "Blue Stripes", "Out Of Control", "Random"};
const int DEPTH_BUTTONS[] = {IDC_DEPTH_1, IDC_DEPTH_2, IDC_DEPTH_3, IDC_DEPTH_4};
// Controls that follow the design controls' on state alone.
const int PLAIN_DESIGN_CONTROLS[] = {IDC_DEPTH_1,   IDC_DEPTH_2,      IDC_DEPTH_3,  IDC_DEPTH_4,     IDC_FLOATING,
                                     IDC_MIGRATING, IDC_SPLITTING,    IDC_PEN_WIDTH, IDC_LAST_PATTERN, IDC_REMOVE,
                                     IDC_CHEESE_TYPE, IDC_FAVORITE_NAME};

FavoritesView favorites;
// The favourites list's line index for each line of the view.
std::vector<int> listLineOfView;

ConfigurationState &State() { return Configuration(); }
SettingsStore &Settings() { return State().settings; }

std::string LoadModuleString(int id, const char *fallback) {
  char text[MAX_PATH] = "";
  return LoadStringA(State().instance, static_cast<UINT>(id), text, sizeof text) > 0 ? text : fallback;
}

bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
void Enable(HWND dialog, int id, bool on) { EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE); }
LRESULT Send(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

void DetermineDisplay(HWND dialog) {
  HDC dc = GetDC(dialog);
  const bool paletteBased = (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
  const int entries = GetDeviceCaps(dc, SIZEPALETTE);
  ReleaseDC(dialog, dc);
  int usable = USABLE_PALETTE_ENTRIES;
  if (paletteBased && entries > 31) usable = std::min(entries - 1, USABLE_PALETTE_ENTRIES);
  State().hasPalette = paletteBased && entries >= usable;
}

// ---- The favourites list mirrors the settings' view of it ----

void FillFavoritesList(HWND dialog) {
  Send(dialog, IDC_FAVORITES_LIST, LB_RESETCONTENT);
  for (const FavoriteLine &line : favorites.Lines)
    Send(dialog, IDC_FAVORITES_LIST, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.Name.c_str()));
  // The list sorts on its own; pair each view line with the list line of the same text.
  const int count = static_cast<int>(Send(dialog, IDC_FAVORITES_LIST, LB_GETCOUNT));
  std::vector<bool> taken(static_cast<size_t>(std::max(count, 0)), false);
  listLineOfView.assign(favorites.Lines.size(), -1);
  for (size_t v = 0; v < favorites.Lines.size(); ++v) {
    for (int i = 0; i < count; ++i) {
      char text[256] = "";
      Send(dialog, IDC_FAVORITES_LIST, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
      if (taken[static_cast<size_t>(i)] || favorites.Lines[v].Name != text) continue;
      taken[static_cast<size_t>(i)] = true;
      listLineOfView[v] = i;
      if (favorites.Lines[v].Selected) Send(dialog, IDC_FAVORITES_LIST, LB_SETSEL, TRUE, i);
      break;
    }
  }
  if (favorites.CurrentLine >= 0 && favorites.CurrentLine < static_cast<int>(listLineOfView.size()))
    Send(dialog, IDC_FAVORITES_LIST, LB_SETCARETINDEX, static_cast<WPARAM>(listLineOfView[favorites.CurrentLine]));
  Send(dialog, IDC_FAVORITES_LIST, LB_SETTOPINDEX, static_cast<WPARAM>(favorites.TopLine));
  Enable(dialog, IDC_FAVORITES_LIST, favorites.ListEnabled);
  Enable(dialog, IDC_CHOOSE_RANDOMLY, favorites.ChooseRandomlyEnabled);
  CheckDlgButton(dialog, IDC_CHOOSE_RANDOMLY, favorites.ChooseRandomlyChecked ? BST_CHECKED : BST_UNCHECKED);
}

// The user's selection back into the view, before an operation reads it.
void ReadFavoritesSelection(HWND dialog) {
  for (size_t v = 0; v < favorites.Lines.size(); ++v) {
    const int line = listLineOfView[v];
    favorites.Lines[v].Selected = line >= 0 && Send(dialog, IDC_FAVORITES_LIST, LB_GETSEL, static_cast<WPARAM>(line)) > 0;
  }
}

// ---- Design controls ----

void SetLabel(HWND dialog, int id, int value) { SetDialogItemNumber(dialog, id, value); }

void SetDesignControls(HWND dialog, bool on) {
  const bool palette = State().hasPalette;
  for (const ScrollParam &p : SCROLLS) {
    const bool usable = on && (!p.band || palette);
    Enable(dialog, p.box, usable);
    Enable(dialog, p.scroll, usable && !Checked(dialog, p.box));
  }
  Enable(dialog, IDC_ROTATION_RANDOM, on && palette);
  Enable(dialog, IDC_ROTATION_LIST, on && !(palette && Checked(dialog, IDC_ROTATION_RANDOM)));
  for (int id : PLAIN_DESIGN_CONTROLS) Enable(dialog, id, on);
  Enable(dialog, IDC_SNAZZINESS, on && palette);
  Enable(dialog, IDC_ADD, on && GetWindowTextLengthA(GetDlgItem(dialog, IDC_FAVORITE_NAME)) > 0);
}

void SelectDesignLists(HWND dialog) {
  const DesignParams &d = Settings().Design;
  Send(dialog, IDC_SNAZZINESS, CB_SETCURSEL, static_cast<WPARAM>(d.Snazziness));
  Send(dialog, IDC_CHEESE_TYPE, CB_SETCURSEL, static_cast<WPARAM>(d.CheeseType));
  SetLabel(dialog, IDC_SPLITTING, d.Splitting);
  SetLabel(dialog, IDC_PEN_WIDTH, d.PenWidth);
}

void LoadIntoControls(HWND dialog) {
  const DesignParams &d = Settings().Design;
  const bool palette = State().hasPalette;
  for (int index : LOAD_ORDER) {
    const ScrollParam &p = SCROLLS[index];
    if (p.band && !palette) continue;
    const bool random = d.PotLuck[p.potLuck];
    if (!random) {
      SetScrollPos(GetDlgItem(dialog, p.scroll), SB_CTL, d.*p.field, TRUE);
      SetLabel(dialog, p.label, d.*p.field);
    }
    ApplyRandomBox(dialog, p.scroll, p.label, p.box, d.*p.field, random);
  }
  if (palette)
    ApplyRandomBox(dialog, IDC_ROTATION_LIST, 0, IDC_ROTATION_RANDOM, d.ColorRotation, d.PotLuck[POT_LUCK_COLOR_ROTATION]);
  Send(dialog, IDC_ROTATION_LIST, LB_SETCURSEL, static_cast<WPARAM>(d.ColorRotation));
  for (int id : DEPTH_BUTTONS) CheckDlgButton(dialog, id, BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_FLOATING, BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_MIGRATING, BST_UNCHECKED);
  if (d.Depth >= 1 && d.Depth <= 4) CheckDlgButton(dialog, DEPTH_BUTTONS[d.Depth - 1], BST_CHECKED);
  if (d.Floating != 0) CheckDlgButton(dialog, IDC_FLOATING, BST_CHECKED);
  if (d.Migrating != 0) CheckDlgButton(dialog, IDC_MIGRATING, BST_CHECKED);
  SelectDesignLists(dialog);
}

void LoadFavorite(HWND dialog, const std::string &name) {
  if (LoadFavoriteByName(Settings(), name, State().hasPalette)) LoadIntoControls(dialog);
}

// ---- Opening ----

void FillList(HWND dialog, int id, UINT addMessage, const char *const *lines, size_t count) {
  for (size_t i = 0; i < count; ++i) Send(dialog, id, addMessage, 0, reinterpret_cast<LPARAM>(lines[i]));
}

void Open(HWND dialog) {
  ConfigurationState &state = State();
  state.settings = SettingsStore{};
  state.settings.ProfileName = LoadModuleString(IDS_SETTINGS_FILE, DEFAULT_PROFILE_NAME);
  state.helpFile = LoadModuleString(IDS_HELP_FILE, "lumiva95.hlp");
  LoadSettings(state.settings);
  SettingsStore &s = state.settings;
  DesignParams &d = s.Design;
  state.previousThroughput = ReadLastSpeed(s);
  CheckDlgButton(dialog, IDC_AUDIO, s.Audio ? BST_CHECKED : BST_UNCHECKED);

  favorites = ListFavorites(s);
  FillFavoritesList(dialog);

  CheckDlgButton(dialog, d.Depth >= 1 && d.Depth <= 3 ? DEPTH_BUTTONS[d.Depth - 1] : IDC_DEPTH_4, BST_CHECKED);
  CheckDlgButton(dialog, IDC_FLOATING, d.Floating == 1 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_MIGRATING, d.Migrating == 1 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_POLITE, s.Polite ? BST_CHECKED : BST_UNCHECKED);
  Enable(dialog, IDC_CONFIGURE_AUDIO, s.Audio != 0);

  DetermineDisplay(dialog);
  const bool palette = state.hasPalette;
  if (!palette) d.ColorRotation = NO_ROTATION;
  Enable(dialog, IDC_ADD, false);

  FillList(dialog, IDC_ROTATION_LIST, LB_ADDSTRING, ROTATIONS, 4);
  Send(dialog, IDC_ROTATION_LIST, LB_SETCURSEL, static_cast<WPARAM>(d.ColorRotation));
  FillList(dialog, IDC_CHEESE_TYPE, CB_ADDSTRING, CHEESE_TYPES, 6);
  FillList(dialog, IDC_SNAZZINESS, CB_ADDSTRING, SNAZZINESS, 8);
  Send(dialog, IDC_CHEESE_TYPE, CB_SETCURSEL, static_cast<WPARAM>(d.CheeseType));
  Send(dialog, IDC_SNAZZINESS, CB_SETCURSEL, static_cast<WPARAM>(d.Snazziness));
  SetLabel(dialog, IDC_REFRESH, s.Refresh);
  if (!palette) Enable(dialog, IDC_SNAZZINESS, false);

  for (const ScrollParam &p : SCROLLS) {
    HWND bar = GetDlgItem(dialog, p.scroll);
    SetScrollRange(bar, SB_CTL, p.min, p.max, FALSE);
    SetScrollPos(bar, SB_CTL, d.*p.field, FALSE);
    SetLabel(dialog, p.label, d.*p.field);
  }
  for (const ScrollParam &p : SCROLLS)
    if (d.PotLuck[p.potLuck]) ApplyRandomBox(dialog, p.scroll, p.label, p.box, d.*p.field, true);
  if (!palette) {
    Enable(dialog, IDC_ROTATION_RANDOM, false);
    for (const ScrollParam &p : SCROLLS) {
      if (!p.band) continue;
      Enable(dialog, p.scroll, false);
      Enable(dialog, p.box, false);
      SetDlgItemTextA(dialog, p.label, "N/A");
    }
  } else if (d.PotLuck[POT_LUCK_COLOR_ROTATION]) {
    ApplyRandomBox(dialog, IDC_ROTATION_LIST, 0, IDC_ROTATION_RANDOM, d.ColorRotation, true);
  }
  SetLabel(dialog, IDC_SPLITTING, d.Splitting);
  SetLabel(dialog, IDC_PEN_WIDTH, d.PenWidth);
  if (s.AllRandom) {
    Enable(dialog, IDC_FAVORITES_LIST, false);
    SetDesignControls(dialog, false);
  }
}

// ---- Commands ----

int CheckedDepth(HWND dialog) {
  for (int i = 0; i < 3; ++i)
    if (Checked(dialog, DEPTH_BUTTONS[i])) return i + 1;
  return 4;
}

// The record and the texts a new favourite is made of, as the controls show them.
void ShownDesign(HWND dialog, DesignParams &record, DisplayedDesign &shown) {
  record = Settings().Design;
  for (const ScrollParam &p : SCROLLS) {
    record.PotLuck[p.potLuck] = Checked(dialog, p.box);
    shown.FieldTexts[p.stringPosition] = DialogItemText(dialog, p.label, LABEL_CHARS);
  }
  record.PotLuck[POT_LUCK_COLOR_ROTATION] = Checked(dialog, IDC_ROTATION_RANDOM);
  shown.ColorRotationLine = static_cast<int>(Send(dialog, IDC_ROTATION_LIST, LB_GETCURSEL));
  record.ColorRotation = shown.ColorRotationLine;
  record.Depth = CheckedDepth(dialog);
  record.Floating = Checked(dialog, IDC_FLOATING) ? 1 : 0;
  record.Migrating = Checked(dialog, IDC_MIGRATING) ? 1 : 0;
  record.Splitting = DialogItemNumber(dialog, IDC_SPLITTING, NUMBER_CHARS);
  record.Snazziness = static_cast<int32_t>(Send(dialog, IDC_SNAZZINESS, CB_GETCURSEL));
  record.PenWidth = DialogItemNumber(dialog, IDC_PEN_WIDTH, NUMBER_CHARS);
  record.CheeseType = static_cast<int32_t>(Send(dialog, IDC_CHEESE_TYPE, CB_GETCURSEL));
}

void StoreControls(HWND dialog) {
  SettingsStore &s = Settings();
  DesignParams &d = s.Design;
  d.ColorRotation = static_cast<int32_t>(Send(dialog, IDC_ROTATION_LIST, LB_GETCURSEL));
  const int32_t splitting = DialogItemNumber(dialog, IDC_SPLITTING, NUMBER_CHARS);
  d.Splitting = splitting < 0 || splitting > 32000 ? 0 : splitting;
  d.PenWidth = std::clamp(DialogItemNumber(dialog, IDC_PEN_WIDTH, NUMBER_CHARS), 1, 16);
  d.Snazziness = static_cast<int32_t>(Send(dialog, IDC_SNAZZINESS, CB_GETCURSEL));
  d.CheeseType = static_cast<int32_t>(Send(dialog, IDC_CHEESE_TYPE, CB_GETCURSEL));
  s.Refresh = std::max(DialogItemNumber(dialog, IDC_REFRESH, NUMBER_CHARS), 0);
  s.DesignIntervalMs = DesignIntervalFor(s.Refresh);
  for (const ScrollParam &p : SCROLLS) d.PotLuck[p.potLuck] = Checked(dialog, p.box);
  d.PotLuck[POT_LUCK_COLOR_ROTATION] = Checked(dialog, IDC_ROTATION_RANDOM);
  d.Depth = CheckedDepth(dialog);
  d.Floating = Checked(dialog, IDC_FLOATING) ? 1 : 0;
  d.Migrating = Checked(dialog, IDC_MIGRATING) ? 1 : 0;
  for (const ScrollParam &p : SCROLLS) {
    if ((p.band && !State().hasPalette) || d.PotLuck[p.potLuck]) continue;
    d.*p.field = DialogItemNumber(dialog, p.label, LABEL_CHARS);
  }
  s.NegativeSpin = d.Spin < 0;
  s.AllRandom = Checked(dialog, IDC_CHOOSE_RANDOMLY) ? 1 : 0;
  s.Polite = Checked(dialog, IDC_POLITE) ? 1 : 0;
  s.Audio = Checked(dialog, IDC_AUDIO) ? 1 : 0;
}

void Add(HWND dialog) {
  ReadFavoritesSelection(dialog);
  DesignParams record;
  DisplayedDesign shown;
  ShownDesign(dialog, record, shown);
  if (AddFavorite(Settings(), favorites, DialogItemText(dialog, IDC_FAVORITE_NAME, NAME_CHARS), record, shown))
    FillFavoritesList(dialog);
}

void Remove(HWND dialog) {
  ReadFavoritesSelection(dialog);
  RemoveSelectedFavorites(Settings(), favorites);
  FillFavoritesList(dialog);
}

void ChooseRandomly(HWND dialog) {
  ReadFavoritesSelection(dialog);
  const bool on = Checked(dialog, IDC_CHOOSE_RANDOMLY);
  if (on) ChooseRandomlyOn(Settings(), favorites);
  else ChooseRandomlyOff(Settings(), favorites);
  FillFavoritesList(dialog);
  SetDesignControls(dialog, !on);
}

void DoubleClicked(HWND dialog) {
  const LRESULT line = Send(dialog, IDC_FAVORITES_LIST, LB_GETCARETINDEX);
  if (line < 0 || line >= Send(dialog, IDC_FAVORITES_LIST, LB_GETCOUNT)) return;
  char name[256] = "";
  Send(dialog, IDC_FAVORITES_LIST, LB_GETTEXT, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(name));
  LoadFavorite(dialog, name);
  Send(dialog, IDC_FAVORITES_LIST, LB_SETSEL, FALSE, line);
}

void NameChanged(HWND dialog) {
  const bool empty = GetWindowTextLengthA(GetDlgItem(dialog, IDC_FAVORITE_NAME)) == 0;
  Enable(dialog, IDC_ADD, !empty && !Checked(dialog, IDC_CHOOSE_RANDOMLY));
}

void Help(HWND dialog) {
  if (!OpenHelp(dialog, nullptr)) MessageBoxA(dialog, HELP_FALLBACK, "Lumivane", MB_OK | MB_ICONINFORMATION);
}

void RunSubDialog(HWND dialog, int templateId, DLGPROC proc) {
  DialogBoxParamA(State().instance, MAKEINTRESOURCEA(templateId), dialog, proc, 0);
}

bool RandomBoxClicked(HWND dialog, int id) {
  const DesignParams &d = Settings().Design;
  for (const ScrollParam &p : SCROLLS) {
    if (p.box != id) continue;
    ApplyRandomBox(dialog, p.scroll, p.label, p.box, d.*p.field, Checked(dialog, id));
    return true;
  }
  if (id != IDC_ROTATION_RANDOM) return false;
  ApplyRandomBox(dialog, IDC_ROTATION_LIST, 0, IDC_ROTATION_RANDOM, d.ColorRotation, Checked(dialog, id));
  return true;
}

BOOL Command(HWND dialog, int id, int code) {
  DesignParams &d = Settings().Design;
  switch (id) {
    case IDOK:
      StoreControls(dialog);
      SaveSettings(Settings());
      EndDialog(dialog, 1);
      return TRUE;
    case IDCANCEL:
      EndDialog(dialog, 0);
      return TRUE;
    case IDC_DEPTH_1:
    case IDC_DEPTH_2:
    case IDC_DEPTH_3:
    case IDC_DEPTH_4:
      if (Checked(dialog, id)) d.Depth = id - IDC_DEPTH_1 + 1;
      return TRUE;
    case IDC_FLOATING:
      d.Floating = Checked(dialog, id) ? 1 : 0;
      return TRUE;
    case IDC_MIGRATING:
      d.Migrating = Checked(dialog, id) ? 1 : 0;
      return TRUE;
    case IDC_AUDIO:
      Enable(dialog, IDC_CONFIGURE_AUDIO, Checked(dialog, id));
      return TRUE;
    case IDC_CONFIGURE_AUDIO:
      RunSubDialog(dialog, IDD_AUDIO, AUDIOMsgProc);
      return TRUE;
    case IDC_PALETTE_BUTTON:
      RunSubDialog(dialog, IDD_PALETTE, PALETTEMsgProc);
      return TRUE;
    case IDC_SPEED_LIMIT:
      RunSubDialog(dialog, IDD_SPEED, SPEEDMsgProc);
      return TRUE;
    case IDC_FAVORITES_LIST:
      if (code == LBN_DBLCLK) DoubleClicked(dialog);
      return TRUE;
    case IDC_LAST_PATTERN:
      LoadFavorite(dialog, LAST_DESIGN_NAME);
      return TRUE;
    case IDC_ADD:
      Add(dialog);
      return TRUE;
    case IDC_REMOVE:
      Remove(dialog);
      return TRUE;
    case IDC_FAVORITE_NAME:
      NameChanged(dialog);
      return TRUE;
    case IDC_CHOOSE_RANDOMLY:
      ChooseRandomly(dialog);
      return TRUE;
    case IDC_HELP_BUTTON:
      Help(dialog);
      return TRUE;
    default:
      return RandomBoxClicked(dialog, id) ? TRUE : FALSE;
  }
}

void Scroll(HWND dialog, HWND bar, int code, int thumb) {
  const int id = GetDlgCtrlID(bar);
  const ScrollParam *p = nullptr;
  for (const ScrollParam &candidate : SCROLLS)
    if (candidate.scroll == id) p = &candidate;
  if (!p) return;
  int position = GetScrollPos(bar, SB_CTL), minimum = 0, maximum = 0;
  GetScrollRange(bar, SB_CTL, &minimum, &maximum);
  switch (code) {
    case SB_LINELEFT: position -= 1; break;
    case SB_LINERIGHT: position += 1; break;
    case SB_PAGELEFT: position += (minimum - maximum) / 10; break;
    case SB_PAGERIGHT: position += (maximum - minimum) / 10; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: position = thumb; break;
    default: break;
  }
  position = std::clamp(position, minimum, maximum);
  SetScrollPos(bar, SB_CTL, position, TRUE);
  SetLabel(dialog, p->label, position);
}

}  // namespace

void ApplyRandomBox(HWND dialog, int controlId, int labelId, int boxId, int heldValue, bool ticked) {
  CheckDlgButton(dialog, boxId, ticked ? BST_CHECKED : BST_UNCHECKED);
  Enable(dialog, controlId, !ticked);
  if (!labelId) return;
  if (ticked) SetDlgItemTextA(dialog, labelId, "Random");
  else SetLabel(dialog, labelId, heldValue);
}

INT_PTR CALLBACK ScreenSaverConfigureDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      State().instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
      Open(dialog);
      return TRUE;
    case WM_COMMAND:
      return Command(dialog, LOWORD(wParam), HIWORD(wParam));
    case WM_HSCROLL:
      Scroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam), static_cast<short>(HIWORD(wParam)));
      return TRUE;
    default:
      return FALSE;
  }
}
