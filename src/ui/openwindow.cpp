#include "ui/openwindow.h"

#include "ui_openwindow.h"

#include <QLineEdit>

namespace lumo {

OpenWindow::OpenWindow(QWidget *parent) : QDialog(parent), m_ui(std::make_unique<Ui::OpenWindow>())
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    connect(m_ui->Button1, &QPushButton::clicked, this, &OpenWindow::browseClicked);
    connect(m_ui->Button2, &QPushButton::clicked, this, &QDialog::close);
    // OK and the Enter key in the address field do the same.
    const auto accept = [this] {
        if (!location().isEmpty())
            Q_EMIT locationAccepted(location());
    };
    connect(m_ui->Button3, &QPushButton::clicked, this, accept);
    connect(m_ui->Combo1->lineEdit(), &QLineEdit::returnPressed, this, accept);
}

OpenWindow::~OpenWindow() = default;

void OpenWindow::showList(const QStringList &items)
{
    m_ui->Combo1->clear();
    m_ui->Combo1->addItems(items);
    m_ui->Combo1->setEditText(items.value(0));
    m_ui->Button3->setFocus();
}

QString OpenWindow::location() const
{
    return m_ui->Combo1->currentText();
}

void OpenWindow::setLocation(const QString &text)
{
    m_ui->Combo1->setEditText(text);
}

} // namespace lumo
