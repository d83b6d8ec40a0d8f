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
    m_ui->Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    connect(m_ui->Cancel, &QPushButton::clicked, this, [this] { done(int(ResumeChoice::Cancel)); });
    connect(m_ui->Resume, &QPushButton::clicked, this, [this] { done(int(ResumeChoice::Resume)); });
    connect(m_ui->Button1, &QPushButton::clicked, this, [this] { done(int(ResumeChoice::Overwrite)); });
    m_ui->Cancel->setFocus();
}

ResumeDialog::~ResumeDialog() = default;

} // namespace lumo
