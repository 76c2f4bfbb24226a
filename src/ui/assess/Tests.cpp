#include "assess/Tests.h"

#include "ComprehensionTest.h"
#include "QuestionBank.h"
#include "app/AppState.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QColor kAnswerGreen(0x00, 0x80, 0x00);
const QColor kGrey(0x80, 0x80, 0x80);

void setTextColor(QRadioButton *button, const QColor &color)
{
    QPalette p = button->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::ButtonText, color);
    button->setPalette(p);
}

} // namespace

TCompTestForm::TCompTestForm(AppState &state, QWidget *parent) : ChildWindow(state, nullptr, nullptr, parent)
{
    setObjectName(QStringLiteral("compTestForm"));
    setWindowTitle(QStringLiteral("Comprehension Test"));
    m_state.HelpContext = kHelpContext;

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scrollBox = new QScrollArea;
    m_scrollBox->setObjectName(QStringLiteral("ScrollBox1"));
    m_scrollBox->setWidgetResizable(true);
    m_panelsHost = new QWidget;
    auto *panelsLayout = new QVBoxLayout(m_panelsHost);
    panelsLayout->setSpacing(0);
    panelsLayout->setContentsMargins(0, 0, 0, 0);
    for (int q = 0; q < 5; ++q) {
        auto *panel = new QFrame;
        panel->setObjectName(QStringLiteral("Panel%1").arg(q + 1));
        panel->setFrameShape(QFrame::StyledPanel);
        auto *panelLayout = new QVBoxLayout(panel);
        auto *label = new QLabel;
        label->setObjectName(QStringLiteral("Label%1").arg(q + 1));
        label->setWordWrap(true);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        panelLayout->addWidget(label);
        for (int c = 0; c < 3; ++c) {
            // Buttons that share a panel form one choice group.
            auto *radio = new QRadioButton(panel);
            radio->setObjectName(QStringLiteral("RadioButton%1").arg(3 * q + c + 1));
            panelLayout->addWidget(radio);
            m_radios[static_cast<std::size_t>(3 * q + c)] = radio;
        }
        panelsLayout->addWidget(panel);
        m_panels[static_cast<std::size_t>(q)] = panel;
        m_labels[static_cast<std::size_t>(q)] = label;
    }
    panelsLayout->addStretch();
    m_scrollBox->setWidget(m_panelsHost);
    layout->addWidget(m_scrollBox, 1);

    auto *bar = new QHBoxLayout;
    bar->setContentsMargins(8, 6, 8, 8);
    bar->addStretch();
    m_close = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("Close"));
    m_close->setObjectName(QStringLiteral("BitBtn1"));
    m_check = new QPushButton(style()->standardIcon(QStyle::SP_DialogApplyButton), QStringLiteral("Check"));
    m_check->setObjectName(QStringLiteral("BitBtn2"));
    bar->addWidget(m_close);
    bar->addWidget(m_check);
    layout->addLayout(bar);
    connect(m_close, &QPushButton::clicked, this, &TCompTestForm::BitBtn1Click);
    connect(m_check, &QPushButton::clicked, this, &TCompTestForm::BitBtn2Click);

    FormCreate();
    // Wide enough that no choice needs the horizontal scroll bar.
    const int contentWidth =
        m_panelsHost->sizeHint().width() + m_scrollBox->verticalScrollBar()->sizeHint().width();
    resize(std::max(460, contentWidth + 8), 520);
}

void TCompTestForm::FormCreate()
{
    m_scrollBox->ensureVisible(0, 0);
    const int story = m_state.StoryNumber;
    m_storyNumber = story;
    QuestionCount = questionCountFor(story);
    if (QuestionCount == 0)
        return;
    m_panels[4]->setVisible(QuestionCount != 4);
    const auto &questions = TestQuestions[static_cast<std::size_t>(story - 1)];
    const auto &choices = TestChoices[static_cast<std::size_t>(story - 1)];
    for (int q = 0; q < QuestionCount; ++q)
        m_labels[static_cast<std::size_t>(q)]->setText(
            QString::fromLatin1(questions[static_cast<std::size_t>(q)]));
    for (int k = 0; k < 3 * QuestionCount; ++k)
        m_radios[static_cast<std::size_t>(k)]->setText(
            QString::fromLatin1(choices[static_cast<std::size_t>(k)]));
}

void TCompTestForm::BitBtn2Click()
{
    std::array<int, 5> checked{};
    int checkedCount = 0;
    for (int k = 0; k < 15; ++k) {
        if (m_radios[static_cast<std::size_t>(k)]->isChecked()) {
            checked[static_cast<std::size_t>(k / 3)] = k % 3 + 1;
            ++checkedCount;
        }
    }
    if (checkedCount < QuestionCount || QuestionCount == 0) {
        m_state.services.messages.error(unansweredMessage(QuestionCount));
        return;
    }
    const auto score = scoreTest(m_storyNumber, checked);
    if (!score)
        return;
    RightCount = score->RightCount;
    WrongCount = score->WrongCount;
    ComprehensionScore = score->ComprehensionScore;
    const auto &key = AnswerKey[static_cast<std::size_t>(m_storyNumber - 1)];
    std::vector<AnswerRecord> answers;
    for (int q = 0; q < QuestionCount; ++q) {
        const auto i = static_cast<std::size_t>(q);
        setTextColor(m_radios[static_cast<std::size_t>(3 * q + key[i] - 1)], kAnswerGreen);
        answers.push_back(AnswerRecord{checked[i], checked[i] == key[i]});
    }
    // The score belongs to the reading mode that is current; another mode keeps no comprehension score.
    if (const Mode mode = currentMode(m_state); mode != Mode::None && modeInfo(mode).scored())
        recordFor(mode, answers);
    m_check->setEnabled(false);
    m_state.StoryLoaded = 0;
}

void TCompTestForm::recordFor(Mode mode, const std::vector<AnswerRecord> &answers)
{
    const double kept = comprehensionHistoryValue(ComprehensionScore);
    m_state.historyAppend(mode, ChartKind::Comprehension, kept);
    m_state.recordTest(mode, m_storyNumber, ComprehensionScore, answers);
    m_state.services.messages.information(comprehensionMessage(ComprehensionScore));
    if (!m_state.services.messages.confirm(
            QStringLiteral("Do you want to save this test score and WPM score on chart?"))) {
        m_state.historyRemoveLast(mode, ChartKind::Comprehension, kept);
        m_state.historyRemoveLast(mode, ChartKind::Wpm, m_state.lastWpm(mode));
        m_state.keepLastTest(mode, false);
    }
}

void TCompTestForm::BitBtn1Click()
{
    for (QRadioButton *radio : m_radios)
        setTextColor(radio, kGrey);
    m_check->setEnabled(true);
    m_state.StoryLoaded = 0;
    if (frame() != nullptr)
        frame()->close();
    else
        close();
}

void TCompTestForm::leaving()
{
    m_state.StoryLoaded = 0;
}
