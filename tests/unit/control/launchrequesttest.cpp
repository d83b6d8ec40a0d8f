#include "control/launchrequest.h"

#include <gtest/gtest.h>
#include <QDir>

using namespace lumo;

// What a link, a file or a typed argument handed to `lumo` asks for.
TEST(LaunchRequest, ClassifiesLinksAndFiles)
{
    const struct
    {
        const char *argument;
        LaunchKind kind;
        QString text;
    } cases[] = {
        {"mms://host/clip.asf", LaunchKind::Address, "mms://host/clip.asf"},
        {"  MMST://host/a.asf\n", LaunchKind::Address, "MMST://host/a.asf"},
        {"mmsu://host/a", LaunchKind::Address, "mmsu://host/a"},
        {"mmsh://host/a", LaunchKind::Address, "mmsh://host/a"},
        {"http://host/list.asx", LaunchKind::Address, "http://host/list.asx"},
        {"/data/show.ASX", LaunchKind::RedirectFile, "/data/show.ASX"},
        {"file:///data/radio.wax", LaunchKind::RedirectFile, "/data/radio.wax"},
        {"/data/clip.wmv", LaunchKind::MediaFile, "/data/clip.wmv"},
        {"file:///data/%E8%8A%82%E7%9B%AE.wma", LaunchKind::MediaFile, "/data/节目.wma"},
        {"/data/notes.txt", LaunchKind::Unknown, "/data/notes.txt"},
        {"ftp://host/a.asf", LaunchKind::Unknown, "ftp://host/a.asf"},
    };
    for (const auto &c : cases) {
        const LaunchRequest request = classifyLaunchArgument(QString::fromUtf8(c.argument));
        EXPECT_EQ(request.kind, c.kind) << c.argument;
        EXPECT_EQ(request.text, c.text) << c.argument;
    }
    // A relative path names a file in the current folder.
    EXPECT_EQ(classifyLaunchArgument("clip.asf").text, QDir::current().absoluteFilePath("clip.asf"));
}
