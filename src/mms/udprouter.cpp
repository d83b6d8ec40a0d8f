#include "mms/udprouter.h"

#include "mms/logging.h"
#include "mms/udpendpoint.h"
#include "mms/udpintake.h"

#include <algorithm>

namespace lumo {

UdpRouter::UdpRouter(UdpEndpoint &endpoint) : QObject(&endpoint), m_endpoint(endpoint)
{
    setObjectName(QStringLiteral("lumo-udp-router"));
    connect(&endpoint, &UdpEndpoint::dataReceived, this, &UdpRouter::readPending);
}

UdpRouter &UdpRouter::of(UdpEndpoint &endpoint)
{
    if (auto *router =
            endpoint.findChild<UdpRouter *>(QStringLiteral("lumo-udp-router"), Qt::FindDirectChildrenOnly))
        return *router;
    return *new UdpRouter(endpoint); // owned by the endpoint
}

bool UdpRouter::canTellApart(const QHostAddress &server, quint16 port) const
{
    return std::none_of(m_intakes.begin(), m_intakes.end(), [&](const UdpMediaIntake *intake) {
        return intake->serverPort() == port &&
               intake->server().isEqual(server, QHostAddress::TolerantConversion);
    });
}

void UdpRouter::add(UdpMediaIntake *intake)
{
    if (std::find(m_intakes.begin(), m_intakes.end(), intake) == m_intakes.end())
        m_intakes.push_back(intake);
}

void UdpRouter::remove(UdpMediaIntake *intake)
{
    m_intakes.erase(std::remove(m_intakes.begin(), m_intakes.end(), intake), m_intakes.end());
}

UdpMediaIntake *UdpRouter::receiverOf(const QHostAddress &sender, quint16 port) const
{
    UdpMediaIntake *byAddress = nullptr;
    int atAddress = 0;
    for (UdpMediaIntake *intake : m_intakes) {
        if (!intake->server().isEqual(sender, QHostAddress::TolerantConversion))
            continue;
        if (intake->serverPort() == port)
            return intake;
        byAddress = intake;
        ++atAddress;
    }
    // A server may send its data from another port than the one it was asked on.
    return atAddress == 1 ? byAddress : nullptr;
}

void UdpRouter::readPending()
{
    static thread_local QByteArray datagram(UdpMediaIntake::LargestDatagram + 1, Qt::Uninitialized);
    std::vector<UdpMediaIntake *> received;
    bool unrequestedSeen = false;
    while (m_endpoint.hasPendingDatagram()) {
        const qint64 pending = m_endpoint.pendingDatagramSize();
        QHostAddress sender;
        quint16 senderPort = 0;
        const qint64 got = m_endpoint.readDatagram(
            datagram.data(), pending > UdpMediaIntake::LargestDatagram ? 0 : datagram.size(), &sender,
            &senderPort);
        if (m_intakes.empty()) {
            unrequestedSeen = true;
            continue;
        }
        UdpMediaIntake *intake = receiverOf(sender, senderPort);
        if (!intake) {
            // With one task here, it says what it dropped; among several, nobody is told.
            if (m_intakes.size() == 1)
                m_intakes.front()->stranger(sender);
            qCDebug(lcMms) << "UDP datagram from" << sender << senderPort << "for no task";
            continue;
        }
        if (pending > UdpMediaIntake::LargestDatagram) {
            intake->tooLarge();
            continue;
        }
        if (got <= 0)
            continue;
        intake->deliver(datagram.constData(), qsizetype(got));
        if (std::find(received.begin(), received.end(), intake) == received.end())
            received.push_back(intake);
    }
    for (UdpMediaIntake *intake : received)
        intake->askAgain();
    if (unrequestedSeen)
        Q_EMIT unrequested();
}

} // namespace lumo
