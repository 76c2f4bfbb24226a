#include "charts/ProgressWindow.h"

#include "app/AppState.h"
#include "charts/ProgressPages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace {

const char *const kModeTabs[] = {"Tachistoscope", "Horizontal", "Vertical", "Speed Tests"};

} // namespace

ProgressWindow::ProgressWindow(AppState &state, QWidget *parent)
    : ChildWindow(state, nullptr, nullptr, parent)
{
    setObjectName(QStringLiteral("progressWindow"));
    setWindowTitle(QStringLiteral("Progress"));
    setMinimumSize(520, 420);
    auto *layout = new QVBoxLayout(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("progressTabs"));
    for (const ModeInfo &m : modeTable()) {
        if (!m.scored())
            continue;
        auto *page = new ModeProgressPage(m.mode, m_tabs);
        page->setObjectName(QString::fromLatin1(m.actionName) + QStringLiteral("ProgressPage"));
        m_modePages[static_cast<std::size_t>(m.mode)] = page;
        m_tabs->addTab(page, QString::fromLatin1(kModeTabs[static_cast<std::size_t>(m.mode) % 4]));
    }
    m_texts = new TextsProgressPage(m_tabs);
    m_tabs->addTab(m_texts, QStringLiteral("Texts"));
    m_exercise = new ExerciseProgressPage(m_tabs);
    m_tabs->addTab(m_exercise, QStringLiteral("Exercise"));
    layout->addWidget(m_tabs, 1);

    auto *row = new QHBoxLayout;
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("progressStatus"));
    row->addWidget(m_status, 1);
    auto *exportButton = new QPushButton(QStringLiteral("Export CSV..."), this);
    exportButton->setObjectName(QStringLiteral("exportCsvButton"));
    auto *closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setObjectName(QStringLiteral("progressCloseButton"));
    row->addWidget(exportButton);
    row->addWidget(closeButton);
    layout->addLayout(row);
    connect(exportButton, &QPushButton::clicked, this, &ProgressWindow::exportCsv);
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (QWidget *f = frame())
            f->close();
        else
            close();
    });
    connect(&m_watcher, &QFutureWatcher<ProgressData>::finished, this,
            [this] { showData(m_watcher.result()); });
    reload();
}

ProgressWindow::~ProgressWindow()
{
    // The worker holds only its own copy of the path; its result is dropped.
    m_watcher.disconnect(this);
}

ModeProgressPage *ProgressWindow::modePage(Mode mode) const
{
    return mode == Mode::None ? nullptr : m_modePages[static_cast<std::size_t>(mode)];
}

void ProgressWindow::reload()
{
    m_status->setText(QStringLiteral("Reading your progress..."));
    m_watcher.setFuture(QtConcurrent::run(loadProgressData, m_state.progressPath()));
}

void ProgressWindow::finishLoading()
{
    m_watcher.waitForFinished();
    // The watcher tells of the end through a posted event: delivered now, the pages fill now.
    QCoreApplication::sendPostedEvents(&m_watcher);
}

void ProgressWindow::showData(const ProgressData &progress)
{
    for (ModeProgressPage *page : m_modePages)
        if (page != nullptr)
            page->setData(progress);
    m_texts->setData(progress, m_state.options);
    m_exercise->setData(progress);
    if (!progress.error.isEmpty())
        m_status->setText(QStringLiteral("Your progress cannot be read: ") + progress.error);
    else
        m_status->setText(QStringLiteral("%1 readings recorded.").arg(progress.readings.size()));
}

void ProgressWindow::exportCsv()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = m_state.userDir();
    QString path = m_state.services.dialogs.saveFileName(
        QStringLiteral("Export Progress"), QDir(folder).filePath(QStringLiteral("progress.csv")),
        QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    if (path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive))
        path.chop(4);
    const ProgressDb *db = m_state.progress();
    const auto written = db != nullptr && db->isOpen() ? db->exportCsv(path) : std::nullopt;
    if (!written) {
        m_state.services.messages.error(QStringLiteral("Your progress cannot be exported as \"%1-*.csv\".")
                                            .arg(QDir::toNativeSeparators(path)));
        return;
    }
    QStringList names;
    for (const QString &file : *written)
        names << QFileInfo(file).fileName();
    m_state.services.messages.information(QStringLiteral("Your progress was exported, one file per table: ") +
                                          names.join(QStringLiteral(", ")) + QLatin1Char('.'));
}
