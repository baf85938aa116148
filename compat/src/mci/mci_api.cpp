// mciSendStringA for the "cdaudio" device: open, capability, set time format, play, stop, close.
#include <windows.h>
#include <mmsystem.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "mci/cd_disc.h"
#include "mci/cd_player.h"

using namespace compat::mci;

namespace {

struct CdAudioDevice {
  int opens = 0;
  std::string source;
  std::string timeFormat = "msf";
};

std::mutex deviceLock;
CdAudioDevice cdaudio;

std::vector<std::string> Words(const char *command) {
  std::string lowered = command;
  for (char &c : lowered) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::istringstream in(lowered);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

MCIERROR Answer(const char *text, LPSTR answer, UINT length) {
  if (answer == nullptr || length == 0) return 0;
  std::strncpy(answer, text, length - 1);
  answer[length - 1] = '\0';
  return 0;
}

MCIERROR Open(const std::vector<std::string> &words) {
  for (size_t i = 2; i < words.size(); ++i)
    if (words[i] != "shareable" && words[i] != "wait") return MCIERR_UNRECOGNIZED_KEYWORD;
  const std::string source = CdSource();
  if (source.empty()) return MCIERR_CANNOT_LOAD_DRIVER;
  if (!DiscReadable(source)) return MCIERR_DEVICE_NOT_READY;
  cdaudio.source = source;
  ++cdaudio.opens;
  return 0;
}

// "from t[:m[:s[:f]]]" in the tmsf format: a track and an offset into it.
MCIERROR Play(const std::vector<std::string> &words) {
  if (words.size() < 4 || words[2] != "from") return MCIERR_MISSING_PARAMETER;
  if (cdaudio.timeFormat != "tmsf") return MCIERR_BAD_TIME_FORMAT;
  long part[4] = {0, 0, 0, 0};
  std::istringstream position(words[3]);
  std::string field;
  for (int i = 0; i < 4 && std::getline(position, field, ':'); ++i) {
    char *end = nullptr;
    part[i] = std::strtol(field.c_str(), &end, 10);
    if (field.empty() || *end != '\0' || part[i] < 0) return MCIERR_BAD_INTEGER;
  }
  TrackSpan span;
  if (!AudioTrackSpan(cdaudio.source, static_cast<int>(part[0]), span)) return MCIERR_OUTOFRANGE;
  span.firstSector += static_cast<int32_t>((part[1] * 60 + part[2]) * 75 + part[3]);
  if (span.firstSector >= span.endSector) return MCIERR_OUTOFRANGE;
  return StartPlayer(cdaudio.source, span) ? 0 : MCIERR_HARDWARE;
}

MCIERROR Run(const std::vector<std::string> &words, LPSTR answer, UINT length) {
  if (words.size() < 2) return MCIERR_MISSING_DEVICE_NAME;
  const std::string &verb = words[0];
  if (words[1] != "cdaudio") return MCIERR_INVALID_DEVICE_NAME;
  if (verb == "open") return Open(words);
  if (cdaudio.opens == 0) return MCIERR_INVALID_DEVICE_NAME;
  if (verb == "close") {
    --cdaudio.opens;
    return 0;
  }
  if (verb == "capability") {
    if (words.size() == 4 && words[2] == "device" && words[3] == "type") return Answer("cdaudio", answer, length);
    return MCIERR_UNRECOGNIZED_KEYWORD;
  }
  if (verb == "set") {
    if (words.size() != 5 || words[2] != "time" || words[3] != "format") return MCIERR_UNRECOGNIZED_KEYWORD;
    if (words[4] != "tmsf" && words[4] != "msf" && words[4] != "milliseconds") return MCIERR_BAD_TIME_FORMAT;
    cdaudio.timeFormat = words[4];
    return 0;
  }
  if (verb == "play") return Play(words);
  if (verb == "stop") {
    StopPlayer();
    return 0;
  }
  return MCIERR_UNRECOGNIZED_COMMAND;
}

}  // namespace

MCIERROR mciSendStringA(LPCSTR command, LPSTR answer, UINT length, HWND) {
  if (answer && length > 0) answer[0] = '\0';
  if (command == nullptr) return MCIERR_MISSING_COMMAND_STRING;
  std::lock_guard<std::mutex> hold(deviceLock);
  return Run(Words(command), answer, length);
}
