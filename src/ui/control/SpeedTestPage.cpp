#include "control/SpeedTestPage.h"

#include "SpeedTestText.h"
#include "Wpm.h"
#include "app/AppState.h"
#include "app/Frame.h"
#include "readers/SpeedTest.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kSpeedTestGroupWidth = 150;

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
    m_openFile = addTool(style()->standardIcon(QStyle::SP_DialogOpenButton), tr("Open File"),
                         "openFileAction", [this] { OpenFileClick(); });
    m_changeFont = addTool(fontIcon(), tr("Change Font"), "changeFontAction", [this] { ChangeFontClick(); });
    addHelpButton();

    m_startRead = makeButton(QStringLiteral("Start Read"), "startReadButton");
    m_startRead->setToolTip(QStringLiteral("Space: start; while timing, Space pages down"));
    m_status = new QLineEdit(QStringLiteral("Timer OFF"));
    m_status->setObjectName(QStringLiteral("timerStatusBox"));
    m_status->setReadOnly(true);
    m_status->setFocusPolicy(Qt::NoFocus);
    m_status->setAlignment(Qt::AlignCenter);
    m_status->setFixedWidth(80);
    m_clock = new QLabel(speedTestClockText(0));
    m_clock->setObjectName(QStringLiteral("clockReadout"));
    m_clock->setToolTip(tr("Time read so far (minutes:seconds)"));
    m_clock->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto *statusRow = new QWidget;
    auto *statusLayout = new QHBoxLayout(statusRow);
    statusLayout->setContentsMargins(0, 0, 0, 0);
    statusLayout->addWidget(m_status);
    statusLayout->addWidget(m_clock);
    QGroupBox *startGroup = makeColumn(QString(), "startGroup", {m_startRead, statusRow});

    m_pgUp = makeButton(QStringLiteral("Pg Up"), "pgUpButton");
    m_pgDown = makeButton(QStringLiteral("Pg Down"), "pgDownButton");
    auto *pagingRow = new QWidget;
    auto *pagingLayout = new QHBoxLayout(pagingRow);
    pagingLayout->setContentsMargins(0, 0, 0, 0);
    pagingLayout->addWidget(m_pgUp);
    pagingLayout->addWidget(m_pgDown);
    m_spacebar = new QLabel(QStringLiteral("Spacebar = Pg Down"));
    m_spacebar->setObjectName(QStringLiteral("spacebarLabel"));
    m_spacebar->setAlignment(Qt::AlignCenter);
    QSizePolicy keepPlace = m_spacebar->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    m_spacebar->setSizePolicy(keepPlace);
    QGroupBox *pagingGroup = makeColumn(QString(), "pagingGroup", {pagingRow, m_spacebar});

    m_stopReading = makeButton(QStringLiteral("Stop Reading"), "stopReadingButton");
    m_stopReading->setToolTip(QStringLiteral("Stop timer and check score"));
    QGroupBox *stopGroup = makeColumn(QString(), "stopGroup", {m_stopReading});
    m_partLabel = makePartLabel();
    stackGroups({startGroup, pagingGroup, stopGroup, m_partLabel}, kSpeedTestGroupWidth);

    setRun(Run::NoText);

    connect(m_startRead, &QPushButton::clicked, this, &SpeedTestPage::StartReadClick);
    connect(m_pgUp, &QPushButton::clicked, this, &SpeedTestPage::PgUpClick);
    connect(m_pgDown, &QPushButton::clicked, this, &SpeedTestPage::PgDownClick);
    connect(m_stopReading, &QPushButton::clicked, this, &SpeedTestPage::StopReadingClick);
}

bool SpeedTestPage::keyPressed(QKeyEvent *event, QWidget *focus)
{
    // Space starts only where Start Read is on offer; otherwise keys go where the focus is.
    const bool timing = m_run == Run::Timing || m_run == Run::TimingAtEnd;
    const bool startOffered = m_run == Run::Ready || m_run == Run::PausedAtEnd;
    if (m_reader == nullptr || isTextInput(focus) || !(timing || startOffered))
        return false;
    return m_reader->readerKey(event->key(), event->isAutoRepeat());
}

void SpeedTestPage::attach(TSpeedTestForm &reader)
{
    m_reader = &reader;
    connect(&reader, &TSpeedTestForm::partShown, this,
            [this](const QString &caption) { showPart(m_partLabel, caption); });
    connect(&reader, &TSpeedTestForm::textLaidOut, this, [this](bool newText) {
        m_clock->setText(speedTestClockText(0));
        // A scored test is taken again only on a text loaded anew, not on the same one in a new font.
        setRun(m_run == Run::Scored && !newText ? Run::Scored : Run::Ready);
    });
    connect(&reader, &TSpeedTestForm::clockStopped, this, &SpeedTestPage::clockStopped);
    connect(&reader, &TSpeedTestForm::endZoneReached, this, [this] {
        if (m_run == Run::Timing)
            setRun(Run::TimingAtEnd);
        else if (m_run == Run::Ready)
            setRun(Run::PausedAtEnd);
    });
    connect(&reader, &TSpeedTestForm::secondsCounted, this,
            [this](double seconds) { m_clock->setText(speedTestClockText(seconds)); });
    connect(&reader, &TSpeedTestForm::startRequested, this, [this] {
        if (m_run == Run::Ready || m_run == Run::PausedAtEnd)
            StartReadClick();
    });
    connect(&reader, &TSpeedTestForm::pauseRequested, this, [this] {
        if (m_run == Run::Timing || m_run == Run::TimingAtEnd)
            StartReadClick();
    });
    // Without its reader the page has nothing to drive.
    connect(&reader, &QObject::destroyed, this, [this] { setRun(Run::NoReader); });
}

void SpeedTestPage::setRun(Run run)
{
    m_run = run;
    const bool timing = run == Run::Timing || run == Run::TimingAtEnd;
    showLook(m_startRead, timing ? ButtonLook{QStringLiteral("Pause Read"), CaptionColour::Stop, true}
                                 : ButtonLook{QStringLiteral("Start Read"), CaptionColour::Go,
                                              run == Run::Ready || run == Run::PausedAtEnd});
    m_pgUp->setEnabled(timing);
    m_pgDown->setEnabled(timing);
    m_spacebar->setVisible(timing);
    m_stopReading->setEnabled(run == Run::TimingAtEnd || run == Run::PausedAtEnd);
    m_status->setText(timing ? QStringLiteral("Timer ON") : QStringLiteral("Timer OFF"));
    m_openFile->setEnabled(!timing && run != Run::NoReader);
    m_changeFont->setEnabled(!timing && run != Run::NoReader);
    holdForReading(timing);
}

void SpeedTestPage::clockStopped()
{
    if (m_run == Run::Timing)
        setRun(Run::Ready);
    else if (m_run == Run::TimingAtEnd)
        setRun(Run::PausedAtEnd);
    else
        setRun(m_run);
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
    if (m_run == Run::Ready || m_run == Run::PausedAtEnd) {
        m_reader->startClock();
        setRun(m_run == Run::Ready ? Run::Timing : Run::TimingAtEnd);
    } else if (m_run == Run::Timing || m_run == Run::TimingAtEnd) {
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
    setRun(Run::Scored);

    TSpeedTestValues &v = m_reader->values();
    scoreSpeedTest(v);
    // On file before it is shown: a crash while the message is up keeps the score. Without a counted second
    // the message repeats the last score, but nothing is recorded again.
    m_state.recordReading(Mode::SpeedTest, ReadingResult{v.SpeedTestWordCount, v.SpeedTestSeconds});
    m_state.services.messages.information(speedTestScoreMessage(v.SpeedTestWpmText));
    m_state.askAfterReading(Mode::SpeedTest);
    if (m_reader != nullptr)
        m_reader->partTested();
}
