#include "ui/webloginwindow.h"

#include "ui_webloginwindow.h"

namespace lumo {

WebLoginWindow::WebLoginWindow(QWidget *parent)
    : QDialog(parent), m_ui(std::make_unique<Ui::WebLoginWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

WebLoginWindow::~WebLoginWindow() = default;

std::optional<LoginAnswer> WebLoginWindow::ask(const LoginRequest &request)
{
    m_ui->userEdit->setText(request.savedUser);
    m_ui->passwordEdit->setText(request.savedPassword);
    m_ui->okButton->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return LoginAnswer{m_ui->userEdit->text(), m_ui->passwordEdit->text(),
                       m_ui->savePasswordCheckBox->isChecked()};
}

} // namespace lumo
