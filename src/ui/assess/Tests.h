#pragma once

#include "AppValues.h"
#include "ProgressData.h"
#include "app/ChildWindow.h"
#include "app/HelpTopic.h"

#include <array>
#include <vector>

class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;
class QScrollArea;

// The comprehension test after a story: four or five questions of three choices each. "Check" scores them
// and records the score for the reading mode that was used.
class TCompTestForm final : public ChildWindow, public HelpTopic
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TCompTestForm)

public:
    static constexpr int kHelpContext = 120;

    explicit TCompTestForm(AppState &state, QWidget *parent = nullptr);
    int helpContext() const override { return kHelpContext; }

    int QuestionCount = 0;
    double RightCount = 0;
    double WrongCount = 0;
    double ComprehensionScore = 0;

    void BitBtn1Click(); // Close
    void BitBtn2Click(); // Check

protected:
    void leaving() override;

private:
    void FormCreate();
    void recordFor(Mode mode, const std::vector<AnswerRecord> &answers);

    QScrollArea *m_scrollBox;
    QWidget *m_panelsHost;
    std::array<QFrame *, 5> m_panels{};
    std::array<QLabel *, 5> m_labels{};
    std::array<QRadioButton *, 15> m_radios{};
    QPushButton *m_close;
    QPushButton *m_check;
    // The story the questions were filled for: the Short Stories menu stays usable while the test is
    // open, so the program-wide story number may name another story by the time "Check" is pressed.
    int m_storyNumber = 0;
};
