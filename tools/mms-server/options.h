#pragma once

#include "commandids.h"
#include "mediasource.h"

#include <optional>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace mmsserver {

enum class Pace
{
    Full,
    Realtime
};

struct HttpRedirect
{
    QString from; // a request path, starting with '/'
    QString to;   // sent as it is in Location
};

struct ServerOptions
{
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 1755;
    QString root = QStringLiteral(".");
    bool verbose = false;
    bool exclusiveVideo = false; // serve several video streams as alternatives of one another
    bool live = false;
    std::optional<quint32> liveSeconds;
    Pace pace = Pace::Full;
    quint64 rateBytesPerSecond = 0; // 0 = unlimited
    quint32 pingEverySeconds = 30;  // 0 = never
    std::optional<QString> user;
    QString password;
    QString realm = QStringLiteral("lumo-mms-server");
    QMap<ClientCommand, quint32> errorOn; // hr carried by the reply to that command
    std::optional<quint64> dropAfter;
    bool closeAfterEnd = false;
    bool stripPadding = false;
    std::optional<quint64> corruptAfter;
    bool drip = false;
    quint32 udpDropEvery = 0;
    bool noResend = false;
    QList<SyntheticSpec> synthetic;

    // MMS over HTTP
    bool noMmst = false; // close binary MMS connections at once
    std::optional<int> httpStatus;
    QList<HttpRedirect> httpRedirects;
    quint32 headerChunkBytes = maxMmsPacketSize; // payload of one $H chunk
    std::optional<quint64> streamChangeAfter;
    QString streamChangeHeader; // the entry after the change; empty: the same one again
    quint64 metadataEvery = 0;  // 0 = never
};

struct OptionsResult
{
    ServerOptions options;
    bool showHelp = false;
    QString helpText;
    QString error; // non-empty: refuse to start
};

OptionsResult parseOptions(const QStringList &arguments);

} // namespace mmsserver
