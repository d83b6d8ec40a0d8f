#include "sessionsteps.h"

#include <QFileInfo>

namespace servertest {

QStringList sampleRootArgs()
{
    return {"--root", QFileInfo(Media::sample()).absolutePath(), "-v"};
}

void expectPackets(const std::vector<Unit> &packets, const AsfFile &file, quint64 first,
                   std::optional<quint64> count, quint8 pi)
{
    ASSERT_EQ(packets.size(), count.value_or(file.packetCount - first));
    for (std::size_t i = 0; i < packets.size(); ++i) {
        const Unit &p = packets[i];
        ASSERT_EQ(p.location(), first + i);
        ASSERT_EQ(p.kind(), pi);
        ASSERT_EQ(p.flags(), quint8(i)) << "AFFlags counts the packets of this session";
        ASSERT_EQ(u16(p.bytes, 6), file.packetSize + 8);
        ASSERT_EQ(p.payload(), file.packet(first + i)) << "packet " << first + i;
    }
}

::testing::AssertionResult readyToPlay(ScriptedClient &client, quint16 port, const QString &path,
                                       QByteArray *header)
{
    if (!client.connectTo(port))
        return ::testing::AssertionFailure() << "no connection";
    const auto opened = client.open(path);
    if (!opened)
        return ::testing::AssertionFailure() << "no OpenFile reply";
    if (opened->hr() != 0)
        return ::testing::AssertionFailure() << "OpenFile failed with hr " << std::hex << opened->hr();
    const auto read = client.readHeader();
    if (!read)
        return ::testing::AssertionFailure() << "no header";
    if (header)
        *header = *read;
    return ::testing::AssertionSuccess();
}

bool play(ScriptedClient &client, quint32 location, quint32 pi, quint32 asfOffset)
{
    client.startPlaying(location, pi, asfOffset);
    return client.expect(fromServer::startedPlaying).has_value();
}

} // namespace servertest
