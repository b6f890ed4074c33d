#include "albums/jpeg_decode.h"

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

namespace ak {
namespace {

// The most pixels a decoded picture may have after DCT scaling (RGBA: 32 MB). A header that
// claims 20,000 x 20,000 pixels decodes at 1/8 to 2,500 x 2,500, under the budget.
constexpr std::uint64_t kPixelBudget = 8'000'000;

// libjpeg reports fatal errors through error_exit, which must not return: it jumps back to the
// decoder. Warnings are counted; data that ends early (the file, or the entropy-coded segment
// before its marker) marks the picture as cut off: libjpeg would fill the rest with grey.
struct JumpingErrors : jpeg_error_mgr {
  std::jmp_buf jump;
  bool cutOff = false;
};

void ErrorExit(j_common_ptr info) { std::longjmp(static_cast<JumpingErrors*>(info->err)->jump, 1); }

void EmitMessage(j_common_ptr info, int level) {
  auto* errors = static_cast<JumpingErrors*>(info->err);
  if (level >= 0) return;  // trace messages
  ++errors->num_warnings;
  if (errors->msg_code == JWRN_JPEG_EOF || errors->msg_code == JWRN_HIT_MARKER) {
    errors->cutOff = true;
  }
}

void OutputMessage(j_common_ptr) {}

// The smallest scale n/8 (n from 1 to 8) at which the picture still covers the wanted size.
unsigned ScaleNumerator(const jpeg_decompress_struct& cinfo, int minWidth, int minHeight) {
  for (unsigned n = 1; n < 8; ++n) {
    const std::uint64_t width = (std::uint64_t{cinfo.image_width} * n + 7) / 8;
    const std::uint64_t height = (std::uint64_t{cinfo.image_height} * n + 7) / 8;
    if (width >= static_cast<std::uint64_t>(minWidth > 0 ? minWidth : 1) &&
        height >= static_cast<std::uint64_t>(minHeight > 0 ? minHeight : 1)) {
      return n;
    }
  }
  return 8;
}

// The decoding steps between setjmp and the end; kept apart so no C++ object with a destructor
// lives in the frame that longjmp leaves.
bool DecodeInto(jpeg_decompress_struct& cinfo, JumpingErrors& errors, std::string_view bytes,
                int minWidth, int minHeight, CoverImage& image) {
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
               static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&cinfo, TRUE) != JPEG_HEADER_OK) return false;
  cinfo.scale_num = ScaleNumerator(cinfo, minWidth, minHeight);
  cinfo.scale_denom = 8;
  cinfo.out_color_space = JCS_EXT_RGBA;
  jpeg_calc_output_dimensions(&cinfo);
  const std::uint64_t pixels = std::uint64_t{cinfo.output_width} * cinfo.output_height;
  if (pixels == 0 || pixels > kPixelBudget) return false;
  image.width = static_cast<int>(cinfo.output_width);
  image.height = static_cast<int>(cinfo.output_height);
  image.rgba.resize(static_cast<std::size_t>(pixels) * 4);
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_components != 4) return false;
  const std::size_t stride = static_cast<std::size_t>(image.width) * 4;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = image.rgba.data() + stride * cinfo.output_scanline;
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) return false;
    if (errors.cutOff) return false;
  }
  jpeg_finish_decompress(&cinfo);
  return !errors.cutOff;
}

}  // namespace

std::shared_ptr<const CoverImage> DecodeJpeg(std::string_view bytes, int minWidth, int minHeight) {
  if (bytes.size() < 4) return nullptr;
  auto image = std::make_shared<CoverImage>();
  jpeg_decompress_struct cinfo{};
  JumpingErrors errors;
  cinfo.err = jpeg_std_error(&errors);
  errors.error_exit = ErrorExit;
  errors.emit_message = EmitMessage;
  errors.output_message = OutputMessage;
  volatile bool decoded = false;
  if (setjmp(errors.jump) == 0) {
    jpeg_create_decompress(&cinfo);
    decoded = DecodeInto(cinfo, errors, bytes, minWidth, minHeight, *image);
  }
  jpeg_destroy_decompress(&cinfo);
  if (!decoded) return nullptr;
  return image;
}

}  // namespace ak
