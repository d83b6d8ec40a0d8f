#pragma once

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
    int ok = 0;           // 1 analysed, 0 failed
    QString errorMessage; // the message-box text when ok is 0

    quint32 StreamCount = 0; // valid entries of StreamNumbers, at most maxStreams
    std::array<quint8, maxStreams> StreamNumbers{};
    quint32 StreamKinds = 0; // 0x1 audio, 0x2 video, 0x4 audio spread
    quint32 AsfFileSize = 0;
    quint32 ResumePacket = 0;
    quint32 SendDuration = 0; // milliseconds
    quint32 MaxBitRate = 0;
    quint64 CreationTime = 0; // FILETIME of the File Properties Object, 0 when absent

    FileProperties properties;
};

// Analyses the first headerSize bytes of the ASF file at path. streamType is the task's
// (1 = live broadcast); location is the text shown as the clip's location.
// Dates are formatted with QLocale() (the system locale unless the application sets another
// default), as UTC calendar times.
HeaderAnalysis AnalyseAsfHeader(const QString &path, quint32 headerSize, quint32 streamType,
                                const QString &location);

// The same analysis on header bytes already in memory; there is no file, so Created_File stays
// empty.
HeaderAnalysis AnalyseAsfHeaderBytes(QByteArrayView header, quint32 streamType, const QString &location);

// FILETIME (100 ns since 1601-01-01) as a UTC date and time; nullopt for values that are not a
// calendar time (the top bit set).
std::optional<QDateTime> fileTimeToDateTime(quint64 fileTime);

// "date  time" as the properties window shows it, e.g. "Mon, 01 January 2024  09:05:00 PM".
QString formatPropertiesDateTime(const QDateTime &utc, const QLocale &locale = QLocale());

} // namespace lumo
