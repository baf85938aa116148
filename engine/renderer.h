// The symmetric renderer: draws every copy of the generator for one line set and wipes out
// the line set drawn a trail's length ago, which a ring of coordinates remembers.
#pragma once

#include <windows.h>

#include <cstdint>

constexpr int TRAIL_BLOCK_BYTES = 131072;
constexpr int TRAIL_RING_MAX_SHORTS = 65535;
constexpr int MAX_REFLECTIONS = 9;

struct TrailRing {
  HGLOBAL block = nullptr;
  int16_t *values = nullptr;  // the block, locked for its whole life
  int ringLength = 0;         // 16-bit values in use; 0 while the design runs without a ring
  int writeIndex = 0;
  int linesPerStep = 0;       // entries one line set writes
};

// Further centres, on a circle about the drawing centre, about which the figure is repeated.
struct ReflectionOffsets {
  int count = 0;
  POINT offset[MAX_REFLECTIONS] = {};
};

// What the renderer borrows from the animation driver for a run, with the run's settings it
// draws by.
struct RendererLinks {
  HWND window = nullptr;
  const bool *running = nullptr;
  // Drawings of each segment; values below 1 draw it once.
  int32_t divisor = 1;
  // Drawing gives way as soon as any message but a timer waits.
  bool polite = true;
};

struct RendererState {
  RendererLinks links;
  TrailRing ring;
  ReflectionOffsets reflections;
  // Black, as wide as the design's lines, so that the erase covers every pixel they set.
  HPEN erasePen = nullptr;
  int erasePenWidth = 0;
  bool resumePending = false;
  DWORD tickStart = 0;
};

extern RendererState renderer;
// Segments drawn since the last design change, three per cheese shape; 64-bit, since
// millions a second overflow 32 bits within minutes.
extern uint64_t linesDrawn;

// The driver at start-up: until then DrawLineSet draws nothing.
void AttachRenderer(const RendererLinks &links);
// Applies a design, after the line model's setters: new reflection offsets for this many
// reflections, the ring sized and cleared, an interrupted line set forgotten.
void ResetTrailRing(int32_t reflections);
// The driver at shut-down: frees the ring's block and the erase pen.
void ReleaseTrailRing();

// Returns true when the line set was drawn (or the animation is not running), false when it
// gave way to waiting input; the next call then redraws the same line set.
bool DrawLineSet(HDC dc);
// Each copy of the figure about the centre; false when drawing gave way to waiting input.
bool ReplicateSegment(HDC dc, POINT center, POINT v1, POINT v2, float startAngle);
bool ReplicateTriangle(HDC dc, POINT center, POINT v1, POINT v2, POINT v3, float startAngle);
void DrawSegment(HDC dc, int x1, int y1, int x2, int y2);
void DrawCheeseShape(HDC dc, POINT v1, POINT v2, POINT v3);
// False when, with Polite on, input is waiting and drawing should give way at once.
bool PoliteCheck();
// A tick that has run this long gives way to a waiting key or mouse message even when the
// settings are not polite, so that no stored value keeps the saver from closing.
constexpr DWORD LONG_TICK_MS = 100;
// The driver at the start of each tick.
void StartTickClock();
// Whether the tick has run long and a key or mouse message waits for the window.
bool OverdueInputWaiting();

// Pure parts of ResetTrailRing.
struct RingSize {
  int ringLength = 0;
  int linesPerStep = 0;
};
RingSize TrailRingSize(int trailLength, int depth, int reflections, int vertexCount, int symmetryCount,
                       bool mirrored);
ReflectionOffsets MakeReflectionOffsets(int count, int radius);
