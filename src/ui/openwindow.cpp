#include "ui/openwindow.h"

#include "ui_openwindow.h"

#include <QLineEdit>

namespace lumo {

OpenWindow::OpenWindow(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::OpenWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &OpenWindow::browseClicked);
    connect(m_ui->cancelButton, &QPushButton::clicked, this, &QDialog::close);
    // OK and the Enter key in the address field do the same.
    const auto accept = [this] {
        if (!location().isEmpty())
            Q_EMIT locationAccepted(location());
    };
    connect(m_ui->okButton, &QPushButton::clicked, this, accept);
    connect(m_ui->locationBox->lineEdit(), &QLineEdit::returnPressed, this, accept);
}

OpenWindow::~OpenWindow() = default;

void OpenWindow::showList(const QStringList &items)
{
    m_ui->locationBox->clear();
    m_ui->locationBox->addItems(items);
    m_ui->locationBox->setEditText(items.value(0));
    m_ui->okButton->setFocus();
}

QString OpenWindow::location() const
{
    return m_ui->locationBox->currentText();
}

void OpenWindow::setLocation(const QString &text)
{
    m_ui->locationBox->setEditText(text);
}

} // namespace lumo
