#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace lumo {

class DownloadController;
class HttpClient;
class Interaction;
class Settings;
class TaskLog;

// The addresses a redirect scan found (at most MaxEntries), or why it found none.
struct RedirectScan
{
    static constexpr int MaxEntries = 20;
    QStringList entries;
    bool tooMany = false; // the scan stopped at MaxEntries
};

// Scans a redirect file or page for MMS addresses: an address starts at one of the six
// prefixes (exact case) and runs to a blank, a line feed, a double quote or the end.
RedirectScan ScanRedirectText(const QByteArray &text);

// The open-media flow: what the open window's OK leads to, by the class of the location.
// Redirect files come over HTTP or from disk and fill the address box; local media files go
// to the header analysis, log files to the log. Runs on the event thread.
class MediaOpener final : public QObject
{
    Q_OBJECT
public:
    MediaOpener(DownloadController &controller, TaskLog &log, Settings &settings, Interaction &person,
                HttpClient &http, QObject *parent = nullptr);

    // File > Open: false (after telling the person) while a connection is open.
    bool mayOpenMedia();
    // The open window's OK: trims the text, remembers it first in MediaList (20 kept) and
    // opens it. Returns the new list, or nullopt for an empty text (nothing happens).
    std::optional<QStringList> acceptLocation(const QString &comboText);
    // Acts on the controller's MediaWindow text.
    void OpenMedia();

    enum class Source
    {
        Http,
        LocalFile,
    };
    // Fills the address box from a redirect file; false after a message or log line.
    bool LoadRedirectList(Source source);
    // Asks an http:// location with the player's agent whether it is a stream.
    bool isHttpStream(const QString &location);
    // Saves a fetched redirect file byte for byte where the person chooses.
    bool SaveRedirectFile(const QByteArray &text);
    // The preview's file: the save file if it is a local media file, else the open one.
    std::optional<QString> previewFile();

    QStringList lastEntries() const { return m_entries; }

Q_SIGNALS:
    // The address box gets these items, the first one as its text.
    void urlListReplaced(const QStringList &items);
    // The address box's text is set (an MMS address opened directly).
    void urlTextSet(const QString &text);
    // New media is being opened: the preview player lets go of the old one.
    void closePreview();

private:
    bool applyScan(const QByteArray &text);
    void refuse(const QString &message,
                const QString &logLine = QCoreApplication::translate("MediaOpener", "操作已经取消"));

    DownloadController &m_controller;
    TaskLog &m_log;
    Settings &m_settings;
    Interaction &m_person;
    HttpClient &m_http;
    QStringList m_entries;
};

} // namespace lumo
