#pragma once

#include "shell/interaction.h"

#include <QByteArray>
#include <QString>

namespace lumo {

// A login as the dialogs show it.
struct Credentials
{
    QString user;
    QString password;
};

// The stored form of a login: Base64 of user + ":" + password, both as entered (UTF-8).
QString encodeCredentials(const QString &user, const QString &password);

// Reads a stored login back. Only the first ":" separates, so a colon in the user name moves
// what follows it into the password. Invalid Base64 decodes as far as it goes (bad
// characters are skipped); the text ends at its first zero byte.
Credentials decodeCredentials(const QString &stored);

// What the web-login dialog opens with: the saved web login, or empty fields.
LoginRequest webLoginRequest(const QString &storedWebLogin);

// The web login was confirmed.
struct WebLoginResult
{
    QString httpUser;       // for the HTTP client: trimmed of blanks and control characters
    QString httpPassword;   // likewise
    QString storedWebLogin; // the new web login: the stored form, or "" when not to be saved
};
WebLoginResult acceptWebLogin(const LoginAnswer &answer);

// What the media-server login dialog opens with: the server, the realm label and the saved
// server login (fields left empty when none is saved).
LoginRequest serverLoginRequest(const QString &hostName, const QString &authRealm,
                                const QString &storedServerLogin);

// The media-server login was confirmed.
struct ServerLoginResult
{
    QByteArray authData;       // the login answer sent to the server: the stored form's bytes
    QString storedServerLogin; // the new server login: the stored form, or "" when not to be saved
};
ServerLoginResult acceptServerLogin(const LoginAnswer &answer);

// The realm label: the server's realm text after a leading "realm=", else empty.
QString realmLabel(const QString &authRealm);

} // namespace lumo
