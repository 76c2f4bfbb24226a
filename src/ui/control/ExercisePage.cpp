#include "control/ExercisePage.h"

#include "ExerciseEngine.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "assess/exercise.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int kMinutesMax = 4;
// The panel may be as narrow as 120 pixels; the groups fit in it.
constexpr int kExerciseGroupWidth = 116;

// Toolbar icons drawn here: the style has none for a font or a colour.
QIcon letterIcon(const QString &letter, const QColor &ink, const QColor &ground)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(ground);
    QPainter painter(&pixmap);
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(16);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(ink);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, letter);
    return QIcon(pixmap);
}

} // namespace

ExercisePage::ExercisePage(AppState &state, QWidget *parent) : ControlPage(state, parent)
{
    setObjectName(QStringLiteral("exercisePage"));

    addTool(letterIcon(QStringLiteral("A"), QColor(0, 0, 128), Qt::transparent), tr("Change Font"),
            "exerciseChangeFontAction", [this] {
                if (m_exercise != nullptr)
                    m_exercise->chooseFont();
            });
    addTool(letterIcon(QStringLiteral("C"), Qt::white, QColor(0, 96, 160)), tr("Change Background Color"),
            "exerciseBackColorAction", [this] { chooseBackColor(); });
    addHelpButton();

    auto *flash = new QGroupBox(QStringLiteral("Flash Time"), this);
    flash->setObjectName(QStringLiteral("exerciseFlashGroup"));
    auto *flashGrid = new QGridLayout(flash);
    flashGrid->setContentsMargins(4, 4, 4, 4);
    flashGrid->setHorizontalSpacing(3);
    m_flashBar = new QScrollBar(Qt::Horizontal, flash);
    m_flashBar->setObjectName(QStringLiteral("exerciseFlashTimeBar"));
    m_flashBar->setRange(kExerciseFlashMsMin, kExerciseFlashMsMax);
    m_flashBar->setSingleStep(5);
    m_flashBar->setPageStep(20);
    m_flashBox = new QLineEdit(flash);
    m_flashBox->setObjectName(QStringLiteral("exerciseFlashTimeBox"));
    m_flashBox->setReadOnly(true);
    m_flashBox->setFocusPolicy(Qt::NoFocus);
    m_flashBox->setAlignment(Qt::AlignRight);
    m_flashBox->setFixedWidth(m_flashBox->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 10);
    flashGrid->setVerticalSpacing(2);
    flashGrid->addWidget(m_flashBar, 0, 0);
    flashGrid->addWidget(m_flashBox, 1, 0, Qt::AlignHCenter);
    flashGrid->addWidget(new QLabel(QStringLiteral("milliseconds"), flash), 2, 0, Qt::AlignHCenter);

    auto *practice = new QGroupBox(QStringLiteral("Practice Time"), this);
    practice->setObjectName(QStringLiteral("exercisePracticeGroup"));
    auto *practiceGrid = new QGridLayout(practice);
    practiceGrid->setContentsMargins(4, 4, 4, 4);
    practiceGrid->setHorizontalSpacing(3);
    auto *minutes = new UpDownBox(practice);
    minutes->setObjectName(QStringLiteral("exercisePracticeMinutesSpin"));
    minutes->setRange(kExercisePracticeMinutesMin, kMinutesMax);
    minutes->onStep = [this] { m_state.PlayClick(1); };
    m_minutesSpin = minutes;
    practiceGrid->addWidget(m_minutesSpin, 0, 0);
    practiceGrid->addWidget(new QLabel(QStringLiteral("Minutes"), practice), 0, 1);
    practiceGrid->setColumnStretch(1, 1);
    m_progress = new QProgressBar(practice);
    m_progress->setObjectName(QStringLiteral("exercisePracticeProgress"));
    m_progress->setTextVisible(false);
    m_progress->setRange(0, 3 * 60);
    m_progress->setValue(0);
    practiceGrid->addWidget(m_progress, 1, 0, 1, 2);

    m_startButton = makeButton(QStringLiteral("Start"), "exerciseStartButton");
    m_stopButton = makeButton(QStringLiteral("Stop && Reset"), "exerciseStopButton");
    QGroupBox *run = makeColumn(QString(), "exerciseRunGroup", {m_startButton, m_stopButton});
    stackGroups({flash, practice, run}, kExerciseGroupWidth);

    connect(m_flashBar, &QScrollBar::valueChanged, this, &ExercisePage::flashTimeChanged);
    connect(m_minutesSpin, &QSpinBox::valueChanged, this, &ExercisePage::practiceMinutesChanged);
    connect(m_startButton, &QPushButton::clicked, this, &ExercisePage::startClicked);
    connect(m_stopButton, &QPushButton::clicked, this, &ExercisePage::stopClicked);
    setPractice(Practice::Idle);
}

void ExercisePage::attach(TExerciseForm &exercise)
{
    m_exercise = &exercise;
    connect(&exercise, &TExerciseForm::progressChanged, m_progress, &QProgressBar::setValue);
    connect(&exercise, &TExerciseForm::practiceEnded, this, [this] { setPractice(Practice::Idle); });
    connect(&exercise, &TExerciseForm::flashTimeSettled, m_flashBar, &QScrollBar::setValue);
    // A window closed in mid-practice leaves nothing to stop.
    connect(&exercise, &QObject::destroyed, this, [this] {
        setPractice(Practice::Idle);
        m_progress->setValue(0);
    });
    syncFromSettings();
}

void ExercisePage::syncFromSettings()
{
    const TSettings &s = m_state.Settings;
    // The controls clamp what a damaged record holds; the window and the record then take the control's
    // value.
    const int flash = s.ExerciseFlashTime;
    const int minutes = s.ExercisePracticeMinutes;
    m_flashBar->setValue(flash);
    m_minutesSpin->setValue(minutes);
    flashTimeChanged(m_flashBar->value());
    practiceMinutesChanged(m_minutesSpin->value());
}

void ExercisePage::flashTimeChanged(int ms)
{
    m_flashBox->setText(QString::number(ms));
    m_state.setSpeed(Mode::Exercise, ms);
    if (m_exercise != nullptr)
        m_exercise->setFlashTime(ms);
}

void ExercisePage::practiceMinutesChanged(int minutes)
{
    m_state.setPracticeMinutes(minutes);
    m_progress->setMaximum(minutes * 60);
    if (m_exercise != nullptr)
        m_exercise->setPracticeMinutes(minutes);
}

void ExercisePage::startClicked()
{
    m_state.PlayClick(1);
    if (m_exercise == nullptr)
        return;
    setPractice(Practice::Practising);
    m_exercise->start();
}

void ExercisePage::stopClicked()
{
    m_state.PlayClick(1);
    setPractice(Practice::Idle);
    if (m_exercise != nullptr)
        m_exercise->stopAndReset();
}

void ExercisePage::chooseBackColor()
{
    if (const auto color = changeColour(AppState::Colour::ExerciseBack); color && m_exercise != nullptr)
        m_exercise->setBackColor(*color);
}

void ExercisePage::setPractice(Practice practice)
{
    m_practice = practice;
    const bool practising = practice == Practice::Practising;
    showLook(m_startButton, {QStringLiteral("Start"), CaptionColour::Go, !practising});
    // Stopping is offered only while there is a practice to stop.
    showLook(m_stopButton, {QStringLiteral("Stop && Reset"), CaptionColour::Stop, practising});
    // During a practice no setting takes the keyboard: typed answers must not change them.
    m_minutesSpin->setEnabled(!practising);
    m_flashBar->setFocusPolicy(practising ? Qt::NoFocus : Qt::StrongFocus);
    if (practising && m_exercise != nullptr)
        m_exercise->takeFocus();
}

bool ExercisePage::keyPressed(QKeyEvent *event, QWidget *)
{
    return m_exercise != nullptr && m_exercise->answerKey(event->key());
}
