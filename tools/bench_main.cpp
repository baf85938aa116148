// lumivane-bench: how fast the real saver draws, and what its default pacing costs, on a
// private X server at full-HD size.
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/measured_run.h"
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
constexpr long TARGET_LINES_PER_SECOND = 3000000;
constexpr double TARGET_CPU_PERCENT = 5.0;
constexpr char TARGET_DESIGN[] = "Hypnotic Eye";
constexpr double TARGET_SOUND_CPU_POINTS = 1.0;

struct BenchOptions {
  std::vector<std::string> favorites;
  int seconds = 5;
  int width = 1920;
  int height = 1080;
};

struct Result {
  std::string design;
  const char *display = "";
  RunFigures unthrottled;
  RunFigures paced;
  // The X server's share, over the whole paced run from start to exit.
  double pacedServerCpuSeconds = 0;
  double pacedRunSeconds = 0;
};

std::string Usage() {
  return "Usage: lumivane-bench [--favorite NAME]... [--seconds N] [--size WxH]\n"
         "Runs the real saver full screen on a private Xvfb and prints, for each design on the\n"
         "palette and the true-colour display:\n"
         "  - line sets and lines per second unthrottled (SpeedGroupSize 1000, SpeedInterval 5,\n"
         "    Polite on), lines as the saver's own LastSpeed reports them;\n"
         "  - processor time per second at the default pacing (12 line sets every 20 ms),\n"
         "    presentation included, of the saver and of the X server;\n"
         "  - the sound analysis of one buffer, and the first design's processor time at the\n"
         "    default pacing on the true-colour display while the saver listens to silence and\n"
         "    to music (files played through SDL's disk driver).\n"
         "\n"
         "  --favorite NAME   a favourite that ships with the saver; repeatable\n"
         "                    (default \"Hypnotic Eye\", \"Electric Snow\", \"Mandala\")\n"
         "  --seconds N       measured seconds per run, 1 to 600 (default 5; each run adds a\n"
         "                    second of warm-up)\n"
         "  --size WxH        screen size (default 1920x1080)\n"
         "  --help            show this text\n";
}

bool ParseWhole(const std::string &text, int low, int high, int *value) {
  if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
    return false;
  *value = std::stoi(text);
  return *value >= low && *value <= high;
}

// Returns 0 to go on, else the exit code.
int ParseOptions(int argc, char **argv, BenchOptions *options) {
  for (int i = 1; i < argc; ++i) {
    const std::string name = argv[i];
    if (name == "--help" || name == "-h") {
      std::fputs(Usage().c_str(), stdout);
      return -1;
    }
    if (name != "--favorite" && name != "--seconds" && name != "--size") {
      std::fprintf(stderr, "%s: unknown argument '%s'\nTry '%s --help'.\n", PROGRAM, argv[i], PROGRAM);
      return 2;
    }
    if (i + 1 >= argc) {
      std::fprintf(stderr, "%s: %s needs a value\nTry '%s --help'.\n", PROGRAM, name.c_str(), PROGRAM);
      return 2;
    }
    const std::string value = argv[++i];
    bool good = true;
    if (name == "--favorite") {
      good = !value.empty();
      options->favorites.push_back(value);
    } else if (name == "--seconds") {
      good = ParseWhole(value, 1, 600, &options->seconds);
    } else {
      const size_t cross = value.find('x');
      good = cross != std::string::npos &&
             ParseWhole(value.substr(0, cross), 320, 8192, &options->width) &&
             ParseWhole(value.substr(cross + 1), 200, 8192, &options->height);
    }
    if (!good) {
      std::fprintf(stderr, "%s: bad value '%s' for %s\nTry '%s --help'.\n", PROGRAM, value.c_str(),
                   name.c_str(), PROGRAM);
      return 2;
    }
  }
  if (options->favorites.empty()) options->favorites = {TARGET_DESIGN, "Electric Snow", "Mandala"};
  return 0;
}

// One saver run in a child process, so every run starts from a fresh process as the desktop
// would start it; the figures come back through a pipe.
// *heardSound, when asked for, tells whether the run analysed any sound.
bool MeasureInChild(const std::string &display, const char *colours, double seconds,
                    RunFigures *figures, std::string *error, bool *heardSound = nullptr) {
  int channel[2];
  if (pipe(channel) != 0) {
    *error = "cannot create a pipe";
    return false;
  }
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    setenv("DISPLAY", display.c_str(), 1);
    setenv("LUMIVANE_DISPLAY", colours, 1);
    setenv("LUMIVANE_SEED", "1", 1);
    unsetenv("LUMIVANE_BACKEND");
    RunFigures measured;
    std::string failure;
    const bool ok = RunSaverMeasured(WARM_UP_SECONDS, seconds, &measured, &failure);
    const std::string report =
        ok ? std::to_string(measured.lastSpeed) + " " + std::to_string(measured.ticks) + " " +
                 std::to_string(measured.cpuSeconds) + " " + std::to_string(measured.wallSeconds) +
                 " " + std::to_string(measured.lines) + " " + std::to_string(measured.linesPerSet) +
                 " " + std::to_string(soundCapture.report.level > 0 ? 1 : 0)
           : "failed " + failure;
    if (write(channel[1], report.data(), report.size()) < 0) _exit(1);
    _exit(ok ? 0 : 1);
  }
  close(channel[1]);
  std::string report;
  char buffer[256];
  for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
  close(channel[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (report.rfind("failed ", 0) == 0) {
    *error = report.substr(7);
    return false;
  }
  int heard = 0;
  if (std::sscanf(report.c_str(), "%ld %d %lf %lf %lf %lf %d", &figures->lastSpeed, &figures->ticks,
                  &figures->cpuSeconds, &figures->wallSeconds, &figures->lines,
                  &figures->linesPerSet, &heard) != 7) {
    *error = "the saver run ended without figures (exit status " + std::to_string(status) + ")";
    return false;
  }
  if (heardSound) *heardSound = heard != 0;
  return true;
}

// The target design on the true-colour display at the default pace, listening through SDL's
// disk driver to a file of music (capture, analysis and the pattern reacting) or of silence
// (capture and analysis with a pattern that hardly changes).
bool MeasureListening(const std::string &display, double seconds, bool music, RunFigures *figures,
                      std::string *error) {
  ThrowawayHome home;
  SaverSetup setup;
  setup.favorite = TARGET_DESIGN;
  setup.speedGroupSize = DEFAULT_GROUP_SIZE;
  setup.audio = true;
  if (!home.ok() || !WriteSaverSettings(setup, error) || !ListenToFile(home.path() + "/heard.raw", music)) {
    if (error->empty()) *error = "cannot prepare the listening run";
    return false;
  }
  bool heard = false;
  const bool measured = MeasureInChild(display, "truecolor", seconds, figures, error, &heard);
  StopListeningToFile();
  if (measured && music && !heard) *error = "the saver heard nothing (capture did not run)";
  return measured && (heard || !music);
}


std::string Grouped(long long value) {
  std::string digits = std::to_string(value);
  for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) digits.insert(at, ",");
  return digits;
}

double PerSecond(double amount, double seconds) { return seconds > 0 ? amount / seconds : 0; }

void PrintSoundFigures(double analysisMicroseconds, const RunFigures &quiet, const RunFigures &silence,
                       const RunFigures &music) {
  const double without = 100 * PerSecond(quiet.cpuSeconds, quiet.wallSeconds);
  std::printf("\nsound: analysis of one 512-frame 16-bit stereo buffer: %.2f us\n", analysisMicroseconds);
  std::printf("sound: %s on truecolor at the default pace: %.2f%% of a core without capture\n",
              TARGET_DESIGN, without);
  const struct {
    const char *heard;
    const RunFigures &figures;
  } runs[] = {{"silence", silence}, {"music", music}};
  for (const auto &run : runs) {
    const double with = 100 * PerSecond(run.figures.cpuSeconds, run.figures.wallSeconds);
    std::printf("target: listening to %s costs within %.0f%% of a core: %s (%.2f%%, %+.2f points)\n",
                run.heard, TARGET_SOUND_CPU_POINTS,
                with - without <= TARGET_SOUND_CPU_POINTS ? "met" : "NOT met", with, with - without);
  }
}

void PrintResults(const std::vector<Result> &results, const BenchOptions &options) {
  std::printf("\nlumivane-bench at %dx%d, %d s measured per run, Polite on\n", options.width,
              options.height, options.seconds);
  std::printf("%-18s %-10s %12s %14s %14s %12s %12s\n", "design", "display", "line sets/s",
              "lines/s", "lines/s", "saver CPU", "X CPU");
  std::printf("%-18s %-10s %12s %14s %14s %12s %12s\n", "", "", "unthrottled", "(LastSpeed)",
              "(counted)", "default pace", "default pace");
  for (const Result &r : results) {
    const RunFigures &u = r.unthrottled;
    const double lines = PerSecond(u.lines, u.wallSeconds);
    const double lineSets = u.linesPerSet > 0 ? lines / u.linesPerSet : 0;
    std::printf("%-18s %-10s %12s %14s %14s %11.2f%% %11.2f%%\n", r.design.c_str(), r.display,
                Grouped(static_cast<long long>(lineSets)).c_str(), Grouped(u.lastSpeed).c_str(),
                Grouped(static_cast<long long>(lines)).c_str(),
                100 * PerSecond(r.paced.cpuSeconds, r.paced.wallSeconds),
                100 * PerSecond(r.pacedServerCpuSeconds, r.pacedRunSeconds));
  }
  std::printf("\nLastSpeed is what the saver wrote when it closed; \"counted\" is the renderer's own\n"
              "line count over the measured seconds, and line sets are counted lines divided by the\n"
              "lines of one line set. Saver CPU is the saver process only; X CPU is the X server's.\n");
  for (const Result &r : results) {
    if (r.design != TARGET_DESIGN) continue;
    std::printf("target: %s on %s at least %s lines/s unthrottled (LastSpeed): %s\n", TARGET_DESIGN,
                r.display, Grouped(TARGET_LINES_PER_SECOND).c_str(),
                r.unthrottled.lastSpeed >= TARGET_LINES_PER_SECOND ? "met" : "NOT met");
  }
  for (const Result &r : results) {
    const double percent = 100 * PerSecond(r.paced.cpuSeconds, r.paced.wallSeconds);
    std::printf("target: %s on %s under %.0f%% of a core at the default pacing: %s (%.2f%%)\n",
                r.design.c_str(), r.display, TARGET_CPU_PERCENT,
                percent < TARGET_CPU_PERCENT ? "met" : "NOT met", percent);
  }
}

}  // namespace

int main(int argc, char **argv) {
  BenchOptions options;
  if (const int code = ParseOptions(argc, argv, &options); code != 0) return code < 0 ? 0 : code;

  PrivateDisplay display(options.width, options.height);
  if (!display.ok()) {
    std::fprintf(stderr, "%s: %s\n", PROGRAM, display.error().c_str());
    return 1;
  }
  const char *const displays[] = {"palette", "truecolor"};
  const int runs = static_cast<int>(options.favorites.size()) * 2 * 2;
  std::fprintf(stderr, "%s: %d runs of about %d s on Xvfb %s\n", PROGRAM, runs,
               options.seconds + 2, display.name().c_str());
  std::vector<Result> results;
  int run = 0;
  for (const std::string &favorite : options.favorites) {
    for (const char *colours : displays) {
      Result result;
      result.design = favorite;
      result.display = colours;
      for (const bool unthrottled : {true, false}) {
        ThrowawayHome home;
        SaverSetup setup;
        setup.favorite = favorite;
        setup.speedGroupSize = unthrottled ? UNTHROTTLED_GROUP_SIZE : DEFAULT_GROUP_SIZE;
        setup.speedInterval = unthrottled ? UNTHROTTLED_INTERVAL_MS : 0;
        std::string error;
        if (!home.ok() || !WriteSaverSettings(setup, &error)) {
          std::fprintf(stderr, "%s: %s\n", PROGRAM,
                       home.ok() ? error.c_str() : "cannot create a temporary settings folder");
          return 1;
        }
        std::fprintf(stderr, "[%d/%d] %s, %s, %s ... ", ++run, runs, favorite.c_str(), colours,
                     unthrottled ? "unthrottled" : "default pacing");
        std::fflush(stderr);
        RunFigures &figures = unthrottled ? result.unthrottled : result.paced;
        const double serverBefore = display.CpuSeconds();
        const auto started = std::chrono::steady_clock::now();
        if (!MeasureInChild(display.name(), colours, options.seconds, &figures, &error)) {
          std::fprintf(stderr, "failed: %s\n", error.c_str());
          return 1;
        }
        if (!unthrottled) {
          result.pacedServerCpuSeconds = display.CpuSeconds() - serverBefore;
          result.pacedRunSeconds =
              std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        }
        if (unthrottled)
          std::fprintf(stderr, "%s lines/s counted, LastSpeed %s\n",
                       Grouped(static_cast<long long>(PerSecond(figures.lines, figures.wallSeconds)))
                           .c_str(),
                       Grouped(figures.lastSpeed).c_str());
        else
          std::fprintf(stderr, "%.2f%% of a core\n",
                       100 * PerSecond(figures.cpuSeconds, figures.wallSeconds));
      }
      results.push_back(result);
    }
  }
  PrintResults(results, options);

  RunFigures listening[2];
  for (const bool music : {false, true}) {
    std::fprintf(stderr, "sound: %s, truecolor, default pacing, listening to %s ... ", TARGET_DESIGN,
                 music ? "music" : "silence");
    std::string error;
    RunFigures &figures = listening[music];
    if (!MeasureListening(display.name(), options.seconds, music, &figures, &error)) {
      std::fprintf(stderr, "failed: %s\n", error.c_str());
      return 1;
    }
    std::fprintf(stderr, "%.2f%% of a core\n", 100 * PerSecond(figures.cpuSeconds, figures.wallSeconds));
  }
  for (const Result &r : results)
    if (r.design == TARGET_DESIGN && std::string(r.display) == "truecolor")
      PrintSoundFigures(AnalysisMicrosecondsPerBuffer(), r.paced, listening[0], listening[1]);
  return 0;
}
