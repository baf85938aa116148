#include "mci/cd_disc.h"

#include <cdio/cdio.h>
#include <cdio/logging.h>

#include <cstdlib>

namespace compat::mci {

namespace {

// libcdio reports a missing drive on stderr itself; the caller decides what is worth saying.
void QuietLog(cdio_log_level_t, const char *) {}

bool IsCueSheet(const std::string &source) {
  return source.size() > 4 && source.compare(source.size() - 4, 4, ".cue") == 0;
}

}  // namespace

Disc OpenDisc(const std::string &source) {
  cdio_log_set_handler(QuietLog);
  if (source.empty()) return nullptr;
  return Disc(IsCueSheet(source) ? cdio_open_cue(source.c_str())
                                 : cdio_open(source.c_str(), DRIVER_DEVICE));
}

std::string CdSource() {
  if (const char *named = std::getenv("LUMIVANE_CDROM"); named && *named) return named;
  cdio_log_set_handler(QuietLog);
  char *drive = cdio_get_default_device(nullptr);
  if (drive == nullptr) return "";
  std::string source = drive;
  cdio_free(drive);
  return source;
}

bool DiscReadable(const std::string &source) {
  Disc disc = OpenDisc(source);
  return disc && cdio_get_num_tracks(disc.get()) != CDIO_INVALID_TRACK &&
         cdio_get_num_tracks(disc.get()) > 0;
}

bool AudioTrackSpan(const std::string &source, int track, TrackSpan &span) {
  Disc disc = OpenDisc(source);
  if (!disc) return false;
  const int first = cdio_get_first_track_num(disc.get());
  const int last = cdio_get_last_track_num(disc.get());
  if (first == CDIO_INVALID_TRACK || track < first || track > last) return false;
  if (cdio_get_track_format(disc.get(), static_cast<track_t>(track)) != TRACK_FORMAT_AUDIO) return false;
  span.firstSector = cdio_get_track_lsn(disc.get(), static_cast<track_t>(track));
  span.endSector = cdio_get_track_lsn(disc.get(), CDIO_CDROM_LEADOUT_TRACK);
  return span.firstSector != CDIO_INVALID_LSN && span.endSector > span.firstSector;
}

}  // namespace compat::mci
