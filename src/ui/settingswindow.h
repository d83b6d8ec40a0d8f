#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class SettingsWindow;
}

namespace lumo {

class Settings;

// The settings window. Its fields are the settings in force; it has no cancel: every way of
// closing it reports closed().
class SettingsWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsWindow(QWidget *parent = nullptr);
    ~SettingsWindow() override;

    void showValues(const Settings &settings);
    void copyValuesTo(Settings &settings) const;

Q_SIGNALS:
    // A field was changed by the person.
    void edited();
    void soundTestClicked();
    void aboutUdpClicked();
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // The value field serves the two choices that need one.
    void updateStreamChoiceEdit();

    std::unique_ptr<Ui::SettingsWindow> m_ui;
};

} // namespace lumo
