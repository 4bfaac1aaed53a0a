#include "images/jpeg_codec.h"

#include <cstdio>
#include <csetjmp>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void OnMessage(j_common_ptr) {}  // corrupt-data warnings are not worth a message

// Each scan of a progressive file passes over the whole picture, and a scan
// header costs a few bytes: a small file with thousands of them would keep
// the decoder busy for minutes. Real files have about ten.
constexpr int kMaxScans = 500;

void OnProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    OnError(cinfo);
  }
}

// Huffman coding spends at least one bit on each 8 x 8 block, so a complete
// file holds at most 512 pixels per byte; twice that leaves room for
// arithmetic coding. A header claiming more than its file can hold would
// make libjpeg allocate the whole picture (and for progressive files all of
// its coefficients) before the data run out.
constexpr long long kJpegPixelsPerByte = 1024;

// Kept by the caller: the function that calls setjmp changes none of its
// own locals after it.
struct JpegBuffers {
  std::vector<unsigned char> data;  // one decoded row
  int width = 0, height = 0, components = 0;
  bool adobeInverted = false;
  Picture picture;
  unsigned char* encoded = nullptr;
  unsigned long encodedSize = 0;
};

// One decoded row into the picture.
void StoreRow(const JpegBuffers& buf, Rgb24* dst) {
  const unsigned char* s = buf.data.data();
  if (buf.components == 3) {
    for (int x = 0; x < buf.width; ++x, s += 3) dst[x] = {s[0], s[1], s[2]};
    return;
  }
  // Adobe writes CMYK inverted (0 = full ink); others store it plainly.
  for (int x = 0; x < buf.width; ++x, s += 4) {
    unsigned c = s[0], m = s[1], y = s[2], k = s[3];
    if (!buf.adobeInverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    dst[x] = {static_cast<std::uint8_t>(c * k / 255), static_cast<std::uint8_t>(m * k / 255),
              static_cast<std::uint8_t>(y * k / 255)};
  }
}

DecodeResult::Kind ReadJpeg(std::string_view bytes, JpegBuffers& buf, long long allowance) {
  jpeg_decompress_struct cinfo;
  ErrorManager err;
  jpeg_progress_mgr progress{};
  progress.progress_monitor = OnProgress;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.output_message = OnMessage;
  if (setjmp(err.jump)) {
    // libjpeg refuses dimensions over 65500 itself.
    const bool tooBig = err.pub.msg_code == JERR_IMAGE_TOO_BIG;
    jpeg_destroy_decompress(&cinfo);
    return tooBig ? DecodeResult::TooLarge : DecodeResult::Unreadable;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  const long long pixels = static_cast<long long>(cinfo.image_width) * cinfo.image_height;
  DecodeResult::Kind verdict = CheckPictureLimits(cinfo.image_width, cinfo.image_height, allowance).kind;
  if (verdict == DecodeResult::Ok && (pixels == 0 || !BytesCanHold(bytes.size(), pixels, kJpegPixelsPerByte))) {
    verdict = DecodeResult::Unreadable;
  }
  if (verdict != DecodeResult::Ok) {
    jpeg_destroy_decompress(&cinfo);
    return verdict;
  }
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  buf.adobeInverted = cmyk && cinfo.saw_Adobe_marker;
  jpeg_start_decompress(&cinfo);
  buf.width = static_cast<int>(cinfo.output_width);
  buf.height = static_cast<int>(cinfo.output_height);
  buf.components = cinfo.output_components;
  if ((buf.components != 3 && buf.components != 4) || (buf.components == 4) != cmyk) {
    jpeg_destroy_decompress(&cinfo);
    return DecodeResult::Unreadable;
  }
  // Row by row: the picture is the only copy of the pixels.
  buf.data.resize(std::size_t(buf.width) * std::size_t(buf.components));
  buf.picture = Picture(buf.width, buf.height);
  while (cinfo.output_scanline < cinfo.output_height) {
    const int y = static_cast<int>(cinfo.output_scanline);
    JSAMPROW row = buf.data.data();
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    StoreRow(buf, buf.picture.row(y));
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return DecodeResult::Ok;
}

bool WriteJpeg(const Picture& picture, int quality, JpegBuffers& buf) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.output_message = OnMessage;
  buf.data.resize(std::size_t(picture.width) * 3);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buf.encoded, &buf.encodedSize);
  cinfo.image_width = static_cast<JDIMENSION>(picture.width);
  cinfo.image_height = static_cast<JDIMENSION>(picture.height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    const Rgb24* src = picture.row(static_cast<int>(cinfo.next_scanline));
    unsigned char* d = buf.data.data();
    for (int x = 0; x < picture.width; ++x) {
      *d++ = src[x].r;
      *d++ = src[x].g;
      *d++ = src[x].b;
    }
    JSAMPROW row = buf.data.data();
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

bool IsJpeg(std::string_view bytes) {
  return bytes.size() >= 3 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8 && static_cast<unsigned char>(bytes[2]) == 0xFF;
}

DecodeResult DecodeJpeg(std::string_view bytes, Picture& out, long long allowance) {
  if (!IsJpeg(bytes)) return {DecodeResult::Unreadable};
  JpegBuffers buf;
  if (const DecodeResult::Kind k = ReadJpeg(bytes, buf, allowance); k != DecodeResult::Ok) return {k};
  out = std::move(buf.picture);
  return {DecodeResult::Ok};
}

bool EncodeJpeg(const Picture& picture, int quality, std::string& out) {
  if (picture.empty()) return false;
  JpegBuffers buf;
  const bool ok = WriteJpeg(picture, quality, buf);
  if (ok) out.assign(reinterpret_cast<const char*>(buf.encoded), buf.encodedSize);
  std::free(buf.encoded);
  return ok;
}
