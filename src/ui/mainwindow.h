#pragma once

#include "shell/interaction.h"

#include <QMainWindow>

#include <memory>

class QComboBox;
class QPlainTextEdit;
class QProgressBar;
class QLabel;

namespace Ui {
class MainWindow;
}

namespace lumo {

// The main window: menu, tool bar, address box, places, task log, gauge, state and times.
// It shows what it is handed and reports the person's actions as signals.
class MainWindow final : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    void showStatus(const TaskStatus &status);
    void appendLog(const QString &entry);
    void clearLog();

    QString urlText() const;
    QStringList urlItems() const;
    void setUrl(const QStringList &items, const QString &text);
    void setMediaWindowText(const QString &text);
    void setSaveWindowText(const QString &text);
    void setStatusBarText(const QString &text);
    // The menu, tool bar and places, on the screen: what a window opening above must not hide.
    QRect controlsArea() const;

Q_SIGNALS:
    void connectClicked();
    void openClicked();
    void downloadListClicked();
    void disconnectClicked();
    void saveLogClicked();
    void printClicked();
    void printSetupClicked();
    void exitClicked();
    void viewSetupClicked();
    void showPropertiesClicked();
    void moreHelpClicked();
    void previewClicked();
    void aboutClicked();
    void aboutPlayerClicked();
    // The window is closing (frame button, Exit, or a shut-down asked for elsewhere).
    void closing();
    // A redirect list or an ASF file was dropped on the window.
    void fileDropped(const QString &file);

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::unique_ptr<Ui::MainWindow> m_ui;
    QLabel *m_statusText = nullptr;
};

} // namespace lumo
