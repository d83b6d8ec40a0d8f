#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutWindow;
}

namespace lumo {

// Fixed size, a title with only the close button, above other windows, not modal: the two
// information windows.
void makeInfoWindow(QDialog *window);
// Opens (or raises) an information window centred on its screen, its OK button focused.
void showInfoWindow(QDialog *window, QWidget *okButton);

// The About window: version texts beside the program's picture.
class AboutWindow final : public QDialog
{
    Q_OBJECT
public:
    explicit AboutWindow(QWidget *parent = nullptr);
    ~AboutWindow() override;

    // The Help menu's About item.
    void showCentred();

    static QString versionText();
    // The picture, decoded from the JPEG built into the program; null if that is damaged.
    static QImage picture();

private:
    void fillIn();

    std::unique_ptr<Ui::AboutWindow> m_ui;
};

} // namespace lumo
