#pragma once

#include "AppValues.h"
#include "ModeRegistry.h"

#include <QMainWindow>

class AppState;
class ChildWindow;
class ModeWindow;
class QAction;
class QMdiArea;
class QMenu;
class VisibilityPanel;
struct StoryEntry;

// The frame: a multiple-document main window holding every training window, the menus, the two text
// visibility panels, start-up and the saves at shutdown.
class TForm1 final : public QMainWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TForm1)

public:
    TForm1(AppState &state, const ModeRegistry &modes);
    ~TForm1() override;

    // The creation handler's start-up. False when the platform is refused and the program must end.
    bool FormCreate();
    // Creates the lessons window, the control panel and the horizontal reader, as at program start.
    void createStartWindows();

    // Opens a training mode: a fresh control panel and mode window, the mode's page shown.
    void openMode(Mode mode);
    void destroyModeWindow();
    void destroyControlPanel();
    // Puts a window into the client area and shows it.
    void addChild(ChildWindow *window, Qt::WindowFlags flags = {});
    void destroyChild(ChildWindow *window);

    QMdiArea *mdiArea() const { return m_mdi; }
    QSize clientSize() const;
    // The lessons window's bounds, or where its default rule would put it when it is not open.
    QRect lessonGeometry() const;

    // The visibility panels of the horizontal (Panel1) and vertical (Panel5) readers.
    VisibilityPanel *Panel1() const { return m_panel1; }
    VisibilityPanel *Panel5() const { return m_panel5; }
    // Hides the panel when it is visible, otherwise centres it in the client area and shows it.
    void toggleVisibilityPanel(VisibilityPanel *panel);

    QMenu *shortStoriesMenu() const { return m_storiesMenu; }
    void setShortStoriesEnabled(bool enabled);
    // Opens the comprehension test on StoryNumber for the current reading.
    void openComprehensionTest();
    // Exit: bounds into the record, save, then close.
    void exitProgram();

protected:
    void closeEvent(QCloseEvent *event) override;

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
    void showContributors();
    void leaveChildWindows();

    AppState &m_state;
    const ModeRegistry &m_modes;
    QMdiArea *m_mdi;
    VisibilityPanel *m_panel1 = nullptr;
    VisibilityPanel *m_panel5 = nullptr;
    QMenu *m_storiesMenu = nullptr;
    QMenu *m_contributorsMenu = nullptr;
    QAction *m_soundAction = nullptr;
    bool m_closed = false;
};
