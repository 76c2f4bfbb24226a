#include "app/HelpWindow.h"

#include <QAction>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QStyle>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

HelpWindow::HelpWindow(Services services, QWidget *parent)
    : QWidget(parent, Qt::Window), m_services(services), m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Brindlewick Speed Reader – Help"));
    setMinimumSize(320, 240);

    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("helpToolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto addAction = [this, bar](QStyle::StandardPixmap icon, const QString &caption, const char *name,
                                 const QKeySequence &keys) {
        QAction *action = bar->addAction(style()->standardIcon(icon), caption);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        return action;
    };
    QAction *back =
        addAction(QStyle::SP_ArrowBack, QStringLiteral("Back"), "helpBackAction", QKeySequence::Back);
    QAction *forward = addAction(QStyle::SP_ArrowForward, QStringLiteral("Forward"), "helpForwardAction",
                                 QKeySequence::Forward);
    QAction *contents = addAction(QStyle::SP_DirHomeIcon, QStringLiteral("Contents"), "helpContentsAction",
                                  QKeySequence(Qt::ALT | Qt::Key_Home));
    back->setEnabled(false);
    forward->setEnabled(false);

    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    // Every link comes here: sections and other local pages open in this window, web links in the browser.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::followLink);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    connect(back, &QAction::triggered, m_browser, &QTextBrowser::backward);
    connect(forward, &QAction::triggered, m_browser, &QTextBrowser::forward);
    connect(contents, &QAction::triggered, this, [this] { showContext(kContents); });

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser, 1);
    resize(680, 600);
}

bool HelpWindow::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    file.close();
    m_browser->setSource(QUrl::fromLocalFile(path));
    m_anchors = anchors(*m_browser->document());
    if (const QString title = m_browser->documentTitle(); !title.isEmpty())
        setWindowTitle(title);
    return true;
}

void HelpWindow::showContext(int context)
{
    QUrl url = m_browser->source();
    const QString anchor = anchorFor(context);
    url.setFragment(context != kContents && m_anchors.contains(anchor) ? anchor : QString());
    // Shown first, so that the page is laid out at the window's width when it scrolls to the section.
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
    m_browser->setSource(url);
    // The first section shown starts the history: Back leads only to sections the user has seen.
    if (!m_opened)
        m_browser->clearHistory();
    m_opened = true;
    m_browser->setFocus(Qt::OtherFocusReason);
}

void HelpWindow::keyPressEvent(QKeyEvent *event)
{
    // Escape puts the manual away; the next request brings it back as it was.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

QSet<QString> HelpWindow::anchors(const QTextDocument &document)
{
    QSet<QString> names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (const QString &name : block.charFormat().anchorNames())
            names.insert(name);
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            for (const QString &name : it.fragment().charFormat().anchorNames())
                names.insert(name);
        }
    }
    return names;
}

QRect HelpWindow::defaultGeometry(const QRect &owner, const QSize &screen)
{
    const int width = std::min(680, screen.width());
    const int height = std::min(std::max(owner.height(), 600), std::max(240, screen.height() - 40));
    const int besideOwner = owner.right() + 8;
    const int left =
        besideOwner + width <= screen.width() ? besideOwner : std::max(0, screen.width() - width);
    const int top = std::clamp(owner.top(), 0, std::max(0, screen.height() - height));
    return QRect(left, top, width, height);
}

void HelpWindow::followLink(const QUrl &link)
{
    const QUrl url = m_browser->source().resolved(link);
    if (url.isLocalFile()) {
        m_browser->setSource(url);
        return;
    }
    const QString scheme = url.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https") &&
        scheme != QLatin1String("mailto"))
        return;
    if (!m_services.shell.open(url))
        m_services.messages.error(
            QStringLiteral("The link \"%1\" cannot be opened on this computer.").arg(url.toDisplayString()));
}
