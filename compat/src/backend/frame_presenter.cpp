#include "frame_presenter.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace compat {

namespace {

// The shown pixels are shared with the window system, which reads them on another core
// after every frame. Stores that bypass the cache write whole lines without first fetching
// them back from there, which halves what a frame costs.
#if defined(__SSE2__)
constexpr bool STREAMING = true;
void Stream4(uint32_t *out, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  _mm_stream_si128(reinterpret_cast<__m128i *>(out), _mm_setr_epi32(int(a), int(b), int(c), int(d)));
}
void StreamCopy4(uint32_t *out, const uint32_t *in) {
  _mm_stream_si128(reinterpret_cast<__m128i *>(out), _mm_loadu_si128(reinterpret_cast<const __m128i *>(in)));
}
void StreamDone() { _mm_sfence(); }
#else
constexpr bool STREAMING = true;
void Stream4(uint32_t *out, uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
  out[0] = a, out[1] = b, out[2] = c, out[3] = d;
}
void StreamCopy4(uint32_t *out, const uint32_t *in) { std::memcpy(out, in, 16); }
void StreamDone() {}
#endif

bool Aligned(const uint32_t *out) { return (reinterpret_cast<uintptr_t>(out) & 15) == 0; }

// Converts a run of palette indices; says whether any was other than 0, the black that
// erasing draws.
bool ConvertIndices(const uint8_t *in, uint32_t *out, int count, const uint32_t *palette) {
  uint8_t any = 0;
  int x = 0;
  if (STREAMING && Aligned(out)) {
    for (; x + 4 <= count; x += 4) {
      Stream4(out + x, palette[in[x]], palette[in[x + 1]], palette[in[x + 2]], palette[in[x + 3]]);
      any |= in[x] | in[x + 1] | in[x + 2] | in[x + 3];
    }
  }
  for (; x < count; ++x) {
    out[x] = palette[in[x]];
    any |= in[x];
  }
  return any != 0;
}

void CopyPixels(const uint32_t *in, uint32_t *out, int count) {
  int x = 0;
  if (STREAMING && Aligned(out))
    for (; x + 4 <= count; x += 4) StreamCopy4(out + x, in + x);
  std::memcpy(out + x, in + x, size_t(count - x) * 4);
}

}  // namespace

void FramePresenter::UpdateTileRow(const Surface &surface, uint32_t *target, int pitch, int row,
                                   bool recolour, bool whole) {
  const DamageGrid &damage = surface.damage;
  const int columns = damage.columns();
  uint8_t *inked = inked_.data() + size_t(row) * columns;
  int first = -1, last = -1;
  for (int column = 0; column < columns; ++column) {
    work_[column] = whole || damage.Damaged(column, row) || (recolour && inked[column]);
    if (!work_[column]) continue;
    if (first < 0) first = column;
    last = column;
    inked[column] = 0;
  }
  if (first < 0) return;
  const int top = row << DamageGrid::TILE_SHIFT_Y;
  const int bottom = std::min(top + DamageGrid::TILE_HEIGHT, surface.height);
  const int spanLeft = first << DamageGrid::TILE_SHIFT_X;
  const int spanRight = std::min((last + 1) << DamageGrid::TILE_SHIFT_X, surface.width);
  // Row by row, so memory is walked in order; runs of neighbouring tiles go as one.
  for (int y = top; y < bottom; ++y) {
    uint32_t *out = target + size_t(y) * pitch;
    const size_t rowStart = size_t(y) * surface.width;
    for (int column = first; column <= last;) {
      if (!work_[column]) {
        ++column;
        continue;
      }
      int end = column;
      while (end <= last && work_[end]) ++end;
      const int left = column << DamageGrid::TILE_SHIFT_X;
      const int count = std::min(end << DamageGrid::TILE_SHIFT_X, surface.width) - left;
      if (!indexed_) {
        CopyPixels(surface.pixels32.data() + rowStart + left, out + left, count);
      } else {
        // Ink is noted per tile, so long runs are converted a tile at a time.
        for (int tile = column; tile < end; ++tile) {
          const int tileLeft = tile << DamageGrid::TILE_SHIFT_X;
          const int tileCount = std::min(DamageGrid::TILE_WIDTH, surface.width - tileLeft);
          if (ConvertIndices(surface.pixels8.data() + rowStart + tileLeft, out + tileLeft,
                             tileCount, surface.hardwarePalette))
            inked[tile] = 1;
        }
      }
      column = end;
    }
  }
  rects_.push_back({spanLeft, top, spanRight - spanLeft, bottom - top});
}

const std::vector<PresentRect> &FramePresenter::Update(Surface &surface, uint32_t *target,
                                                       int pitch) {
  DamageGrid &damage = surface.damage;
  rects_.clear();
  const size_t tiles = size_t(damage.columns()) * damage.rows();
  bool whole = target != target_ || surface.width != width_ || surface.height != height_ ||
               surface.indexed != indexed_ || inked_.size() != tiles;
  target_ = target;
  width_ = surface.width;
  height_ = surface.height;
  indexed_ = surface.indexed;
  inked_.resize(tiles);
  work_.resize(damage.columns());
  bool recolour = false;
  if (indexed_) {
    recolour = !std::equal(shownPalette_, shownPalette_ + 256, surface.hardwarePalette);
    // Black itself changed: every pixel is shown differently.
    whole = whole || shownPalette_[0] != surface.hardwarePalette[0];
    std::copy_n(surface.hardwarePalette, 256, shownPalette_);
  }
  // One rectangle per tile row, from its first to its last changed tile: few requests for
  // the window system, at the price of sending some unchanged pixels between.
  for (int row = 0; row < damage.rows(); ++row)
    UpdateTileRow(surface, target, pitch, row, recolour, whole);
  StreamDone();
  damage.Clear();
  return rects_;
}

}  // namespace compat
