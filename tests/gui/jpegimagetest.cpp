// The About picture's decoder: our JPEG decodes; damaged data gives a null image, not a crash.

#include "ui/jpegimage.h"
#include "ui/aboutwindow.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QRandomGenerator>

namespace lumo::test {
namespace {

QByteArray aboutJpeg()
{
    QFile file(QStringLiteral(":/lumo/about.jpg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(JpegImage, DecodesTheBuiltInPicture)
{
    const QImage image = AboutWindow::picture();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(210, 178));
    // The picture is dark blue with lighter rings: blue leads in a corner far from the rings.
    const QColor corner = image.pixelColor(image.width() - 1, 0);
    EXPECT_GT(corner.blue(), corner.red() + 50);
    EXPECT_EQ(decodeJpeg(aboutJpeg()), image);
}

TEST(JpegImage, DamagedDataGivesANullImage)
{
    const QByteArray good = aboutJpeg();
    ASSERT_GT(good.size(), 1000);
    // Cut anywhere, down to the last two bytes (only the end marker missing): libjpeg would
    // fill the rest with grey and call it a picture.
    for (qsizetype length :
         {qsizetype(0), qsizetype(1), qsizetype(2), qsizetype(20), good.size() / 2, good.size() - 2})
        EXPECT_TRUE(decodeJpeg(good.left(length)).isNull()) << "cut at " << length;

    QByteArray garbage(4096, Qt::Uninitialized);
    QRandomGenerator random(8);
    for (char &byte : garbage)
        byte = char(random.bounded(256));
    EXPECT_TRUE(decodeJpeg(garbage).isNull());
    // A JPEG start marker followed by noise.
    EXPECT_TRUE(decodeJpeg(QByteArray("\xFF\xD8\xFF", 3) + garbage).isNull());

    // Scrambled entropy-coded data after an intact header.
    QByteArray scrambled = good;
    for (qsizetype i = scrambled.size() / 3; i < scrambled.size() - 2; i += 7)
        scrambled[i] = char(random.bounded(256));
    EXPECT_TRUE(decodeJpeg(scrambled).isNull());

    // A header announcing 65000 x 65000 pixels is refused before anything that size is made.
    QByteArray huge = good;
    const qsizetype sof = huge.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    for (int i : {5, 7}) {
        huge[sof + i] = char(0xFD);
        huge[sof + i + 1] = char(0xE8);
    }
    EXPECT_TRUE(decodeJpeg(huge).isNull());

    EXPECT_TRUE(loadJpeg(QStringLiteral("/nonexistent/about.jpg")).isNull());
}

} // namespace
} // namespace lumo::test
