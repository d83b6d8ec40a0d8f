#pragma once

#include "shell/interaction.h"

#include <memory>

class QWidget;

namespace lumo {

class CompletionSound;
class MainWindow;
class PropertiesWindow;
class WebLoginWindow;

// The person, reached through the windows: message and question boxes, file dialogs, the
// resume and login dialogs, the main window's status display and the completion sound.
class GuiInteraction final : public Interaction
{
public:
    GuiInteraction(MainWindow &main, PropertiesWindow &properties, CompletionSound &sound);
    ~GuiInteraction() override;

    void logAppended(const QString &entry) override;
    void logCleared() override;
    void showMessage(const QString &text) override;
    bool askYesNo(const QString &text) override;
    ResumeChoice askResume(const QString &path) override;
    std::optional<QString> chooseSaveFile(const FileDialogRequest &request) override;
    std::optional<QString> chooseOpenFile(const FileDialogRequest &request) override;
    std::optional<LoginAnswer> askServerLogin(const LoginRequest &request) override;
    std::optional<LoginAnswer> askWebLogin(const LoginRequest &request) override;
    void statusChanged(const TaskStatus &status) override;
    void startCompletionSound(int intervalSeconds) override;
    void stopCompletionSound() override;

    // While one lives, dialogs are asked for by `window`: they open above it.
    class AskingWindow
    {
    public:
        AskingWindow(GuiInteraction &person, QWidget *window);
        ~AskingWindow();
        AskingWindow(const AskingWindow &) = delete;
        AskingWindow &operator=(const AskingWindow &) = delete;

    private:
        GuiInteraction &m_person;
        QWidget *m_previous;
    };

    // The window a dialog opens above: the one asking, else the active one, else the main one.
    QWidget *dialogParent() const;

private:
    MainWindow &m_main;
    PropertiesWindow &m_properties;
    CompletionSound &m_sound;
    std::unique_ptr<WebLoginWindow> m_webLogin; // kept: its save box remembers its state
    QWidget *m_asking = nullptr;
};

} // namespace lumo
