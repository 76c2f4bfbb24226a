#include "control/HorizControlPage.h"

#include "app/AppState.h"
#include "app/Frame.h"
#include "readers/longread.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

constexpr int kArrowStep = 30;

} // namespace

HorizControlPage::HorizControlPage(AppState &state, QWidget *parent) : ControlPage(state, parent)
{
    setObjectName(QStringLiteral("horizPage"));
    m_openAction = toolBar()->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), tr("Open File"));
    m_openAction->setObjectName(QStringLiteral("horizOpenAction"));
    m_openAction->setToolTip(tr("Open File"));
    connect(m_openAction, &QAction::triggered, this, &HorizControlPage::openFile);
    m_fontAction = toolBar()->addAction(tr("Aa"));
    m_fontAction->setObjectName(QStringLiteral("horizFontAction"));
    m_fontAction->setToolTip(tr("Change Font"));
    connect(m_fontAction, &QAction::triggered, this, &HorizControlPage::changeFont);
    addHelpButton();

    auto *run = new QGroupBox(this);
    run->setObjectName(QStringLiteral("horizRunGroup"));
    auto *runLayout = new QVBoxLayout(run);
    m_start = makeButton(tr("Start Read"), "startReadButton");
    m_reset = makeButton(tr("Reset Text"), "resetTextButton");
    runLayout->addWidget(m_start);
    runLayout->addWidget(m_reset);
    connect(m_start, &QPushButton::clicked, this, &HorizControlPage::startRead);
    connect(m_reset, &QPushButton::clicked, this, &HorizControlPage::resetText);

    QGroupBox *speed = makeGroup(tr("Adjust Speed"), "horizSpeedGroup");
    int row = 0;
    m_speed = addSpeedBar(speed, row, "speedBar", "speedBox", BarRange{10, 2000, 10, 100, 600}, false);
    connect(m_speed, &QSlider::valueChanged, this, &HorizControlPage::speedChanged);

    auto *fix = new QGroupBox(tr("Number of Fixations"), this);
    fix->setObjectName(QStringLiteral("horizFixationsGroup"));
    auto *fixLayout = new QGridLayout(fix);
    m_fixations = new QSpinBox;
    m_fixations->setObjectName(QStringLiteral("fixationsUpDown"));
    m_fixations->setRange(2, 5);
    m_fixations->setValue(2);
    m_fixations->setEnabled(false);
    m_fixations->setToolTip(tr("Reset text after changing"));
    connect(m_fixations, &QSpinBox::valueChanged, this, &HorizControlPage::fixationsClicked);
    m_change = makeButton(tr("Change"), "changeFixationsButton");
    connect(m_change, &QPushButton::clicked, this, &HorizControlPage::changeClicked);
    fixLayout->addWidget(m_fixations, 0, 0);
    fixLayout->addWidget(m_change, 0, 1);
    fixLayout->addWidget(new QLabel(tr("Number of Lines")), 1, 0, 1, 2);
    m_lineCount = numberBox("lineCountBox");
    fixLayout->addWidget(m_lineCount, 2, 0, 1, 2, Qt::AlignLeft);
    m_visibility = makeButton(tr("Text Visibility"), "textVisibilityButton");
    connect(m_visibility, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_state.frame != nullptr)
            m_state.frame->toggleVisibilityPanel(Mode::Horiz);
    });
    fixLayout->addWidget(m_visibility, 3, 0, 1, 2);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("horizProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    stackGroups({run, speed, fix, m_progress});
    setRun(Run::NoText);
}

void HorizControlPage::attach(THorizonForm &reader)
{
    m_reader = &reader;
    connect(&reader, &PacedReader::runKeyPressed, this, [this] {
        if (m_start->isEnabled())
            m_start->click();
    });
    connect(&reader, &THorizonForm::textLaidOut, this, &HorizControlPage::textLaidOut);
    connect(&reader, &THorizonForm::progressed, m_progress, &QProgressBar::setValue);
    connect(&reader, &THorizonForm::readingFinished, this, [this] { setRun(Run::Finished); });
    connect(&reader, &THorizonForm::speedKeyPressed, this, &HorizControlPage::stepSpeed);
    setFixations(m_state.Settings.HorizFixations);
    setSpeed(m_state.Settings.HorizInterval);
}

void HorizControlPage::setRun(Run run)
{
    m_run = run;
    const bool reading = run == Run::Reading;
    const bool hasText = run != Run::NoText;
    showLook(m_start, reading ? ButtonLook{tr("Pause Read"), CaptionColour::Stop, true}
                              : ButtonLook{tr("Start Read"), CaptionColour::Go,
                                           run == Run::Ready || run == Run::Paused});
    m_reset->setEnabled(hasText && !reading);
    m_change->setEnabled(!reading);
    m_openAction->setEnabled(!reading);
    m_fontAction->setEnabled(!reading);
    holdForReading(reading);
}

void HorizControlPage::panelShown()
{
    setFixations(m_state.Settings.HorizFixations);
    if (m_reader != nullptr)
        m_reader->FixationsChanged = 0;
}

void HorizControlPage::setFixations(int fixations)
{
    const QSignalBlocker quiet(m_fixations);
    m_fixations->setValue(fixations);
}

void HorizControlPage::setSpeed(int interval)
{
    m_speed->setValue(interval);
    speedChanged(m_speed->value());
}

void HorizControlPage::textLaidOut(int lineCount)
{
    m_lineCount->setText(QString::number(lineCount));
    m_progress->setValue(0);
    setRun(Run::Ready);
}

void HorizControlPage::openFile()
{
    openTextFileIntoReader();
}

void HorizControlPage::changeFont()
{
    // The reader's font operation plays the click itself.
    if (THorizonForm *r = m_reader)
        r->chooseFont();
}

void HorizControlPage::resetText()
{
    m_state.PlayClick(1);
    THorizonForm *r = m_reader;
    if (r == nullptr)
        return;
    r->FixationsChanged = 0;
    r->FontsChanged = 0;
    r->stopTimers();
    r->resetScore();
    r->TextLoaded = 1;
    r->LoadHorizontalText();
    r->resetScrollAccumulator();
    r->scrollToTop();
    m_fixations->setEnabled(false);
    m_progress->setValue(0);
    m_speed->setFocus();
}

void HorizControlPage::startRead()
{
    m_state.PlayClick(1);
    THorizonForm *r = m_reader;
    if (r == nullptr)
        return;
    if (r->isPacing()) {
        r->stopTimers();
        r->unsetCursor();
        setRun(Run::Paused);
        r->SavedWidth = r->width();
        r->TextLoaded = 1;
        m_speed->setFocus();
        return;
    }
    if (r->FixationsChanged == 1) {
        m_state.PlayClick(3);
        m_state.services.messages.information(QStringLiteral(
            "After changing the number of Fixations, Click the \"Reset Text\" button before starting."));
        return;
    }
    if (r->FontsChanged == 1) {
        m_state.PlayClick(3);
        m_state.services.messages.information(
            QStringLiteral("After changing the Fonts, Click the \"Reset Text\" button before starting."));
        return;
    }
    r->startTimers();
    setRun(Run::Reading);
    m_fixations->setEnabled(false);
    r->TextLoaded = 1;
    m_speed->setFocus();
}

void HorizControlPage::speedChanged(int position)
{
    m_state.setSpeed(Mode::Horiz, position);
    if (THorizonForm *r = m_reader)
        r->setPacingInterval(position);
}

void HorizControlPage::fixationsClicked(int position)
{
    m_state.PlayClick(1);
    m_state.setFixations(Mode::Horiz, position);
    if (THorizonForm *r = m_reader)
        r->FixationsChanged = 1;
    setFocus();
}

void HorizControlPage::changeClicked()
{
    m_state.PlayClick(1);
    if (m_state.HorizOpen())
        m_fixations->setEnabled(true);
}

void HorizControlPage::stepSpeed(bool slower)
{
    const int position = m_speed->value();
    if (slower && position < m_speed->maximum() + kArrowStep)
        m_speed->setValue(position + kArrowStep);
    else if (!slower && position > m_speed->minimum() + kArrowStep)
        m_speed->setValue(position - kArrowStep);
}

bool HorizControlPage::previewKey(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Left || key == Qt::Key_Right) && m_reader != nullptr &&
        m_reader->stepFixation(key == Qt::Key_Right))
        return true;
    if (event->key() != Qt::Key_Down && event->key() != Qt::Key_Up)
        return false;
    THorizonForm *r = m_reader;
    if (!m_state.HorizOpen() || r == nullptr || r->TextLoaded != 1)
        return false;
    stepSpeed(event->key() == Qt::Key_Down);
    r->setFocus();
    return true;
}
