#include <gtest/gtest.h>
#include <QCoreApplication>

// Sockets and processes need an application object on the main thread.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
