#pragma once

#include "control/PacedControlPage.h"

class QLineEdit;
class QSpinBox;
class THorizonForm;

// The control panel's page of the horizontal reader: besides what every paced page has, the number of
// fixations with its Change button, the Number of Lines read-out and the text visibility panel.
class HorizControlPage final : public PacedControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HorizControlPage)

public:
    explicit HorizControlPage(AppState &state, QWidget *parent = nullptr);

    void attach(THorizonForm &reader);
    void panelShown() override;

private:
    void runChanged(Run run) override;
    void afterReset() override;
    void textLaidOut(int lineCount) override;
    void setFixations(int fixations);

    QSpinBox *m_fixations;
    QPushButton *m_change;
    QLineEdit *m_lineCount;
};
