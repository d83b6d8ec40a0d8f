#pragma once

#include "shell/settingsstore.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace lumo {

// Everything the program remembers between runs, with its defaults.
//
// The settings in force while the program runs are the settings window's control values
// (ServerSocket ... Host01Tick): load() fills them once at start, the window edits them, and
// store() writes them back when the window closes. Everything else is read from and written
// to the store on each call.
class Settings
{
public:
    explicit Settings(QStringView key = settingsKey);

    // Fills the control values from the store and fixes InitialUDPPort; missing values get
    // their defaults, and the choices compare exactly ("udp" leaves UDPTick off).
    void load();
    // Writes the seven control values as they stand, unchecked.
    void store() const;

    // Control values of the settings window.
    QString ServerSocket() const { return m_serverSocket; }
    void setServerSocket(const QString &port) { m_serverSocket = port; }
    QString UDPPort() const { return m_udpPort; }
    void setUDPPort(const QString &port) { m_udpPort = port; }
    QString DoneInterval() const { return m_doneInterval; }
    void setDoneInterval(const QString &seconds) { m_doneInterval = seconds; }
    bool UDPTick() const { return m_udpTick; }
    void setUDPTick(bool on) { m_udpTick = on; }
    bool BypassDNS() const { return m_bypassDns; }
    void setBypassDNS(bool on) { m_bypassDns = on; }
    bool AutoLogTick() const { return m_autoLogTick; }
    void setAutoLogTick(bool on) { m_autoLogTick = on; }
    bool Host01Tick() const { return m_host01Tick; }
    void setHost01Tick(bool on) { m_host01Tick = on; }

    // The UDP port in force since start: a changed port needs a restart.
    QString InitialUDPPort() const { return m_initialUdpPort; }
    // The local port to bind at start: InitialUDPPort as a number, or the default port when
    // that text is not a port number.
    quint16 udpBindPort() const;

    // The UDP port field differs from the port in force; the window then asks whether to quit.
    bool udpPortChanged() const;
    static QString udpPortChangeQuestion();
    static QString udpPortChangeCancelledText();
    // The answer No: the field gets the port in force back, and that port is stored again.
    void revertUdpPort();

    // The text of the settings window's About UDP button.
    static QString aboutUdpText();

    // Main-window geometry; nullopt when missing or not a whole number.
    std::optional<int> Height() const;
    void setHeight(int value) const;
    std::optional<int> Width() const;
    void setWidth(int value) const;
    std::optional<int> FormLeft() const;
    void setFormLeft(int value) const;
    std::optional<int> FormTop() const;
    void setFormTop(int value) const;

    // The address box: its text and its items.
    QString URLSelected() const;
    void setURLSelected(const QString &text) const;
    QStringList URLList() const;
    void setURLList(const QStringList &items) const;

    // Start folders of the file dialogs, each ending in "/"; empty when none was chosen yet.
    QString AsfDir() const;
    void setAsfDir(const QString &folder) const;
    QString AsxDir() const;
    void setAsxDir(const QString &folder) const;
    QString LogDir() const;
    void setLogDir(const QString &folder) const;
    QString OpenDir() const;
    void setOpenDir(const QString &folder) const;

    // Recent locations of the open-media window, newest first.
    QStringList MediaList() const;
    void setMediaList(const QStringList &items) const;
    // Puts an address in front of the stored list (an equal entry further down stays) and
    // keeps the newest maxMediaListSize; returns the new list.
    QStringList addToMediaList(const QString &address) const;
    static constexpr qsizetype maxMediaListSize = 20;

    // Saved logins in their stored (Base64) form; "" when none is saved.
    QString Authh() const;
    void setAuthh(const QString &stored) const;
    QString Authm() const;
    void setAuthm(const QString &stored) const;

private:
    QString read(QStringView name) const;
    void write(QStringView name, const QString &value) const;
    std::optional<int> readInt(QStringView name) const;

    QString m_key;
    QString m_serverSocket;
    QString m_udpPort;
    QString m_doneInterval;
    bool m_udpTick = false;
    bool m_bypassDns = false;
    bool m_autoLogTick = false;
    bool m_host01Tick = false;
    QString m_initialUdpPort;
};

// The folder part of a chosen path, up to and including its last "/" ("" when it has none).
QString folderOf(const QString &path);

// List text: each item followed by CR LF. Reading accepts CR LF, CR or LF between items.
QString toListText(const QStringList &items);
QStringList fromListText(const QString &text);

} // namespace lumo
