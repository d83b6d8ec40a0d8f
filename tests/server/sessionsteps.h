#pragma once

#include "testclient.h"

#include <gtest/gtest.h>
#include <optional>
#include <vector>

// Steps that many session tests share.
namespace servertest {

// Serve the folder of the sample file, with the session log on.
QStringList sampleRootArgs();

// Checks data packets against the file from packet `first` on, byte for byte: `count` of them, or all the
// rest of the file.
void expectPackets(const std::vector<Unit> &packets, const AsfFile &file, quint64 first,
                   std::optional<quint64> count = std::nullopt, quint8 pi = 4);

// Connects, opens `path` and reads its header (into *header if given): ready for StartPlaying.
::testing::AssertionResult readyToPlay(ScriptedClient &client, quint16 port,
                                       const QString &path = "sample.asf", QByteArray *header = nullptr);

// StartPlaying, answered by StartedPlaying.
bool play(ScriptedClient &client, quint32 location, quint32 pi = 4, quint32 asfOffset = 0xFFFFFFFF);

} // namespace servertest
