// lumivane-bench: how fast the real saver draws, what its default pacing costs the saver and
// the X server, and what one present of a whole palette frame costs; each figure is compared
// with its goal. With --baseline another build of this program runs alternately with this one,
// so that both are measured on the same machine in the same minutes.
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "tools/headless_run.h"
#include "tools/measured_run.h"
#include "tools/present_timing.h"
#include "tools/private_display.h"
#include "tools/saver_setup.h"
#include "tools/sound_figures.h"
#include "audio/sound_capture.h"

namespace {

constexpr char PROGRAM[] = "lumivane-bench";
constexpr double WARM_UP_SECONDS = 1.0;
constexpr int UNTHROTTLED_GROUP_SIZE = 1000;
constexpr int UNTHROTTLED_INTERVAL_MS = 5;
constexpr int DEFAULT_GROUP_SIZE = 12;
constexpr int DEFAULT_INTERVAL_MS = 20;
// Window timers run at least this often apart, as on Windows.
constexpr int TIMER_FLOOR_MS = 10;

constexpr double GOAL_LINES_PER_CPU_SECOND = 10e6;
constexpr double GOAL_LAST_SPEED_SHARE = 0.95;
constexpr double GOAL_PACED_PERCENT = 3.0;
constexpr double GOAL_FRAMES_PER_SECOND = 20;
constexpr double GOAL_LARGE_SCREEN_FACTOR = 2.0;
constexpr double GOAL_PRESENT_MS = 0.3;
constexpr double GOAL_LISTENING_POINTS = 1.0;

struct Size {
  int width, height;
  const char *name;
};
constexpr Size FULL_HD{1920, 1080, "1080p"};
constexpr Size UHD{3840, 2160, "2160p"};
constexpr Size PRESENT_SIZES[] = {{1280, 720, "720p"}, FULL_HD, UHD};
// The presented picture is what the saver drew in this many ticks at the default pace.
constexpr int PRESENT_PICTURE_TICKS = 400;

struct BenchOptions {
  std::string favorite = "Hypnotic Eye";
  int seconds = 5;
  int runs = 3;
  bool figuresOnly = false;
  std::string baseline;
};

// Every figure of every run, by name.
using Figures = std::map<std::string, std::vector<double>>;

std::string Usage() {
  return "Usage: lumivane-bench [--favorite NAME] [--seconds N] [--runs N] [--baseline PROGRAM]\n"
         "Runs the real saver full screen on private Xvfb servers and prints, as the median and\n"
         "range over the runs, each with its goal:\n"
         "  - drawing at 1920x1080 unthrottled (SpeedGroupSize 1000, SpeedInterval 5, Polite on)\n"
         "    on the palette and the true-colour display: lines per processor second, and the\n"
         "    saver's own LastSpeed against its cap (line sets per tick over the timer period);\n"
         "  - the default pace (12 line sets every 20 ms) at 1920x1080 and 3840x2160: processor\n"
         "    time of the saver and of the X server, and frames presented per second;\n"
         "  - the default pace at 1920x1080 on the true-colour display while the saver listens\n"
         "    (SDL's disk driver playing it silence, then music), and one buffer's analysis;\n"
         "  - one present of a whole palette frame at 720p, 1080p and 2160p (a picture the saver\n"
         "    drew, under palette animation), through the portable conversion and through the\n"
         "    one chosen for this processor; at 1080p also from cold caches, as between the\n"
         "    saver's frames.\n"
         "\n"
         "  --favorite NAME      a favourite that ships with the saver (default \"Hypnotic Eye\")\n"
         "  --seconds N          measured seconds per saver run, 1 to 600 (default 5; each run\n"
         "                       adds about two seconds of start and warm-up)\n"
         "  --runs N             how often everything is measured, 1 to 99 (default 3)\n"
         "  --baseline PROGRAM   another build of lumivane-bench, run alternately with this one;\n"
         "                       both are printed side by side\n"
         "  --figures            print each run's raw figures only (what --baseline reads)\n"
         "  --help               show this text\n";
}

bool ParseWhole(const std::string &text, int low, int high, int *value) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *value = std::stoi(text);
  return *value >= low && *value <= high;
}

// Returns 0 to go on, else the exit code (-1: exit 0).
int ParseOptions(int argc, char **argv, BenchOptions *options) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      std::fputs(Usage().c_str(), stdout);
      return -1;
    }
    if (name == "--figures") {
      options->figuresOnly = true;
      continue;
    }
    if (name != "--favorite" && name != "--seconds" && name != "--runs" && name != "--baseline") {
      std::fprintf(stderr, "%s: unknown argument '%s'\nTry '%s --help'.\n", PROGRAM, argv[i], PROGRAM);
      return 2;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s: %s needs a value\nTry '%s --help'.\n", PROGRAM, name.c_str(), PROGRAM);
      return 2;
    }
    const std::string value = argv[++i];
    bool good = !value.empty();
    if (name == "--favorite") options->favorite = value;
    else if (name == "--baseline") options->baseline = value;
    else if (name == "--seconds") good = ParseWhole(value, 1, 600, &options->seconds);
    else good = ParseWhole(value, 1, 99, &options->runs);
    if (!good) {
      std::fprintf(stderr, "%s: bad value '%s' for %s\nTry '%s --help'.\n", PROGRAM, value.c_str(),
                   name.c_str(), PROGRAM);
      return 2;
    }
  }
  return 0;
}

// Runs `work` in a child process, so every measurement starts from a fresh process as the
// desktop would start the saver; the child's figures come back through a pipe as text.
template <typename Work>
bool InChild(Work work, std::string *report, std::string *error) {
  int channel[2];
  if (pipe(channel) != 0) {
    *error = "cannot create a pipe";
    return false;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    std::string text, failure;
    const bool ok = work(&text, &failure);
    if (!ok) text = "failed " + failure;
    if (write(channel[1], text.data(), text.size()) < 0) _exit(1);
    _exit(ok ? 0 : 1);
  }
  close(channel[1]);
  report->clear();
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report->append(buffer, n);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (report->rfind("failed ", 0) == 0) {
    *error = report->substr(7);
    return false;
  }
  if (report->empty()) {
    *error = "the measuring process ended without figures (exit status " + std::to_string(status) + ")";
    return false;
  }
  return true;
}

// *heardSound, when asked for, tells whether the run analysed any sound.
bool MeasureSaver(const PrivateDisplay &display, const char *colours, double seconds,
                  RunFigures *figures, std::string *error, bool *heardSound = nullptr) {
  std::string report;
  auto work = [&](std::string *text, std::string *failure) {
    setenv("DISPLAY", display.name().c_str(), 1);
    setenv("LUMIVANE_DISPLAY", colours, 1);
    setenv("LUMIVANE_SEED", "1", 1);
    unsetenv("LUMIVANE_BACKEND");
    RunFigures measured;
    if (!RunSaverMeasured(WARM_UP_SECONDS, seconds, &measured, failure,
                          [&display] { return display.CpuSeconds(); }))
      return false;
    char line[256];
    std::snprintf(line, sizeof line, "%ld %d %.6f %.6f %.0f %.0f %.0f %.6f %d", measured.lastSpeed,
                  measured.ticks, measured.cpuSeconds, measured.wallSeconds, measured.lines,
                  measured.linesPerSet, measured.frames, measured.otherCpuSeconds,
                  soundCapture.report.level > 0 ? 1 : 0);
    *text = line;
    return true;
  };
  if (!InChild(work, &report, error)) return false;
  int heard = 0;
  if (std::sscanf(report.c_str(), "%ld %d %lf %lf %lf %lf %lf %lf %d", &figures->lastSpeed,
                  &figures->ticks, &figures->cpuSeconds, &figures->wallSeconds, &figures->lines,
                  &figures->linesPerSet, &figures->frames, &figures->otherCpuSeconds, &heard) != 9) {
    *error = "unreadable figures '" + report + "'";
    return false;
  }
  if (heardSound) *heardSound = heard != 0;
  return true;
}

bool MeasurePresent(const Size &size, bool portable, bool coldCaches, double *ms, std::string *error) {
  std::string report;
  auto work = [&](std::string *text, std::string *failure) {
    setenv("LUMIVANE_DISPLAY", "palette", 1);
    setenv("LUMIVANE_SEED", "1", 1);
    if (portable) setenv("LUMIVANE_CONVERT", "portable", 1);
    else unsetenv("LUMIVANE_CONVERT");
    RgbPicture picture;
    if (!RenderSaverHeadless(size.width, size.height, PRESENT_PICTURE_TICKS, nullptr, &picture, failure))
      return false;
    *text = std::to_string(WholePaletteFrameMs(picture, coldCaches));
    return true;
  };
  if (!InChild(work, &report, error)) return false;
  *ms = std::atof(report.c_str());
  return true;
}

bool SetUpSaver(const BenchOptions &options, bool unthrottled, std::string *error, bool audio = false) {
  SaverSetup setup;
  setup.favorite = options.favorite;
  setup.audio = audio;
  setup.speedGroupSize = unthrottled ? UNTHROTTLED_GROUP_SIZE : DEFAULT_GROUP_SIZE;
  setup.speedInterval = unthrottled ? UNTHROTTLED_INTERVAL_MS : DEFAULT_INTERVAL_MS;
  return WriteSaverSettings(setup, error);
}

double Share(double part, double whole) { return whole > 0 ? part / whole : 0; }

// The default pace on the true-colour display at 1080p while the saver listens, through SDL's
// disk driver, to a file of music (capture, analysis and the pattern reacting) or of silence
// (capture and analysis with a pattern that hardly changes).
bool MeasureListening(const BenchOptions &options, PrivateDisplay &fullHd, const std::string &folder,
                      Figures *figures, std::string *error) {
  if (!SetUpSaver(options, false, error, true)) return false;
  for (const bool music : {false, true}) {
    if (!ListenToFile(folder + "/heard.raw", music)) {
      *error = "cannot write the sound for the listening run";
      return false;
    }
    RunFigures run;
    bool heard = false;
    const bool measured = MeasureSaver(fullHd, "truecolor", options.seconds, &run, error, &heard);
    StopListeningToFile();
    if (!measured) return false;
    if (music && !heard) {
      *error = "the listening saver heard nothing (capture did not run)";
      return false;
    }
    (*figures)[std::string("sound.") + (music ? "music" : "silence") + ".saver_percent"].push_back(
        100 * Share(run.cpuSeconds, run.wallSeconds));
  }
  (*figures)["sound.analysis_us"].push_back(AnalysisMicrosecondsPerBuffer());
  return true;
}

// One run of every measurement, added to `figures`.
bool MeasureOnce(const BenchOptions &options, PrivateDisplay &fullHd, PrivateDisplay &uhd,
                 Figures *figures, std::string *error) {
  ThrowawayHome home;
  if (!home.ok()) {
    *error = "cannot create a temporary settings folder";
    return false;
  }
  if (!SetUpSaver(options, true, error)) return false;
  for (const char *colours : {"palette", "truecolor"}) {
    RunFigures run;
    if (!MeasureSaver(fullHd, colours, options.seconds, &run, error)) return false;
    const std::string key = std::string("draw.") + colours;
    (*figures)[key + ".lines_per_cpu_second"].push_back(Share(run.lines, run.cpuSeconds));
    (*figures)[key + ".last_speed"].push_back(double(run.lastSpeed));
    const double periodMs = std::max(UNTHROTTLED_INTERVAL_MS, TIMER_FLOOR_MS);
    (*figures)[key + ".last_speed_cap"].push_back(UNTHROTTLED_GROUP_SIZE * run.linesPerSet * 1000 / periodMs);
  }
  if (!SetUpSaver(options, false, error)) return false;
  struct Paced {
    PrivateDisplay &display;
    const Size &size;
    const char *colours;
  };
  for (const Paced &paced : {Paced{fullHd, FULL_HD, "palette"}, Paced{uhd, UHD, "palette"},
                             Paced{fullHd, FULL_HD, "truecolor"}}) {
    RunFigures run;
    if (!MeasureSaver(paced.display, paced.colours, options.seconds, &run, error)) return false;
    const std::string key = std::string("paced.") + paced.colours + "." + paced.size.name;
    (*figures)[key + ".saver_percent"].push_back(100 * Share(run.cpuSeconds, run.wallSeconds));
    (*figures)[key + ".x_percent"].push_back(100 * Share(run.otherCpuSeconds, run.wallSeconds));
    (*figures)[key + ".frames_per_second"].push_back(Share(run.frames, run.wallSeconds));
  }
  if (!MeasureListening(options, fullHd, home.path(), figures, error)) return false;
  for (const Size &size : PRESENT_SIZES) {
    for (const bool portable : {true, false}) {
      double ms = 0;
      if (!MeasurePresent(size, portable, false, &ms, error)) return false;
      (*figures)[std::string("present.") + size.name + (portable ? ".portable_ms" : ".best_ms")].push_back(ms);
    }
  }
  // The saver's own case: between its frames the caches hold other things.
  for (const bool portable : {true, false}) {
    double ms = 0;
    if (!MeasurePresent(FULL_HD, portable, true, &ms, error)) return false;
    (*figures)[std::string("present.1080p.cold") + (portable ? ".portable_ms" : ".best_ms")].push_back(ms);
  }
  return true;
}

// A baseline build's figures of one run, read from its --figures output.
bool MeasureBaseline(const BenchOptions &options, Figures *figures, std::string *error) {
  const std::string command = "'" + options.baseline + "' --figures --runs 1 --seconds " +
                              std::to_string(options.seconds) + " --favorite '" + options.favorite + "'";
  FILE *pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) {
    *error = "cannot run the baseline " + options.baseline;
    return false;
  }
  char name[128];
  double value;
  int read = 0;
  while (std::fscanf(pipe, "%127s %lf", name, &value) == 2) {
    (*figures)[name].push_back(value);
    ++read;
  }
  const int status = pclose(pipe);
  if (status != 0 || read == 0) {
    *error = "the baseline " + options.baseline + " gave no figures";
    return false;
  }
  return true;
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Of(const Figures &figures, const std::string &name) {
  auto found = figures.find(name);
  return found == figures.end() ? 0 : Median(found->second);
}

// "median [low..high]" scaled, or "-" when the figure was not measured.
std::string Summary(const Figures &figures, const std::string &name, double scale, int decimals) {
  auto found = figures.find(name);
  if (found == figures.end() || found->second.empty()) return "-";
  const auto [low, high] = std::minmax_element(found->second.begin(), found->second.end());
  char text[96];
  std::snprintf(text, sizeof text, "%.*f [%.*f..%.*f]", decimals, Median(found->second) * scale,
                decimals, *low * scale, decimals, *high * scale);
  return text;
}

struct Row {
  std::string label;
  std::string name;
  double scale;
  int decimals;
};

std::vector<Row> Rows() {
  std::vector<Row> rows;
  for (const char *colours : {"palette", "truecolor"}) {
    const std::string key = std::string("draw.") + colours;
    rows.push_back({std::string("drawing, ") + colours + ": M lines per CPU second", key + ".lines_per_cpu_second", 1e-6, 2});
    rows.push_back({std::string("drawing, ") + colours + ": LastSpeed, M lines/s", key + ".last_speed", 1e-6, 2});
    rows.push_back({std::string("drawing, ") + colours + ": LastSpeed cap, M lines/s", key + ".last_speed_cap", 1e-6, 2});
  }
  for (const char *paced : {"palette.1080p", "palette.2160p", "truecolor.1080p"}) {
    const std::string key = std::string("paced.") + paced;
    rows.push_back({std::string("default pace, ") + paced + ": saver % of a core", key + ".saver_percent", 1, 2});
    rows.push_back({std::string("default pace, ") + paced + ": X server % of a core", key + ".x_percent", 1, 2});
    rows.push_back({std::string("default pace, ") + paced + ": frames per second", key + ".frames_per_second", 1, 1});
  }
  rows.push_back({"default pace, truecolor.1080p, listening to silence: saver %", "sound.silence.saver_percent", 1, 2});
  rows.push_back({"default pace, truecolor.1080p, listening to music: saver %", "sound.music.saver_percent", 1, 2});
  rows.push_back({"sound analysis of one 512-frame buffer: microseconds", "sound.analysis_us", 1, 2});
  for (const Size &size : PRESENT_SIZES) {
    const std::string key = std::string("present.") + size.name;
    rows.push_back({std::string("whole palette frame, ") + size.name + ": ms portable", key + ".portable_ms", 1, 3});
    rows.push_back({std::string("whole palette frame, ") + size.name + ": ms dispatched", key + ".best_ms", 1, 3});
  }
  rows.push_back({"whole palette frame, 1080p, cold caches: ms portable", "present.1080p.cold.portable_ms", 1, 3});
  rows.push_back({"whole palette frame, 1080p, cold caches: ms dispatched", "present.1080p.cold.best_ms", 1, 3});
  return rows;
}

const char *Verdict(bool met) { return met ? "met" : "NOT met"; }

void PrintGoals(const Figures &f, const Figures *before) {
  std::printf("\nGoals (medians of this build):\n");
  for (const char *colours : {"palette", "truecolor"}) {
    const std::string key = std::string("draw.") + colours;
    const double rate = Of(f, key + ".lines_per_cpu_second");
    std::printf("  drawing on %s at least %.0f M lines per CPU second: %s (%.2f M)\n", colours,
                GOAL_LINES_PER_CPU_SECOND / 1e6, Verdict(rate >= GOAL_LINES_PER_CPU_SECOND), rate / 1e6);
    const double share = Share(Of(f, key + ".last_speed"), Of(f, key + ".last_speed_cap"));
    std::printf("  LastSpeed on %s within %.0f%% of its cap: %s (%.1f%% of the cap)\n", colours,
                100 * (1 - GOAL_LAST_SPEED_SHARE), Verdict(share >= GOAL_LAST_SPEED_SHARE), 100 * share);
  }
  const double hd = Of(f, "paced.palette.1080p.saver_percent") + Of(f, "paced.palette.1080p.x_percent");
  const double large = Of(f, "paced.palette.2160p.saver_percent") + Of(f, "paced.palette.2160p.x_percent");
  std::printf("  default pace at 1080p, saver and X server, at most %.0f%% of a core: %s (%.2f%%)\n",
              GOAL_PACED_PERCENT, Verdict(hd <= GOAL_PACED_PERCENT), hd);
  std::printf("  default pace at 2160p at most %.0f times the 1080p share: %s (%.2f%%, %.2f times)\n",
              GOAL_LARGE_SCREEN_FACTOR, Verdict(large <= GOAL_LARGE_SCREEN_FACTOR * hd), large, Share(large, hd));
  const double fps = Of(f, "paced.palette.1080p.frames_per_second");
  std::printf("  frames at the default pace at 1080p at least %.0f a second: %s (%.1f)\n",
              GOAL_FRAMES_PER_SECOND, Verdict(fps >= GOAL_FRAMES_PER_SECOND), fps);
  if (before != nullptr) {
    const double was = Of(*before, "paced.palette.1080p.frames_per_second");
    std::printf("  frames at 1080p no fewer than the baseline's: %s (%.1f against %.1f)\n",
                Verdict(fps >= was * 0.97), fps, was);
  }
  const double quiet = Of(f, "paced.truecolor.1080p.saver_percent");
  for (const char *heard : {"silence", "music"}) {
    const double listening = Of(f, std::string("sound.") + heard + ".saver_percent");
    std::printf("  listening to %s costs the saver at most %.0f%% of a core more: %s (%+.2f points)\n", heard,
                GOAL_LISTENING_POINTS, Verdict(listening - quiet <= GOAL_LISTENING_POINTS), listening - quiet);
  }
  const double portable = Of(f, "present.1080p.portable_ms"), best = Of(f, "present.1080p.best_ms");
  std::printf("  one whole 1080p palette frame at most %.1f ms portable: %s (%.3f ms)\n", GOAL_PRESENT_MS,
              Verdict(portable <= GOAL_PRESENT_MS), portable);
  std::printf("  ... and no slower through the dispatched conversion: %s (%.3f ms)\n",
              Verdict(best <= portable * 1.05), best);
}

void PrintTable(const Figures &after, const Figures *before, const BenchOptions &options) {
  std::printf("\nlumivane-bench, \"%s\", %d run(s) of %d s each; median [lowest..highest]\n",
              options.favorite.c_str(), options.runs, options.seconds);
  if (before != nullptr) std::printf("%-58s %-26s %s\n", "", "baseline", "this build");
  for (const Row &row : Rows()) {
    if (before != nullptr)
      std::printf("%-58s %-26s %s\n", row.label.c_str(), Summary(*before, row.name, row.scale, row.decimals).c_str(),
                  Summary(after, row.name, row.scale, row.decimals).c_str());
    else
      std::printf("%-58s %s\n", row.label.c_str(), Summary(after, row.name, row.scale, row.decimals).c_str());
  }
  std::printf("\nLines per CPU second: the renderer's own count over the saver process's processor time\n"
              "while it draws unthrottled; the LastSpeed cap is %d line sets per tick times the lines\n"
              "of a line set over a timer period of %d ms. Processor shares are of one core over the\n"
              "measured seconds; the X server's from the scheduler's nanosecond count.\n",
              UNTHROTTLED_GROUP_SIZE, std::max(UNTHROTTLED_INTERVAL_MS, TIMER_FLOOR_MS));
}

}  // namespace

int main(int argc, char **argv) {
  BenchOptions options;
  if (const int code = ParseOptions(argc, argv, &options); code != 0) return code < 0 ? 0 : code;

  PrivateDisplay fullHd(FULL_HD.width, FULL_HD.height);
  PrivateDisplay uhd(UHD.width, UHD.height);
  for (const PrivateDisplay *display : {&fullHd, &uhd}) {
    if (!display->ok()) {
      std::fprintf(stderr, "%s: %s\n", PROGRAM, display->error().c_str());
      return 1;
    }
  }
  Figures after, before;
  for (int run = 1; run <= options.runs; ++run) {
    std::string error;
    if (!options.figuresOnly)
      std::fprintf(stderr, "%s: run %d of %d ...\n", PROGRAM, run, options.runs);
    if (!options.baseline.empty() && !MeasureBaseline(options, &before, &error)) {
      std::fprintf(stderr, "%s: %s\n", PROGRAM, error.c_str());
      return 1;
    }
    if (!MeasureOnce(options, fullHd, uhd, &after, &error)) {
      std::fprintf(stderr, "%s: %s\n", PROGRAM, error.c_str());
      return 1;
    }
  }
  if (options.figuresOnly) {
    for (const auto &[name, values] : after)
      for (double value : values) std::printf("%s %.6f\n", name.c_str(), value);
    return 0;
  }
  const Figures *baseline = options.baseline.empty() ? nullptr : &before;
  PrintTable(after, baseline, options);
  PrintGoals(after, baseline);
  return 0;
}
