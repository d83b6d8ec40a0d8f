#pragma once

#include "asf/streamlist.h"
#include "asf/streamtype.h"

#include <QByteArrayView>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace lumo {

// Texts of the first three pages of the file-properties window, and the bit-rate lines of the
// statistics page. Field names are the window's control names.
struct FileProperties
{
    // Clip page
    QString Clip;
    QString Author;
    QString Copyright;
    QString Rating;
    QString Location;
    QString Description;
    // Details page
    QString Type;
    QString FileSize;
    QString Length;
    QString VidSize;
    QString Created_Asf;
    QString Created_File;
    // Codec page
    QStringList Version;
    QStringList Codecs;
    // Statistics page (the part that the header gives)
    QStringList BitRateInfo;
};

inline constexpr int maxStreams = 10;
inline constexpr int maxBitRateRecords = 10;

// What the analysis of one ASF header found. The caller copies the task values into its
// DownloadTask and the texts into the window (or the terminal).
struct HeaderAnalysis
{
    bool ok = false;
    QString errorMessage; // the message-box text when not ok

    quint32 StreamCount = 0; // valid entries of StreamNumbers, at most maxStreams
    std::array<quint8, maxStreams> StreamNumbers{};
    quint32 StreamKinds = 0; // 0x1 audio, 0x2 video, 0x4 audio spread
    quint32 AsfFileSize = 0;
    quint32 ResumePacket = 0;
    quint32 SendDuration = 0; // milliseconds
    quint32 MaxBitRate = 0;
    quint64 CreationTime = 0; // FILETIME of the File Properties Object, 0 when absent
    // Every stream with its rate, picture, language and exclusion groups, for the choice of
    // streams and the stream list of the window.
    StreamList streams;

    FileProperties properties;
};

// Analyses the first headerSize bytes of the ASF file at path. streamType is the task's;
// location is the text shown as the clip's location.
// Dates are formatted with QLocale() (the system locale unless the application sets another
// default), as UTC calendar times.
HeaderAnalysis AnalyseAsfHeader(const QString &path, quint32 headerSize, StreamType streamType,
                                const QString &location);

// The same analysis on header bytes already in memory; there is no file, so Created_File stays
// empty.
HeaderAnalysis AnalyseAsfHeaderBytes(QByteArrayView header, StreamType streamType, const QString &location);

// FILETIME (100 ns since 1601-01-01) as a UTC date and time; nullopt for values that are not a
// calendar time (the top bit set).
std::optional<QDateTime> fileTimeToDateTime(quint64 fileTime);

// "date  time" as the properties window shows it, e.g. "Mon, 01 January 2024  09:05:00 PM".
QString formatPropertiesDateTime(const QDateTime &utc, const QLocale &locale = QLocale());

// How many bytes of a local ASF file its analysis reads: the Header Object and the Data
// Object's fields, from the size the file's Header Object states; 32768 when the file states
// none (or an absurd one).
inline constexpr quint32 FallbackHeaderBytes = 32768;
inline constexpr quint64 MaxLocalHeaderBytes = 64u << 20;
quint32 LocalHeaderSize(const QString &path);

} // namespace lumo
