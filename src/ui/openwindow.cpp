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
    // Enter in the location field is the OK button's: it is the default one.
    connect(m_ui->okButton, &QPushButton::clicked, this, [this] {
        if (!location().isEmpty())
            Q_EMIT locationAccepted(location());
    });
}

OpenWindow::~OpenWindow() = default;

void OpenWindow::showList(const QStringList &items)
{
    m_ui->locationBox->clear();
    m_ui->locationBox->addItems(items);
    m_ui->locationBox->setEditText(items.value(0));
    // Typing goes to the location; Enter is OK.
    m_ui->locationBox->setFocus();
    m_ui->locationBox->lineEdit()->selectAll();
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
