#include "control/VertControlPage.h"

#include "VertLayout.h"
#include "app/AppState.h"
#include "app/Frame.h"
#include "readers/vertical.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

// The panel is short for this many controls: number boxes sit beside their bars, narrower than elsewhere.
constexpr int kBesideBoxWidth = 38;

} // namespace

VertControlPage::VertControlPage(AppState &state, QWidget *parent)
    : PacedControlPage(state, Mode::Vert, true, parent)
{
    auto *visibility = makeButton(tr("Text Visibility"), "textVisibilityButton");
    m_runGroup->layout()->addWidget(visibility);
    connect(visibility, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_state.frame != nullptr)
            m_state.frame->toggleVisibilityPanel(Mode::Vert);
    });

    auto *speedsLayout = static_cast<QGridLayout *>(m_speedGroup->layout());
    int row = speedsLayout->rowCount();
    speedsLayout->addWidget(new QLabel(tr("Sweep Speed")), row++, 0, 1, 4);
    m_secondSpeed =
        addSpeedBar(m_speedGroup, row, "secondSpeedBar", "secondSpeedBox",
                    BarRange{kVertSweepIntervalRange.min, kVertSweepIntervalRange.max, 5, 50, 150}, true);
    m_secondSpeed->setToolTip(tr("The pause between the lines of one sweep"));
    // The pacer reads it at every tick.
    connect(m_secondSpeed, &QSlider::valueChanged, this,
            [this](int position) { m_state.setSweepSpeed(position); });
    for (QLineEdit *box : m_speedGroup->findChildren<QLineEdit *>())
        box->setFixedWidth(kBesideBoxWidth);
    speedsLayout->setHorizontalSpacing(3);

    QGroupBox *fix = makeGroup(tr("Number of Fixations"), "vertFixationsGroup");
    m_fixations =
        addUpDown(fix, "fixationsUpDown", kVertFixationsRange, "changeFixationsButton", [this](int v) {
            m_state.setFixations(Mode::Vert, v);
            if (m_reader != nullptr)
                m_reader->FixationsChanged = 1;
        });
    QGroupBox *sweep = makeGroup(tr("Down Sweep"), "vertDownSweepGroup");
    m_downSweep =
        addUpDown(sweep, "downSweepUpDown", kVertDownSweepRange, "changeDownSweepButton", [this](int v) {
            m_state.setDownSweep(v);
            if (m_vert != nullptr)
                m_vert->DownSweepChanged = 1;
        });
    stackPage({fix, sweep});
}

QSpinBox *VertControlPage::addUpDown(QGroupBox *group, const char *name, IntRange range,
                                     const char *changeName, std::function<void(int)> changed)
{
    auto *box = new QSpinBox;
    box->setObjectName(QString::fromLatin1(name));
    box->setRange(range.min, range.max);
    // Off until its Change button is clicked.
    box->setEnabled(false);
    box->setToolTip(tr("Reset text after changing"));
    connect(box, &QSpinBox::valueChanged, this, [this, changed = std::move(changed)](int position) {
        m_state.PlayClick(1);
        changed(position);
    });
    QPushButton *change = makeButton(tr("Change"), changeName);
    connect(change, &QPushButton::clicked, this, [this, box] {
        m_state.PlayClick(1);
        if (m_state.VertOpen())
            box->setEnabled(true);
    });
    m_changeButtons.append(change);
    auto *layout = static_cast<QGridLayout *>(group->layout());
    layout->addWidget(box, 0, 0);
    layout->addWidget(change, 0, 1);
    return box;
}

void VertControlPage::attach(TVertForm &reader)
{
    m_vert = &reader;
    attachReader(reader);
    connect(&reader, &PacedReader::readingFinished, this, [this] {
        m_fixations->setEnabled(true);
        m_downSweep->setEnabled(true);
    });
    const TSettings &s = m_state.Settings;
    for (auto [box, value] : {std::pair{m_fixations, vertFixationsFor(s.VertFixations)},
                              std::pair{m_downSweep, vertDownSweepFor(s.VertDownSweep)}}) {
        const QSignalBlocker quiet(box);
        box->setValue(value);
    }
    // Through the bar, so that a damaged setting comes back within its range.
    m_secondSpeed->setValue(s.VertSecondInterval);
    m_state.setSweepSpeed(m_secondSpeed->value());
}

void VertControlPage::runChanged(Run run)
{
    const bool reading = run == Run::Reading;
    for (QPushButton *change : std::as_const(m_changeButtons))
        change->setEnabled(!reading);
    if (reading) {
        m_fixations->setEnabled(false);
        m_downSweep->setEnabled(false);
    }
}

std::optional<QString> VertControlPage::resetRefusal() const
{
    const TVertForm *r = m_vert;
    if (r != nullptr && r->FixationsChanged != 1 && r->DownSweepChanged == 1)
        return QStringLiteral("After changing the number of Down Sweep lines, Click the \"Reset Text\" "
                              "button before starting.");
    return PacedControlPage::resetRefusal();
}

void VertControlPage::textLaidOut(int lineCount)
{
    m_fixations->setEnabled(true);
    m_downSweep->setEnabled(true);
    PacedControlPage::textLaidOut(lineCount);
}

void VertControlPage::afterReset()
{
    m_fixations->setEnabled(false);
}
