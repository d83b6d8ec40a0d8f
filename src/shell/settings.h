#pragma once

#include "shell/language.h"
#include "shell/settingsstore.h"
#include "shell/streamrule.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace lumo {

// Everything the program remembers between runs, with its defaults.
//
// The settings in force while the program runs are the settings window's control values
// (tcpPort ... language): load() fills them once at start, the window edits them, and
// store() writes them back when the window closes. Everything else is read from and written
// to the store on each call.
class Settings
{
public:
    explicit Settings(QStringView key = settingsKey);

    // Fills the control values from the store and fixes InitialUDPPort; missing values get
    // their defaults, and the choices compare exactly ("udp" leaves UDPTick off).
    void load();
    // Writes the control values as they stand, unchecked.
    void store();

    // Control values of the settings window.
    QString tcpPort() const { return m_tcpPort; }
    void setTcpPort(const QString &port) { m_tcpPort = port; }
    QString udpPort() const { return m_udpPort; }
    void setUdpPort(const QString &port) { m_udpPort = port; }
    QString soundInterval() const { return m_soundInterval; }
    void setSoundInterval(const QString &seconds) { m_soundInterval = seconds; }
    bool useUdp() const { return m_useUdp; }
    void setUseUdp(bool on) { m_useUdp = on; }
    bool bypassDns() const { return m_bypassDns; }
    void setBypassDns(bool on) { m_bypassDns = on; }
    bool autoSaveLog() const { return m_autoSaveLog; }
    void setAutoSaveLog(bool on) { m_autoSaveLog = on; }
    bool sendHost() const { return m_sendHost; }
    void setSendHost(bool on) { m_sendHost = on; }
    // The language for the next start; files without one read as Auto.
    LanguageChoice language() const { return m_language; }
    void setLanguage(LanguageChoice choice) { m_language = choice; }
    // Which streams a recording asks for; files without a choice, or with one this version
    // cannot read, read as Auto.
    StreamRule streamRule() const { return m_streamRule; }
    void setStreamRule(const StreamRule &rule) { m_streamRule = rule; }

    // The UDP port in force since start: a changed port needs a restart.
    QString initialUdpPort() const { return m_initialUdpPort; }
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
    std::optional<int> windowHeight() const;
    void setWindowHeight(int value);
    std::optional<int> windowWidth() const;
    void setWindowWidth(int value);
    std::optional<int> windowLeft() const;
    void setWindowLeft(int value);
    std::optional<int> windowTop() const;
    void setWindowTop(int value);

    // The address box: its text and its items.
    QString addressText() const;
    void setAddressText(const QString &text);
    QStringList addressList() const;
    void setAddressList(const QStringList &items);

    // Start folders of the file dialogs, each ending in "/"; empty when none was chosen yet.
    QString saveFolder() const;
    void setSaveFolder(const QString &folder);
    QString redirectFolder() const;
    void setRedirectFolder(const QString &folder);
    QString logFolder() const;
    void setLogFolder(const QString &folder);
    QString openFolder() const;
    void setOpenFolder(const QString &folder);

    // Recent locations of the open-media window, newest first.
    QStringList recentLocations() const;
    void setRecentLocations(const QStringList &items);
    // Puts an address in front of the stored list (an equal entry further down stays) and
    // keeps the newest maxMediaListSize; returns the new list.
    QStringList addToRecentLocations(const QString &address);
    static constexpr qsizetype maxMediaListSize = 20;

    // Saved logins in their stored (Base64) form; "" when none is saved.
    QString webLogin() const;
    void setWebLogin(const QString &stored);
    QString serverLogin() const;
    void setServerLogin(const QString &stored);

private:
    QString read(QStringView name) const;
    void write(QStringView name, const QString &value);
    std::optional<int> readInt(QStringView name) const;

    QString m_key;
    QString m_tcpPort;
    QString m_udpPort;
    QString m_soundInterval;
    bool m_useUdp = false;
    bool m_bypassDns = false;
    bool m_autoSaveLog = false;
    bool m_sendHost = false;
    LanguageChoice m_language = LanguageChoice::Auto;
    StreamRule m_streamRule;
    QString m_initialUdpPort;
};

// The folder part of a chosen path, up to and including its last "/" ("" when it has none).
QString folderOf(const QString &path);

// List text: each item followed by CR LF. Reading accepts CR LF, CR or LF between items.
QString toListText(const QStringList &items);
QStringList fromListText(const QString &text);

} // namespace lumo
