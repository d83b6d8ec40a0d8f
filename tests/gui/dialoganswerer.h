#pragma once

#include "shell/interaction.h"

#include <QDeadlineTimer>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>

namespace lumo::test {

// Answers the modal dialogs the program opens, in order, from a queue of handlers. Each new
// modal widget is recorded ("title | text") and handed to the next handler; a modal widget
// that finds the queue empty is recorded and dismissed, so that no test waits on a dialog.
class DialogAnswerer final : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void(QWidget *dialog)>;

    DialogAnswerer();

    void expect(Handler handler) { m_handlers.push_back(std::move(handler)); }
    qsizetype pending() const { return qsizetype(m_handlers.size()); }

    QStringList seen;       // every modal widget in order
    QStringList unexpected; // those that found no handler

    static Handler clickMessageButton(QMessageBox::StandardButton button, QString *text = nullptr);
    // Handler that answers a file dialog with `path`, recording the title and proposed name.
    static Handler chooseFile(const QString &path, QString *title = nullptr, QString *proposed = nullptr);
    static Handler answerResume(ResumeChoice choice);
    static Handler accept();
    // Handler that waits until `ready` holds before clicking OK on a message box (the timer
    // keeps running while it waits, so the program's timers do too).
    Handler clickOkWhen(std::function<bool()> ready, QString *text = nullptr);

private:
    void poll();
    void clickOkWhenUntil(QWidget *widget, const std::function<bool()> &ready, QString *text,
                          QDeadlineTimer deadline);

    std::deque<Handler> m_handlers;
    QPointer<QWidget> m_current;
    QTimer m_timer;
};

} // namespace lumo::test
