#include "ui/downloadlistwindow.h"

#include "control/downloadlist.h"
#include "control/listtasks.h"
#include "shell/tasklog.h"

#include "ui_downloadlistwindow.h"

#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace lumo {

namespace {

// The progress column as a bar for a stored programme; a live recording keeps its text.
class ProgressDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const int percent = index.data(DownloadList::PercentRole).toInt();
        if (percent < 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        QStyleOptionProgressBar bar;
        bar.rect = option.rect.adjusted(2, 2, -2, -2);
        bar.minimum = 0;
        bar.maximum = 100;
        bar.progress = percent;
        bar.text = index.data().toString();
        bar.textVisible = true;
        bar.state = option.state | QStyle::State_Horizontal;
        const QWidget *widget = option.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ProgressBar, &bar, painter, widget);
    }
};

} // namespace

DownloadListWindow::DownloadListWindow(DownloadList &list, ListTasks &tasks, QWidget *parent)
    : QWidget(parent, Qt::Window), m_ui(std::make_unique<Ui::DownloadListWindow>()), m_list(list),
      m_tasks(tasks)
{
    m_ui->setupUi(this);
    m_ui->listLayout->setStretchFactor(m_ui->table, 3);
    m_ui->listLayout->setStretchFactor(m_ui->logView, 1);
    m_ui->table->setModel(&m_list);
    m_ui->table->setItemDelegateForColumn(DownloadList::ProgressColumn, new ProgressDelegate(m_ui->table));
    m_ui->table->verticalHeader()->hide();
    QHeaderView *header = m_ui->table->horizontalHeader();
    header->setSectionResizeMode(DownloadList::AddressColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(DownloadList::SaveFileColumn, QHeaderView::Stretch);
    for (const int column : {DownloadList::StateColumn, DownloadList::SpeedColumn, DownloadList::TimeColumn})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->resizeSection(DownloadList::ProgressColumn,
                          fontMetrics().horizontalAdvance(QLatin1Char('0')) * 12);
    m_ui->folderEdit->setText(m_list.folder());
    setAddressBoxCount(0);

    connect(m_ui->addButton, &QPushButton::clicked, this, &DownloadListWindow::addTyped);
    connect(m_ui->addressEdit, &QLineEdit::returnPressed, this, &DownloadListWindow::addTyped);
    connect(m_ui->addBoxButton, &QPushButton::clicked, this, &DownloadListWindow::addFromAddressBoxClicked);
    connect(m_ui->browseButton, &QPushButton::clicked, this, &DownloadListWindow::browseFolder);
    connect(m_ui->folderEdit, &QLineEdit::editingFinished, this,
            [this] { m_list.setFolder(m_ui->folderEdit->text().trimmed()); });
    connect(m_ui->startButton, &QPushButton::clicked, this, [this] {
        for (const quint64 id : selectedIds())
            m_tasks.start(id);
    });
    connect(m_ui->stopButton, &QPushButton::clicked, this, [this] {
        for (const quint64 id : selectedIds())
            m_tasks.stop(id);
    });
    connect(m_ui->startAllButton, &QPushButton::clicked, &m_tasks, &ListTasks::startAll);
    connect(m_ui->stopAllButton, &QPushButton::clicked, &m_tasks, &ListTasks::stopAll);
    connect(m_ui->removeButton, &QPushButton::clicked, this, [this] {
        for (const quint64 id : selectedIds())
            m_tasks.remove(id);
    });

    connect(m_ui->table->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        showCurrent();
        updateButtons();
    });
    connect(&m_list, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from) {
        updateButtons();
        const DownloadRow *row = m_list.row(currentId());
        if (row && from.row() == m_list.position(row->id))
            setNote(row->note);
    });
    connect(&m_list, &QAbstractItemModel::rowsRemoved, this, &DownloadListWindow::updateButtons);
    connect(&m_list, &QAbstractItemModel::modelReset, this, [this] {
        m_ui->folderEdit->setText(m_list.folder());
        showCurrent();
        updateButtons();
    });
    connect(&m_tasks, &ListTasks::logAppended, this, [this](quint64 id, const QString &entry) {
        if (id != currentId())
            return;
        QString text = entry;
        if (text.endsWith(QStringLiteral("\r\n")))
            text.chop(2);
        m_ui->logView->appendPlainText(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    });
    connect(&m_tasks, &ListTasks::logCleared, this, [this](quint64 id) {
        if (id == currentId())
            m_ui->logView->clear();
    });
    updateButtons();
}

DownloadListWindow::~DownloadListWindow() = default;

QList<quint64> DownloadListWindow::selectedIds() const
{
    QList<quint64> ids;
    for (const QModelIndex &index : m_ui->table->selectionModel()->selectedRows()) {
        if (index.row() < m_list.rows().size())
            ids.append(m_list.rows().at(index.row()).id);
    }
    return ids;
}

quint64 DownloadListWindow::currentId() const
{
    const QModelIndexList rows = m_ui->table->selectionModel()->selectedRows();
    if (rows.size() != 1 || rows.first().row() >= m_list.rows().size())
        return 0;
    return m_list.rows().at(rows.first().row()).id;
}

void DownloadListWindow::selectRow(quint64 id)
{
    const int at = m_list.position(id);
    if (at >= 0)
        m_ui->table->selectRow(at);
}

void DownloadListWindow::addTyped()
{
    const DownloadList::Added added = m_list.add(m_ui->addressEdit->text());
    if (!added.id) {
        setNote(added.problem);
        return;
    }
    m_ui->addressEdit->clear();
    selectRow(*added.id);
}

void DownloadListWindow::addAddresses(const QStringList &addresses)
{
    int count = 0;
    QString problem;
    for (const QString &address : addresses) {
        const DownloadList::Added added = m_list.add(address);
        if (added.id && count++ == 0 && currentId() == 0)
            selectRow(*added.id);
        else if (!added.id && problem.isEmpty())
            problem = added.problem;
    }
    QString text = tr("已加入 %n 个地址", nullptr, count);
    if (!problem.isEmpty())
        text += QStringLiteral("\n") + problem;
    setNote(text);
}

void DownloadListWindow::setAddressBoxCount(int count)
{
    m_ui->addBoxButton->setEnabled(count > 0);
}

void DownloadListWindow::browseFolder()
{
    const QString folder =
        QFileDialog::getExistingDirectory(this, tr("选择保存的文件夹"), m_ui->folderEdit->text());
    if (folder.isEmpty())
        return;
    m_ui->folderEdit->setText(folder);
    m_list.setFolder(folder);
}

void DownloadListWindow::showCurrent()
{
    const quint64 id = currentId();
    const DownloadRow *row = m_list.row(id);
    m_ui->logView->clear();
    setNote(row ? row->note : QString());
    if (const TaskLog *log = m_tasks.log(id))
        m_ui->logView->setPlainText(log->lines().join(QLatin1Char('\n')));
}

void DownloadListWindow::updateButtons()
{
    bool startable = false, stoppable = false;
    for (const quint64 id : selectedIds()) {
        const DownloadRow *row = m_list.row(id);
        (isActive(row->state) ? stoppable : startable) = true;
    }
    m_ui->startButton->setEnabled(startable);
    m_ui->stopButton->setEnabled(stoppable);
    m_ui->removeButton->setEnabled(startable);
    m_ui->startAllButton->setEnabled(
        std::any_of(m_list.rows().cbegin(), m_list.rows().cend(), [](const DownloadRow &row) {
            return !isActive(row.state) && row.state != RowState::Completed;
        }));
    m_ui->stopAllButton->setEnabled(m_tasks.anyActive());
}

void DownloadListWindow::setNote(const QString &text)
{
    m_ui->noteLabel->setText(text);
}

void DownloadListWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Something to show in the log pane from the start.
    if (currentId() == 0 && !m_list.rows().isEmpty())
        selectRow(m_list.rows().constFirst().id);
}

void DownloadListWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace lumo
