#include "ui/resumedialog.h"

#include "shell/interaction.h"
#include "ui_resumedialog.h"

#include <QStyle>

namespace lumo {

ResumeDialog::ResumeDialog(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::ResumeDialog>())
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->warningIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    connect(m_ui->cancelButton, &QPushButton::clicked, this, [this] { done(int(ResumeChoice::Cancel)); });
    connect(m_ui->resumeButton, &QPushButton::clicked, this, [this] { done(int(ResumeChoice::Resume)); });
    connect(m_ui->overwriteButton, &QPushButton::clicked, this,
            [this] { done(int(ResumeChoice::Overwrite)); });
    m_ui->cancelButton->setFocus();
}

ResumeDialog::~ResumeDialog() = default;

} // namespace lumo
