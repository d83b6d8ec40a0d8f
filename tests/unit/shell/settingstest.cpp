#include "shell/settings.h"
#include "tempconfig.h"

namespace lumo {
namespace {

using SettingsTest = test::TempConfigTest;

QString stored(QStringView name)
{
    return RegReadString(settingsKey, name);
}

void put(QStringView name, const QString &value)
{
    RegWriteString(settingsKey, name, value);
}

TEST_F(SettingsTest, EmptyStoreGivesDefaults)
{
    Settings settings;
    settings.load();
    EXPECT_EQ(settings.tcpPort(), QStringLiteral("1755"));
    EXPECT_EQ(settings.udpPort(), QStringLiteral("7000"));
    EXPECT_EQ(settings.initialUdpPort(), QStringLiteral("7000"));
    EXPECT_EQ(settings.soundInterval(), QStringLiteral("10"));
    EXPECT_FALSE(settings.useUdp());
    EXPECT_FALSE(settings.bypassDns());
    EXPECT_FALSE(settings.autoSaveLog());
    EXPECT_FALSE(settings.sendHost());
    EXPECT_EQ(settings.udpBindPort(), 7000);
    EXPECT_FALSE(settings.udpPortChanged());
}

TEST_F(SettingsTest, LoadsStoredValues)
{
    put(u"TCPPort", QStringLiteral("8755"));
    put(u"UDPPort", QStringLiteral("7001"));
    put(u"DoneInterval", QStringLiteral("0"));
    put(u"LastProto", QStringLiteral("UDP"));
    put(u"DNSState", QStringLiteral("IP"));
    put(u"AutoLog", QStringLiteral("on"));
    put(u"SendHost", QStringLiteral("on"));
    Settings settings;
    settings.load();
    EXPECT_EQ(settings.tcpPort(), QStringLiteral("8755"));
    EXPECT_EQ(settings.udpPort(), QStringLiteral("7001"));
    EXPECT_EQ(settings.initialUdpPort(), QStringLiteral("7001"));
    EXPECT_EQ(settings.udpBindPort(), 7001);
    EXPECT_EQ(settings.soundInterval(), QStringLiteral("0"));
    EXPECT_TRUE(settings.useUdp());
    EXPECT_TRUE(settings.bypassDns());
    EXPECT_TRUE(settings.autoSaveLog());
    EXPECT_TRUE(settings.sendHost());
}

struct ChoiceCase
{
    const char16_t *name;
    const char *value;
    bool ticked;
};

class SettingsChoiceTest : public test::TempConfigTest, public ::testing::WithParamInterface<ChoiceCase>
{};

// The stored words compare exactly: any other spelling leaves the box unticked.
TEST_P(SettingsChoiceTest, TicksOnlyForTheExactWord)
{
    const ChoiceCase &c = GetParam();
    const QStringView name(c.name);
    put(name, QString::fromUtf8(c.value));
    Settings settings;
    settings.load();
    const bool ticked = name == u"LastProto"  ? settings.useUdp()
                        : name == u"DNSState" ? settings.bypassDns()
                        : name == u"AutoLog"  ? settings.autoSaveLog()
                                              : settings.sendHost();
    EXPECT_EQ(ticked, c.ticked);
}

INSTANTIATE_TEST_SUITE_P(
    Choices, SettingsChoiceTest,
    ::testing::Values(ChoiceCase{u"LastProto", "UDP", true}, ChoiceCase{u"LastProto", "udp", false},
                      ChoiceCase{u"LastProto", "TCP", false}, ChoiceCase{u"LastProto", " UDP", false},
                      ChoiceCase{u"DNSState", "IP", true}, ChoiceCase{u"DNSState", "ip", false},
                      ChoiceCase{u"DNSState", "Lookup", false}, ChoiceCase{u"AutoLog", "on", true},
                      ChoiceCase{u"AutoLog", "ON", false}, ChoiceCase{u"AutoLog", "1", false},
                      ChoiceCase{u"SendHost", "on", true}, ChoiceCase{u"SendHost", "On", false},
                      ChoiceCase{u"SendHost", "off", false}));

TEST_F(SettingsTest, CloseWithoutChangesStoresAllEightValues)
{
    Settings settings;
    settings.load();
    settings.store();
    EXPECT_EQ(stored(u"TCPPort"), QStringLiteral("1755"));
    EXPECT_EQ(stored(u"UDPPort"), QStringLiteral("7000"));
    EXPECT_EQ(stored(u"DoneInterval"), QStringLiteral("10"));
    EXPECT_EQ(stored(u"LastProto"), QStringLiteral("TCP"));
    EXPECT_EQ(stored(u"DNSState"), QStringLiteral("Lookup"));
    EXPECT_EQ(stored(u"AutoLog"), QStringLiteral("off"));
    EXPECT_EQ(stored(u"SendHost"), QStringLiteral("off"));
    EXPECT_EQ(stored(u"Language"), QStringLiteral("auto"));
}

TEST_F(SettingsTest, StoresTickedBoxesAndFieldsUnchecked)
{
    Settings settings;
    settings.load();
    settings.setTcpPort(QString());
    settings.setSoundInterval(QStringLiteral("abc"));
    settings.setUseUdp(true);
    settings.setBypassDns(true);
    settings.setAutoSaveLog(true);
    settings.setSendHost(true);
    settings.store();
    EXPECT_EQ(stored(u"TCPPort"), QString());
    EXPECT_EQ(stored(u"DoneInterval"), QStringLiteral("abc"));
    EXPECT_EQ(stored(u"LastProto"), QStringLiteral("UDP"));
    EXPECT_EQ(stored(u"DNSState"), QStringLiteral("IP"));
    EXPECT_EQ(stored(u"AutoLog"), QStringLiteral("on"));
    EXPECT_EQ(stored(u"SendHost"), QStringLiteral("on"));

    // An empty stored port gets its default again at the next start.
    Settings next;
    next.load();
    EXPECT_EQ(next.tcpPort(), QStringLiteral("1755"));
    EXPECT_TRUE(next.useUdp());
}

TEST_F(SettingsTest, UdpPortChangeAnsweredNoRevertsFieldAndStore)
{
    Settings settings;
    settings.load();
    settings.setUdpPort(QStringLiteral("7001"));
    settings.setBypassDns(true);
    settings.store();
    ASSERT_TRUE(settings.udpPortChanged());
    EXPECT_EQ(stored(u"UDPPort"), QStringLiteral("7001"));

    settings.revertUdpPort();
    EXPECT_EQ(settings.udpPort(), QStringLiteral("7000"));
    EXPECT_EQ(stored(u"UDPPort"), QStringLiteral("7000"));
    EXPECT_EQ(stored(u"DNSState"), QStringLiteral("IP"));
    EXPECT_FALSE(settings.udpPortChanged());
}

TEST_F(SettingsTest, UdpPortChangedBackAsksNothing)
{
    Settings settings;
    settings.load();
    settings.setUdpPort(QStringLiteral("7001"));
    EXPECT_TRUE(settings.udpPortChanged());
    settings.setUdpPort(QStringLiteral("7000"));
    EXPECT_FALSE(settings.udpPortChanged());
    // The text is compared, not the number.
    settings.setUdpPort(QStringLiteral("07000"));
    EXPECT_TRUE(settings.udpPortChanged());
}

TEST_F(SettingsTest, UdpPortChangeQuestionHasItsBlankLine)
{
    const QStringList parts = Settings::udpPortChangeQuestion().split(u'\n');
    ASSERT_EQ(parts.size(), 6);
    EXPECT_EQ(parts[2], QString(39, u' '));
    EXPECT_TRUE(parts[3].isEmpty());
    EXPECT_EQ(parts[5], QStringLiteral("所有的数据将会被保存."));
}

TEST_F(SettingsTest, AboutUdpTextHasItsFifteenPartsInOrder)
{
    const QString text = Settings::aboutUdpText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("关于 UDP\n\n目前, Lumo")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("错误.\n(感谢阅读这些内容)")));
    EXPECT_TRUE(text.contains(u'\n' + QString(29, u' ') + QStringLiteral("\n\n同样")));
    EXPECT_TRUE(text.contains(u'\n' + QString(64, u' ') + QStringLiteral("\n\n可用的")));
}

// A port that is not a number must not stop the start: the default port is bound instead.
TEST_F(SettingsTest, UnusableStoredUdpPortBindsDefault)
{
    for (const char *text : {"abc", "70000", "-1"}) {
        put(u"UDPPort", QString::fromLatin1(text));
        Settings settings;
        settings.load();
        EXPECT_EQ(settings.udpPort(), QString::fromLatin1(text));
        EXPECT_EQ(settings.udpBindPort(), 7000) << text;
    }
}

TEST_F(SettingsTest, GeometryReadsAsNumberOrNothing)
{
    Settings settings;
    EXPECT_EQ(settings.windowHeight(), std::nullopt);
    settings.setWindowHeight(480);
    settings.setWindowWidth(640);
    settings.setWindowLeft(-20);
    settings.setWindowTop(0);
    EXPECT_EQ(settings.windowHeight(), 480);
    EXPECT_EQ(settings.windowWidth(), 640);
    EXPECT_EQ(settings.windowLeft(), -20);
    EXPECT_EQ(settings.windowTop(), 0);
    EXPECT_EQ(stored(u"FormLeft"), QStringLiteral("-20"));
    put(u"Height", QStringLiteral("tall"));
    EXPECT_EQ(settings.windowHeight(), std::nullopt);
}

TEST_F(SettingsTest, AddressListStoresEachItemWithCrLf)
{
    Settings settings;
    EXPECT_TRUE(settings.addressList().isEmpty());
    const QStringList items = {QStringLiteral("mms://a/x.asf"), QString(), QStringLiteral("mms://主机/y")};
    settings.setAddressList(items);
    EXPECT_EQ(stored(u"URLList"), QStringLiteral("mms://a/x.asf\r\n\r\nmms://主机/y\r\n"));
    EXPECT_EQ(settings.addressList(), items);
    settings.setAddressText(QStringLiteral("mms://a/x.asf"));
    EXPECT_EQ(settings.addressText(), QStringLiteral("mms://a/x.asf"));
}

TEST(ListText, AcceptsAnyLineBreak)
{
    const struct
    {
        const char *text;
        QStringList items;
    } cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\rb\r", {"a", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"\r\n", {""}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(fromListText(QString::fromLatin1(c.text)), c.items) << c.text;
}

TEST_F(SettingsTest, MediaListKeepsNewestTwenty)
{
    Settings settings;
    for (int i = 1; i <= 21; ++i)
        settings.addToRecentLocations(QStringLiteral("mms://h/%1").arg(i));
    const QStringList list = settings.recentLocations();
    ASSERT_EQ(list.size(), 20);
    EXPECT_EQ(list.first(), QStringLiteral("mms://h/21"));
    EXPECT_EQ(list.last(), QStringLiteral("mms://h/2"));

    // An equal entry further down is not removed.
    const QStringList again = settings.addToRecentLocations(QStringLiteral("mms://h/20"));
    EXPECT_EQ(again.mid(0, 3), QStringList({"mms://h/20", "mms://h/21", "mms://h/20"}));
    EXPECT_EQ(settings.recentLocations(), again);
}

TEST_F(SettingsTest, FoldersAndLoginsRoundTrip)
{
    Settings settings;
    EXPECT_EQ(settings.openFolder(), QString());
    settings.setSaveFolder(folderOf(QStringLiteral("/home/u/媒体/clip.asf")));
    settings.setRedirectFolder(QStringLiteral("/a/"));
    settings.setLogFolder(QStringLiteral("/b/"));
    settings.setOpenFolder(QStringLiteral("/c/"));
    settings.setWebLogin(QStringLiteral("Og=="));
    settings.setServerLogin(QStringLiteral("YTpi"));
    EXPECT_EQ(settings.saveFolder(), QStringLiteral("/home/u/媒体/"));
    EXPECT_EQ(settings.redirectFolder(), QStringLiteral("/a/"));
    EXPECT_EQ(settings.logFolder(), QStringLiteral("/b/"));
    EXPECT_EQ(settings.openFolder(), QStringLiteral("/c/"));
    EXPECT_EQ(stored(u"Authh"), QStringLiteral("Og=="));
    EXPECT_EQ(stored(u"Authm"), QStringLiteral("YTpi"));
}

TEST(FolderOf, KeepsEverythingUpToTheLastSlash)
{
    const struct
    {
        const char *path;
        const char *folder;
    } cases[] = {
        {"/home/u/clip.asf", "/home/u/"},
        {"/clip.asf", "/"},
        {"/home/u/dir/", "/home/u/dir/"},
        {"clip.asf", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(folderOf(QString::fromUtf8(c.path)), QString::fromUtf8(c.folder)) << c.path;
}

} // namespace
} // namespace lumo
