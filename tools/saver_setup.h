// A throw-away settings folder for one saver run, and the control.ini that makes the saver
// show a chosen design.
#pragma once

#include <string>

// Creates a fresh folder under the temporary directory, points LUMIVANE_HOME at it for this
// process and its children, and removes it again when it goes, restoring LUMIVANE_HOME.
class ThrowawayHome {
 public:
  ThrowawayHome();
  ~ThrowawayHome();
  ThrowawayHome(const ThrowawayHome &) = delete;
  ThrowawayHome &operator=(const ThrowawayHome &) = delete;

  bool ok() const { return !path_.empty(); }
  const std::string &path() const { return path_; }

 private:
  std::string path_;
  bool hadHome_ = false;
  std::string previousHome_;
};

struct SaverSetup {
  std::string design;    // a design string for the current design, or empty
  std::string favorite;  // the name of a favourite to be picked at every design change, or empty
  // Keep the first design for the whole run instead of changing it every minute.
  bool holdDesign = true;
  int speedGroupSize = 0;  // line sets per tick; 0 keeps the default
  int speedInterval = 0;   // ms per tick; 0 keeps the default
  bool audio = false;      // listen to recording device 0
};

// Writes the settings into the current LUMIVANE_HOME through the saver's own settings code.
// False, with one line in *error, when the favourite does not exist.
bool WriteSaverSettings(const SaverSetup &setup, std::string *error);

// The names of the favourites in the settings folder, in slot order.
std::string FavoriteNames();
