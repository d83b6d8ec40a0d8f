#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class PlayerAboutWindow;
}

namespace lumo {

// The preview player's notes: what it can play and how to preview a file still downloading.
class PlayerAboutWindow final : public QDialog
{
    Q_OBJECT
public:
    explicit PlayerAboutWindow(QWidget *parent = nullptr);
    ~PlayerAboutWindow() override;

    // The Preview menu's About item.
    void showCentred();

    static QString notesText();

private:
    std::unique_ptr<Ui::PlayerAboutWindow> m_ui;
};

} // namespace lumo
