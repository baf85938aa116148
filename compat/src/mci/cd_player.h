// Playback of a disc's audio sectors in a player process of its own, detached from the caller:
// playback belongs to the device and goes on after the program that started it has ended.
// At most one player runs per user; it leaves its process id in the per-user folder.
#pragma once

#include <string>

#include "mci/cd_disc.h"

namespace compat::mci {

// Stops any player, then starts one for the sectors; false when no player could be started.
bool StartPlayer(const std::string &source, const TrackSpan &span);
// Stops the running player, whoever started it.
void StopPlayer();

}  // namespace compat::mci
