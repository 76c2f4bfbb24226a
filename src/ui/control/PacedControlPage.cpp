#include "control/PacedControlPage.h"

#include "app/AppState.h"
#include "readers/PacedReader.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kArrowStep = 30;

QString named(Mode mode, const char *what)
{
    return QString::fromLatin1(mode == Mode::Horiz ? "horiz" : "vert") + QString::fromLatin1(what);
}

} // namespace

PacedControlPage::PacedControlPage(AppState &state, Mode mode, bool speedBoxBeside, QWidget *parent)
    : ControlPage(state, parent), m_mode(mode)
{
    setObjectName(named(mode, "Page"));
    m_openAction = addTool(style()->standardIcon(QStyle::SP_DialogOpenButton), tr("Open File"),
                           qPrintable(named(mode, "OpenAction")), [this] { openTextFileIntoReader(); });
    // The reader's font operation plays the click itself.
    m_fontAction = addTool(
        QIcon(), tr("Aa"), qPrintable(named(mode, "FontAction")),
        [this] {
            if (PacedReader *r = m_reader)
                r->chooseFont();
        },
        tr("Change Font"));
    addHelpButton();

    m_runGroup = new QGroupBox(this);
    m_runGroup->setObjectName(named(mode, "RunGroup"));
    auto *runLayout = new QVBoxLayout(m_runGroup);
    m_start = makeButton(tr("Start Read"), "startReadButton");
    m_start->setToolTip(tr("Space: start, pause or resume; Escape: pause"));
    m_reset = makeButton(tr("Reset Text"), "resetTextButton");
    runLayout->addWidget(m_start);
    runLayout->addWidget(m_reset);
    connect(m_start, &QPushButton::clicked, this, &PacedControlPage::startRead);
    connect(m_reset, &QPushButton::clicked, this, &PacedControlPage::resetText);

    m_speedGroup = makeGroup(tr("Adjust Speed"), qPrintable(named(mode, "SpeedGroup")));
    int row = 0;
    m_speed =
        addSpeedBar(m_speedGroup, row, "speedBar", "speedBox",
                    BarRange{kPacerIntervalRange.min, kPacerIntervalRange.max, 10, 100, 600}, speedBoxBeside);
    m_speed->setToolTip(tr("Up and Down arrows: faster and slower by 30"));
    connect(m_speed, &QSlider::valueChanged, this, &PacedControlPage::speedChanged);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(named(mode, "ProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
}

void PacedControlPage::stackPage(std::initializer_list<QWidget *> more)
{
    QList<QWidget *> groups{m_runGroup, m_speedGroup};
    groups += QList<QWidget *>(more);
    groups.append(m_progress);
    stackGroups(groups);
    setRun(Run::NoText);
}

void PacedControlPage::attachReader(PacedReader &reader)
{
    m_reader = &reader;
    connect(&reader, &PacedReader::textLaidOut, this, &PacedControlPage::textLaidOut);
    connect(&reader, &PacedReader::progressed, m_progress, &QProgressBar::setValue);
    // The part of a book shows in the progress bar, which already has its place on the page: the vertical
    // page holds no room for another line.
    connect(&reader, &PacedReader::partShown, this, [this](const QString &caption) {
        m_progress->setFormat(caption);
        m_progress->setTextVisible(!caption.isEmpty());
    });
    connect(&reader, &PacedReader::readingFinished, this, [this] { setRun(Run::Finished); });
    // Through the bar, so that a damaged setting comes back within its range.
    m_speed->setValue(m_mode == Mode::Horiz ? m_state.Settings.HorizInterval : m_state.Settings.VertInterval);
    speedChanged(m_speed->value());
}

void PacedControlPage::setRun(Run run)
{
    m_run = run;
    const bool reading = run == Run::Reading;
    showLook(m_start, reading ? ButtonLook{tr("Pause Read"), CaptionColour::Stop, true}
                              : ButtonLook{tr("Start Read"), CaptionColour::Go,
                                           run == Run::Ready || run == Run::Paused});
    m_reset->setEnabled(offersResetText());
    m_openAction->setEnabled(!reading);
    m_fontAction->setEnabled(!reading);
    holdForReading(reading);
    runChanged(run);
}

void PacedControlPage::textLaidOut(int)
{
    m_progress->setValue(0);
    setRun(Run::Ready);
}

std::optional<QString> PacedControlPage::resetRefusal() const
{
    const PacedReader *r = m_reader;
    if (r != nullptr && r->FixationsChanged == 1)
        return QStringLiteral(
            "After changing the number of Fixations, Click the \"Reset Text\" button before starting.");
    if (r != nullptr && r->FontsChanged == 1)
        return QStringLiteral("After changing the Fonts, Click the \"Reset Text\" button before starting.");
    return std::nullopt;
}

void PacedControlPage::startRead()
{
    m_state.PlayClick(1);
    PacedReader *r = m_reader;
    if (r == nullptr)
        return;
    if (m_run == Run::Reading) {
        r->pauseReading();
        r->unsetCursor();
        setRun(Run::Paused);
        m_speed->setFocus();
        return;
    }
    if (const auto refusal = resetRefusal()) {
        m_state.PlayClick(3);
        m_state.services.messages.information(*refusal);
        return;
    }
    r->startReading();
    setRun(Run::Reading);
    m_speed->setFocus();
}

void PacedControlPage::resetText()
{
    m_state.PlayClick(1);
    if (PacedReader *r = m_reader) {
        r->resetText();
        m_progress->setValue(0);
        afterReset();
    }
}

void PacedControlPage::speedChanged(int position)
{
    m_state.setSpeed(m_mode, position);
    if (PacedReader *r = m_reader)
        r->setPacingInterval(m_speed->value());
}

void PacedControlPage::stepSpeed(bool slower)
{
    const int position = m_speed->value();
    if (slower && position < m_speed->maximum() + kArrowStep)
        m_speed->setValue(position + kArrowStep);
    else if (!slower && position > m_speed->minimum() + kArrowStep)
        m_speed->setValue(position - kArrowStep);
}

void PacedControlPage::holdReading()
{
    if (m_run == Run::Reading)
        startRead();
}

bool PacedControlPage::keyPressed(QKeyEvent *event, QWidget *focus)
{
    ReaderKeys keys;
    keys.underWay = m_run == Run::Reading || m_run == Run::Paused;
    keys.paused = m_run == Run::Paused;
    keys.startOffered = m_run == Run::Ready;
    keys.speedOffered = keys.underWay || keys.startOffered;
    keys.space = [this] { startRead(); };
    // A paused reading is never reset by a key.
    keys.escape = [this] {
        if (m_run == Run::Reading)
            startRead();
    };
    keys.step = [this](bool forward) {
        if (m_reader != nullptr)
            m_reader->stepFixation(forward);
    };
    keys.speed = [this](bool slower) {
        stepSpeed(slower);
        if (PacedReader *r = m_reader)
            r->takeFocus();
    };
    return readerKey(event, focus, keys);
}
