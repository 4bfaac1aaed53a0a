// JPEG through libjpeg.
#include <cstdio>
#include <csetjmp>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/picture_codecs.h"

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

// Kept by the caller: the function that calls setjmp changes none of its
// own locals after it.
struct JpegBuffers {
  std::vector<unsigned char> data;  // one decoded row
  RowLayout layout;
  unsigned char* encoded = nullptr;
  unsigned long encodedSize = 0;
};

CodecStatus ReadJpeg(std::string_view bytes, RowSink& sink, JpegBuffers& buf) {
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
    return tooBig ? CodecStatus::TooLarge : CodecStatus::Damaged;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = 512L * 1024 * 1024;
  cinfo.progress = &progress;
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&cinfo, TRUE);
  const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  buf.layout.width = cinfo.image_width;
  buf.layout.height = cinfo.image_height;
  buf.layout.samples = cmyk ? RowLayout::Samples::Cmyk : RowLayout::Samples::Rgb;
  buf.layout.adobeInverted = cmyk && cinfo.saw_Adobe_marker;
  if (!sink.Begin(buf.layout)) {
    jpeg_destroy_decompress(&cinfo);
    return CodecStatus::Refused;
  }
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  if (cinfo.output_width != buf.layout.width || cinfo.output_height != buf.layout.height ||
      cinfo.output_components != buf.layout.Channels()) {
    jpeg_destroy_decompress(&cinfo);
    return CodecStatus::Damaged;
  }
  // Row by row: what the sink makes is the only copy of the pixels.
  buf.data.resize(buf.layout.RowBytes());
  while (cinfo.output_scanline < cinfo.output_height) {
    const JDIMENSION y = cinfo.output_scanline;
    JSAMPROW row = buf.data.data();
    if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
    sink.Row(y, 0, 1, buf.layout.width, buf.data.data());
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return CodecStatus::Ok;
}

bool WriteJpeg(std::uint32_t width, std::uint32_t height, int quality, const RowSource& rows, JpegBuffers& buf) {
  jpeg_compress_struct cinfo;
  ErrorManager err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = OnError;
  err.pub.output_message = OnMessage;
  buf.data.resize(std::size_t(width) * 3);
  if (setjmp(err.jump)) {
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &buf.encoded, &buf.encodedSize);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  // The fast integer DCT: at the qualities of a screenshot it looks the
  // same, and the encoder of the web build uses it, so both builds write
  // the same file.
  cinfo.dct_method = JDCT_IFAST;
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    rows(cinfo.next_scanline, buf.data.data());
    JSAMPROW row = buf.data.data();
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

}  // namespace

CodecStatus DecodeJpegRows(std::string_view bytes, RowSink& sink) {
  JpegBuffers buf;
  return ReadJpeg(bytes, sink, buf);
}

bool EncodeJpegRows(std::uint32_t width, std::uint32_t height, int quality, const RowSource& rows, std::string& out) {
  if (width == 0 || height == 0) return false;
  JpegBuffers buf;
  const bool ok = WriteJpeg(width, height, quality, rows, buf);
  if (ok) out.assign(reinterpret_cast<const char*>(buf.encoded), buf.encodedSize);
  std::free(buf.encoded);
  return ok;
}
