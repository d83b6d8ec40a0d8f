#pragma once

#include "asf/headeranalysis.h"
#include "asf/streamchoice.h"
#include "shell/interaction.h"

#include <QWidget>

#include <memory>

namespace Ui {
class PropertiesWindow;
}

namespace lumo {

// The file-properties window: clip, details and codec pages from the header analysis, the
// statistics page from the running task.
class PropertiesWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit PropertiesWindow(QWidget *parent = nullptr);
    ~PropertiesWindow() override;

    void showProperties(const FileProperties &properties);
    void showStatistics(const TaskStatus &status);
    // The streams page: every stream of the header, and whether it is recorded.
    void showStreams(const StreamList &list, const QList<StreamPick> &picks);

private:
    std::unique_ptr<Ui::PropertiesWindow> m_ui;
};

} // namespace lumo
