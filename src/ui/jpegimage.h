#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace lumo {

// Decodes a baseline or progressive JPEG (grey, YCbCr or RGB) through libjpeg into an RGB
// image. Damaged or unsupported data, a warning from the decoder included, gives a null
// image; it never ends the program.
QImage decodeJpeg(const QByteArray &data);

// The same for a file or a Qt resource (":/...").
QImage loadJpeg(const QString &path);

} // namespace lumo
