// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on
#include <png.h>

#include <csetjmp>
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

}  // namespace

// libjpeg's grey is the luma of its colours, as ours is; a photo larger than the largest
// picture is decoded at a half, a quarter or an eighth of its size.
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
  jpeg_read_header(&info, TRUE);
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
  return picture;
}

}  // namespace glowreel
