#pragma once

#include <QWidget>

#include <memory>

namespace Ui {
class DownloadListWindow;
}

namespace lumo {

class DownloadList;
class ListTasks;

// The download list: a row per address (its save file, state, progress, speed and time), Start
// and Stop per row and for all, addresses added by hand or from the main window's address box,
// finished rows removed, and the selected row's note and task log.
class DownloadListWindow final : public QWidget
{
    Q_OBJECT
public:
    DownloadListWindow(DownloadList &list, ListTasks &tasks, QWidget *parent = nullptr);
    ~DownloadListWindow() override;

    // Adds each address (as 添加 does) and says how many were added and why any was not.
    void addAddresses(const QStringList &addresses);
    // How many addresses the main window's address box holds: the offer to add them.
    void setAddressBoxCount(int count);
    // The row shown in the log pane; 0 when none is selected.
    quint64 currentId() const;
    void selectRow(quint64 id);

Q_SIGNALS:
    // 添加地址框的地址: the owner hands the address box's items to addAddresses.
    void addFromAddressBoxClicked();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    QList<quint64> selectedIds() const;
    void addTyped();
    void browseFolder();
    void showCurrent();
    void updateButtons();
    void setNote(const QString &text);

    std::unique_ptr<Ui::DownloadListWindow> m_ui;
    DownloadList &m_list;
    ListTasks &m_tasks;
};

} // namespace lumo
