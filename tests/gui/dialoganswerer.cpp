#include "dialoganswerer.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>

namespace lumo::test {

DialogAnswerer::DialogAnswerer()
{
    connect(&m_timer, &QTimer::timeout, this, &DialogAnswerer::poll);
    m_timer.start(5);
}

void DialogAnswerer::poll()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || modal == m_current || !modal->isVisible())
        return;
    m_current = modal;
    QString entry = modal->windowTitle();
    if (auto *box = qobject_cast<QMessageBox *>(modal))
        entry += QStringLiteral(" | ") + box->text();
    seen.append(entry);
    if (m_handlers.empty()) {
        unexpected.append(entry);
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        return;
    }
    Handler handler = std::move(m_handlers.front());
    m_handlers.pop_front();
    handler(modal);
}

DialogAnswerer::Handler DialogAnswerer::clickMessageButton(QMessageBox::StandardButton button, QString *text)
{
    return [button, text](QWidget *widget) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (!box) {
            qobject_cast<QDialog *>(widget)->reject();
            return;
        }
        if (text)
            *text = box->text();
        if (QAbstractButton *b = box->button(button))
            b->click();
        else
            box->reject();
    };
}

DialogAnswerer::Handler DialogAnswerer::chooseFile(const QString &path, QString *title, QString *proposed)
{
    return [path, title, proposed](QWidget *widget) {
        auto *dialog = qobject_cast<QFileDialog *>(widget);
        if (!dialog) {
            qobject_cast<QDialog *>(widget)->reject();
            return;
        }
        if (title)
            *title = dialog->windowTitle();
        if (proposed) {
            if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
                *proposed = name->text();
        }
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // public there; checks the name like the OK button
    };
}

DialogAnswerer::Handler DialogAnswerer::answerResume(ResumeChoice choice)
{
    return [choice](QWidget *widget) {
        const char *name = choice == ResumeChoice::Resume      ? "resumeButton"
                           : choice == ResumeChoice::Overwrite ? "overwriteButton"
                                                               : "cancelButton";
        if (auto *button = widget->findChild<QPushButton *>(QLatin1String(name)))
            button->click();
        else
            qobject_cast<QDialog *>(widget)->reject();
    };
}

DialogAnswerer::Handler DialogAnswerer::accept()
{
    return [](QWidget *widget) { qobject_cast<QDialog *>(widget)->accept(); };
}

DialogAnswerer::Handler DialogAnswerer::clickOkWhen(std::function<bool()> ready, QString *text)
{
    // Looks again every 10 ms while the widget stays open; gives up waiting after 10 s.
    const QDeadlineTimer deadline(10000);
    return
        [this, ready, text, deadline](QWidget *widget) { clickOkWhenUntil(widget, ready, text, deadline); };
}

void DialogAnswerer::clickOkWhenUntil(QWidget *widget, const std::function<bool()> &ready, QString *text,
                                      QDeadlineTimer deadline)
{
    {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (text && box)
            *text = box->text();
        if (!ready() && !deadline.hasExpired()) {
            QPointer<QWidget> guard(widget);
            QTimer::singleShot(10, this, [this, guard, ready, text, deadline] {
                if (guard)
                    clickOkWhenUntil(guard, ready, text, deadline);
            });
            return;
        }
        if (box && box->button(QMessageBox::Ok))
            box->button(QMessageBox::Ok)->click();
        else if (auto *dialog = qobject_cast<QDialog *>(widget))
            dialog->accept();
    }
}

} // namespace lumo::test
