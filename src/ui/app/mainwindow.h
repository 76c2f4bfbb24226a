#pragma once

#include "AppValues.h"
#include "ReadingOptions.h"
#include "app/Frame.h"

#include <QMainWindow>
#include <QPointer>

#include <array>
#include <optional>
#include <utility>
#include <vector>

class AppState;
class ChildWindow;
class ModeRegistry;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class ControlPanel;
class TAboutBox;
class VisibilityPanel;
struct StoryEntry;

// The frame: a multiple-document main window holding every training window, the menus, the two text
// visibility panels, start-up and the saves at shutdown. It knows the modes only as registry entries.
class TForm1 final : public QMainWindow, public Frame
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    // The main window's own section of the manual, which F1 opens where no window inside has one.
    static constexpr int kHelpContext = 10;

    TForm1(AppState &state, const ModeRegistry &modes);
    ~TForm1() override;

    // The creation handler's start-up. False when the platform is refused and the program must end.
    bool FormCreate();
    // Creates the registered start windows, the control panel and the horizontal reader, as at program start.
    void createStartWindows();

    QWidget *widget() override { return this; }
    QSize clientSize() const override;
    QRect lessonGeometry() const override;
    void addChild(ChildWindow *window, Qt::WindowFlags flags = {}) override;
    void openMode(Mode mode) override;
    bool hasMode(Mode mode) const override;
    void plugCommand(const char *objectName, std::function<void()> run) override;
    void setHold(MenuHold hold, bool on) override;
    void openComprehensionTest() override;
    void switchMode(Mode mode) override;
    void toggleVisibilityPanel(Mode mode) override;

    void destroyModeWindow();
    void destroyControlPanel();
    void destroyChild(ChildWindow *window);

    QMdiArea *mdiArea() const { return m_mdi; }
    // The visibility panels of the horizontal (Panel1) and vertical (Panel5) readers.
    VisibilityPanel *Panel1() const { return m_panel1; }
    VisibilityPanel *Panel5() const { return m_panel5; }
    QMenu *shortStoriesMenu() const { return m_storiesMenu; }
    // Exit: bounds into the record, save, then close.
    void exitProgram();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildVisibilityPanels();
    QAction *addAction(QMenu *menu, const QString &caption, const char *objectName);
    void addStoryItems(QMenu *menu, const StoryEntry *begin, const StoryEntry *end);
    void storyCommand(const StoryEntry &entry);
    void placeFromSettings();
    void checkSoundFiles();
    void storeMainBounds();
    void saveSettings();
    void deleteSettingsIfPending();
    void visibilityOk(VisibilityPanel *panel, Mode mode);
    void chooseBackgroundColor();
    void toggleSound();
    void applyBackground();
    void showAbout();
    // The section F1 opens for a key sent to `widget`: that of the first window around it that has one, for
    // the frame that of its active child; nothing for a widget outside the program's windows.
    std::optional<int> helpContextAt(QWidget *widget) const;
    void showContributors();
    void leaveChildWindows();
    void applyHolds();
    void createModeWindow(Mode mode, ControlPanel &panel);
    // The Window menu: Cascade, Tile, and an item for every open child that shows and raises it.
    void fillWindowMenu();
    void fillRecentBooks();
    void openRecentBook(const ReadingOptions::Book &book);
    void bringBack(QMdiSubWindow *frame);
    void keepChildrenReachable();
    QRect controlPanelGeometry() const;

    AppState &m_state;
    const ModeRegistry &m_modes;
    QMdiArea *m_mdi;
    VisibilityPanel *m_panel1 = nullptr;
    VisibilityPanel *m_panel5 = nullptr;
    QMenu *m_readingMenu = nullptr;
    QMenu *m_storiesMenu = nullptr;
    QMenu *m_chartsMenu = nullptr;
    QMenu *m_optionsMenu = nullptr;
    QMenu *m_contributorsMenu = nullptr;
    QMenu *m_windowMenu = nullptr;
    QMenu *m_recentMenu = nullptr;
    static constexpr int kRecentBooks = 10;
    QAction *m_soundAction = nullptr;
    QAction *m_fontsAction = nullptr;
    std::vector<std::pair<QAction *, bool ReadingOptions::*>> m_optionItems;
    std::array<bool, 3> m_holds{};
    QPointer<TAboutBox> m_about;
    bool m_closed = false;
};
