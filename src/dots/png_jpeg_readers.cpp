// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "dots/picture_decoders.h"

namespace glowreel {

std::optional<GreyPicture> ReadPng(const std::string& bytes, RunTimeError& why) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  const auto failed = [&]() {
    why = BadPicture(image.message[0] ? image.message : "the PNG is malformed");
    png_image_free(&image);
    return std::nullopt;
  };
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return failed();
  if (static_cast<long>(image.width) * image.height > kMostPixels) {
    png_image_free(&image);
    return why = BadPicture("it is larger than 4096 x 4096 pixels"), std::nullopt;
  }
  image.format = PNG_FORMAT_RGBA;
  std::vector<png_byte> rgba(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr)) return failed();
  GreyPicture picture;
  picture.Resize(static_cast<int>(image.width), static_cast<int>(image.height));
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      const png_byte* at = &rgba[(static_cast<std::size_t>(y) * image.width + x) * 4];
      picture.Set(x, y, Luma(at[0], at[1], at[2]), at[3]);
    }
  return picture;
}

namespace {

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf back;
  char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void JpegFailed(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  info->err->format_message(info, error->message);
  std::longjmp(error->back, 1);
}

void JpegWarning(j_common_ptr, int) {}  // a file cut short still shows what it holds

// Rows of the decoded JPEG into the picture: grey as it comes, or CMYK as Adobe stores it.
// Nothing here owns memory: an error jumps straight back out of it.
void TakeRows(jpeg_decompress_struct& info, GreyPicture& picture, std::vector<JSAMPLE>& row) {
  row.resize(static_cast<std::size_t>(info.output_width) *
             static_cast<std::size_t>(info.output_components));
  while (info.output_scanline < info.output_height) {
    const int y = static_cast<int>(info.output_scanline);
    JSAMPROW rows[] = {row.data()};
    jpeg_read_scanlines(&info, rows, 1);
    for (int x = 0; x < picture.width; ++x) {
      if (info.output_components == 1) {
        picture.Set(x, y, row[static_cast<std::size_t>(x)], 255);
        continue;
      }
      const JSAMPLE* cmyk = &row[static_cast<std::size_t>(x) * 4];
      picture.Set(x, y,
                  Luma(cmyk[0] * cmyk[3] / 255, cmyk[1] * cmyk[3] / 255, cmyk[2] * cmyk[3] / 255),
                  255);
    }
  }
}

// How a camera held the picture: EXIF's orientation, 1 (as stored) to 8; 1 where there is none
// or it cannot be read.
int ExifOrientation(const jpeg_decompress_struct& info) {
  constexpr unsigned kOrientationTag = 0x0112;
  for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next) {
    if (marker->marker != JPEG_APP0 + 1 || marker->data_length < 14 ||
        std::memcmp(marker->data, "Exif\0\0", 6) != 0)
      continue;
    const JOCTET* tiff = marker->data + 6;
    const std::size_t size = marker->data_length - 6;
    const bool little = tiff[0] == 'I' && tiff[1] == 'I';
    if (!little && !(tiff[0] == 'M' && tiff[1] == 'M')) return 1;
    const auto number = [&](std::size_t at, int bytes) -> std::optional<uint32_t> {
      if (at + static_cast<std::size_t>(bytes) > size) return std::nullopt;
      uint32_t value = 0;
      for (int k = 0; k < bytes; ++k)
        value |= uint32_t{tiff[at + static_cast<std::size_t>(little ? k : bytes - 1 - k)]}
                 << (8 * k);
      return value;
    };
    const std::optional<uint32_t> directory = number(4, 4);
    const std::optional<uint32_t> entries = directory ? number(*directory, 2) : std::nullopt;
    for (uint32_t k = 0; entries && k < *entries; ++k) {
      const std::size_t entry = std::size_t{*directory} + 2 + 12 * std::size_t{k};
      const std::optional<uint32_t> tag = number(entry, 2);
      if (!tag) break;
      if (*tag != kOrientationTag) continue;
      const std::optional<uint32_t> value = number(entry + 8, 2);
      return value && *value >= 1 && *value <= 8 ? static_cast<int>(*value) : 1;
    }
    return 1;
  }
  return 1;
}

// The picture turned upright as its orientation says, as Qt turns it for the window and the
// converter.
GreyPicture Upright(const GreyPicture& stored, int orientation) {
  const int w = stored.width, h = stored.height;
  GreyPicture turned;
  turned.Resize(orientation >= 5 ? h : w, orientation >= 5 ? w : h);
  for (int y = 0; y < turned.height; ++y)
    for (int x = 0; x < turned.width; ++x) {
      // Where the stored picture has the pixel shown at (x, y).
      const auto [sx, sy] = orientation == 2   ? std::pair(w - 1 - x, y)
                            : orientation == 3 ? std::pair(w - 1 - x, h - 1 - y)
                            : orientation == 4 ? std::pair(x, h - 1 - y)
                            : orientation == 5 ? std::pair(y, x)
                            : orientation == 6 ? std::pair(y, h - 1 - x)
                            : orientation == 7 ? std::pair(w - 1 - y, h - 1 - x)
                            : orientation == 8 ? std::pair(w - 1 - y, x)
                                               : std::pair(x, y);
      const std::size_t from =
          static_cast<std::size_t>(sy) * static_cast<std::size_t>(w) + static_cast<std::size_t>(sx);
      turned.Set(x, y, stored.brightness[from], stored.opacity[from]);
    }
  return turned;
}

}  // namespace

// libjpeg's grey is the luma of its colours, as ours is; a photo larger than the largest
// picture is decoded at a half, a quarter or an eighth of its size. A photo is turned upright as
// its camera's orientation says.
std::optional<GreyPicture> ReadJpeg(const std::string& bytes, RunTimeError& why) {
  jpeg_decompress_struct info{};
  JpegError error{};
  info.err = jpeg_std_error(&error.manager);
  error.manager.error_exit = JpegFailed;
  error.manager.emit_message = JpegWarning;
  GreyPicture picture;
  std::vector<JSAMPLE> row;
  jpeg_create_decompress(&info);
  if (setjmp(error.back)) {
    jpeg_destroy_decompress(&info);
    why = BadPicture(error.message);
    return std::nullopt;
  }
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
  jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&info, TRUE);
  const int orientation = ExifOrientation(info);
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_GRAYSCALE;
  info.scale_num = 1;
  for (info.scale_denom = 1; info.scale_denom < 8; info.scale_denom *= 2) {
    jpeg_calc_output_dimensions(&info);
    if (static_cast<long>(info.output_width) * info.output_height <= kMostPixels) break;
  }
  jpeg_start_decompress(&info);
  if (static_cast<long>(info.output_width) * info.output_height > kMostPixels) {
    jpeg_destroy_decompress(&info);
    why = BadPicture("it is larger than 32768 x 32768 pixels");
    return std::nullopt;
  }
  picture.Resize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
  TakeRows(info, picture, row);
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  if (orientation > 1) return Upright(picture, orientation);
  return picture;
}

}  // namespace glowreel
