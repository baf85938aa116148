#include "tools/png_file.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// libpng reports errors by longjmp; the writer keeps its state in plain locals around it.
struct PngWriter {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngWriter() { png_destroy_write_struct(&png, &info); }
};

bool WriteRows(FILE *file, const RgbPicture &picture) {
  std::vector<png_byte> row(static_cast<size_t>(picture.width) * 3);
  PngWriter writer;
  writer.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (writer.png == nullptr) return false;
  writer.info = png_create_info_struct(writer.png);
  if (writer.info == nullptr) return false;
  if (setjmp(png_jmpbuf(writer.png))) return false;
  png_init_io(writer.png, file);
  // Fixed settings and no time chunk: the same pixels always give the same bytes.
  png_set_compression_level(writer.png, 9);
  png_set_filter(writer.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
  png_set_IHDR(writer.png, writer.info, static_cast<png_uint_32>(picture.width),
               static_cast<png_uint_32>(picture.height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
  png_write_info(writer.png, writer.info);
  for (int y = 0; y < picture.height; ++y) {
    const uint32_t *in = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
    for (int x = 0; x < picture.width; ++x) {
      row[3 * x] = static_cast<png_byte>(in[x] >> 16);
      row[3 * x + 1] = static_cast<png_byte>(in[x] >> 8);
      row[3 * x + 2] = static_cast<png_byte>(in[x]);
    }
    png_write_row(writer.png, row.data());
  }
  png_write_end(writer.png, nullptr);
  return true;
}

}  // namespace

bool WritePng(const std::string &path, const RgbPicture &picture, std::string *error) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height) {
    *error = "no picture to write";
    return false;
  }
  const std::string partial = path + ".part";
  FILE *file = std::fopen(partial.c_str(), "wb");
  if (file == nullptr) {
    *error = "cannot create " + partial + ": " + std::strerror(errno);
    return false;
  }
  const bool written = WriteRows(file, picture);
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) {
    *error = "cannot write " + partial;
    std::remove(partial.c_str());
    return false;
  }
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    *error = "cannot rename " + partial + " to " + path + ": " + std::strerror(errno);
    std::remove(partial.c_str());
    return false;
  }
  return true;
}

bool ReadPng(const std::string &path, RgbPicture *picture, std::string *error) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) {
    *error = path + ": " + image.message;
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
    *error = path + ": " + image.message;
    png_image_free(&image);
    return false;
  }
  picture->width = static_cast<int>(image.width);
  picture->height = static_cast<int>(image.height);
  picture->pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (size_t i = 0; i < picture->pixels.size(); ++i)
    picture->pixels[i] = uint32_t{rgb[3 * i]} << 16 | uint32_t{rgb[3 * i + 1]} << 8 | rgb[3 * i + 2];
  return true;
}
