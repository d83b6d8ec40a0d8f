#include "shell/language.h"
#include "ui/lumoapplication.h"

#include <gtest/gtest.h>

// The program's own application object, so that its exception hook is under test too.
int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    lumo::LumoApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    // The tests compare the Chinese texts whatever the machine's locale; the programs they start
    // inherit the choice.
    qputenv("LUMO_LANG", "zh");
    lumo::installLanguage(lumo::Language::Chinese);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
