#include "frame_presenter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace compat {

namespace {

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "the first pixel is a word's low byte");

// The shown pixels are shared with the window system, which reads them on another core
// after every frame. Stores that bypass the cache write whole lines without first fetching
// them back from there; they pay only when they are wide, so four pixels go at a time.
#if defined(__x86_64__)
void StreamFour(uint32_t *out, uint64_t low, uint64_t high) {
  _mm_stream_si128(reinterpret_cast<__m128i *>(out),
                   _mm_set_epi64x(static_cast<long long>(high), static_cast<long long>(low)));
}
void StreamDone() { _mm_sfence(); }
#else
void StreamFour(uint32_t *out, uint64_t low, uint64_t high) {
  std::memcpy(out, &low, sizeof low);
  std::memcpy(out + 2, &high, sizeof high);
}
void StreamDone() {}
#endif

// True colour is copied as it is, four pixels to a store.
void CopyPixels(const uint32_t *in, uint32_t *out, int count) {
  int x = 0;
#if defined(__x86_64__)
  if ((reinterpret_cast<uintptr_t>(out) & 15) == 0) {
    for (; x + 4 <= count; x += 4)
      _mm_stream_si128(reinterpret_cast<__m128i *>(out + x),
                       _mm_loadu_si128(reinterpret_cast<const __m128i *>(in + x)));
  }
#endif
  std::memcpy(out + x, in + x, size_t(count - x) * 4);
}

// Converts tile by tile; bit t of the result says that tile t held an index other than 0,
// the black that erasing draws. `Eight` converts eight indices from one word. Black pixels of
// a tile outside `fresh` are already shown as black and need not be written again.
template <typename Eight>
__attribute__((always_inline)) inline uint64_t ConvertTiles(const uint8_t *in, uint32_t *out, int count,
                                                             const uint32_t *palette, uint64_t fresh, Eight eight) {
  uint64_t inked = 0;
  for (int tile = 0, left = 0; left < count; ++tile, left += DamageGrid::TILE_WIDTH) {
    const int end = std::min(count, left + DamageGrid::TILE_WIDTH);
    const bool writeBlack = (fresh >> tile) & 1;
    uint64_t any = 0;
    int x = left;
    // Sixteen pixels are a cache line of the shown pixels: a line is written whole or not at
    // all, since streaming part of one costs more than all of it.
    for (; x + 16 <= end; x += 16) {
      uint64_t words[2];
      std::memcpy(words, in + x, sizeof words);
      any |= words[0] | words[1];
      if ((words[0] | words[1]) == 0 && !writeBlack) continue;
      eight(out + x, words[0]);
      eight(out + x + 8, words[1]);
    }
    for (; x + 8 <= end; x += 8) {
      uint64_t word;
      std::memcpy(&word, in + x, sizeof word);
      any |= word;
      eight(out + x, word);
    }
    for (; x < end; ++x) {
      out[x] = palette[in[x]];
      any |= in[x];
    }
    if (any != 0) inked |= 1ull << tile;
  }
  return inked;
}

#if defined(__x86_64__)
// Eight indices looked up by one gather and written by one store; most of a picture is black,
// and eight black pixels need no lookup.
__attribute__((target("avx2"))) uint64_t ConvertByGather(const uint8_t *in, uint32_t *out, int count,
                                                          const uint32_t *palette, const uint64_t *,
                                                          uint64_t fresh) {
  const __m256i black = _mm256_set1_epi32(static_cast<int>(palette[0]));
  auto gather = [&](uint64_t word) __attribute__((target("avx2"))) {
    __m256i pixels = black;
    if (word != 0) {
      const __m256i indices = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(static_cast<long long>(word)));
      pixels = _mm256_i32gather_epi32(reinterpret_cast<const int *>(palette), indices, 4);
    }
    return pixels;
  };
  if ((reinterpret_cast<uintptr_t>(out) & 31) == 0)
    return ConvertTiles(in, out, count, palette, fresh, [&](uint32_t *to, uint64_t word) __attribute__((target("avx2"))) {
      _mm256_stream_si256(reinterpret_cast<__m256i *>(to), gather(word));
    });
  return ConvertTiles(in, out, count, palette, fresh, [&](uint32_t *to, uint64_t word) __attribute__((target("avx2"))) {
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(to), gather(word));
  });
}
#endif

}  // namespace

uint64_t ConvertByPairs(const uint8_t *in, uint32_t *out, int count, const uint32_t *palette,
                        const uint64_t *pairs, uint64_t fresh) {
  const uint64_t black = pairs[0];
  auto four = [](uint32_t *to, uint64_t low, uint64_t high) {
    std::memcpy(to, &low, sizeof low);
    std::memcpy(to + 2, &high, sizeof high);
  };
  auto eight = [&](uint32_t *to, uint64_t word, auto store) {
    if (word == 0) {
      store(to, black, black);
      store(to + 4, black, black);
    } else {
      store(to, pairs[word & 0xFFFF], pairs[(word >> 16) & 0xFFFF]);
      store(to + 4, pairs[(word >> 32) & 0xFFFF], pairs[word >> 48]);
    }
  };
  if ((reinterpret_cast<uintptr_t>(out) & 15) == 0)
    return ConvertTiles(in, out, count, palette, fresh, [&](uint32_t *to, uint64_t word) { eight(to, word, StreamFour); });
  return ConvertTiles(in, out, count, palette, fresh, [&](uint32_t *to, uint64_t word) { eight(to, word, four); });
}

IndexConverter BestConverter() {
  const char *choice = std::getenv("LUMIVANE_CONVERT");
  if (choice != nullptr && std::strcmp(choice, "portable") == 0) return ConvertByPairs;
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx2")) return ConvertByGather;
#endif
  return ConvertByPairs;
}

bool NeedsPairs(IndexConverter converter) { return converter == ConvertByPairs; }

void PairTable(const uint32_t *palette, std::vector<uint64_t> &pairs) {
  pairs.resize(65536);
  for (int high = 0; high < 256; ++high) {
    const uint64_t upper = uint64_t(palette[high]) << 32;
    uint64_t *entry = pairs.data() + (high << 8);
    for (int low = 0; low < 256; ++low) entry[low] = upper | palette[low];
  }
}

void FramePresenter::UpdateTileRow(const Surface &surface, uint32_t *target, int pitch, int row,
                                   bool recolour, bool whole) {
  const DamageGrid &damage = surface.damage;
  const int columns = damage.columns(), words = damage.wordsPerRow();
  const uint64_t *damaged = damage.Row(row);
  uint64_t *inked = inked_.data() + size_t(row) * words;
  bool any = false;
  for (int k = 0; k < words; ++k) {
    const int bits = std::min(64, columns - 64 * k);
    const uint64_t all = bits == 64 ? ~0ull : (1ull << bits) - 1;
    fresh_[k] = whole ? all : damaged[k];
    work_[k] = fresh_[k] | (recolour ? inked[k] : 0);
    inked[k] &= ~work_[k];
    any = any || work_[k] != 0;
  }
  if (!any) return;
  auto isWork = [&](int column) { return (work_[column >> 6] >> (column & 63)) & 1; };
  const int top = row << DamageGrid::TILE_SHIFT_Y;
  const int bottom = std::min(top + DamageGrid::TILE_HEIGHT, surface.height);
  const size_t firstRect = rects_.size();
  for (int column = 0; column < columns;) {
    if (!isWork(column)) {
      ++column;
      continue;
    }
    int end = column;
    while (end < columns && isWork(end)) ++end;
    const int left = column << DamageGrid::TILE_SHIFT_X;
    const int right = std::min(end << DamageGrid::TILE_SHIFT_X, surface.width);
    rects_.push_back({left, top, right - left, bottom - top});
    column = end;
  }
  // Row by row, so memory is walked in order.
  for (int y = top; y < bottom; ++y) {
    uint32_t *out = target + size_t(y) * pitch;
    const size_t rowStart = size_t(y) * surface.width;
    for (size_t r = firstRect; r < rects_.size(); ++r) {
      const PresentRect &run = rects_[r];
      if (!indexed_) {
        CopyPixels(surface.pixels32.data() + rowStart + run.x, out + run.x, run.width);
        continue;
      }
      // In pieces that end where a word of ink bits does.
      for (int left = run.x; left < run.x + run.width;) {
        const int tile = left >> DamageGrid::TILE_SHIFT_X;
        const int right = std::min(run.x + run.width, ((tile | 63) + 1) << DamageGrid::TILE_SHIFT_X);
        inked[tile >> 6] |= convert_(surface.pixels8.data() + rowStart + left, out + left, right - left,
                                     shownPalette_, pairs_.data(), fresh_[tile >> 6] >> (tile & 63))
                            << (tile & 63);
        left = right;
      }
    }
  }
}

const std::vector<PresentRect> &FramePresenter::Update(Surface &surface, uint32_t *target,
                                                       int pitch) {
  DamageGrid &damage = surface.damage;
  rects_.clear();
  const size_t words = size_t(damage.wordsPerRow()) * damage.rows();
  bool whole = target != target_ || surface.width != width_ || surface.height != height_ ||
               surface.indexed != indexed_ || inked_.size() != words;
  target_ = target;
  width_ = surface.width;
  height_ = surface.height;
  indexed_ = surface.indexed;
  if (whole) inked_.assign(words, 0);
  work_.resize(damage.wordsPerRow());
  fresh_.resize(damage.wordsPerRow());
  bool recolour = false;
  if (indexed_) {
    recolour = !std::equal(shownPalette_, shownPalette_ + 256, surface.hardwarePalette);
    // Black itself changed: every pixel is shown differently.
    whole = whole || shownPalette_[0] != surface.hardwarePalette[0];
    std::copy_n(surface.hardwarePalette, 256, shownPalette_);
    if (NeedsPairs(convert_) && (recolour || pairs_.empty())) PairTable(shownPalette_, pairs_);
  }
  for (int row = 0; row < damage.rows(); ++row)
    UpdateTileRow(surface, target, pitch, row, recolour, whole);
  StreamDone();
  damage.Clear();
  return rects_;
}

}  // namespace compat
