#include "SpeedTestPage.h"

#include "AppState.h"
#include "Convert.h"
#include "SpeedTest.h"
#include "control.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kGroupWidth = 150;
constexpr std::int32_t kGreen = 32768;
constexpr std::int32_t kRed = 255;

// A letter "A" for Change Font: the style has no font icon of its own.
QIcon fontIcon()
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(17);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(0, 0, 128));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("A"));
    return QIcon(pixmap);
}

} // namespace

SpeedTestPage::SpeedTestPage(AppState &state, QWidget *parent) : ControlPage(state, parent)
{
    setObjectName(QStringLiteral("speedTestPage"));
    m_openFile = toolBar()->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), tr("Open File"));
    m_openFile->setObjectName(QStringLiteral("openFileAction"));
    m_openFile->setToolTip(tr("Open File"));
    connect(m_openFile, &QAction::triggered, this, &SpeedTestPage::OpenFileClick);
    m_changeFont = toolBar()->addAction(fontIcon(), tr("Change Font"));
    m_changeFont->setObjectName(QStringLiteral("changeFontAction"));
    m_changeFont->setToolTip(tr("Change Font"));
    connect(m_changeFont, &QAction::triggered, this, &SpeedTestPage::ChangeFontClick);
    addHelpButton();

    int top = toolBar()->sizeHint().height() + 8;
    QGroupBox *startGroup = addGroup("startGroup", top);
    m_startRead = addButton(startGroup, QStringLiteral("Start Read"), "startReadButton");
    auto *statusRow = new QHBoxLayout;
    m_status = new QLineEdit(QStringLiteral("Timer OFF"), startGroup);
    m_status->setObjectName(QStringLiteral("timerStatusBox"));
    m_status->setReadOnly(true);
    m_status->setFocusPolicy(Qt::NoFocus);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setFixedWidth(80);
    m_clock = new QLabel(speedTestClockText(0), startGroup);
    m_clock->setObjectName(QStringLiteral("clockReadout"));
    m_clock->setToolTip(tr("Time read so far (minutes:seconds)"));
    m_clock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusRow->addWidget(m_status);
    statusRow->addWidget(m_clock);
    static_cast<QVBoxLayout *>(startGroup->layout())->addLayout(statusRow);
    startGroup->adjustSize();
    top += startGroup->height() + 8;

    QGroupBox *pagingGroup = addGroup("pagingGroup", top);
    auto *pagingRow = new QHBoxLayout;
    m_pgUp = new QPushButton(QStringLiteral("Pg Up"), pagingGroup);
    m_pgUp->setObjectName(QStringLiteral("pgUpButton"));
    m_pgDown = new QPushButton(QStringLiteral("Pg Down"), pagingGroup);
    m_pgDown->setObjectName(QStringLiteral("pgDownButton"));
    pagingRow->addWidget(m_pgUp);
    pagingRow->addWidget(m_pgDown);
    static_cast<QVBoxLayout *>(pagingGroup->layout())->addLayout(pagingRow);
    m_spacebar = new QLabel(QStringLiteral("Spacebar = Pg Down"), pagingGroup);
    m_spacebar->setObjectName(QStringLiteral("spacebarLabel"));
    m_spacebar->setAlignment(Qt::AlignCenter);
    QSizePolicy keepPlace = m_spacebar->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_spacebar->setSizePolicy(keepPlace);
    pagingGroup->layout()->addWidget(m_spacebar);
    pagingGroup->adjustSize();
    top += pagingGroup->height() + 8;

    QGroupBox *stopGroup = addGroup("stopGroup", top);
    m_stopReading = addButton(stopGroup, QStringLiteral("Stop Reading"), "stopReadingButton");
    m_stopReading->setToolTip(QStringLiteral("Stop timer and check score"));
    stopGroup->adjustSize();

    for (QPushButton *b : {m_startRead, m_pgUp, m_pgDown, m_stopReading})
        b->setEnabled(false);
    m_spacebar->hide();
    setStartCaption(QStringLiteral("Start Read"), true);

    connect(m_startRead, &QPushButton::clicked, this, &SpeedTestPage::StartReadClick);
    connect(m_pgUp, &QPushButton::clicked, this, &SpeedTestPage::PgUpClick);
    connect(m_pgDown, &QPushButton::clicked, this, &SpeedTestPage::PgDownClick);
    connect(m_stopReading, &QPushButton::clicked, this, &SpeedTestPage::StopReadingClick);
}

QGroupBox *SpeedTestPage::addGroup(const char *objectName, int top)
{
    auto *group = new QGroupBox(this);
    group->setObjectName(QString::fromLatin1(objectName));
    group->setFixedWidth(kGroupWidth);
    group->move(0, top);
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(8, 8, 8, 8);
    addCentred(group);
    return group;
}

QPushButton *SpeedTestPage::addButton(QGroupBox *group, const QString &caption, const char *objectName)
{
    auto *button = new QPushButton(caption, group);
    button->setObjectName(QString::fromLatin1(objectName));
    group->layout()->addWidget(button);
    return button;
}

void SpeedTestPage::attachReader(TSpeedTestForm *reader)
{
    m_reader = reader;
    connect(reader, &TSpeedTestForm::textLaidOut, this, &SpeedTestPage::textLaidOut);
    connect(reader, &TSpeedTestForm::clockStopped, this, &SpeedTestPage::clockStopped);
    connect(reader, &TSpeedTestForm::endZoneReached, this, [this] { m_stopReading->setEnabled(true); });
    connect(reader, &TSpeedTestForm::secondsCounted, this,
            [this](double seconds) { m_clock->setText(speedTestClockText(seconds)); });
    connect(reader, &TSpeedTestForm::pauseRequested, this, [this] {
        if (m_startRead->text() == QStringLiteral("Pause Read"))
            StartReadClick();
    });
    connect(reader, &QObject::destroyed, this, &SpeedTestPage::readerGone);
}

void SpeedTestPage::setStartCaption(const QString &caption, bool green)
{
    m_startRead->setText(caption);
    QPalette palette = m_startRead->palette();
    palette.setColor(QPalette::Active, QPalette::ButtonText, toQColor(green ? kGreen : kRed));
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, toQColor(green ? kGreen : kRed));
    m_startRead->setPalette(palette);
}

void SpeedTestPage::setFileCommandsEnabled(bool enabled)
{
    m_openFile->setEnabled(enabled);
    m_changeFont->setEnabled(enabled);
}

void SpeedTestPage::OpenFileClick()
{
    openTextFileIntoReader();
}

void SpeedTestPage::ChangeFontClick()
{
    if (m_reader != nullptr)
        m_reader->chooseFont();
}

void SpeedTestPage::StartReadClick()
{
    m_state.PlayClick(1);
    if (m_reader == nullptr)
        return;
    if (m_startRead->text() == QStringLiteral("Start Read")) {
        m_state.setShortStoriesEnabled(false);
        setFileCommandsEnabled(false);
        m_reader->startClock();
        m_pgUp->setEnabled(true);
        m_pgDown->setEnabled(true);
        m_spacebar->show();
        setStartCaption(QStringLiteral("Pause Read"), false);
        m_status->setText(QStringLiteral("Timer ON"));
    } else if (m_startRead->text() == QStringLiteral("Pause Read")) {
        m_reader->stopClock();
    }
    m_reader->takeFocus();
}

void SpeedTestPage::PgUpClick()
{
    m_state.PlayClick(1);
    if (m_reader != nullptr)
        m_reader->pageUp();
}

void SpeedTestPage::PgDownClick()
{
    m_state.PlayClick(1);
    if (m_reader != nullptr)
        m_reader->pageDown();
}

void SpeedTestPage::StopReadingClick()
{
    if (m_state.SpeedTestEndReached == 1) {
        m_state.SpeedTestEndReached = 0;
        m_state.PlayClick(4);
    }
    if (m_reader == nullptr)
        return;
    m_reader->stopClock();
    m_startRead->setEnabled(false);
    m_stopReading->setEnabled(false);

    TSpeedTestValues &v = m_reader->values();
    scoreSpeedTest(v);
    const double wpm = v.SpeedTestWpm;
    m_state.services.messages.information(speedTestScoreMessage(v.SpeedTestWpmText));
    m_state.historyAppend(m_state.Settings.SpeedTestWpmHistory, wpm);
    m_state.askAfterReading(m_state.Settings.SpeedTestWpmHistory, wpm);
}

void SpeedTestPage::textLaidOut()
{
    m_pgUp->setEnabled(false);
    m_pgDown->setEnabled(false);
    m_stopReading->setEnabled(false);
    m_spacebar->hide();
    m_startRead->setEnabled(true);
    setStartCaption(QStringLiteral("Start Read"), true);
    m_clock->setText(speedTestClockText(0));
}

void SpeedTestPage::clockStopped()
{
    m_state.setShortStoriesEnabled(true);
    setFileCommandsEnabled(true);
    m_pgUp->setEnabled(false);
    m_pgDown->setEnabled(false);
    m_spacebar->hide();
    setStartCaption(QStringLiteral("Start Read"), true);
    m_status->setText(QStringLiteral("Timer OFF"));
}

void SpeedTestPage::readerGone()
{
    // Without its reader the page has nothing to drive.
    for (QPushButton *b : {m_startRead, m_pgUp, m_pgDown, m_stopReading})
        b->setEnabled(false);
    setFileCommandsEnabled(false);
    m_spacebar->hide();
    setStartCaption(QStringLiteral("Start Read"), true);
    m_status->setText(QStringLiteral("Timer OFF"));
}

ModeEntry speedTestModeEntry()
{
    ModeEntry entry;
    entry.createWindow = [](AppState &state) -> ModeWindow * {
        auto *reader = new TSpeedTestForm(state);
        if (state.controlPanel != nullptr) {
            if (auto *page = qobject_cast<SpeedTestPage *>(state.controlPanel->page(Mode::SpeedTest)))
                page->attachReader(reader);
        }
        return reader;
    };
    entry.createPage = [](AppState &state, TControlForm &panel) -> ControlPage * {
        return new SpeedTestPage(state, &panel);
    };
    return entry;
}
