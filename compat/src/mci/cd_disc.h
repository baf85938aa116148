// The audio CD the "cdaudio" device plays: the drive named by $LUMIVANE_CDROM (a device path or
// a .cue disc image, which libcdio reads like a drive), else libcdio's default drive.
#pragma once

#include <cdio/cdio.h>

#include <cstdint>
#include <memory>
#include <string>

namespace compat::mci {

struct TrackSpan {
  int32_t firstSector = 0;  // the track's first audio sector
  int32_t endSector = 0;    // one past the disc's last sector
};

struct DiscCloser {
  void operator()(CdIo_t *disc) const { cdio_destroy(disc); }
};
using Disc = std::unique_ptr<CdIo_t, DiscCloser>;

// Null when there is no readable drive or image at the source.
Disc OpenDisc(const std::string &source);

// The drive's source name; empty when the machine has none.
std::string CdSource();
// Whether a disc can be read from the source now.
bool DiscReadable(const std::string &source);
// Where playback of an audio track starts and where the disc ends; false when the disc has no
// such audio track.
bool AudioTrackSpan(const std::string &source, int track, TrackSpan &span);

}  // namespace compat::mci
