#pragma once

#include <QFrame>

#include <cstdint>
#include <initializer_list>
#include <utility>

class QButtonGroup;
class QVBoxLayout;

// "Change Text Visibility": radio groups that write a look byte of the settings directly.
class VisibilityPanel final : public QFrame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VisibilityPanel)

public:
    struct Choice
    {
        const char *caption;
        std::uint8_t value;
        const char *objectName;
    };

    explicit VisibilityPanel(QWidget *parent = nullptr);
    void addGroup(const QString &title, std::uint8_t &target, std::initializer_list<Choice> choices);
    // Checks the buttons from the settings; a value no button has leaves the group unchecked.
    void syncFromSettings();

Q_SIGNALS:
    void okClicked();

private:
    QVBoxLayout *m_groups;
    QList<std::pair<QButtonGroup *, std::uint8_t *>> m_bindings;
};
