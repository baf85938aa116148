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
// the black that erasing draws. `Eight` converts eight indices from one word. A tile outside
// `fresh` shows its black pixels as black already, so it is written in halves, skipping halves
// of black: sixteen pixels are a cache line of the shown pixels, written whole or not at all,
// since streaming part of one costs more than all of it. Whether a half is black is too
// irregular for the branch predictor, so tiles drawn on are written whole without asking.
template <typename Eight>
__attribute__((always_inline)) inline uint64_t ConvertTiles(const uint8_t *in, uint32_t *out, int count,
                                                             const uint32_t *palette, uint64_t fresh, Eight eight) {
  static_assert(DamageGrid::TILE_WIDTH == 32, "a tile is four words of indices");
  uint64_t inked = 0;
  int tile = 0, x = 0;
  for (; x + DamageGrid::TILE_WIDTH <= count; x += DamageGrid::TILE_WIDTH, ++tile) {
    uint64_t w0, w1, w2, w3;
    std::memcpy(&w0, in + x, 8);
    std::memcpy(&w1, in + x + 8, 8);
    std::memcpy(&w2, in + x + 16, 8);
    std::memcpy(&w3, in + x + 24, 8);
    const uint64_t firstHalf = w0 | w1, secondHalf = w2 | w3;
    const bool whole = (fresh >> tile) & 1;
    inked |= uint64_t((firstHalf | secondHalf) != 0) << tile;
    if (whole || firstHalf != 0) {
      eight(out + x, w0);
      eight(out + x + 8, w1);
    }
    if (whole || secondHalf != 0) {
      eight(out + x + 16, w2);
      eight(out + x + 24, w3);
    }
  }
  // The narrower last tile of a row, at the surface's right edge.
  uint64_t any = 0;
  for (; x < count; ++x) {
    out[x] = palette[in[x]];
    any |= in[x];
  }
  if (any != 0) inked |= 1ull << tile;
  return inked;
}

#if defined(__x86_64__)
// GCC 12's own lane shuffles leave a placeholder operand unset, which it then warns about.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
// Sixty-four indices at a time: each byte of the pixels looked up by byte permutes in a table
// of that byte of all 256 entries, the four bytes woven into pixels, one cache line of
// pixels to a store. The table holds the bytes of the entries channel by channel, as
// ChannelTable builds it.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) uint64_t ConvertByPermutes(const uint8_t *in, uint32_t *out, int count,
                                                                  const uint32_t *, const uint64_t *table,
                                                                  uint64_t fresh) {
  const auto *bytes = reinterpret_cast<const uint8_t *>(table);
  __m512i quarters[4][4];
#pragma GCC unroll 4
  for (int channel = 0; channel < 4; ++channel)
#pragma GCC unroll 4
    for (int q = 0; q < 4; ++q) quarters[channel][q] = _mm512_loadu_si512(bytes + channel * 256 + q * 64);
  const bool aligned = (reinterpret_cast<uintptr_t>(out) & 63) == 0;
  // Between frames the indices leave the caches; the processor's own fetching ahead leaves
  // this loop waiting for them (a third longer per frame than when it asks for them itself).
  constexpr int PREFETCH_AHEAD = 1024;
  uint64_t inked = 0;
  for (int x = 0; x < count; x += 64) {
    const int n = std::min(64, count - x);
    const __mmask64 valid = n == 64 ? ~0ull : (1ull << n) - 1;
    __builtin_prefetch(in + x + PREFETCH_AHEAD);
    const __m512i indices = _mm512_maskz_loadu_epi8(valid, in + x);
    const uint64_t nonzero = _mm512_test_epi8_mask(indices, indices);
    if (nonzero & 0xFFFFFFFFull) inked |= 1ull << (x >> 5);
    if (nonzero >> 32) inked |= 1ull << ((x >> 5) + 1);
    const __mmask64 upperHalf = _mm512_movepi8_mask(indices);
    __m512i channel[4];
#pragma GCC unroll 4
    for (int c = 0; c < 4; ++c)
      channel[c] = _mm512_mask_blend_epi8(upperHalf, _mm512_permutex2var_epi8(quarters[c][0], indices, quarters[c][1]),
                                          _mm512_permutex2var_epi8(quarters[c][2], indices, quarters[c][3]));
    // Unpacking works within 128-bit lanes: pixels[k] holds pixels 16 L + 4 k .. + 3 in lane L,
    // and the lane shuffles put them back in order.
    const __m512i lowPairs = _mm512_unpacklo_epi8(channel[0], channel[1]), highPairs = _mm512_unpackhi_epi8(channel[0], channel[1]);
    const __m512i lowTops = _mm512_unpacklo_epi8(channel[2], channel[3]), highTops = _mm512_unpackhi_epi8(channel[2], channel[3]);
    const __m512i p0 = _mm512_unpacklo_epi16(lowPairs, lowTops), p1 = _mm512_unpackhi_epi16(lowPairs, lowTops);
    const __m512i p2 = _mm512_unpacklo_epi16(highPairs, highTops), p3 = _mm512_unpackhi_epi16(highPairs, highTops);
    const __m512i t0 = _mm512_shuffle_i64x2(p0, p1, 0x44), t1 = _mm512_shuffle_i64x2(p2, p3, 0x44);
    const __m512i t2 = _mm512_shuffle_i64x2(p0, p1, 0xEE), t3 = _mm512_shuffle_i64x2(p2, p3, 0xEE);
    const __m512i pixels[4] = {_mm512_shuffle_i64x2(t0, t1, 0x88), _mm512_shuffle_i64x2(t0, t1, 0xDD),
                               _mm512_shuffle_i64x2(t2, t3, 0x88), _mm512_shuffle_i64x2(t2, t3, 0xDD)};
#pragma GCC unroll 4
    for (int k = 0; k < 4; ++k) {
      const __mmask16 lanes = static_cast<__mmask16>(valid >> (16 * k));
      if (lanes == 0) break;
      // Black pixels of a tile outside `fresh` are already shown as black.
      if (!((fresh >> ((x + 16 * k) >> 5)) & 1) && ((nonzero >> (16 * k)) & 0xFFFF) == 0) continue;
      uint32_t *to = out + x + 16 * k;
      if (lanes == 0xFFFF && aligned) _mm512_stream_si512(reinterpret_cast<__m512i *>(to), pixels[k]);
      else _mm512_mask_storeu_epi32(to, lanes, pixels[k]);
    }
  }
  return inked;
}
#pragma GCC diagnostic pop
#endif

// The bytes of the 256 entries channel by channel, lowest byte first: 1024 bytes.
void ChannelTable(const uint32_t *palette, std::vector<uint64_t> &table) {
  table.assign(128, 0);
  auto *bytes = reinterpret_cast<uint8_t *>(table.data());
  for (int channel = 0; channel < 4; ++channel)
    for (int i = 0; i < 256; ++i) bytes[channel * 256 + i] = uint8_t(palette[i] >> (8 * channel));
}

void PairTable(const uint32_t *palette, std::vector<uint64_t> &pairs) {
  pairs.resize(65536);
  for (int high = 0; high < 256; ++high) {
    const uint64_t upper = uint64_t(palette[high]) << 32;
    uint64_t *entry = pairs.data() + (high << 8);
    for (int low = 0; low < 256; ++low) entry[low] = upper | palette[low];
  }
}

}  // namespace

uint64_t ConvertByPairs(const uint8_t *in, uint32_t *out, int count, const uint32_t *palette,
                        const uint64_t *pairs, uint64_t fresh) {
  auto four = [](uint32_t *to, uint64_t low, uint64_t high) {
    std::memcpy(to, &low, sizeof low);
    std::memcpy(to + 2, &high, sizeof high);
  };
  auto eight = [&](uint32_t *to, uint64_t word, auto store) {
    store(to, pairs[word & 0xFFFF], pairs[(word >> 16) & 0xFFFF]);
    store(to + 4, pairs[(word >> 32) & 0xFFFF], pairs[word >> 48]);
  };
  if ((reinterpret_cast<uintptr_t>(out) & 15) == 0)
    return ConvertTiles(in, out, count, palette, fresh, [&](uint32_t *to, uint64_t word) { eight(to, word, StreamFour); });
  return ConvertTiles(in, out, count, palette, fresh, [&](uint32_t *to, uint64_t word) { eight(to, word, four); });
}

IndexConverter BestConverter() {
  const char *choice = std::getenv("LUMIVANE_CONVERT");
  if (choice != nullptr && std::strcmp(choice, "portable") == 0) return ConvertByPairs;
#if defined(__x86_64__)
  if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vbmi"))
    return ConvertByPermutes;
#endif
  return ConvertByPairs;
}

void ConversionTable(IndexConverter converter, const uint32_t *palette, std::vector<uint64_t> &table) {
  if (converter == ConvertByPairs) PairTable(palette, table);
  else ChannelTable(palette, table);
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
                                     shownPalette_, table_.data(), fresh_[tile >> 6] >> (tile & 63))
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
    if (recolour || table_.empty()) ConversionTable(convert_, shownPalette_, table_);
  }
  for (int row = 0; row < damage.rows(); ++row)
    UpdateTileRow(surface, target, pitch, row, recolour, whole);
  StreamDone();
  damage.Clear();
  return rects_;
}

}  // namespace compat
