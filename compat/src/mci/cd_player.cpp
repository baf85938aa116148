#include "mci/cd_player.h"

#include <SDL.h>
#include <cdio/cdio.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "profile/profile_file.h"

extern char **environ;

namespace compat::mci {

namespace {

// The program re-runs itself as the player; this variable carries the job.
constexpr char PLAYER_JOB_VARIABLE[] = "LUMIVANE_CD_PLAYER_JOB";
constexpr char PLAYER_NAME[] = "lumivane-cdplayer";
constexpr int SECTOR_BYTES = CDIO_CD_FRAMESIZE_RAW;  // 588 stereo 16-bit frames
constexpr int SECTORS_PER_READ = 75;                 // one second
constexpr int CD_RATE = 44100;
constexpr Uint32 QUEUE_AHEAD_BYTES = 2 * CD_RATE * 4;

std::string PidFilePath() { return profile::UserSettingsDirectory() + "/cdaudio-player.pid"; }

pid_t RunningPlayer(const std::string &pidFile) {
  std::ifstream in(pidFile);
  long pid = 0;
  if (!(in >> pid) || pid <= 1) return 0;
  // Only a process that is still our player is stopped: pids are reused.
  std::ifstream command("/proc/" + std::to_string(pid) + "/cmdline");
  std::string name;
  std::getline(command, name, '\0');
  return name == PLAYER_NAME ? static_cast<pid_t>(pid) : 0;
}

void WritePidFile(const std::string &path, pid_t player) {
  const std::string temporary = path + ".new";
  if (FILE *out = std::fopen(temporary.c_str(), "w")) {
    std::fprintf(out, "%ld\n", static_cast<long>(player));
    std::fclose(out);
    std::rename(temporary.c_str(), path.c_str());
  }
}

void Play(const std::string &source, lsn_t first, lsn_t end) {
  Disc disc = OpenDisc(source);
  if (!disc) return;
  // SIGTERM from "stop cdaudio" must end the player, not become an SDL quit event.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
    SDL_AudioSpec wanted{};
    wanted.freq = CD_RATE;
    wanted.format = AUDIO_S16LSB;
    wanted.channels = 2;
    wanted.samples = 4096;
    const SDL_AudioDeviceID out = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (out != 0) {
      SDL_PauseAudioDevice(out, 0);
      std::vector<uint8_t> block(size_t{SECTOR_BYTES} * SECTORS_PER_READ);
      for (lsn_t lsn = first; lsn < end;) {
        const uint32_t count = static_cast<uint32_t>(std::min<lsn_t>(SECTORS_PER_READ, end - lsn));
        if (cdio_read_audio_sectors(disc.get(), block.data(), lsn, count) != DRIVER_OP_SUCCESS) break;
        SDL_QueueAudio(out, block.data(), count * SECTOR_BYTES);
        lsn += count;
        while (SDL_GetQueuedAudioSize(out) > QUEUE_AHEAD_BYTES) SDL_Delay(50);
      }
      while (SDL_GetQueuedAudioSize(out) > 0) SDL_Delay(50);
      SDL_CloseAudioDevice(out);
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
}

// The job is "first end pidfile source".
[[noreturn]] void RunPlayerJob(const char *job) {
  long first = 0, end = 0;
  int consumed = 0;
  char pidFile[4096] = "";
  if (std::sscanf(job, "%ld %ld %4095s %n", &first, &end, pidFile, &consumed) < 3) _exit(2);
  const std::string source = job + consumed;
  unsetenv(PLAYER_JOB_VARIABLE);
  // The starter waits only for this process, which records its child and leaves; the child
  // plays in a session of its own.
  const pid_t player = fork();
  if (player != 0) {
    if (player > 0) WritePidFile(pidFile, player);
    _exit(player > 0 ? 0 : 1);
  }
  setsid();
  Play(source, static_cast<lsn_t>(first), static_cast<lsn_t>(end));
  if (RunningPlayer(pidFile) == getpid()) std::remove(pidFile);
  _exit(0);
}

// A program re-run as the player plays before anything else of it starts.
const bool playerChecked = [] {
  if (const char *job = std::getenv(PLAYER_JOB_VARIABLE)) RunPlayerJob(job);
  return true;
}();

}  // namespace

void StopPlayer() {
  const std::string pidFile = PidFilePath();
  const pid_t player = RunningPlayer(pidFile);
  if (player == 0) return;
  kill(player, SIGTERM);
  std::remove(pidFile.c_str());
}

bool StartPlayer(const std::string &source, const TrackSpan &span) {
  StopPlayer();
  const std::string pidFile = PidFilePath();
  mkdir(profile::UserSettingsDirectory().c_str(), 0700);
  const std::string job = std::string(PLAYER_JOB_VARIABLE) + "=" + std::to_string(span.firstSector) +
                          " " + std::to_string(span.endSector) + " " + pidFile + " " + source;
  std::vector<char *> environment;
  for (char **variable = environ; *variable; ++variable) environment.push_back(*variable);
  environment.push_back(const_cast<char *>(job.c_str()));
  environment.push_back(nullptr);

  // The player must not hold the caller's output open: whoever reads it would wait for it.
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  for (int fd = 0; fd <= 2; ++fd)
    posix_spawn_file_actions_addopen(&files, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
  char name[sizeof PLAYER_NAME];
  std::memcpy(name, PLAYER_NAME, sizeof PLAYER_NAME);
  char *arguments[] = {name, nullptr};
  pid_t starter = 0;
  const int failed = posix_spawn(&starter, "/proc/self/exe", &files, nullptr, arguments,
                                 environment.data());
  posix_spawn_file_actions_destroy(&files);
  if (failed) return false;
  int status = 0;
  while (waitpid(starter, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace compat::mci
