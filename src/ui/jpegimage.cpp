#include "ui/jpegimage.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace lumo {

namespace {

// A picture larger than this is taken as damaged rather than allocated.
constexpr long maxPixels = 64L * 1024 * 1024;

struct ErrorManager
{
    jpeg_error_mgr pub; // first, so libjpeg's pointer is ours
    std::jmp_buf escape;
};

[[noreturn]] void fail(j_common_ptr info)
{
    std::longjmp(reinterpret_cast<ErrorManager *>(info->err)->escape, 1);
}

// A warning (corrupt or truncated data) means a damaged picture; libjpeg would go on and
// fill the rest with grey.
void warn(j_common_ptr info, int level)
{
    if (level < 0)
        fail(info);
}

void quiet(j_common_ptr) {}

// Only plain locals live in this frame: a longjmp out of libjpeg lands in it, and nothing
// here needs a destructor run. The image lives with the caller.
bool decodeInto(jpeg_decompress_struct *info, ErrorManager *errors, const QByteArray &data, QImage *out)
{
    if (setjmp(errors->escape)) {
        jpeg_destroy_decompress(info);
        return false;
    }
    jpeg_create_decompress(info);
    jpeg_mem_src(info, reinterpret_cast<const unsigned char *>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(info, TRUE);
    switch (info->jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
        break;
    default: // CMYK and YCCK have no conversion to RGB in libjpeg
        jpeg_destroy_decompress(info);
        return false;
    }
    info->out_color_space = JCS_RGB;
    jpeg_start_decompress(info);
    if (info->output_components != 3 || info->output_width == 0 || info->output_height == 0 ||
        long(info->output_width) * long(info->output_height) > maxPixels) {
        jpeg_destroy_decompress(info);
        return false;
    }
    *out = QImage(int(info->output_width), int(info->output_height), QImage::Format_RGB888);
    if (out->isNull()) {
        jpeg_destroy_decompress(info);
        return false;
    }
    while (info->output_scanline < info->output_height) {
        JSAMPROW row = out->scanLine(int(info->output_scanline));
        jpeg_read_scanlines(info, &row, 1);
    }
    jpeg_finish_decompress(info);
    jpeg_destroy_decompress(info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray &data)
{
    if (data.isEmpty())
        return {};
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = fail;
    errors.pub.emit_message = warn;
    errors.pub.output_message = quiet;
    QImage image;
    if (!decodeInto(&info, &errors, data, &image))
        return {};
    return image;
}

QImage loadJpeg(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeJpeg(file.readAll());
}

} // namespace lumo
