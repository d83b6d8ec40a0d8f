#include "ui/guiinteraction.h"

#include "ui/completionsound.h"
#include "ui/mainwindow.h"
#include "ui/passworddialog.h"
#include "ui/propertieswindow.h"
#include "ui/resumedialog.h"
#include "ui/webloginwindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace lumo {

namespace {

const QString boxTitle = QStringLiteral("Lumo");

// A dialog over a window that stays on top must stay on top too, or it opens beneath it.
void keepAbove(QWidget *dialog, const QWidget *parent)
{
    if (parent->window()->windowFlags() & Qt::WindowStaysOnTopHint)
        dialog->setWindowFlag(Qt::WindowStaysOnTopHint);
}

std::optional<QString> runFileDialog(QWidget *parent, const FileDialogRequest &request,
                                     QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, request.title);
    keepAbove(&dialog, parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptSave ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    const QStringList filters = request.filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    if (!request.startFolder.isEmpty())
        dialog.setDirectory(request.startFolder);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

GuiInteraction::GuiInteraction(MainWindow &main, PropertiesWindow &properties, CompletionSound &sound)
    : m_main(main), m_properties(properties), m_sound(sound)
{}

GuiInteraction::~GuiInteraction() = default;

GuiInteraction::AskingWindow::AskingWindow(GuiInteraction &person, QWidget *window)
    : m_person(person), m_previous(person.m_asking)
{
    person.m_asking = window;
}

GuiInteraction::AskingWindow::~AskingWindow()
{
    m_person.m_asking = m_previous;
}

QWidget *GuiInteraction::dialogParent() const
{
    if (m_asking && m_asking->isVisible())
        return m_asking;
    QWidget *active = QApplication::activeWindow();
    if (active && active->isVisible() && !active->isMinimized())
        return active;
    return &m_main;
}

void GuiInteraction::logAppended(const QString &entry)
{
    m_main.appendLog(entry);
}

void GuiInteraction::logCleared()
{
    m_main.clearLog();
}

void GuiInteraction::showMessage(const QString &text)
{
    QWidget *parent = dialogParent();
    QMessageBox box(QMessageBox::NoIcon, boxTitle, text, QMessageBox::Ok, parent);
    keepAbove(&box, parent);
    box.exec();
}

bool GuiInteraction::askYesNo(const QString &text)
{
    QWidget *parent = dialogParent();
    QMessageBox box(QMessageBox::Question, boxTitle, text, QMessageBox::Yes | QMessageBox::No, parent);
    keepAbove(&box, parent);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

ResumeChoice GuiInteraction::askResume(const QString &)
{
    ResumeDialog dialog(dialogParent());
    switch (dialog.exec()) {
    case int(ResumeChoice::Resume):
        return ResumeChoice::Resume;
    case int(ResumeChoice::Overwrite):
        return ResumeChoice::Overwrite;
    case int(ResumeChoice::Cancel):
        return ResumeChoice::Cancel;
    default:
        return ResumeChoice::NoChoice;
    }
}

std::optional<QString> GuiInteraction::chooseSaveFile(const FileDialogRequest &request)
{
    return runFileDialog(dialogParent(), request, QFileDialog::AcceptSave);
}

std::optional<QString> GuiInteraction::chooseOpenFile(const FileDialogRequest &request)
{
    return runFileDialog(dialogParent(), request, QFileDialog::AcceptOpen);
}

std::optional<LoginAnswer> GuiInteraction::askServerLogin(const LoginRequest &request)
{
    PasswordDialog dialog(request, dialogParent());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.answer();
}

std::optional<LoginAnswer> GuiInteraction::askWebLogin(const LoginRequest &request)
{
    // Owned here, so parented to the main window, which outlives this; it stays on top itself.
    if (!m_webLogin)
        m_webLogin = std::make_unique<WebLoginWindow>(&m_main);
    return m_webLogin->ask(request);
}

void GuiInteraction::statusChanged(const TaskStatus &status)
{
    m_main.showStatus(status);
    m_properties.showStatistics(status);
}

void GuiInteraction::startCompletionSound(int intervalSeconds)
{
    m_sound.start(intervalSeconds);
}

void GuiInteraction::stopCompletionSound()
{
    m_sound.stop();
}

} // namespace lumo
