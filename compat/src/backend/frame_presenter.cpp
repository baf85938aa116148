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
// them back from there.
#if defined(__SSE2__)
void StreamPair(uint32_t *out, uint64_t pair) {
  _mm_stream_si64(reinterpret_cast<long long *>(out), static_cast<long long>(pair));
}
void StreamDone() { _mm_sfence(); }
#else
void StreamPair(uint32_t *out, uint64_t pair) { std::memcpy(out, &pair, sizeof pair); }
void StreamDone() {}
#endif

// Converts a run of palette indices, eight at a time from one load, two to a store; says
// whether any was other than 0, the black that erasing draws.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first pixel is a word's low byte");
bool ConvertIndices(const uint8_t *in, uint32_t *out, int count, const uint32_t *palette) {
  uint64_t any = 0;
  int x = 0;
  if ((reinterpret_cast<uintptr_t>(out) & 7) == 0) {
    for (; x + 8 <= count; x += 8) {
      uint64_t word;
      std::memcpy(&word, in + x, sizeof word);
      any |= word;
      for (int k = 0; k < 8; k += 2, word >>= 16)
        StreamPair(out + x + k, palette[word & 0xFF] | uint64_t(palette[(word >> 8) & 0xFF]) << 32);
    }
  }
  for (; x < count; ++x) {
    out[x] = palette[in[x]];
    any |= in[x];
  }
  return any != 0;
}

// True colour is copied as it is, four pixels to a store.
void CopyPixels(const uint32_t *in, uint32_t *out, int count) {
  int x = 0;
#if defined(__SSE2__)
  if ((reinterpret_cast<uintptr_t>(out) & 15) == 0) {
    for (; x + 4 <= count; x += 4)
      _mm_stream_si128(reinterpret_cast<__m128i *>(out + x),
                       _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + x)));
  }
#endif
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
