#pragma once

#include <QApplication>

#include <functional>

namespace lumo {

// The application object: its notify() is the last stop of an exception that no event
// handler caught, and hands it to the installed handler instead of ending the program.
class LumoApplication final : public QApplication
{
    Q_OBJECT
public:
    LumoApplication(int &argc, char **argv);

    void setExceptionHandler(std::function<void(const QString &message)> handler);
    bool notify(QObject *receiver, QEvent *event) override;

private:
    void handle(const QString &message);

    std::function<void(const QString &)> m_handler;
};

} // namespace lumo
