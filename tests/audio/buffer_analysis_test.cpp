#include "audio/buffer_analysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// Interleaved stereo buffers of one format, analysed with that format's window.
struct Analysis {
  explicit Analysis(CaptureFormat f) : format(f), frames(FramesPerBufferFor(f)) {
    FillWindowTable(window, frames);
  }
  // Both channels carry sample(i) for frame i, as signed full-scale values.
  std::vector<uint8_t> Buffer(const std::function<int(int)> &sample, int count) const {
    std::vector<uint8_t> data;
    for (int i = 0; i < count; ++i)
      for (int c = 0; c < format.channels; ++c) {
        const int s = sample(i);
        if (format.bitsPerSample == 8) {
          data.push_back(static_cast<uint8_t>(std::clamp(s / 256 + 128, 0, 255)));
        } else {
          const int16_t v = static_cast<int16_t>(s);
          uint8_t bytes[2];
          std::memcpy(bytes, &v, 2);
          data.insert(data.end(), bytes, bytes + 2);
        }
      }
    return data;
  }
  bool Run(const std::vector<uint8_t> &data) {
    return AnalyseSamples(data.data(), static_cast<uint32_t>(data.size()), format, window, frames,
                          dc, report);
  }
  CaptureFormat format;
  int frames;
  int32_t window[MAX_FRAMES_PER_BUFFER] = {};
  int16_t dc[2] = {0, 0};
  LevelReport report;
};

int Total(const LevelReport &r) {
  int sum = 0;
  for (int16_t s : r.shares) sum += s;
  return sum;
}

// A square wave of full amplitude whose period is this many frames.
std::function<int(int)> SquareWave(int period, int amplitude = 32767) {
  return [=](int i) { return (i / (period / 2)) & 1 ? amplitude : -amplitude; };
}

}  // namespace

TEST(BufferAnalysis, WindowIsALiftedRaisedCosine) {
  int32_t window[512];
  FillWindowTable(window, 512);
  EXPECT_EQ(window[0], 13) << "0.0002 of full scale at the ends, never 0";
  EXPECT_GT(window[255], 65500);
  for (int i = 1; i < 256; ++i) {
    ASSERT_GT(window[i], window[i - 1]) << i;
    ASSERT_EQ(window[i], window[511 - i]) << i;
  }
}

TEST(BufferAnalysis, SilenceWithAnOffsetIsLearntAndShortBuffersAreMeasuredOverWhatTheyHold) {
  Analysis a({2, 22050, 16});
  const auto silence = a.Buffer([](int) { return 1000; }, a.frames);
  ASSERT_TRUE(a.Run(silence));
  EXPECT_GT(a.report.level, 0.0) << "the first buffer does not know the offset yet";
  EXPECT_EQ(a.dc[0], 1000);
  EXPECT_EQ(a.dc[1], 1000);
  for (int again = 0; again < 2; ++again) {
    ASSERT_TRUE(a.Run(silence));
    EXPECT_EQ(a.report.level, 0.0);
    EXPECT_EQ(Total(a.report), 0) << "a total of 0 gives all shares 0";
    EXPECT_EQ(a.report.raw[0], 0);
  }
  EXPECT_EQ(a.report.bandCount, 8);

  // A buffer without a whole frame is not analysed.
  a.report.level = 123.0;
  a.dc[0] = 55;
  EXPECT_FALSE(a.Run({}));
  EXPECT_FALSE(a.Run(std::vector<uint8_t>(3, 0))) << "less than one 4-byte frame";
  EXPECT_EQ(a.report.level, 123.0);
  EXPECT_EQ(a.dc[0], 55) << "the offset is not divided by zero frames";

  // A short buffer is measured over the frames it has.
  ASSERT_TRUE(a.Run(a.Buffer([](int) { return 300; }, 10)));
  EXPECT_EQ(a.dc[0], 300);
  // A device claiming more than the buffer holds is measured over the window only.
  const auto over = a.Buffer([](int) { return -40; }, a.frames + 100);
  ASSERT_TRUE(a.Run(over));
  EXPECT_EQ(a.dc[0], -40);

  // Eight bits: the unsigned midpoint 127 is the zero.
  Analysis b({2, 22050, 8});
  ASSERT_EQ(BufferBytesFor(b.format), 512u);
  ASSERT_TRUE(b.Run(std::vector<uint8_t>(512, 127)));
  EXPECT_EQ(b.report.level, 0.0);
  EXPECT_EQ(b.dc[0], 0);
}

TEST(BufferAnalysis, EachSquareWaveLandsInItsBand) {
  // Band b stands for about 11025 / 2^b Hz at both rates: at 44100 Hz the period-8 term is band
  // 1, and the period-2 term is measured (raw) but left out of the bands.
  struct Case {
    CaptureFormat format;
    int period, band;
  };
  for (const Case &c :
       {Case{{2, 22050, 16}, 8, 2}, Case{{2, 22050, 8}, 8, 2}, Case{{2, 44100, 16}, 8, 1},
        Case{{2, 44100, 8}, 8, 1}, Case{{2, 22050, 16}, 2, 0}, Case{{2, 22050, 16}, 4, 1},
        Case{{2, 44100, 16}, 4, 0}, Case{{2, 44100, 16}, 2, -1}}) {
    SCOPED_TRACE(testing::Message() << c.format.samplesPerSecond << " Hz, "
                                    << c.format.bitsPerSample << " bits, period " << c.period);
    Analysis a(c.format);
    const auto wave = a.Buffer(SquareWave(c.period), a.frames);
    ASSERT_TRUE(a.Run(wave));
    ASSERT_TRUE(a.Run(wave));  // offsets learnt (they are about 0 here anyway)
    EXPECT_LE(Total(a.report), 121);
    const int term = c.period == 8 ? 2 : c.period == 4 ? 1 : 0;
    for (int k = 0; k < CORRELATION_TERMS; ++k)
      if (k != term) {
        EXPECT_LT(std::abs(a.report.raw[k]), std::abs(a.report.raw[term]) / 20) << k;
      }
    if (c.band < 0) {
      EXPECT_GT(std::abs(a.report.raw[0]), 1000000);
      EXPECT_LT(a.report.shares[0], 100) << "the period-2 term is not band 0 here";
      continue;
    }
    EXPECT_GE(a.report.shares[c.band], 115);
    // Peak to peak of the windowed samples: nearly the full range of the shifted values.
    EXPECT_GT(a.report.level, c.format.bitsPerSample == 16 ? 60000 : 200);
  }
}
