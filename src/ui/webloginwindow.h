#pragma once

#include "shell/interaction.h"

#include <QDialog>

#include <memory>

namespace Ui {
class WebLoginWindow;
}

namespace lumo {

// The web-site login. Created once: the save box keeps its state between showings, while the
// fields are refilled from the saved login each time.
class WebLoginWindow final : public QDialog
{
    Q_OBJECT
public:
    explicit WebLoginWindow(QWidget *parent = nullptr);
    ~WebLoginWindow() override;

    // Fills the fields and asks; nullopt when cancelled.
    std::optional<LoginAnswer> ask(const LoginRequest &request);

private:
    std::unique_ptr<Ui::WebLoginWindow> m_ui;
};

} // namespace lumo
