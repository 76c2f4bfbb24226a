#pragma once

#include "AppValues.h"
#include "app/ChildWindow.h"
#include "app/HelpTopic.h"

#include <array>

class Frame;
class QPushButton;
class QTabWidget;
class QTextBrowser;

// "Lessons & Instructions": five formatted lessons, one tab each, above a bar of buttons that open the
// training modes. It is made at start, before the control panel, which takes its default place from it.
class TLessonForm final : public ChildWindow, public HelpTopic
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TLessonForm)

public:
    static constexpr int kHelpContext = 90;
    static constexpr int kButtonBarHeight = 26;

    struct Lesson
    {
        const char *caption;
        const char *fileName;
        const char *objectName;
    };
    static const std::array<Lesson, 5> kLessons;

    explicit TLessonForm(AppState &state, QWidget *parent = nullptr);
    int helpContext() const override { return kHelpContext; }

    // The start window: made, put into the frame at its place and shown.
    static TLessonForm *create(AppState &state, Frame &frame);
    // The default place in a client area of `client`, on a screen `screenWidth` pixels wide.
    static QRect defaultGeometry(const QSize &client, int screenWidth);
    // Tabs are a little wider on a screen of 115 pixels per inch or more.
    static int tabWidthFor(int dpi) { return dpi < 115 ? 88 : 94; }

    QTabWidget *tabs() const { return m_tabs; }
    QTextBrowser *lessonView(int index) const { return m_views[static_cast<std::size_t>(index)]; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPushButton *addModeButton(const QString &caption, const char *objectName, Mode mode);

    QTabWidget *m_tabs;
    std::array<QTextBrowser *, 5> m_views{};
};
