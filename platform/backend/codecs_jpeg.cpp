// JPEG through libjpeg's 6b interface. libjpeg reports errors by calling
// error_exit, which must not return: it jumps back to the setjmp in the
// Run* functions below, whose frames hold no C++ objects (everything lives
// in a context the caller owns).
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "platform/backend/codecs_internal.h"

namespace rtl::backend::detail {
namespace {

struct TJpegError {
  jpeg_error_mgr Pub;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->Message);
  longjmp(err->Jump, 1);
}

// Warnings (a damaged but readable stream) are not printed.
void OutputMessage(j_common_ptr) {}

void InitError(TJpegError& err) {
  jpeg_std_error(&err.Pub);
  err.Pub.error_exit = ErrorExit;
  err.Pub.output_message = OutputMessage;
  err.Message[0] = 0;
}

// ---- Reading from memory ----------------------------------------------------

struct TJpegSource {
  jpeg_source_mgr Pub;
  const uint8_t* Data;
  size_t Size;
  // Once every row is in, a missing end marker is harmless; before that
  // the end of the data means the file was cut short.
  bool RowsDone;
};

const JOCTET kEoi[2] = {0xFF, JPEG_EOI};

void InitSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
  auto* src = reinterpret_cast<TJpegSource*>(cinfo->src);
  if (!src->RowsDone) ERREXIT(cinfo, JERR_INPUT_EOF);
  src->Pub.next_input_byte = kEoi;
  src->Pub.bytes_in_buffer = 2;
  return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
  auto* src = reinterpret_cast<TJpegSource*>(cinfo->src);
  if (count <= 0) return;
  while (static_cast<size_t>(count) > src->Pub.bytes_in_buffer) {
    count -= static_cast<long>(src->Pub.bytes_in_buffer);
    FillInputBuffer(cinfo);
  }
  src->Pub.next_input_byte += count;
  src->Pub.bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr) {}

struct TDecodeContext {
  jpeg_decompress_struct Info;
  TJpegError Error;
  TJpegSource Source;
  TDecodedImage* Out;
  std::vector<JSAMPLE> Row;
};

bool RunDecode(TDecodeContext* c) {
  j_decompress_ptr cinfo = &c->Info;
  if (setjmp(c->Error.Jump)) {
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  jpeg_create_decompress(cinfo);
  cinfo->src = &c->Source.Pub;
  jpeg_read_header(cinfo, TRUE);
  // Huffman-coded scans need at least a bit per 8 x 8 block, so a picture
  // far larger than its file is damage; refused before its raster is taken.
  if (!SizeAllowed(cinfo->image_width, cinfo->image_height) ||
      (!cinfo->arith_code &&
       !rtl::RunLengthSizePlausible(int64_t(cinfo->image_width) * cinfo->image_height, c->Source.Size))) {
    std::strcpy(c->Error.Message, "Invalid JPEG image size");
    jpeg_destroy_decompress(cinfo);
    return false;
  }
  switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE: cinfo->out_color_space = JCS_GRAYSCALE; break;
    case JCS_CMYK:
    case JCS_YCCK: cinfo->out_color_space = JCS_CMYK; break;
    default: cinfo->out_color_space = JCS_RGB; break;
  }
  jpeg_start_decompress(cinfo);
  TDecodedImage& out = *c->Out;
  const int w = static_cast<int>(cinfo->output_width), h = static_cast<int>(cinfo->output_height);
  const int n = cinfo->output_components;
  out.Width = w;
  out.Height = h;
  out.Pixels.resize(size_t(w) * h);
  c->Row.resize(size_t(w) * n);
  // Adobe writes CMYK inverted.
  const bool inverted = cinfo->out_color_space == JCS_CMYK && cinfo->saw_Adobe_marker;
  while (cinfo->output_scanline < cinfo->output_height) {
    int y = static_cast<int>(cinfo->output_scanline);
    JSAMPROW row = c->Row.data();
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) ERREXIT(cinfo, JERR_INPUT_EOF);
    uint32_t* dst = out.Pixels.data() + size_t(y) * w;
    for (int x = 0; x < w; ++x) {
      const JSAMPLE* s = row + x * n;
      uint32_t r, g, b;
      if (n == 1) {
        r = g = b = s[0];
      } else if (n == 3) {
        r = s[0], g = s[1], b = s[2];
      } else {
        uint32_t k = inverted ? s[3] : 255u - s[3];
        auto chan = [&](JSAMPLE v) { return (inverted ? v : 255u - v) * k / 255u; };
        r = chan(s[0]), g = chan(s[1]), b = chan(s[2]);
      }
      dst[x] = 0xFF000000u | (r << 16) | (g << 8) | b;
    }
  }
  c->Source.RowsDone = true;
  out.BitsPerPixel = n == 1 ? 8 : (n == 4 ? 32 : 24);
  if (cinfo->density_unit == 1 && cinfo->X_density && cinfo->Y_density) {
    out.DpiX = cinfo->X_density;
    out.DpiY = cinfo->Y_density;
  } else if (cinfo->density_unit == 2 && cinfo->X_density && cinfo->Y_density) {
    out.DpiX = cinfo->X_density * 2.54;
    out.DpiY = cinfo->Y_density * 2.54;
  }
  jpeg_finish_decompress(cinfo);
  jpeg_destroy_decompress(cinfo);
  return true;
}

// ---- Writing to memory ------------------------------------------------------

constexpr size_t kBlock = 64 * 1024;

struct TJpegDest {
  jpeg_destination_mgr Pub;
  std::string* Out;
  std::vector<JOCTET>* Buffer;
};

void InitDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TJpegDest*>(cinfo->dest);
  d->Pub.next_output_byte = d->Buffer->data();
  d->Pub.free_in_buffer = d->Buffer->size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TJpegDest*>(cinfo->dest);
  d->Out->append(reinterpret_cast<const char*>(d->Buffer->data()), d->Buffer->size());
  d->Pub.next_output_byte = d->Buffer->data();
  d->Pub.free_in_buffer = d->Buffer->size();
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  auto* d = reinterpret_cast<TJpegDest*>(cinfo->dest);
  d->Out->append(reinterpret_cast<const char*>(d->Buffer->data()), d->Buffer->size() - d->Pub.free_in_buffer);
}

struct TEncodeContext {
  jpeg_compress_struct Info;
  TJpegError Error;
  TJpegDest Dest;
  const uint32_t* Pixels;
  int Width, Height, Stride;
  const TEncodeOptions* Options;
  std::vector<JSAMPLE> Row;
};

bool RunEncode(TEncodeContext* c) {
  j_compress_ptr cinfo = &c->Info;
  if (setjmp(c->Error.Jump)) {
    jpeg_destroy_compress(cinfo);
    return false;
  }
  jpeg_create_compress(cinfo);
  cinfo->dest = &c->Dest.Pub;
  cinfo->image_width = static_cast<JDIMENSION>(c->Width);
  cinfo->image_height = static_cast<JDIMENSION>(c->Height);
  cinfo->input_components = 3;
  cinfo->in_color_space = JCS_RGB;
  jpeg_set_defaults(cinfo);
  int q = c->Options->Quality;
  jpeg_set_quality(cinfo, q < 0 ? 0 : (q > 100 ? 100 : q), TRUE);
  cinfo->density_unit = 1;
  cinfo->X_density = static_cast<UINT16>(c->Options->DpiX + 0.5);
  cinfo->Y_density = static_cast<UINT16>(c->Options->DpiY + 0.5);
  jpeg_start_compress(cinfo, TRUE);
  c->Row.resize(size_t(c->Width) * 3);
  while (cinfo->next_scanline < cinfo->image_height) {
    const uint32_t* src = Row(c->Pixels, c->Stride, static_cast<int>(cinfo->next_scanline));
    for (int x = 0; x < c->Width; ++x) {
      c->Row[3 * x] = static_cast<JSAMPLE>((src[x] >> 16) & 0xFF);
      c->Row[3 * x + 1] = static_cast<JSAMPLE>((src[x] >> 8) & 0xFF);
      c->Row[3 * x + 2] = static_cast<JSAMPLE>(src[x] & 0xFF);
    }
    JSAMPROW row = c->Row.data();
    jpeg_write_scanlines(cinfo, &row, 1);
  }
  jpeg_finish_compress(cinfo);
  jpeg_destroy_compress(cinfo);
  return true;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, TDecodedImage& out, std::string* error) {
  TDecodeContext c{};
  InitError(c.Error);
  c.Info.err = &c.Error.Pub;
  c.Source.Pub.init_source = InitSource;
  c.Source.Pub.fill_input_buffer = FillInputBuffer;
  c.Source.Pub.skip_input_data = SkipInputData;
  c.Source.Pub.resync_to_restart = jpeg_resync_to_restart;
  c.Source.Pub.term_source = TermSource;
  c.Source.Pub.next_input_byte = data;
  c.Source.Pub.bytes_in_buffer = size;
  c.Source.Data = data;
  c.Source.Size = size;
  TDecodedImage image;
  image.Format = iffJpeg;
  c.Out = &image;
  if (!RunDecode(&c)) {
    if (error) *error = std::string("Corrupt or truncated JPEG image: ") + c.Error.Message;
    return false;
  }
  if (image.BitsPerPixel == 8)
    for (uint32_t i = 0; i < 256; ++i) image.Palette.push_back(0xFF000000u | (i << 16) | (i << 8) | i);
  out = std::move(image);
  return true;
}

bool EncodeJpeg(const uint32_t* pixels, int width, int height, int stride, const TEncodeOptions& options,
                std::string& out, std::string* error) {
  std::vector<JOCTET> buffer(kBlock);
  TEncodeContext c{};
  InitError(c.Error);
  c.Info.err = &c.Error.Pub;
  c.Dest.Pub.init_destination = InitDestination;
  c.Dest.Pub.empty_output_buffer = EmptyOutputBuffer;
  c.Dest.Pub.term_destination = TermDestination;
  c.Dest.Out = &out;
  c.Dest.Buffer = &buffer;
  c.Pixels = pixels;
  c.Width = width;
  c.Height = height;
  c.Stride = stride;
  c.Options = &options;
  if (!RunEncode(&c)) {
    out.clear();
    if (error) *error = std::string("JPEG encoding failed: ") + c.Error.Message;
    return false;
  }
  return true;
}

}  // namespace rtl::backend::detail
