#include "app/mainwindow.h"

#include "ReadingOptions.h"
#include "SettingsFile.h"
#include "StoryLibrary.h"
#include "app/AboutBox.h"
#include "app/AppState.h"
#include "app/ChildWindow.h"
#include "app/ControlPanel.h"
#include "app/Convert.h"
#include "app/HelpTopic.h"
#include "app/HelpWindow.h"
#include "app/ModeRegistry.h"
#include "app/ModeWindow.h"
#include "app/VisibilityPanel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <string_view>
#include <tuple>

TForm1::TForm1(AppState &state, const ModeRegistry &modes) : m_state(state), m_modes(modes)
{
    setObjectName(QStringLiteral("mainWindow"));
    setWindowTitle(QStringLiteral("Brindlewick Speed Reader"));
    m_mdi = new QMdiArea(this);
    m_mdi->setObjectName(QStringLiteral("mdiArea"));
    setCentralWidget(m_mdi);
    m_state.frame = this;
    buildMenus();
    buildVisibilityPanels();
    // The readers' keys hold whatever has the focus inside the frame: every key press passes here first.
    qApp->installEventFilter(this);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    // A smaller frame or screen must not leave a child out of reach.
    if (event->type() == QEvent::Resize && watched == m_mdi->viewport())
        keepChildrenReachable();
    if (event->type() == QEvent::KeyPress && QApplication::activeModalWidget() == nullptr) {
        auto *widget = qobject_cast<QWidget *>(watched);
        // F1 opens the manual at the section of the window that has the keyboard, whichever widget in it
        // does.
        const auto *key = static_cast<QKeyEvent *>(event);
        if (widget != nullptr && key->key() == Qt::Key_F1 &&
            (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
            if (const std::optional<int> context = helpContextAt(widget)) {
                m_state.showHelp(*context);
                return true;
            }
        }
    }
    if (event->type() == QEvent::KeyPress && m_state.controlPanel != nullptr &&
        QApplication::activeModalWidget() == nullptr) {
        auto *widget = qobject_cast<QWidget *>(watched);
        // The widget that would take the key: the frame's focus, else the one the key was sent to.
        QWidget *focus = focusWidget() != nullptr ? focusWidget() : widget;
        if (widget != nullptr && widget->window() == this &&
            m_state.controlPanel->routeKey(static_cast<QKeyEvent *>(event), focus))
            return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

std::optional<int> TForm1::helpContextAt(QWidget *widget) const
{
    for (QWidget *w = widget; w != nullptr; w = w->parentWidget()) {
        if (const auto *topic = dynamic_cast<const HelpTopic *>(w))
            return topic->helpContext();
        // The text visibility panels belong to their readers.
        if (w == m_panel1)
            return modeInfo(Mode::Horiz).helpContext;
        if (w == m_panel5)
            return modeInfo(Mode::Vert).helpContext;
        if (w == this) {
            // A click on a child that takes no focus (the exercise's pane, say) activates it but leaves the
            // keys to the frame: the active child is still the window the user is in. A window of its own
            // (the About box) is not in a child.
            QMdiSubWindow *active = m_mdi->activeSubWindow();
            if (active != nullptr && active->widget() != nullptr && active->widget() != widget &&
                widget->window() == this)
                return helpContextAt(active->widget());
            return kHelpContext;
        }
    }
    return std::nullopt;
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    // The destroy handler: bounds into the record, and the file goes when a restore is pending.
    if (!m_closed) {
        storeMainBounds();
        m_state.setMainDefaultPlacement(false);
    }
    deleteSettingsIfPending();
    m_state.closeProgress();
    if (m_state.frame == this)
        m_state.frame = nullptr;
}

QAction *TForm1::addAction(QMenu *menu, const QString &caption, const char *objectName)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(objectName));
    return action;
}

void TForm1::buildMenus()
{
    auto clickOnOpen = [this](QMenu *menu) {
        connect(menu, &QMenu::aboutToShow, this, [this] { m_state.PlayClick(1); });
    };

    QMenu *reading = m_readingMenu = menuBar()->addMenu(QStringLiteral("&Reading"));
    reading->setObjectName(QStringLiteral("readingMenu"));
    clickOnOpen(reading);
    for (const Mode mode : kReadingMenuOrder) {
        const ModeInfo &m = modeInfo(mode);
        // Create Text, the paced readers, then the modes that are timed or scored another way.
        if (mode == Mode::Tachi || mode == Mode::SpeedTest)
            reading->addSeparator();
        QAction *a = addAction(reading, QString::fromLatin1(m.menuText), m.actionName);
        a->setEnabled(hasMode(mode));
        connect(a, &QAction::triggered, this, [this, mode] { openMode(mode); });
    }
    reading->addSeparator();
    // The books read lately, each opened where it was left.
    m_recentMenu = reading->addMenu(QStringLiteral("Recent &Books"));
    m_recentMenu->setObjectName(QStringLiteral("recentBooksMenu"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &TForm1::fillRecentBooks);
    reading->addSeparator();
    connect(addAction(reading, QStringLiteral("E&xit"), "exitAction"), &QAction::triggered, this,
            &TForm1::exitProgram);

    m_storiesMenu = menuBar()->addMenu(QStringLiteral("&Short Stories"));
    m_storiesMenu->setObjectName(QStringLiteral("shortStoriesMenu"));
    clickOnOpen(m_storiesMenu);
    QMenu *classics = m_storiesMenu->addMenu(QStringLiteral("&Classics"));
    classics->setObjectName(QStringLiteral("classicsMenu"));
    QMenu *longer = classics->addMenu(QStringLiteral("&Longer"));
    longer->setObjectName(QStringLiteral("longerMenu"));
    addStoryItems(longer, kLongerClassics.begin(), kLongerClassics.end());
    QMenu *shorter = classics->addMenu(QStringLiteral("&Shorter"));
    shorter->setObjectName(QStringLiteral("shorterMenu"));
    addStoryItems(shorter, kShorterClassics.begin(), kShorterClassics.end());
    m_storiesMenu->addSeparator();
    QMenu *modern = m_storiesMenu->addMenu(QStringLiteral("&Modern"));
    modern->setObjectName(QStringLiteral("modernMenu"));
    addStoryItems(modern, kModernStories.begin(), kModernStories.end());

    QMenu *charts = m_chartsMenu = menuBar()->addMenu(QStringLiteral("&Charts"));
    charts->setObjectName(QStringLiteral("chartsMenu"));
    clickOnOpen(charts);
    for (const ModeInfo &m : modeTable()) {
        if (m.scored())
            addAction(charts, QString::fromLatin1(m.chartMenuText), m.chartActionName)->setEnabled(false);
    }
    charts->addSeparator();
    addAction(charts, QStringLiteral("Ch&art Viewer"), "chartViewerAction")->setEnabled(false);
    addAction(charts, QStringLiteral("&Progress"), "progressAction")->setEnabled(false);

    QMenu *options = m_optionsMenu = menuBar()->addMenu(QStringLiteral("&Options"));
    options->setObjectName(QStringLiteral("optionsMenu"));
    clickOnOpen(options);
    connect(addAction(options, QStringLiteral("&Background Color"), "backgroundColorAction"),
            &QAction::triggered, this, &TForm1::chooseBackgroundColor);
    options->addSeparator();
    m_soundAction = addAction(options, QStringLiteral("&Sound"), "soundAction");
    m_soundAction->setCheckable(true);
    m_soundAction->setChecked(true);
    connect(m_soundAction, &QAction::triggered, this, &TForm1::toggleSound);
    options->addSeparator();
    // The reading-comfort options: off until the user turns them on, kept in their own file.
    for (const auto &[caption, name, flag] :
         {std::tuple{"Pause at Sentence &Ends", "pauseAtSentenceEndsAction",
                     &ReadingOptions::pauseAtSentenceEnds},
          std::tuple{"Step with &Arrows While Paused", "stepWhilePausedAction",
                     &ReadingOptions::stepWhilePaused},
          std::tuple{"&Continue Where You Stopped", "rememberPlacesAction", &ReadingOptions::rememberPlaces},
          // The word-flash exercise's extras; each takes effect at the exercise's next Start.
          std::tuple{"Exercise: A&daptive Flash Time", "exerciseStaircaseAction",
                     &ReadingOptions::exerciseStaircase},
          std::tuple{"Exercise: &Fast Rhythm", "exerciseFastRhythmAction",
                     &ReadingOptions::exerciseFastRhythm},
          std::tuple{"Exercise: Backward &Mask", "exerciseBackwardMaskAction",
                     &ReadingOptions::exerciseBackwardMask},
          std::tuple{"Exercise: Fi&xation Mark", "exerciseFixationMarkAction",
                     &ReadingOptions::exerciseFixationMark},
          std::tuple{"Exercise: Random &Wait Before the Word", "exerciseForeperiodAction",
                     &ReadingOptions::exerciseForeperiod},
          std::tuple{"Exercise: Flash Times in W&hole Frames", "exerciseFrameLockedAction",
                     &ReadingOptions::exerciseFrameLocked}}) {
        if (std::string_view(name) == "exerciseStaircaseAction")
            options->addSeparator();
        QAction *item = addAction(options, QString::fromLatin1(caption), name);
        item->setCheckable(true);
        connect(item, &QAction::toggled, this, [this, member = flag](bool on) {
            if (m_state.options.*member != on) {
                m_state.options.*member = on;
                m_state.saveOptions();
            }
        });
        m_optionItems.push_back({item, flag});
    }
    options->addSeparator();
    connect(addAction(options, QStringLiteral("&Restore Default Settings"), "restoreDefaultsAction"),
            &QAction::triggered, this, [this] {
                if (m_state.services.messages.confirm(QStringLiteral(
                        "Do you want to restore all default settings? Note: this will also delete "
                        "your scores from the charts."))) {
                    m_state.RestoreDefaultsPending = 1;
                    m_state.services.messages.information(
                        QStringLiteral("You will have to restart the program for this to take effect."));
                }
            });
    options->addSeparator();
    m_fontsAction = addAction(options, QStringLiteral("Fonts"), "fontsAction");
    connect(m_fontsAction, &QAction::triggered, this, [this] {
        if (m_state.modeWindow != nullptr)
            m_state.modeWindow->chooseFont();
    });

    m_contributorsMenu = menuBar()->addMenu(QStringLiteral("&Contributors"));
    m_contributorsMenu->setObjectName(QStringLiteral("contributorsMenu"));
    QAction *list = addAction(m_contributorsMenu, QStringLiteral("&List"), "contributorsAction");
    list->setVisible(false);
    connect(list, &QAction::triggered, this, &TForm1::showContributors);
    m_contributorsMenu->menuAction()->setVisible(false);

    // Every child window can be brought back, whatever covers it.
    m_windowMenu = menuBar()->addMenu(QStringLiteral("&Window"));
    m_windowMenu->setObjectName(QStringLiteral("windowMenu"));
    clickOnOpen(m_windowMenu);
    connect(m_windowMenu, &QMenu::aboutToShow, this, &TForm1::fillWindowMenu);
    fillWindowMenu();

    QMenu *help = menuBar()->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    clickOnOpen(help);
    connect(addAction(help, QStringLiteral("&Contents"), "contentsAction"), &QAction::triggered, this,
            [this] {
                // The manual from its top, where its contents are.
                m_state.HelpContext = kHelpContext;
                m_state.showHelp(HelpWindow::kContents);
            });
    connect(addAction(help, QStringLiteral("&About"), "aboutAction"), &QAction::triggered, this,
            &TForm1::showAbout);
}

void TForm1::addStoryItems(QMenu *menu, const StoryEntry *begin, const StoryEntry *end)
{
    for (const StoryEntry *e = begin; e != end; ++e) {
        QAction *a = menu->addAction(QString::fromLatin1(e->menuCaption));
        a->setObjectName(QStringLiteral("story%1Action").arg(e->number));
        connect(a, &QAction::triggered, this, [this, e] { storyCommand(*e); });
    }
}

void TForm1::storyCommand(const StoryEntry &entry)
{
    m_state.StoryTitle = QString::fromLatin1(entry.title);
    setStoryFileName(m_state, storyFileName(entry));
    m_state.StoryNumber = entry.number;
    m_state.StoryLoaded = 1;
    // Exercise and create text have nothing to load a story into.
    if (readsTexts(currentMode(m_state)) && m_state.modeWindow != nullptr) {
        m_state.modeWindow->loadStory();
        // The keyboard goes to the reader, so that its keys work without a click first.
        m_state.modeWindow->takeFocus();
    }
}

void TForm1::fillRecentBooks()
{
    m_recentMenu->clear();
    const QList<ReadingOptions::Book> &books = m_state.options.books();
    for (qsizetype i = 0; i < books.size() && i < kRecentBooks; ++i) {
        const ReadingOptions::Book &book = books.at(i);
        // The file's name beside a title it does not show, so that two books of one title can be told
        // apart; an '&' in either is shown, not taken for a shortcut.
        QString caption = book.title;
        const QFileInfo file(book.path);
        if (file.completeBaseName() != book.title)
            caption += QStringLiteral(" (%1)").arg(file.fileName());
        QAction *item = m_recentMenu->addAction(
            QStringLiteral("&%1 %2").arg(i + 1).arg(caption.replace(u'&', QStringLiteral("&&"))));
        item->setObjectName(QStringLiteral("recentBook%1Action").arg(i + 1));
        item->setToolTip(QDir::toNativeSeparators(book.path));
        connect(item, &QAction::triggered, this, [this, book] { openRecentBook(book); });
    }
    if (m_recentMenu->isEmpty())
        m_recentMenu->addAction(QStringLiteral("(none yet)"))->setEnabled(false);
}

void TForm1::openRecentBook(const ReadingOptions::Book &book)
{
    // In the reader that is open, else in the one the book was last read in.
    Mode mode = currentMode(m_state);
    if (!readsTexts(mode))
        mode = static_cast<Mode>(book.reader);
    if (!readsTexts(mode))
        mode = Mode::Horiz;
    if (mode != currentMode(m_state) || m_state.modeWindow == nullptr)
        openMode(mode);
    if (m_state.modeWindow == nullptr)
        return;
    setStoryFileName(m_state, book.path);
    m_state.StoryLoaded = 0;
    m_state.resumeNextBook = true;
    m_state.modeWindow->loadStory();
    m_state.resumeNextBook = false;
    m_state.modeWindow->takeFocus();
}

void TForm1::plugCommand(const char *objectName, std::function<void()> run)
{
    if (auto *action = findChild<QAction *>(QString::fromLatin1(objectName))) {
        action->setEnabled(true);
        connect(action, &QAction::triggered, this, std::move(run));
    }
}

void TForm1::setHold(MenuHold hold, bool on)
{
    m_holds[static_cast<std::size_t>(hold)] = on;
    applyHolds();
}

void TForm1::applyHolds()
{
    const bool charts = m_holds[static_cast<std::size_t>(MenuHold::Charts)];
    const bool stories = std::none_of(m_holds.begin(), m_holds.end(), [](bool held) { return held; });
    m_storiesMenu->menuAction()->setEnabled(stories);
    for (QMenu *menu : {m_readingMenu, m_chartsMenu, m_optionsMenu})
        menu->menuAction()->setEnabled(!charts);
    m_fontsAction->setEnabled(!m_holds[static_cast<std::size_t>(MenuHold::Reading)]);
}

void TForm1::buildVisibilityPanels()
{
    using Look = AppState::TextLook;
    auto look = [this](Look which) {
        return VisibilityPanel::Binding{[this, which] { return int(m_state.textLook(which)); },
                                        [this, which](int v) { m_state.setTextLook(which, v); }};
    };
    m_panel1 = new VisibilityPanel(m_mdi->viewport());
    m_panel1->setObjectName(QStringLiteral("Panel1"));
    m_panel1->addGroup(QStringLiteral("Unread Text"), look(Look::HorizUnread),
                       {{"See Through", 2, "unreadSeeThroughRadio"},
                        {"Covered", 3, "unreadCoveredRadio"},
                        {"Invisible", 1, "unreadInvisibleRadio"}});
    m_panel1->addGroup(QStringLiteral("Read Text"), look(Look::HorizRead),
                       {{"See Through", 3, "readSeeThroughRadio"},
                        {"Covered", 4, "readCoveredRadio"},
                        {"Invisible", 1, "readInvisibleRadio"},
                        {"Visible", 2, "readVisibleRadio"}});
    connect(m_panel1, &VisibilityPanel::okClicked, this, [this] { visibilityOk(m_panel1, Mode::Horiz); });

    m_panel5 = new VisibilityPanel(m_mdi->viewport());
    m_panel5->setObjectName(QStringLiteral("Panel5"));
    m_panel5->addGroup(QStringLiteral("Unread Text"), look(Look::VertUnread),
                       {{"See Through", 2, "vertSeeThroughRadio"}, {"Covered", 3, "vertCoveredRadio"}});
    connect(m_panel5, &VisibilityPanel::okClicked, this, [this] { visibilityOk(m_panel5, Mode::Vert); });
}

void TForm1::toggleVisibilityPanel(Mode mode)
{
    VisibilityPanel *panel = mode == Mode::Horiz ? m_panel1 : mode == Mode::Vert ? m_panel5 : nullptr;
    if (panel == nullptr)
        return;
    if (panel->isVisible()) {
        panel->hide();
        return;
    }
    const QSize client = clientSize();
    panel->adjustSize();
    panel->move((client.width() - panel->width()) / 2, (client.height() - panel->height()) / 2);
    panel->show();
    panel->raise();
}

void TForm1::visibilityOk(VisibilityPanel *panel, Mode mode)
{
    m_state.PlayClick(1);
    panel->hide();
    if (m_state.controlPanel != nullptr && m_state.controlPanel->offersResetText(mode))
        m_state.services.messages.information(
            QStringLiteral("You need to click the \"Reset Text\" button for this to take effect."));
}

bool TForm1::FormCreate()
{
    Services &sv = m_state.services;
    if (sv.platform.isUnsupportedFamily()) {
        sv.messages.information(QStringLiteral(
            "This program requires Windows NT/2000/XP and does Not work on Windows 95/98/ME systems."));
        return false;
    }
    m_state.replaceSettings(
        loadSettingsFile(m_state.filePath(QString::fromLatin1(kSettingsFileName)), sv.screen.dpi()));
    placeFromSettings();

    setCurrentMode(m_state, Mode::Horiz);
    m_state.StoryLoaded = 0;
    m_state.LoadTempFile = 0;

    m_panel1->syncFromSettings();
    m_panel5->syncFromSettings();

    const bool devices = sv.sound.outputDeviceCount() > 0;
    m_state.SoundDevicePresent = devices ? 1 : 0;
    m_state.setSoundOn(devices);
    if (devices)
        checkSoundFiles();

    m_soundAction->setChecked(m_state.Settings.SoundOn == 1);
    m_state.loadOptions();
    m_state.openProgress();
    for (const auto &[item, flag] : m_optionItems)
        item->setChecked(m_state.options.*flag);
    applyBackground();
    m_state.RestoreDefaultsPending = 0;
    return true;
}

void TForm1::checkSoundFiles()
{
    for (const char *name : AppState::kSoundFiles) {
        if (!QFileInfo::exists(m_state.filePath(QString::fromLatin1(name))))
            m_state.services.messages.error(QStringLiteral(
                "One or more of the sound files cannot be found. You may need to restart or even "
                "reinstall Brindlewick Speed Reader."));
    }
}

void TForm1::placeFromSettings()
{
    const TSettings &s = m_state.Settings;
    const QSize screen = m_state.services.screen.size();
    if (s.UseDefaultMainPlacement == 1) {
        const QSize size = screen.width() < 800 ? QSize(640, 480) : QSize(680, 530);
        resize(size);
        if (screen.width() >= 800)
            m_state.setMainDefaultSize(size.width(), size.height());
        move((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
        return;
    }
    TBounds b = s.MainBounds;
    if (screen.width() < b.Width) {
        b.Width = screen.width();
        b.Left = 1;
    }
    if (screen.height() < b.Height) {
        b.Height = screen.height();
        b.Top = 1;
    }
    // A damaged record must not hide the window: keep it of a usable size and on the screen.
    b.Width = std::max(b.Width, 320);
    b.Height = std::max(b.Height, 240);
    b.Left = std::clamp(b.Left, 0, std::max(0, screen.width() - 100));
    b.Top = std::clamp(b.Top, 0, std::max(0, screen.height() - 100));
    resize(b.Width, b.Height);
    move(b.Left, b.Top);
}

void TForm1::applyBackground()
{
    m_mdi->setBackground(toQColor(m_state.Settings.MainColor));
}

void TForm1::chooseBackgroundColor()
{
    const auto color = m_state.services.dialogs.chooseColor(toQColor(m_state.Settings.MainColor));
    if (!color)
        return;
    m_state.setColour(AppState::Colour::Main, toStoredColor(*color));
    applyBackground();
}

void TForm1::toggleSound()
{
    m_state.setSoundOn(m_state.Settings.SoundOn != 1);
    m_soundAction->setChecked(m_state.Settings.SoundOn == 1);
}

void TForm1::showAbout()
{
    // One box: asking again brings the open one to the front.
    if (m_about == nullptr) {
        m_about = new TAboutBox(this);
        m_about->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void TForm1::showContributors()
{
    m_contributorsMenu->setEnabled(false);
    auto *list = new TContributorsForm(m_state);
    connect(list, &QObject::destroyed, this, [this] { m_contributorsMenu->setEnabled(true); });
    QMdiSubWindow *frame = m_mdi->addSubWindow(list);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->show();
}

QSize TForm1::clientSize() const
{
    return m_mdi->viewport()->size();
}

QRect TForm1::lessonGeometry() const
{
    if (auto *lessons = qobject_cast<ChildWindow *>(m_state.lessonWindow.data()))
        return lessons->placedGeometry();
    // The lessons window is made at start and never destroyed before the frame; should it be missing, its
    // last stored bounds stand in for it.
    const TBounds &b = m_state.Settings.LessonBounds;
    return QRect(b.Left, b.Top, b.Width, b.Height);
}

bool TForm1::hasMode(Mode mode) const
{
    return m_modes.hasWindow(mode);
}

void TForm1::fillWindowMenu()
{
    m_windowMenu->clear();
    connect(addAction(m_windowMenu, QStringLiteral("&Cascade"), "cascadeAction"), &QAction::triggered, m_mdi,
            &QMdiArea::cascadeSubWindows);
    connect(addAction(m_windowMenu, QStringLiteral("&Tile"), "tileAction"), &QAction::triggered, m_mdi,
            &QMdiArea::tileSubWindows);
    m_windowMenu->addSeparator();
    int n = 0;
    for (QMdiSubWindow *frame : m_mdi->subWindowList()) {
        QWidget *child = frame->widget();
        if (child == nullptr)
            continue;
        ++n;
        const QString caption =
            n < 10 ? QStringLiteral("&%1 %2").arg(n).arg(child->windowTitle()) : child->windowTitle();
        QAction *item = m_windowMenu->addAction(caption);
        item->setObjectName(child->objectName() + QStringLiteral("WindowAction"));
        item->setCheckable(true);
        item->setChecked(frame == m_mdi->activeSubWindow());
        connect(item, &QAction::triggered, this, [this, frame = QPointer<QMdiSubWindow>(frame)] {
            if (frame != nullptr)
                bringBack(frame);
        });
    }
}

void TForm1::bringBack(QMdiSubWindow *frame)
{
    if (frame->isMinimized() || frame->isMaximized())
        frame->showNormal();
    frame->setGeometry(ChildWindow::keepReachable(frame->geometry(), m_mdi->viewport()->size()));
    frame->show();
    frame->raise();
    m_mdi->setActiveSubWindow(frame);
}

void TForm1::keepChildrenReachable()
{
    for (QMdiSubWindow *frame : m_mdi->subWindowList()) {
        if (!frame->isMinimized() && !frame->isMaximized())
            frame->setGeometry(ChildWindow::keepReachable(frame->geometry(), m_mdi->viewport()->size()));
    }
}

void TForm1::addChild(ChildWindow *window, Qt::WindowFlags flags)
{
    QMdiSubWindow *frame = m_mdi->addSubWindow(window, flags);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->show();
}

void TForm1::destroyChild(ChildWindow *window)
{
    if (window == nullptr)
        return;
    window->prepareToLeave();
    if (QMdiSubWindow *frame = window->frame()) {
        m_mdi->removeSubWindow(frame);
        delete frame;
    } else {
        delete window;
    }
}

void TForm1::destroyControlPanel()
{
    destroyChild(m_state.controlPanel);
}

void TForm1::destroyModeWindow()
{
    destroyChild(m_state.modeWindow);
}

void TForm1::createStartWindows()
{
    // The lessons window comes first: the control panel takes its default place from it.
    for (const ModeRegistry::StartWindow &create : m_modes.startWindows())
        create(m_state, *this);
    openMode(Mode::Horiz);
}

void TForm1::openMode(Mode mode)
{
    if (m_state.ControlPanelOpen == 1)
        destroyControlPanel();
    destroyModeWindow();
    setCurrentMode(m_state, mode);

    ControlPanel *panel = m_modes.createControlPanel(m_state);
    if (panel == nullptr)
        return;
    m_state.controlPanel = panel;
    addChild(panel, Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint);
    panel->applyPlacement(controlPanelGeometry());
    createModeWindow(mode, *panel);
    panel->showPage(mode);
}

void TForm1::switchMode(Mode mode)
{
    ControlPanel *panel = m_state.controlPanel;
    if (panel == nullptr || !hasMode(mode)) {
        openMode(mode);
        return;
    }
    panel->showPage(mode);
    // The window that goes leaves no mode current; the new one is current before its window is made.
    destroyModeWindow();
    setCurrentMode(m_state, mode);
    createModeWindow(mode, *panel);
}

void TForm1::createModeWindow(Mode mode, ControlPanel &panel)
{
    const ModeEntry &entry = m_modes.entry(mode);
    if (!entry.createWindow)
        return;
    ModeWindow *window = entry.createWindow(m_state);
    m_state.modeWindow = window;
    panel.attachWindow(*window);
    addChild(window);
}

QRect TForm1::controlPanelGeometry() const
{
    // Beside the lessons window, at most 180 wide and 460 high, within the client area.
    const int lessonsRight = lessonGeometry().right() + 1;
    const QSize client = clientSize();
    const int height = std::min(client.height(), 460);
    const int width = std::min(client.width() - lessonsRight - 8, 180);
    return QRect(lessonsRight + 1, 0, std::max(width, 120), std::max(height, 200));
}

void TForm1::openComprehensionTest()
{
    ChildWindow *test = m_modes.createComprehensionTest(m_state);
    if (test == nullptr)
        return;
    const QSize wanted = test->size();
    addChild(test);
    QMdiSubWindow *frame = test->frame();
    const QSize margins = frame->size() - test->size();
    const QSize client = clientSize();
    const QSize size(wanted.width() + margins.width(),
                     std::min(wanted.height() + margins.height(), std::max(client.height(), 200)));
    test->setPlacedGeometry(QRect(std::max(0, (client.width() - size.width()) / 2),
                                  std::max(0, (client.height() - size.height()) / 2), size.width(),
                                  size.height()));
    frame->raise();
}

void TForm1::storeMainBounds()
{
    const QRect r = geometry();
    m_state.storeMainPlacement(TBounds{x(), y(), r.width(), r.height()});
}

void TForm1::saveSettings()
{
    if (m_state.saveSettingsFile())
        deleteSettingsIfPending();
}

void TForm1::deleteSettingsIfPending()
{
    // The reading options are settings too, so the next start finds the defaults of both.
    if (m_state.RestoreDefaultsPending != 1)
        return;
    for (const char *name : {kSettingsFileName, kOptionsFileName}) {
        const QString path = m_state.filePath(QString::fromLatin1(name));
        if (QFile::exists(path))
            QFile::remove(path);
    }
}

void TForm1::leaveChildWindows()
{
    // Child windows write their placement and settings back before the record is saved.
    for (QMdiSubWindow *frame : m_mdi->subWindowList()) {
        if (auto *child = qobject_cast<ChildWindow *>(frame->widget()))
            child->prepareToLeave();
    }
}

void TForm1::exitProgram()
{
    leaveChildWindows();
    storeMainBounds();
    saveSettings();
    close();
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_closed) {
        m_closed = true;
        leaveChildWindows();
        storeMainBounds();
        m_state.setMainDefaultPlacement(false);
        saveSettings();
    }
    event->accept();
}
