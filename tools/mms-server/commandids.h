#pragma once

#include <QtGlobal>

namespace mmsserver {

// Command ids, the low 16 bits of a message's MID at offset 36.

// Client -> server.
enum class ClientCommand : quint16
{
    Connect = 0x01,
    ConnectFunnel = 0x02, // chooses TCP or UDP for the data
    OpenFile = 0x05,
    StartPlaying = 0x07,
    StopPlaying = 0x09,
    CloseFile = 0x0D,
    ReadBlock = 0x15, // asks for the ASF header
    FunnelInfo = 0x18,
    SecurityResponse = 0x1A,
    Pong = 0x1B,
    CancelReadBlock = 0x25,
    StartStriding = 0x28, // fast forward or rewind
    Logging = 0x32,
    StreamSwitch = 0x33, // stream selection
};

// Server -> client.
enum class ServerReply : quint16
{
    ConnectedEx = 0x01,
    ConnectedFunnel = 0x02,
    DisconnectedFunnel = 0x03,
    StartedPlaying = 0x05,
    OpenFile = 0x06,
    StartStriding = 0x0A,
    ReadBlock = 0x11,
    FunnelInfo = 0x15,
    SecurityChallenge = 0x1A,
    Ping = 0x1B,
    EndOfStream = 0x1E,
    StreamSwitch = 0x21,
};

} // namespace mmsserver
