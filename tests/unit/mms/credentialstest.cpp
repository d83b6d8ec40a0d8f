#include "mms/credentials.h"

#include <gtest/gtest.h>

namespace lumo {
namespace {

struct RoundTripCase
{
    const char *user;
    const char *password;
    const char *stored;
    const char *readUser;
    const char *readPassword;
};

class CredentialRoundTrip : public ::testing::TestWithParam<RoundTripCase>
{};

TEST_P(CredentialRoundTrip, StoredFormReadsBack)
{
    const RoundTripCase &c = GetParam();
    const QString stored = encodeCredentials(QString::fromUtf8(c.user), QString::fromUtf8(c.password));
    if (c.stored) {
        EXPECT_EQ(stored, QString::fromLatin1(c.stored));
    }
    EXPECT_FALSE(stored.contains(u'\n'));
    const Credentials read = decodeCredentials(stored);
    EXPECT_EQ(read.user, QString::fromUtf8(c.readUser));
    EXPECT_EQ(read.password, QString::fromUtf8(c.readPassword));
}

INSTANTIATE_TEST_SUITE_P(
    Logins, CredentialRoundTrip,
    ::testing::Values(
        RoundTripCase{"Aladdin", "open sesame", "QWxhZGRpbjpvcGVuIHNlc2FtZQ==", "Aladdin", "open sesame"},
        // Only the first colon separates: a colon in the password survives...
        RoundTripCase{"alice", "pa:ss:", nullptr, "alice", "pa:ss:"},
        // ...but one in the user name moves the rest into the password.
        RoundTripCase{"al:ice", "pw", nullptr, "al", "ice:pw"},
        // Nothing entered still stores the colon, so the value is not "nothing saved".
        RoundTripCase{"", "", "Og==", "", ""}, RoundTripCase{"  bob ", " pw\t", nullptr, "  bob ", " pw\t"},
        RoundTripCase{"用户", "密码", nullptr, "用户", "密码"},
        RoundTripCase{"a-rather-long-user-name-for-a-line", "and-a-rather-long-password-too-0123456789",
                      nullptr, "a-rather-long-user-name-for-a-line",
                      "and-a-rather-long-password-too-0123456789"}));

TEST(DecodeCredentials, OddStoredValues)
{
    const struct
    {
        QString stored;
        const char *user;
        const char *password;
    } cases[] = {
        {QString::fromLatin1(QByteArray("justuser").toBase64()), "justuser", ""},
        {QString::fromLatin1(QByteArray("ab\0:cd", 6).toBase64()), "ab", ""},
        {QString::fromLatin1(QByteArray("u:p\0junk", 8).toBase64()), "u", "p"},
        // Bad characters are skipped and the rest decoded: "dTpw" is "u:p".
        {QStringLiteral("dT*pw!"), "u", "p"},
        {QStringLiteral("!!!"), "", ""},
    };
    for (const auto &c : cases) {
        const Credentials read = decodeCredentials(c.stored);
        EXPECT_EQ(read.user, QString::fromUtf8(c.user)) << qPrintable(c.stored);
        EXPECT_EQ(read.password, QString::fromUtf8(c.password)) << qPrintable(c.stored);
    }
}

TEST(WebLogin, ClientGetsTrimmedLoginStoreKeepsItAsEntered)
{
    const WebLoginResult ticked =
        acceptWebLogin({QStringLiteral(" \tbob  "), QStringLiteral(" secret "), true});
    EXPECT_EQ(ticked.httpUser, QStringLiteral("bob"));
    EXPECT_EQ(ticked.httpPassword, QStringLiteral("secret"));
    EXPECT_EQ(decodeCredentials(ticked.storedWebLogin).user, QStringLiteral(" \tbob  "));
    EXPECT_EQ(decodeCredentials(ticked.storedWebLogin).password, QStringLiteral(" secret "));

    // Unticked: the client still gets the login, an earlier saved one is erased.
    const WebLoginResult unticked = acceptWebLogin({QStringLiteral("bob"), QStringLiteral("pw"), false});
    EXPECT_EQ(unticked.httpUser, QStringLiteral("bob"));
    EXPECT_EQ(unticked.storedWebLogin, QString());
    const LoginRequest next = webLoginRequest(unticked.storedWebLogin);
    EXPECT_EQ(next.savedUser, QString());
    EXPECT_EQ(next.savedPassword, QString());
}

TEST(WebLogin, EmptyTickedLoginIsStoredAsAColon)
{
    const WebLoginResult result = acceptWebLogin({QString(), QString(), true});
    EXPECT_EQ(result.storedWebLogin, QStringLiteral("Og=="));
    const LoginRequest next = webLoginRequest(result.storedWebLogin);
    EXPECT_EQ(next.savedUser, QString());
    EXPECT_EQ(next.savedPassword, QString());
}

TEST(ServerLogin, AnswerIsTheStoredFormAndSavingIsOptional)
{
    const ServerLoginResult ticked = acceptServerLogin({QStringLiteral("id"), QStringLiteral("p:w"), true});
    EXPECT_EQ(ticked.authData, QByteArray("aWQ6cDp3"));
    EXPECT_EQ(ticked.storedServerLogin, QStringLiteral("aWQ6cDp3"));

    const ServerLoginResult unticked =
        acceptServerLogin({QStringLiteral("id"), QStringLiteral("p:w"), false});
    EXPECT_EQ(unticked.authData, QByteArray("aWQ6cDp3"));
    EXPECT_EQ(unticked.storedServerLogin, QString());

    const LoginRequest request = serverLoginRequest(
        QStringLiteral("media.example"), QStringLiteral("realm=Members"), ticked.storedServerLogin);
    EXPECT_EQ(request.host, QStringLiteral("media.example"));
    EXPECT_EQ(request.realm, QStringLiteral("Members"));
    EXPECT_EQ(request.savedUser, QStringLiteral("id"));
    EXPECT_EQ(request.savedPassword, QStringLiteral("p:w"));
}

TEST(RealmLabel, OnlyAfterAnExactRealmPrefix)
{
    const struct
    {
        const char *authRealm;
        const char *label;
    } cases[] = {
        {"realm=Members", "Members"},
        {"realm=", ""},
        {"Realm=Members", ""},
        {"members", ""},
        {"", ""},
        {" realm=x", ""},
        {"realm=a=b", "a=b"},
        {"realm=一realm=二", "一realm=二"},
    };
    // The realm as received ends with the server's zero unit, which the label does not show.
    EXPECT_EQ(realmLabel(QStringLiteral("realm=\"lumo\"") + QChar(0)), QStringLiteral("\"lumo\""));
    for (const auto &c : cases) {
        EXPECT_EQ(realmLabel(QString::fromUtf8(c.authRealm)), QString::fromUtf8(c.label)) << c.authRealm;
        // The site is shown whatever the realm.
        EXPECT_EQ(serverLoginRequest(QStringLiteral("h"), QString::fromUtf8(c.authRealm), QString()).host,
                  QStringLiteral("h"));
    }
}

} // namespace
} // namespace lumo
