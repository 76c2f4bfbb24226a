#pragma once

#include "control/PacedControlPage.h"

class QSpinBox;
class TVertForm;

// The control panel's page of the vertical reader: besides what every paced page has, the Sweep Speed bar,
// the fixations and the Down Sweep lines with their Change buttons, and the text visibility panel.
class VertControlPage final : public PacedControlPage
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VertControlPage)

public:
    explicit VertControlPage(AppState &state, QWidget *parent = nullptr);

    void attach(TVertForm &reader);

private:
    void runChanged(Run run) override;
    std::optional<QString> resetRefusal() const override;
    void afterReset() override;
    void textLaidOut(int lineCount) override;
    // An up-down with its Change button, in a group of its own; `changed` takes each new position.
    QSpinBox *addUpDown(QGroupBox *group, const char *name, IntRange range, const char *changeName,
                        std::function<void(int)> changed);

    QPointer<TVertForm> m_vert;
    QSlider *m_secondSpeed;
    QSpinBox *m_fixations;
    QSpinBox *m_downSweep;
    QList<QPushButton *> m_changeButtons;
};
