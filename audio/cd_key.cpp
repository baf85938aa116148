#include "audio/cd_key.h"

#include <cstdio>

CdKeys cdKeys;

namespace {

constexpr UINT ANSWER_CHARS = 49;
constexpr UINT CLOSE_ANSWER_CHARS = 19;

bool Send(const char *command) {
  char answer[ANSWER_CHARS] = "";
  return cdKeys.sendCommand(command, answer, ANSWER_CHARS, nullptr) == 0;
}

}  // namespace

void CdKey(uint32_t digit) { CdKeyAt(digit, GetTickCount()); }

void CdKeyAt(uint32_t digit, DWORD now) {
  const uint32_t track = now - cdKeys.lastKeyTime < CD_DIGIT_WINDOW ? cdKeys.lastDigit * 10 + digit : digit;
  if (Send("open cdaudio shareable")) {
    if (Send("capability cdaudio device type")) {
      if (track == 0) {
        Send("stop cdaudio");
      } else {
        Send("set cdaudio time format tmsf");
        char play[ANSWER_CHARS];
        std::snprintf(play, sizeof play, "play cdaudio from %u:0", track);
        Send(play);
      }
    }
    char answer[CLOSE_ANSWER_CHARS] = "";
    cdKeys.sendCommand("close cdaudio", answer, CLOSE_ANSWER_CHARS, nullptr);
  }
  cdKeys.lastKeyTime = now;
  cdKeys.lastDigit = digit;
}
