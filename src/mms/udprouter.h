#pragma once

#include <QHostAddress>
#include <QObject>

#include <vector>

namespace lumo {

class UdpEndpoint;
class UdpMediaIntake;

// Hands the datagrams of one UDP endpoint to the tasks they belong to, on the event thread.
// Several tasks may share the endpoint: a datagram goes to the task whose server (address and
// port) sent it; one from a known address but another port goes to the only task at that
// address, if there is just one. Datagrams nobody asked for are dropped.
class UdpRouter final : public QObject
{
    Q_OBJECT
public:
    // The router of an endpoint, made with it on first use.
    static UdpRouter &of(UdpEndpoint &endpoint);

    UdpEndpoint &endpoint() { return m_endpoint; }

    // Whether a task receiving from this server could share the endpoint: no task here
    // receives from the same address and port.
    bool canTellApart(const QHostAddress &server, quint16 port) const;
    void add(UdpMediaIntake *intake);
    void remove(UdpMediaIntake *intake);

    // Reads every waiting datagram and hands each on.
    void readPending();

Q_SIGNALS:
    // Datagrams came while no task receives over UDP here.
    void unrequested();

private:
    explicit UdpRouter(UdpEndpoint &endpoint);
    UdpMediaIntake *receiverOf(const QHostAddress &sender, quint16 port) const;

    UdpEndpoint &m_endpoint;
    std::vector<UdpMediaIntake *> m_intakes;
};

} // namespace lumo
