#include "control/VertControlPage.h"

#include "VertLayout.h"
#include "app/AppState.h"
#include "app/Frame.h"
#include "readers/vertical.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
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

// The panel is short for this many controls: number boxes sit beside their bars, narrower than elsewhere.
constexpr int kBesideBoxWidth = 38;

QSpinBox *upDown(const char *name, int min, int max)
{
    auto *box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(min, max);
    // Off until its Change button is clicked.
    box->setEnabled(false);
    box->setToolTip(QObject::tr("Reset text after changing"));
    return box;
}

} // namespace

VertControlPage::VertControlPage(AppState &state, QWidget *parent) : ControlPage(state, parent)
{
    setObjectName(QStringLiteral("vertPage"));
    m_openAction = toolBar()->addAction(style()->standardIcon(QStyle::SP_DialogOpenButton), tr("Open File"));
    m_openAction->setObjectName(QStringLiteral("vertOpenAction"));
    m_openAction->setToolTip(tr("Open File"));
    connect(m_openAction, &QAction::triggered, this, [this] { openTextFileIntoReader(); });
    m_fontAction = toolBar()->addAction(tr("Aa"));
    m_fontAction->setObjectName(QStringLiteral("vertFontAction"));
    m_fontAction->setToolTip(tr("Change Font"));
    // The reader's font operation plays the click itself.
    connect(m_fontAction, &QAction::triggered, this, [this] {
        if (TVertForm *r = m_reader)
            r->chooseFont();
    });
    addHelpButton();

    auto *run = new QGroupBox(this);
    run->setObjectName(QStringLiteral("vertRunGroup"));
    auto *runLayout = new QVBoxLayout(run);
    m_start = makeButton(tr("Start Read"), "startReadButton");
    m_reset = makeButton(tr("Reset Text"), "resetTextButton");
    auto *visibility = makeButton(tr("Text Visibility"), "textVisibilityButton");
    for (QPushButton *b : {m_start, m_reset, visibility})
        runLayout->addWidget(b);
    connect(m_start, &QPushButton::clicked, this, &VertControlPage::startRead);
    connect(m_reset, &QPushButton::clicked, this, &VertControlPage::resetText);
    connect(visibility, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_state.frame != nullptr)
            m_state.frame->toggleVisibilityPanel(Mode::Vert);
    });

    QGroupBox *speeds = makeGroup(tr("Adjust Speed"), "vertSpeedGroup");
    int row = 0;
    m_speed = addSpeedBar(speeds, row, "speedBar", "speedBox", BarRange{10, 2000, 10, 100, 600}, true);
    connect(m_speed, &QSlider::valueChanged, this, &VertControlPage::speedChanged);
    auto *speedsLayout = static_cast<QGridLayout *>(speeds->layout());
    speedsLayout->addWidget(new QLabel(tr("Sweep Speed")), row++, 0, 1, 4);
    m_secondSpeed =
        addSpeedBar(speeds, row, "secondSpeedBar", "secondSpeedBox", BarRange{10, 350, 5, 50, 150}, true);
    m_secondSpeed->setToolTip(tr("The pause between the lines of one sweep"));
    connect(m_secondSpeed, &QSlider::valueChanged, this, &VertControlPage::secondSpeedChanged);

    QGroupBox *fix = makeGroup(tr("Number of Fixations"), "vertFixationsGroup");
    m_fixations = upDown("fixationsUpDown", kVertMinFixations, kVertMaxFixations);
    m_changeFixations = makeButton(tr("Change"), "changeFixationsButton");
    auto *fixLayout = static_cast<QGridLayout *>(fix->layout());
    fixLayout->addWidget(m_fixations, 0, 0);
    fixLayout->addWidget(m_changeFixations, 0, 1);
    connect(m_fixations, &QSpinBox::valueChanged, this, &VertControlPage::fixationsChanged);
    connect(m_changeFixations, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_state.VertOpen())
            m_fixations->setEnabled(true);
    });

    QGroupBox *sweep = makeGroup(tr("Down Sweep"), "vertDownSweepGroup");
    m_downSweep = upDown("downSweepUpDown", kVertMinDownSweep, kVertMaxDownSweep);
    m_changeDownSweep = makeButton(tr("Change"), "changeDownSweepButton");
    auto *sweepLayout = static_cast<QGridLayout *>(sweep->layout());
    sweepLayout->addWidget(m_downSweep, 0, 0);
    sweepLayout->addWidget(m_changeDownSweep, 0, 1);
    connect(m_downSweep, &QSpinBox::valueChanged, this, &VertControlPage::downSweepChanged);
    connect(m_changeDownSweep, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_state.VertOpen())
            m_downSweep->setEnabled(true);
    });

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("vertProgressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    for (QLineEdit *box : speeds->findChildren<QLineEdit *>())
        box->setFixedWidth(kBesideBoxWidth);
    speedsLayout->setHorizontalSpacing(3);
    stackGroups({run, speeds, fix, sweep, m_progress});
    setRun(Run::NoText);
}

void VertControlPage::attach(TVertForm &reader)
{
    m_reader = &reader;
    connect(&reader, &PacedReader::runKeyPressed, this, [this] {
        if (m_start->isEnabled())
            m_start->click();
    });
    connect(&reader, &TVertForm::textLaidOut, this, &VertControlPage::textLaidOut);
    connect(&reader, &TVertForm::progressed, m_progress, &QProgressBar::setValue);
    connect(&reader, &TVertForm::readingFinished, this, [this] {
        setRun(Run::Finished);
        m_fixations->setEnabled(true);
        m_downSweep->setEnabled(true);
    });
    const TSettings &s = m_state.Settings;
    {
        const QSignalBlocker quiet(m_fixations);
        m_fixations->setValue(vertFixationsFor(s.VertFixations));
    }
    {
        const QSignalBlocker quiet(m_downSweep);
        m_downSweep->setValue(vertDownSweepFor(s.VertDownSweep));
    }
    // Through the bars, so that a damaged setting comes back within their range.
    m_speed->setValue(s.VertInterval);
    speedChanged(m_speed->value());
    m_secondSpeed->setValue(s.VertSecondInterval);
    secondSpeedChanged(m_secondSpeed->value());
}

void VertControlPage::setRun(Run run)
{
    m_run = run;
    const bool reading = run == Run::Reading;
    showLook(m_start, reading ? ButtonLook{tr("Pause Read"), CaptionColour::Stop, true}
                              : ButtonLook{tr("Start Read"), CaptionColour::Go,
                                           run == Run::Ready || run == Run::Paused});
    m_reset->setEnabled(run != Run::NoText && !reading);
    m_changeFixations->setEnabled(!reading);
    m_changeDownSweep->setEnabled(!reading);
    m_openAction->setEnabled(!reading);
    m_fontAction->setEnabled(!reading);
    if (reading) {
        m_fixations->setEnabled(false);
        m_downSweep->setEnabled(false);
    }
    holdForReading(reading);
}

void VertControlPage::textLaidOut()
{
    m_progress->setValue(0);
    m_fixations->setEnabled(true);
    m_downSweep->setEnabled(true);
    setRun(Run::Ready);
}

void VertControlPage::resetText()
{
    m_state.PlayClick(1);
    TVertForm *r = m_reader;
    if (r == nullptr)
        return;
    r->pauseReading();
    r->FixationsChanged = 0;
    r->DownSweepChanged = 0;
    r->FontsChanged = 0;
    r->resetScore();
    r->LoadVerticalText();
    r->scrollToTop();
    m_progress->setValue(0);
    m_fixations->setEnabled(false);
}

void VertControlPage::startRead()
{
    m_state.PlayClick(1);
    TVertForm *r = m_reader;
    if (r == nullptr)
        return;
    if (r->isPacing()) {
        r->pauseReading();
        r->unsetCursor();
        setRun(Run::Paused);
        m_speed->setFocus();
        return;
    }
    const char *refusal = nullptr;
    if (r->FixationsChanged == 1)
        refusal = "After changing the number of Fixations, Click the \"Reset Text\" button before starting.";
    else if (r->DownSweepChanged == 1)
        refusal =
            "After changing the number of Down Sweep lines, Click the \"Reset Text\" button before starting.";
    else if (r->FontsChanged == 1)
        refusal = "After changing the Fonts, Click the \"Reset Text\" button before starting.";
    if (refusal != nullptr) {
        m_state.PlayClick(3);
        m_state.services.messages.information(QString::fromLatin1(refusal));
        return;
    }
    r->startReading();
    setRun(Run::Reading);
    m_speed->setFocus();
}

void VertControlPage::speedChanged(int position)
{
    m_state.setSpeed(Mode::Vert, position);
    if (TVertForm *r = m_reader)
        r->setPacingInterval(position);
}

void VertControlPage::secondSpeedChanged(int position)
{
    // The pacer reads it at every tick.
    m_state.setSweepSpeed(position);
}

void VertControlPage::fixationsChanged(int position)
{
    m_state.PlayClick(1);
    m_state.setFixations(Mode::Vert, position);
    if (TVertForm *r = m_reader)
        r->FixationsChanged = 1;
}

void VertControlPage::downSweepChanged(int position)
{
    m_state.PlayClick(1);
    m_state.setDownSweep(position);
    if (TVertForm *r = m_reader)
        r->DownSweepChanged = 1;
}
