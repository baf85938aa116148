#include "tools/render_options.h"

#include <cerrno>
#include <cstdlib>

namespace {

// Whole decimal numbers only: no sign, no blanks, no trailing text.
bool ReadNumber(const std::string &text, unsigned long long limit, unsigned long long *value) {
  if (text.empty() || text.size() > 20) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  errno = 0;
  *value = std::strtoull(text.c_str(), nullptr, 10);
  return errno == 0 && *value <= limit;
}

bool ReadSize(const std::string &text, int *width, int *height) {
  const size_t cross = text.find_first_of("xX");
  if (cross == std::string::npos) return false;
  unsigned long long w = 0, h = 0;
  if (!ReadNumber(text.substr(0, cross), MAX_RENDER_SIDE, &w) ||
      !ReadNumber(text.substr(cross + 1), MAX_RENDER_SIDE, &h) || w < MIN_RENDER_SIDE ||
      h < MIN_RENDER_SIDE)
    return false;
  *width = static_cast<int>(w);
  *height = static_cast<int>(h);
  return true;
}

}  // namespace

const char *DisplayName(DisplayKind display) {
  return display == DisplayKind::Palette ? "palette" : "truecolor";
}

std::string RenderUsage() {
  return "Usage: lumivane-render [options] --out FILE.png\n"
         "Runs the saver on a virtual display and writes what it drew after some draw-timer ticks.\n"
         "The same options give the same picture, byte for byte, on every run.\n"
         "\n"
         "  --design \"TEXT\"     design string to show, e.g. \"Star,5,0,10,250,50,11,1,210,6,0\"\n"
         "                      (\"X\" in one of the first ten fields draws it at random)\n"
         "  --favorite \"NAME\"   one of the favourites that ship with the saver, e.g. \"Hypnotic Eye\"\n"
         "                      (without --design or --favorite: the saver's default design)\n"
         "  --seed N            random seed, 0 to 4294967295 (default 1)\n"
         "  --size WxH          display size in pixels, 16 to 8192 each way (default 640x480)\n"
         "  --ticks N           draw-timer ticks before the picture is taken (default 250)\n"
         "  --display palette|truecolor\n"
         "                      256-colour palette display or true colour (default palette)\n"
         "  --out FILE.png      where to write the picture (required)\n"
         "  --help              show this text\n";
}

bool ParseRenderOptions(const std::vector<std::string> &arguments, RenderOptions *options,
                        std::string *error) {
  *options = RenderOptions();
  for (size_t i = 0; i < arguments.size(); ++i) {
    std::string name = arguments[i];
    std::string value;
    bool inlineValue = false;
    const size_t equals = name.find('=');
    if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
      inlineValue = true;
    }
    if (name == "--help" || name == "-h") {
      options->help = true;
      continue;
    }
    const bool known = name == "--design" || name == "--favorite" || name == "--seed" ||
                       name == "--size" || name == "--ticks" || name == "--display" ||
                       name == "--out";
    if (!known) {
      *error = "unknown argument '" + arguments[i] + "'";
      return false;
    }
    if (!inlineValue) {
      if (i + 1 >= arguments.size()) {
        *error = name + " needs a value";
        return false;
      }
      value = arguments[++i];
    }
    unsigned long long number = 0;
    if (name == "--design") {
      if (value.empty() || value[0] == ',') {
        *error = "--design wants a design string that starts with a name, e.g. \"Star,5,0,10\"";
        return false;
      }
      options->design = value;
    } else if (name == "--favorite") {
      if (value.empty()) {
        *error = "--favorite wants a name, e.g. \"Hypnotic Eye\"";
        return false;
      }
      options->favorite = value;
    } else if (name == "--seed") {
      if (!ReadNumber(value, 0xFFFFFFFFull, &number)) {
        *error = "--seed wants a whole number from 0 to 4294967295, not '" + value + "'";
        return false;
      }
      options->seed = static_cast<uint32_t>(number);
    } else if (name == "--size") {
      if (!ReadSize(value, &options->width, &options->height)) {
        *error = "--size wants WIDTHxHEIGHT, each 16 to 8192, e.g. 640x480, not '" + value + "'";
        return false;
      }
    } else if (name == "--ticks") {
      if (!ReadNumber(value, MAX_RENDER_TICKS, &number)) {
        *error = "--ticks wants a whole number from 0 to 1000000, not '" + value + "'";
        return false;
      }
      options->ticks = static_cast<int>(number);
    } else if (name == "--display") {
      if (value == "palette") {
        options->display = DisplayKind::Palette;
      } else if (value == "truecolor") {
        options->display = DisplayKind::TrueColor;
      } else {
        *error = "--display wants 'palette' or 'truecolor', not '" + value + "'";
        return false;
      }
    } else {
      if (value.empty()) {
        *error = "--out wants a file name";
        return false;
      }
      options->out = value;
    }
  }
  if (options->help) return true;
  if (!options->design.empty() && !options->favorite.empty()) {
    *error = "give either --design or --favorite, not both";
    return false;
  }
  if (options->out.empty()) {
    *error = "--out FILE.png is required";
    return false;
  }
  return true;
}
