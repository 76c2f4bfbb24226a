#pragma once

#include "Services.h"
#include "app/HelpTopic.h"

#include <QSet>
#include <QString>
#include <QWidget>

class QAction;
class QTextBrowser;
class QTextDocument;
class QUrl;

// The manual, shown inside the program at the section a window asks for. One instance serves every request;
// it keeps its own history, so Back returns from a followed link. Web links go to the desktop's browser.
class HelpWindow final : public QWidget, public HelpTopic
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(HelpWindow)

public:
    // The manual from its top, where its list of contents is.
    static constexpr int kContents = 0;

    HelpWindow(Services services, QWidget *parent = nullptr);

    // Reads the manual; false when the file cannot be read, and nothing changes.
    bool load(const QString &path);
    // Shows, raises and activates the window at the section of `context`; at the top for kContents or a
    // context the manual has no section for.
    void showContext(int context);

    static QString anchorFor(int context) { return QStringLiteral("context-%1").arg(context); }
    // The anchors a document offers to scroll to.
    static QSet<QString> anchors(const QTextDocument &document);
    // Beside `owner` when the screen has room for it, otherwise over its right-hand side.
    static QRect defaultGeometry(const QRect &owner, const QSize &screen);

    QTextBrowser *browser() const { return m_browser; }
    // F1 in the manual itself goes back to its contents.
    int helpContext() const override { return kContents; }

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void followLink(const QUrl &link);

    Services m_services;
    QTextBrowser *m_browser;
    QSet<QString> m_anchors;
    bool m_opened = false;
};
