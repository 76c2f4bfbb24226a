#include "app/VisibilityPanel.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

VisibilityPanel::VisibilityPanel(QWidget *parent) : QFrame(parent)
{
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    auto *title = new QLabel(tr("Change Text Visibility"));
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);
    m_groups = new QVBoxLayout;
    layout->addLayout(m_groups);
    auto *ok = new QPushButton(tr("OK"));
    ok->setObjectName(QStringLiteral("okButton"));
    connect(ok, &QPushButton::clicked, this, &VisibilityPanel::okClicked);
    layout->addWidget(ok, 0, Qt::AlignHCenter);
    hide();
}

void VisibilityPanel::addGroup(const QString &title, Binding binding, std::initializer_list<Choice> choices)
{
    auto *box = new QGroupBox(title);
    auto *boxLayout = new QVBoxLayout(box);
    auto *group = new QButtonGroup(box);
    for (const Choice &c : choices) {
        auto *radio = new QRadioButton(QString::fromLatin1(c.caption));
        radio->setObjectName(QString::fromLatin1(c.objectName));
        group->addButton(radio, c.value);
        boxLayout->addWidget(radio);
    }
    connect(group, &QButtonGroup::idClicked, this, [write = binding.write](int id) { write(id); });
    m_groups->addWidget(box);
    m_bindings.append({group, std::move(binding)});
    adjustSize();
}

void VisibilityPanel::syncFromSettings()
{
    for (const auto &[group, binding] : m_bindings) {
        const int value = binding.read();
        group->setExclusive(false);
        for (QAbstractButton *b : group->buttons())
            b->setChecked(group->id(b) == value);
        group->setExclusive(true);
    }
}
