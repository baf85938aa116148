#include "engine/animation_driver.h"

#include <cstdio>
#include <cstdlib>

#include "audio/cd_key.h"
#include "audio/sound_capture.h"
#include "audio/sound_modulation.h"
#include "engine/crt_random.h"
#include "engine/design_selection.h"
#include "engine/line_model.h"
#include "engine/palette_engine.h"
#include "engine/renderer.h"

AnimationState animation;

namespace {

WNDPROC defaultProc = DefWindowProcA;

constexpr char DEFAULT_HELP_FILE[] = "lumiva95.hlp";
constexpr long LARGEST_STORED_SPEED = 0x7FFFFFFF;  // "%ld" of a 32-bit long

// Opens the recorder and starts capture into the window; while it runs the sound, not the
// clock, changes designs and splits the figure.
void TryStartCapture(HWND window) {
  if (!OpenRecorder(animation.instance)) return;
  if (!StartCapture(window)) {
    CloseRecorder(animation.instance);
    return;
  }
  animation.designInterval = NEVER_CHANGE_INTERVAL_MS;
  ArmSoundRestart();
  lineSet.splitInterval = 0;
}

void EndCapture() {
  StopCapture();
  CloseRecorder(animation.instance);
}

// The next design of this run; the throughput is measured from here.
void NextDesign(HWND window) {
  SelectNextDesign(window, animation.settings);
  animation.throughputStart = GetTickCount();
}

// ---- The pattern: palette engine, design selection and renderer are called from here. ----

ColourLimits ColourLimitsOf(const SettingsStore &settings) {
  return {{settings.RedMin, settings.GreenMin, settings.BlueMin},
          {settings.RedMax, settings.GreenMax, settings.BlueMax}};
}

// Step ranges, colour walks, logical palette and the first design.
void StartPattern(HWND window) {
  const SettingsStore &settings = animation.settings;
  StartColourWalks(ColourLimitsOf(settings), settings.Design.Snazziness);
  FitPaletteToDisplay(window);
  BuildPalette();
  AttachRenderer({window, &animation.running, settings.Divisor, settings.Polite != 0});
  NextDesign(window);
}
// New colour steps every ten seconds.
void RefreshColours() { RandomizeSteps(); }
// The next design on the cleared window.
void ChangeDesign(HWND window) { NextDesign(window); }
// Palette selected, up to speedGroupSize line sets drawn (fewer when polite and the mouse
// moved), palette deselected.
void DrawBatch(HWND window, HDC dc) {
  HPALETTE previous = SelectPaletteForTick(dc);
  for (int32_t set = 0; set < animation.settings.SpeedGroupSize; ++set) {
    if (!DrawLineSet(dc)) break;
    MSG waiting;
    if (animation.settings.Polite &&
        PeekMessageA(&waiting, window, WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_NOREMOVE)) {
      break;
    }
    if (OverdueInputWaiting()) break;
  }
  RestorePaletteAfterTick(dc, previous);
}
// Palette released, capture stopped, trail ring released.
void StopPattern() {
  ReleasePalette();
  if (SoundCaptureRunning()) EndCapture();
  ReleaseTrailRing();
}
// Step ranges follow the window being blacked.
void AfterErase() { ChooseStepRanges(animation.settings.Design.Snazziness); }

// ---------------------------------------------------------------------------------------------

std::string LoadResourceString(int id, const char *fallback) {
  char text[MAX_PATH] = "";
  return LoadStringA(animation.instance, id, text, sizeof text) > 0 ? text : fallback;
}

void BlackenClient(HWND window, HDC dc) {
  RECT client = {};
  GetClientRect(window, &client);
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void StartDrawTimer(HWND window, UINT period) {
  SetTimer(window, DRAW_TIMER_ID, period, nullptr);
  animation.drawTimerArmed = true;
}

void StopDrawTimer(HWND window) {
  if (!animation.drawTimerArmed) return;
  KillTimer(window, DRAW_TIMER_ID);
  animation.drawTimerArmed = false;
}

bool IsDigitKey(WPARAM key) { return key >= '0' && key <= '9'; }

void StartUp(HWND window, const CREATESTRUCTA *creation) {
  animation = AnimationState();
  animation.instance = creation ? creation->hInstance : nullptr;
  SettingsStore &settings = animation.settings;
  settings.ProfileName = LoadResourceString(IDS_SETTINGS_FILE, DEFAULT_PROFILE_NAME);
  animation.helpFile = LoadResourceString(IDS_HELP_FILE, DEFAULT_HELP_FILE);
  LoadSettings(settings);
  ApplyCaptureSettings(settings);
  StartSoundModulation(settings, SoundPatternTargets());
  SeedRandom(ChooseRunSeed(std::getenv("LUMIVANE_SEED"), std::time(nullptr)));
  StartPattern(window);

  const DWORD now = GetTickCount();
  animation.lastColourRefresh = now;
  animation.lastDesignChange = now;
  animation.throughputStart = now;
  linesDrawn = 0;
  animation.designInterval = settings.DesignIntervalMs;
  StartDrawTimer(window, static_cast<UINT>(settings.SpeedInterval));
  if (settings.Audio) TryStartCapture(window);
  animation.running = true;
}

void ShutDown(HWND window) {
  const DWORD elapsed = GetTickCount() - animation.throughputStart;
  char speed[24];
  std::snprintf(speed, sizeof speed, "%ld", ThroughputLinesPerSecond(linesDrawn, elapsed));
  WriteSettingString(animation.settings, "LastSpeed", speed);
  animation.running = false;
  StopDrawTimer(window);
  StopPattern();
}

// A device that went away mid-run is let go: the saver goes on as it does without sound, with
// a fresh design at full brightness, designs changing by the clock again, and the device tried
// anew at the housekeeping ten seconds on.
void GiveUpLostDevice(HWND window, HDC dc, DWORD now) {
  EndCapture();
  animation.designInterval = animation.settings.DesignIntervalMs;
  animation.lastColourRefresh = now;
  ThePaletteEngine().brightnessFactor = -1.0;
  BlackenClient(window, dc);
  ChangeDesign(window);
  animation.lastDesignChange = now;
}

void Tick(HWND window) {
  // Drawing peeks at the queue, so a timer message can arrive inside a tick.
  if (animation.tickInProgress) return;
  animation.tickInProgress = true;
  StartTickClock();
  const DWORD now = GetTickCount();
  HDC dc = GetDC(window);
  if (CaptureDeviceLost()) GiveUpLostDevice(window, dc, now);
  if (now - animation.lastColourRefresh > COLOUR_REFRESH_MS && !SoundCaptureRunning()) {
    RefreshColours();
    animation.lastColourRefresh = now;
    if (animation.settings.Audio) TryStartCapture(window);
  }
  if (animation.resized || now - animation.lastDesignChange > animation.designInterval) {
    animation.resized = false;
    BlackenClient(window, dc);
    ChangeDesign(window);
    animation.lastDesignChange = now;
  }
  DrawBatch(window, dc);
  ReleaseDC(window, dc);
  animation.tickInProgress = false;
}

void Watchdog(HWND window) {
  KillTimer(window, WATCHDOG_TIMER_ID);
  animation.watchdogArmed = false;
  HWND stuck = FindWindowA(nullptr, WATCHDOG_TARGET_TITLE);
  if (stuck) SendMessageA(stuck, WM_CLOSE, 0, 0);
}

void OnEnable(HWND window, bool enabled) {
  if (enabled) {
    if (animation.watchdogArmed) {
      KillTimer(window, WATCHDOG_TIMER_ID);
      animation.watchdogArmed = false;
    }
    StartDrawTimer(window, ENABLED_DRAW_PERIOD_MS);
  } else {
    StopDrawTimer(window);
    SetTimer(window, WATCHDOG_TIMER_ID, WATCHDOG_PERIOD_MS, nullptr);
    animation.watchdogArmed = true;
  }
}

}  // namespace

long ThroughputLinesPerSecond(uint64_t lines, DWORD elapsedMs) {
  if (elapsedMs == 0) return 0;
  const uint64_t perSecond = lines * 1000u / elapsedMs;
  return perSecond > uint64_t{LARGEST_STORED_SPEED} ? LARGEST_STORED_SPEED
                                                    : static_cast<long>(perSecond);
}

PatternTargets SoundPatternTargets() {
  PatternTargets pattern;
  pattern.lines = &lineSet;
  pattern.palette = &ThePaletteEngine();
  pattern.nextRandom = NextRandom;
  pattern.selectNextDesign = NextDesign;
  pattern.reseedMotion = ReseedMotion;
  pattern.paletteAvailable = PaletteAvailable;
  pattern.refreshAllEntries = RefreshAllEntries;
  return pattern;
}

void SetDriverDefaultProc(WNDPROC procedure) { defaultProc = procedure; }

uint32_t ChooseRunSeed(const char *seedText, std::time_t now) {
  if (seedText && *seedText) {
    char *end = nullptr;
    const long long seed = std::strtoll(seedText, &end, 10);
    if (*end == '\0') return static_cast<uint32_t>(seed);
  }
  return static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(now)));
}

LRESULT CALLBACK ScreenSaverProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      StartUp(window, reinterpret_cast<const CREATESTRUCTA *>(lParam));
      break;
    case WM_DESTROY:
      ShutDown(window);
      break;
    case WM_ENABLE:
      OnEnable(window, wParam != 0);
      break;
    case WM_SIZE:
      // It may come while a tick draws (a host resizing a preview); the tick after it acts.
      if (animation.running && (LOWORD(lParam) != lineSet.windowWidth ||
                                HIWORD(lParam) != lineSet.windowHeight))
        animation.resized = true;
      break;
    case WM_ERASEBKGND:
      BlackenClient(window, reinterpret_cast<HDC>(wParam));
      AfterErase();
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP:
      // While the saver listens the digits are the CD's keys and do not dismiss it.
      if (SoundCaptureRunning() && IsDigitKey(wParam)) return 0;
      break;
    case WM_CHAR:
      if (SoundCaptureRunning() && IsDigitKey(wParam)) {
        CdKey(static_cast<uint32_t>(wParam - '0'));
        return 0;
      }
      break;
    case WM_SOUNDLEVEL:
      OnSoundLevel(window, *reinterpret_cast<LevelReport *>(lParam));
      break;
    case WM_TIMER:
      if (wParam == WATCHDOG_TIMER_ID)
        Watchdog(window);
      else
        Tick(window);
      break;
    default:
      break;
  }
  return defaultProc(window, message, wParam, lParam);
}
