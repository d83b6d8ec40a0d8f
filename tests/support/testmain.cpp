#include "shell/language.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

// Sockets, timers and queued calls need an application object on the main thread.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    // The tests compare the Chinese texts whatever the machine's locale; the programs they start
    // inherit the choice.
    qputenv("LUMO_LANG", "zh");
    lumo::installLanguage(lumo::Language::Chinese);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
