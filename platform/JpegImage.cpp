#include "platform/JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// libjpeg reports a fatal error through error_exit, whose default ends the process.
// Ours jumps back to the setjmp in whichever step is running. C++ allows longjmp only
// where no automatic object with a non-trivial destructor is skipped, so the steps that
// call libjpeg (startDecoding, readPixels) hold nothing but plain C data; every Qt object
// lives in decodeJpeg, which the jump never crosses.

namespace {

// A picture larger than this is refused as soon as its header is read, before libjpeg
// or we allocate memory for it.
constexpr long long largestPixelCount = 64LL * 1024 * 1024;

struct ErrorManager {
    jpeg_error_mgr base; // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf escape;
};

struct Decoder {
    jpeg_decompress_struct info;
    ErrorManager error;
};

[[noreturn]] void jumpOut(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorManager*>(info->err);
    std::longjmp(error->escape, 1);
}

// Messages stay silent; warnings are still counted in num_warnings by libjpeg's own
// emit_message, which calls this.
void ignoreMessage(j_common_ptr) {}

bool hasWarnings(const Decoder& decoder) {
    return decoder.error.base.num_warnings > 0;
}

// Reads the header and starts decompression. Afterwards info.output_width,
// output_height and output_components describe the rows readPixels will deliver.
bool startDecoding(Decoder& decoder, const unsigned char* bytes, unsigned long size) {
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.error.escape))
        return false;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, size);
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK ||
        static_cast<long long>(info.image_width) * info.image_height > largestPixelCount)
        return false;
    switch (info.jpeg_color_space) {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        break;
    default:
        info.out_color_space = JCS_RGB;
        break;
    }
    jpeg_start_decompress(&info);
    return !hasWarnings(decoder);
}

void toRgb(const JSAMPLE* in, unsigned char* out, JDIMENSION width, int components) {
    switch (components) {
    case 1:
        for (JDIMENSION x = 0; x < width; ++x) {
            out[0] = out[1] = out[2] = in[x];
            out += 3;
        }
        break;
    case 4:
        // Inverted CMYK: each stored value is the amount of light left, so the ink
        // channels scale with the black channel.
        for (JDIMENSION x = 0; x < width; ++x) {
            const unsigned k = in[3];
            out[0] = static_cast<unsigned char>(in[0] * k / 255);
            out[1] = static_cast<unsigned char>(in[1] * k / 255);
            out[2] = static_cast<unsigned char>(in[2] * k / 255);
            in += 4;
            out += 3;
        }
        break;
    default:
        for (JDIMENSION x = 0; x < width * 3; ++x)
            out[x] = in[x];
        break;
    }
}

// Reads every row into pixels (RGB, 3 bytes a pixel, bytesPerLine apart) and finishes
// the decompression, which reads on to the end marker.
bool readPixels(Decoder& decoder, unsigned char* pixels, long long bytesPerLine) {
    jpeg_decompress_struct& info = decoder.info;
    if (setjmp(decoder.error.escape))
        return false;
    const int components = info.output_components;
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * components, 1);
    while (info.output_scanline < info.output_height) {
        const JDIMENSION y = info.output_scanline;
        if (jpeg_read_scanlines(&info, row, 1) != 1)
            return false;
        toRgb(row[0], pixels + y * bytesPerLine, info.output_width, components);
    }
    jpeg_finish_decompress(&info);
    return !hasWarnings(decoder);
}

bool supportedLayout(const jpeg_decompress_struct& info) {
    const int expected = info.out_color_space == JCS_GRAYSCALE ? 1
                         : info.out_color_space == JCS_CMYK    ? 4
                                                               : 3;
    return info.output_components == expected && info.output_width > 0 && info.output_height > 0;
}

} // namespace

QImage decodeJpeg(const QByteArray& data) {
    if (data.isEmpty())
        return {};
    Decoder decoder{}; // zeroed, so destroying it is safe however early a step fails
    decoder.info.err = jpeg_std_error(&decoder.error.base);
    decoder.error.base.error_exit = jumpOut;
    decoder.error.base.output_message = ignoreMessage;

    QImage image;
    bool decoded = false;
    if (startDecoding(decoder, reinterpret_cast<const unsigned char*>(data.constData()),
                      static_cast<unsigned long>(data.size())) &&
        supportedLayout(decoder.info)) {
        image = QImage(static_cast<int>(decoder.info.output_width),
                       static_cast<int>(decoder.info.output_height), QImage::Format_RGB888);
        decoded = !image.isNull() && readPixels(decoder, image.bits(), image.bytesPerLine());
    }
    jpeg_destroy_decompress(&decoder.info);
    return decoded ? image : QImage();
}
