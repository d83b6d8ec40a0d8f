#include "ui/passworddialog.h"

#include "ui_passworddialog.h"

namespace lumo {

PasswordDialog::PasswordDialog(const LoginRequest &request, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PasswordDialog>())
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->Site->setText(request.host);
    m_ui->Realm->setText(request.realm);
    m_ui->Id->setText(request.savedUser);
    m_ui->Password->setText(request.savedPassword);
    connect(m_ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->Button1->setFocus();
}

PasswordDialog::~PasswordDialog() = default;

LoginAnswer PasswordDialog::answer() const
{
    return {m_ui->Id->text(), m_ui->Password->text(), m_ui->SavePassTick->isChecked()};
}

} // namespace lumo
