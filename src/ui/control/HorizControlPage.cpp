#include "control/HorizControlPage.h"

#include "app/AppState.h"
#include "app/Frame.h"
#include "readers/longread.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

HorizControlPage::HorizControlPage(AppState &state, QWidget *parent)
    : PacedControlPage(state, Mode::Horiz, false, parent)
{
    QGroupBox *fix = makeGroup(tr("Number of Fixations"), "horizFixationsGroup");
    auto *fixLayout = static_cast<QGridLayout *>(fix->layout());
    m_fixations = new QSpinBox;
    m_fixations->setObjectName(QStringLiteral("fixationsUpDown"));
    m_fixations->setRange(2, kHorizFixationsRange.max);
    m_fixations->setValue(2);
    m_fixations->setEnabled(false);
    m_fixations->setToolTip(tr("Reset text after changing"));
    connect(m_fixations, &QSpinBox::valueChanged, this, [this](int position) {
        m_state.PlayClick(1);
        m_state.setFixations(Mode::Horiz, position);
        if (m_reader != nullptr)
            m_reader->FixationsChanged = 1;
        setFocus();
    });
    m_change = makeButton(tr("Change"), "changeFixationsButton");
    connect(m_change, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_state.HorizOpen())
            m_fixations->setEnabled(true);
    });
    fixLayout->addWidget(m_fixations, 0, 0);
    fixLayout->addWidget(m_change, 0, 1);
    fixLayout->addWidget(new QLabel(tr("Number of Lines")), 1, 0, 1, 2);
    m_lineCount = numberBox("lineCountBox");
    fixLayout->addWidget(m_lineCount, 2, 0, 1, 2, Qt::AlignLeft);
    QPushButton *visibility = makeButton(tr("Text Visibility"), "textVisibilityButton");
    connect(visibility, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_state.frame != nullptr)
            m_state.frame->toggleVisibilityPanel(Mode::Horiz);
    });
    fixLayout->addWidget(visibility, 3, 0, 1, 2);
    stackPage({fix});
}

void HorizControlPage::attach(THorizonForm &reader)
{
    attachReader(reader);
    setFixations(m_state.Settings.HorizFixations);
}

void HorizControlPage::runChanged(Run run)
{
    m_change->setEnabled(run != Run::Reading);
    if (run == Run::Reading)
        m_fixations->setEnabled(false);
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

void HorizControlPage::textLaidOut(int lineCount)
{
    m_lineCount->setText(QString::number(lineCount));
    PacedControlPage::textLaidOut(lineCount);
}

void HorizControlPage::afterReset()
{
    m_fixations->setEnabled(false);
    m_speed->setFocus();
}
