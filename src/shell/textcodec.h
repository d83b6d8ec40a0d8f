#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace lumo {

// GBK through glibc's iconv: Qt's own converters may be built without it. Bytes that are
// not GBK decode as U+FFFD; characters GBK cannot hold encode as "?".
QString decodeGbk(QByteArrayView bytes);
QByteArray encodeGbk(const QString &text);

// Text files we read back (logs): UTF-8 when the bytes are valid UTF-8, otherwise GBK, so
// logs written by older versions still read.
QString decodeUtf8OrGbk(QByteArrayView bytes);

// UTF-16LE as ASF headers store their texts: up to the first zero unit, an odd last byte left out.
QString decodeUtf16Le(QByteArrayView bytes);

} // namespace lumo
