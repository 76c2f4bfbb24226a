#include "control/ControlPage.h"

#include "TextImport.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/Frame.h"
#include "app/ModeWindow.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QSlider>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

ControlPage::ControlPage(AppState &state, QWidget *parent) : QWidget(parent), m_state(state)
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setObjectName(QStringLiteral("pageToolBar"));
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->move(0, 0);
}

void ControlPage::addHelpButton()
{
    QAction *help = m_toolBar->addAction(style()->standardIcon(QStyle::SP_DialogHelpButton), tr("Help"));
    help->setObjectName(QStringLiteral("helpAction"));
    help->setToolTip(tr("Help"));
    connect(help, &QAction::triggered, this, [this] {
        m_state.PlayClick(1);
        m_state.ShowModeHelp();
    });
    m_toolBar->adjustSize();
}

void ControlPage::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_toolBar->setGeometry(0, 0, width(), m_toolBar->sizeHint().height());
}

QString ControlPage::chooseTextFile()
{
    return m_state.chooseTextFile(readableKinds(),
                                  QStringLiteral("BWR text files (*.bwr);;Text files (*.txt)"));
}

void ControlPage::openTextFileIntoReader()
{
    m_state.PlayClick(1);
    const QString name = chooseTextFile();
    if (name.isEmpty())
        return;
    setStoryFileName(m_state, name);
    m_state.StoryLoaded = 0;
    if (m_state.modeWindow != nullptr)
        m_state.modeWindow->loadStory();
}

void ControlPage::holdForReading(bool reading)
{
    if (m_state.frame != nullptr)
        m_state.frame->setHold(MenuHold::Reading, reading);
}

bool ControlPage::isTextInput(const QWidget *focus)
{
    if (const auto *line = qobject_cast<const QLineEdit *>(focus))
        return !line->isReadOnly();
    if (const auto *text = qobject_cast<const QPlainTextEdit *>(focus))
        return !text->isReadOnly();
    return qobject_cast<const QAbstractSpinBox *>(focus) != nullptr;
}

bool ControlPage::readerKey(const QKeyEvent *event, const QWidget *focus, const ReaderKeys &keys)
{
    // Outside a reading, what the user types into a box is the box's.
    if (!keys.underWay && isTextInput(focus))
        return false;
    switch (event->key()) {
    case Qt::Key_Space: {
        const bool offered = keys.underWay || keys.startOffered;
        if (offered && !event->isAutoRepeat())
            keys.space();
        return offered;
    }
    case Qt::Key_Escape:
        if (keys.underWay && keys.escape)
            keys.escape();
        return keys.underWay;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (keys.paused)
            keys.step(event->key() == Qt::Key_Right);
        return keys.underWay;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (keys.speedOffered)
            keys.speed(event->key() == Qt::Key_Down);
        return keys.speedOffered;
    default:
        return false;
    }
}

QColor ControlPage::captionColour(CaptionColour colour)
{
    switch (colour) {
    case CaptionColour::Go:
        return toQColor(32768);
    case CaptionColour::Stop:
        return toQColor(255);
    case CaptionColour::Plain:
        break;
    }
    return QApplication::palette().color(QPalette::Active, QPalette::ButtonText);
}

void ControlPage::showLook(QPushButton *button, const ButtonLook &look)
{
    button->setText(look.caption);
    button->setEnabled(look.enabled);
    const QColor colour = captionColour(look.colour);
    QPalette pal = button->palette();
    pal.setColor(QPalette::Active, QPalette::ButtonText, colour);
    pal.setColor(QPalette::Inactive, QPalette::ButtonText, colour);
    button->setPalette(pal);
}

QLineEdit *ControlPage::numberBox(const char *name)
{
    auto *box = new QLineEdit;
    box->setObjectName(QString::fromLatin1(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(48);
    return box;
}

QPushButton *ControlPage::makeButton(const QString &caption, const char *name)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QString::fromLatin1(name));
    return b;
}

QAction *ControlPage::addTool(const QIcon &icon, const QString &caption, const char *name,
                              std::function<void()> run, const QString &tip)
{
    QAction *action = m_toolBar->addAction(icon, caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setToolTip(tip.isEmpty() ? caption : tip);
    connect(action, &QAction::triggered, this, std::move(run));
    return action;
}

QLabel *ControlPage::makePartLabel()
{
    auto *label = new QLabel(this);
    label->setObjectName(QStringLiteral("partLabel"));
    label->setAlignment(Qt::AlignCenter);
    QSizePolicy keepPlace = label->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    label->setSizePolicy(keepPlace);
    label->hide();
    return label;
}

void ControlPage::showPart(QLabel *label, const QString &caption)
{
    label->setText(caption);
    label->setVisible(!caption.isEmpty());
}

QGroupBox *ControlPage::makeColumn(const QString &title, const char *name, const QList<QWidget *> &widgets)
{
    auto *group = new QGroupBox(title, this);
    group->setObjectName(QString::fromLatin1(name));
    auto *column = new QVBoxLayout(group);
    column->setContentsMargins(8, 6, 8, 6);
    column->setSpacing(4);
    for (QWidget *w : widgets)
        column->addWidget(w);
    return group;
}

std::optional<QColor> ControlPage::changeColour(AppState::Colour which)
{
    m_state.PlayClick(1);
    const auto chosen = m_state.services.dialogs.chooseColor(toQColor(m_state.colour(which)));
    if (chosen)
        m_state.setColour(which, toStoredColor(*chosen));
    return chosen;
}

QGroupBox *ControlPage::makeGroup(const QString &title, const char *name)
{
    auto *group = new QGroupBox(title, this);
    group->setObjectName(QString::fromLatin1(name));
    new QGridLayout(group);
    return group;
}

QSlider *ControlPage::addSpeedBar(QGroupBox *group, int &row, const char *barName, const char *boxName,
                                  BarRange range, bool boxBeside)
{
    auto *layout = static_cast<QGridLayout *>(group->layout());
    auto *bar = new QSlider(Qt::Horizontal);
    bar->setObjectName(QString::fromLatin1(barName));
    bar->setRange(range.min, range.max);
    bar->setSingleStep(range.singleStep);
    bar->setPageStep(range.pageStep);
    bar->setValue(range.start);
    QLineEdit *box = numberBox(boxName);
    box->setText(QString::number(bar->value()));
    connect(bar, &QSlider::valueChanged, box,
            [box](int position) { box->setText(QString::number(position)); });
    layout->addWidget(new QLabel(tr("F")), row, 0);
    layout->addWidget(bar, row, 1);
    layout->addWidget(new QLabel(tr("S")), row, 2);
    if (boxBeside) {
        layout->addWidget(box, row, 3);
    } else {
        ++row;
        layout->addWidget(box, row, 0, 1, 3, Qt::AlignHCenter);
    }
    ++row;
    return bar;
}

void ControlPage::stackGroups(const QList<QWidget *> &groups, int width)
{
    int y = m_toolBar->sizeHint().height() + 6;
    for (QWidget *w : groups) {
        w->setFixedWidth(width);
        w->adjustSize();
        w->move(0, y);
        y += w->height() + 6;
        addCentred(w);
    }
}

QIcon themeIcon(const char *name, QStyle *style, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QString::fromLatin1(name), style->standardIcon(fallback));
}
