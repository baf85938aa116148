#include "tools/render_options.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "settings/design_record.h"

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

// What is wrong with a design string, or empty when the saver can show it: a name, then one
// to seventeen fields, each a whole number (blanks before it and a sign allowed, as the shipped
// designs have them) or X for a random value. The saver itself reads anything, unreadable
// fields as 0, and would show a black screen.
std::string DesignProblem(const std::string &text) {
  const std::string example = "e.g. \"Star,5,0,10,250,50,11,1,210,6,0\"";
  if (text.empty() || text[0] == ',')
    return "--design wants a design string that starts with a name, " + example;
  const size_t comma = text.find(',');
  if (comma == std::string::npos)
    return "--design '" + text + "' has a name but no fields; a design is a name and up to " +
           std::to_string(DESIGN_FIELD_COUNT) + " comma-separated numbers (X for a random one), " +
           example;
  int fields = 0;
  size_t start = comma + 1;
  while (true) {
    const size_t end = std::min(text.find(',', start), text.size());
    const std::string field = text.substr(start, end - start);
    ++fields;
    size_t i = field.find_first_not_of(" \t");
    if (i != std::string::npos && (field[i] == '-' || field[i] == '+')) ++i;
    const bool number = i != std::string::npos && i < field.size() &&
                        field.find_first_not_of("0123456789", i) == std::string::npos;
    if (!number && field != "X")
      return "--design field " + std::to_string(fields) + " is '" + field +
             "', not a whole number or X";
    if (end == text.size()) break;
    start = end + 1;
  }
  if (fields > DESIGN_FIELD_COUNT)
    return "--design has " + std::to_string(fields) + " fields; a design has at most " +
           std::to_string(DESIGN_FIELD_COUNT);
  return "";
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
      *error = DesignProblem(value);
      if (!error->empty()) return false;
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
