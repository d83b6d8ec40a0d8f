#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class OpenWindow;
}

namespace lumo {

// The open-media window: a location typed or picked, the recent ones in its list.
class OpenWindow final : public QDialog
{
    Q_OBJECT
public:
    explicit OpenWindow(QWidget *parent = nullptr);
    ~OpenWindow() override;

    // The recent locations; the first becomes the text.
    void showList(const QStringList &items);
    QString location() const;
    void setLocation(const QString &text);

Q_SIGNALS:
    void browseClicked();
    // OK (or Enter) with a text that is not empty.
    void locationAccepted(const QString &text);

private:
    std::unique_ptr<Ui::OpenWindow> m_ui;
};

} // namespace lumo
