#include "mms/credentials.h"

#include "shell/pathtext.h"

namespace lumo {

namespace {

constexpr QStringView realmPrefix = u"realm=";

} // namespace

QString encodeCredentials(const QString &user, const QString &password)
{
    return QString::fromLatin1((user + u':' + password).toUtf8().toBase64());
}

Credentials decodeCredentials(const QString &stored)
{
    QByteArray text = QByteArray::fromBase64(stored.toLatin1());
    const qsizetype zero = text.indexOf('\0');
    if (zero >= 0)
        text.truncate(zero);
    const qsizetype colon = text.indexOf(':');
    if (colon < 0)
        return {QString::fromUtf8(text), {}};
    return {QString::fromUtf8(text.left(colon)), QString::fromUtf8(text.mid(colon + 1))};
}

LoginRequest webLoginRequest(const QString &storedWebLogin)
{
    LoginRequest request;
    if (!storedWebLogin.isEmpty()) {
        const Credentials saved = decodeCredentials(storedWebLogin);
        request.savedUser = saved.user;
        request.savedPassword = saved.password;
    }
    return request;
}

WebLoginResult acceptWebLogin(const LoginAnswer &answer)
{
    WebLoginResult result;
    result.httpUser = TrimControls(answer.user);
    result.httpPassword = TrimControls(answer.password);
    if (answer.savePassword)
        result.storedWebLogin = encodeCredentials(answer.user, answer.password);
    return result;
}

LoginRequest serverLoginRequest(const QString &hostName, const QString &authRealm,
                                const QString &storedServerLogin)
{
    LoginRequest request = webLoginRequest(storedServerLogin);
    request.host = hostName;
    request.realm = realmLabel(authRealm);
    return request;
}

ServerLoginResult acceptServerLogin(const LoginAnswer &answer)
{
    ServerLoginResult result;
    const QString stored = encodeCredentials(answer.user, answer.password);
    result.authData = stored.toLatin1();
    if (answer.savePassword)
        result.storedServerLogin = stored;
    return result;
}

QString realmLabel(const QString &authRealm)
{
    if (!authRealm.startsWith(realmPrefix))
        return {};
    // The realm keeps the server's terminating zero unit; the label shows the text before it.
    const QString rest = authRealm.mid(realmPrefix.size());
    const qsizetype end = rest.indexOf(QChar(0));
    return end < 0 ? rest : rest.left(end);
}

} // namespace lumo
