#pragma once

#include "shell/interaction.h"

#include <QDialog>

#include <memory>

namespace Ui {
class PasswordDialog;
}

namespace lumo {

// The media-server login: shows the server and realm, offers the saved login.
class PasswordDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit PasswordDialog(const LoginRequest &request, QWidget *parent = nullptr);
    ~PasswordDialog() override;

    LoginAnswer answer() const;

private:
    std::unique_ptr<Ui::PasswordDialog> m_ui;
};

} // namespace lumo
