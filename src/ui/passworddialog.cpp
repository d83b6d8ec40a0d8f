#include "ui/passworddialog.h"

#include "ui_passworddialog.h"

namespace lumo {

PasswordDialog::PasswordDialog(const LoginRequest &request, QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::PasswordDialog>())
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    m_ui->site->setText(request.host);
    m_ui->realm->setText(request.realm);
    m_ui->userEdit->setText(request.savedUser);
    m_ui->passwordEdit->setText(request.savedPassword);
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    m_ui->okButton->setFocus();
}

PasswordDialog::~PasswordDialog() = default;

LoginAnswer PasswordDialog::answer() const
{
    return {m_ui->userEdit->text(), m_ui->passwordEdit->text(), m_ui->savePasswordCheckBox->isChecked()};
}

} // namespace lumo
