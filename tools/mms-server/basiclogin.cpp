#include "basiclogin.h"

namespace mmsserver {

std::optional<Credentials> basicCredentials(ByteView token)
{
    QByteArray text(token.data(), token.size());
    const qsizetype nul = text.indexOf('\0');
    if (nul >= 0)
        text.truncate(nul);
    text = text.trimmed();
    if (text.startsWith("Basic "))
        text = text.mid(6).trimmed();
    const auto decoded = QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return std::nullopt;
    const QString plain = QString::fromUtf8(*decoded);
    const qsizetype colon = plain.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return std::nullopt;
    return Credentials{plain.left(colon), plain.mid(colon + 1)};
}

bool loginMatches(const ServerOptions &options, const std::optional<Credentials> &credentials)
{
    return options.user && credentials && credentials->user == *options.user &&
           credentials->password == options.password;
}

} // namespace mmsserver
