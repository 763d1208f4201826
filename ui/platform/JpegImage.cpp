#include "JpegImage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

constexpr quint64 MaxImageBytes = quint64(256) << 20;

// libjpeg reports errors by calling error_exit, which must not return. The
// jump goes back into Decode(), whose frame holds no C++ object and no
// variable changed after setjmp: the decoder's state lives in the caller.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

struct Decoder {
    jpeg_decompress_struct info;
    ErrorManager errors;
};

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

// Level -1 is a warning about damaged data (libjpeg would go on and fill the
// rest with grey); higher levels are trace messages, which are ignored.
void EmitMessage(j_common_ptr info, int level)
{
    if (level < 0)
        ErrorExit(info);
}

void OutputMessage(j_common_ptr) {}

// CMYK as Adobe writes it (inverted) to RGB; libjpeg offers no conversion.
void CmykRowToRgbx(uchar* row, JDIMENSION width)
{
    for (JDIMENSION x = 0; x < width; ++x) {
        uchar* p = row + 4 * x;
        const int k = p[3];
        p[0] = uchar(p[0] * k / 255);
        p[1] = uchar(p[1] * k / 255);
        p[2] = uchar(p[2] * k / 255);
        p[3] = 255;
    }
}

// Returns false on any error, with the decoder released either way.
bool Decode(const QByteArray& bytes, Decoder* decoder, QImage* image)
{
    jpeg_decompress_struct& info = decoder->info;
    ErrorManager& errors = decoder->errors;
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = ErrorExit;
    errors.base.emit_message = EmitMessage;
    errors.base.output_message = OutputMessage;

    if (setjmp(errors.jump)) {
        // Safe also before jpeg_create_decompress: it sees mem == nullptr.
        jpeg_destroy_decompress(&info);
        return false;
    }

    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);

    // A damaged or hostile header can claim gigapixels; refuse before
    // allocating, with the same 256 MiB ceiling Qt's own readers use.
    if (quint64(info.image_width) * info.image_height * 4 > MaxImageBytes) {
        jpeg_destroy_decompress(&info);
        return false;
    }

    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBX;
    jpeg_start_decompress(&info);

    *image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGBX8888);
    if (image->isNull() || info.output_components != 4) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image->scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
        if (cmyk)
            CmykRowToRgbx(row, info.output_width);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    Decoder decoder{};
    QImage image;
    if (!Decode(bytes, &decoder, &image))
        return {};
    return image;
}
