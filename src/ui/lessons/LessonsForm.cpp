#include "lessons/LessonsForm.h"

#include "app/AppState.h"
#include "app/Frame.h"
#include "app/ModeWindow.h"
#include "lessons/LessonDocument.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Tabs of one width, so the row reads as a set of pages: the width asked for, or wider when the screen's
// font needs more room for the longest caption and the row has that room.
class FixedWidthTabBar final : public QTabBar
{
public:
    explicit FixedWidthTabBar(int width) : m_width(width) {}

protected:
    QSize tabSizeHint(int index) const override
    {
        QSize size = QTabBar::tabSizeHint(index);
        int widest = 0;
        for (int i = 0; i < count(); ++i)
            widest = std::max(widest, QTabBar::tabSizeHint(i).width());
        const int room = parentWidget() != nullptr ? parentWidget()->width() / std::max(1, count()) : widest;
        size.setWidth(std::max(m_width, std::min(widest, room)));
        return size;
    }

private:
    int m_width;
};

class LessonTabs final : public QTabWidget
{
public:
    explicit LessonTabs(int tabWidth)
    {
        setTabBar(new FixedWidthTabBar(tabWidth));
        tabBar()->setElideMode(Qt::ElideRight);
        // A point smaller than the text, so that five captions fit the row of the window's default width.
        QFont captions = tabBar()->font();
        if (captions.pointSizeF() > 8)
            captions.setPointSizeF(captions.pointSizeF() - 1);
        tabBar()->setFont(captions);
    }

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        // The tabs' width depends on the room in the row: lay them out afresh before the row is placed.
        tabBar()->setElideMode(tabBar()->elideMode());
        QTabWidget::resizeEvent(event);
    }
};

} // namespace

const std::array<TLessonForm::Lesson, 5> TLessonForm::kLessons{{
    {"Introduction", "Introduction.rtf", "introductionView"},
    {"Tachistoscope", "Tachistoscope.rtf", "tachistoscopeView"},
    {"Horizontal", "Horizontal.rtf", "horizontalView"},
    {"Vertical", "Vertical.rtf", "verticalView"},
    {"Create Text", "MakeText.rtf", "createTextView"},
}};

TLessonForm::TLessonForm(AppState &state, QWidget *parent)
    : ChildWindow(state, &TSettings::LessonDefaultPlacement, &TSettings::LessonBounds, parent)
{
    setObjectName(QStringLiteral("lessonForm"));
    setWindowTitle(QStringLiteral("Lessons & Instructions"));
    setMinimumSize(200, 120);

    m_tabs = new LessonTabs(tabWidthFor(state.services.screen.dpi()));
    m_tabs->setObjectName(QStringLiteral("lessonTabs"));
    m_tabs->setDocumentMode(true);
    for (std::size_t i = 0; i < kLessons.size(); ++i) {
        const Lesson &lesson = kLessons[i];
        auto *view = new QTextBrowser;
        view->setObjectName(QString::fromLatin1(lesson.objectName));
        view->setOpenLinks(false);
        view->setFrameShape(QFrame::NoFrame);
        loadLessonDocument(*view->document(), state.dataDir(), QString::fromLatin1(lesson.fileName));
        // Each lesson opens at its beginning.
        view->moveCursor(QTextCursor::Start);
        m_views[i] = view;
        m_tabs->addTab(view, QString::fromLatin1(lesson.caption));
    }

    auto *bar = new QWidget;
    bar->setObjectName(QStringLiteral("lessonButtonBar"));
    bar->setFixedHeight(kButtonBarHeight);
    auto *buttons = new QHBoxLayout(bar);
    buttons->setContentsMargins(2, 1, 2, 1);
    buttons->setSpacing(4);
    // "Tachistocope" is the button's caption as the program has always shown it.
    buttons->addWidget(addModeButton(QStringLiteral("Exercise"), "exerciseButton", Mode::Exercise));
    buttons->addWidget(addModeButton(QStringLiteral("Tachistocope"), "tachiButton", Mode::Tachi));
    buttons->addWidget(addModeButton(QStringLiteral("Horizontal"), "horizButton", Mode::Horiz));
    buttons->addWidget(addModeButton(QStringLiteral("Vertical"), "vertButton", Mode::Vert));
    buttons->addWidget(addModeButton(QStringLiteral("Create Text"), "createTextButton", Mode::CreateText));
    buttons->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(bar);
}

TLessonForm *TLessonForm::create(AppState &state, Frame &frame)
{
    auto *lessons = new TLessonForm(state);
    state.lessonWindow = lessons;
    frame.addChild(lessons);
    lessons->applyPlacement(defaultGeometry(frame.clientSize(), state.services.screen.size().width()));
    return lessons;
}

QRect TLessonForm::defaultGeometry(const QSize &client, int screenWidth)
{
    const int h = client.height();
    const int width = client.width() - (screenWidth < 800 ? 148 : 152);
    return QRect(0, h / 2, width, h / 2 - 6);
}

QPushButton *TLessonForm::addModeButton(const QString &caption, const char *objectName, Mode mode)
{
    auto *button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(objectName));
    // A mode whose window is not part of this build cannot be opened, like its Reading command.
    button->setEnabled(m_state.frame != nullptr && m_state.frame->hasMode(mode));
    connect(button, &QPushButton::clicked, this, [this, mode] {
        if (m_state.frame != nullptr)
            m_state.frame->openMode(mode);
    });
    return button;
}

void TLessonForm::closeEvent(QCloseEvent *event)
{
    // The window holds the mode buttons and nothing makes it again, so closing it only sets it aside,
    // minimised within the frame, after storing where it was.
    storePlacement();
    event->ignore();
    if (QMdiSubWindow *f = frame())
        f->showMinimized();
}
