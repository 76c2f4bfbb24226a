#pragma once

#include <QFrame>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <utility>

class QButtonGroup;
class QVBoxLayout;

// "Change Text Visibility": radio groups, each bound to a look of the settings.
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

    // How a group reads and writes its look in the settings.
    struct Binding
    {
        std::function<int()> read;
        std::function<void(int)> write;
    };

    explicit VisibilityPanel(QWidget *parent = nullptr);
    void addGroup(const QString &title, Binding binding, std::initializer_list<Choice> choices);
    // Checks the buttons from the settings; a value no button has leaves the group unchecked.
    void syncFromSettings();

Q_SIGNALS:
    void okClicked();

private:
    QVBoxLayout *m_groups;
    QList<std::pair<QButtonGroup *, Binding>> m_bindings;
};
