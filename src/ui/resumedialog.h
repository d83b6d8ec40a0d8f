#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class ResumeDialog;
}

namespace lumo {

// Asks whether a save file that already holds data is resumed or overwritten. exec() returns
// the choice as a ResumeChoice value (0 when closed without one).
class ResumeDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit ResumeDialog(QWidget *parent = nullptr);
    ~ResumeDialog() override;

private:
    std::unique_ptr<Ui::ResumeDialog> m_ui;
};

} // namespace lumo
