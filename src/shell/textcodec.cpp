#include "shell/textcodec.h"

#include <QStringDecoder>

#include <algorithm>
#include <cerrno>
#include <iconv.h>
#include <memory>
#include <type_traits>

namespace lumo {

namespace {

struct IconvCloser
{
    void operator()(iconv_t cd) const { iconv_close(cd); }
};
using IconvHandle = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t utf8SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0)
        return 4;
    if (lead >= 0xE0)
        return 3;
    if (lead >= 0xC0)
        return 2;
    return 1;
}

// Converts with iconv. An input sequence that cannot be converted is skipped (one byte, or
// one whole UTF-8 character when converting from UTF-8) and `replacement` written instead.
QByteArray convert(const char *to, const char *from, QByteArrayView input, QByteArrayView replacement)
{
    const iconv_t raw = iconv_open(to, from);
    if (raw == reinterpret_cast<iconv_t>(-1))
        return {};
    const IconvHandle cd(raw);
    const bool fromUtf8 = qstrcmp(from, "UTF-8") == 0;

    QByteArray out;
    out.reserve(input.size() * 2);
    char *in = const_cast<char *>(input.data()); // iconv's signature; the input is not written
    size_t inLeft = static_cast<size_t>(input.size());
    char buffer[4096];
    while (inLeft > 0) {
        char *outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, outPtr - buffer);
        if (rc != static_cast<size_t>(-1) || errno == E2BIG)
            continue;
        // EILSEQ, or EINVAL for a sequence cut off at the end.
        const size_t skip = fromUtf8 ? utf8SequenceLength(static_cast<unsigned char>(*in)) : 1;
        in += std::min(inLeft, skip);
        inLeft -= std::min(inLeft, skip);
        out.append(replacement);
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

} // namespace

QString decodeGbk(QByteArrayView bytes)
{
    return QString::fromUtf8(convert("UTF-8", "GBK", bytes, "\xEF\xBF\xBD"));
}

QByteArray encodeGbk(const QString &text)
{
    return convert("GBK", "UTF-8", text.toUtf8(), "?");
}

QString decodeUtf8OrGbk(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return decodeGbk(bytes);
}

QString decodeUtf16Le(QByteArrayView bytes)
{
    QString out;
    out.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8);
        if (unit == 0)
            break;
        out.append(QChar(unit));
    }
    return out;
}

} // namespace lumo
