#include "ui/webloginwindow.h"

#include "ui_webloginwindow.h"

namespace lumo {

WebLoginWindow::WebLoginWindow(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::WebLoginWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Button2, &QPushButton::clicked, this, &QDialog::reject);
}

WebLoginWindow::~WebLoginWindow() = default;

std::optional<LoginAnswer> WebLoginWindow::ask(const LoginRequest &request)
{
    m_ui->UserIDWindow->setText(request.savedUser);
    m_ui->PasswordWindow->setText(request.savedPassword);
    m_ui->Button1->setFocus();
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return LoginAnswer{m_ui->UserIDWindow->text(), m_ui->PasswordWindow->text(),
                       m_ui->SavePassTick->isChecked()};
}

} // namespace lumo
