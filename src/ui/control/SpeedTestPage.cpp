#include "control/SpeedTestPage.h"

#include "SpeedTestText.h"
#include "Wpm.h"
#include "app/AppState.h"
#include "app/Frame.h"
#include "readers/SpeedTest.h"

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

    setRun(Run::NoText);

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

void SpeedTestPage::attach(TSpeedTestForm &reader)
{
    m_reader = &reader;
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
    m_state.recordSpeed(Mode::SpeedTest, wordsPerMinute(v.SpeedTestWordCount, v.SpeedTestSeconds));
    m_state.services.messages.information(speedTestScoreMessage(v.SpeedTestWpmText));
    m_state.askAfterReading(Mode::SpeedTest);
}
