#pragma once

#include "ChartData.h"
#include "app/HelpTopic.h"

#include <QMainWindow>

#include <array>
#include <functional>

class AppState;
class QFrame;
class QLabel;
class QScrollArea;

// "Brindlewick -- Chart File Viewer": up to two saved chart bitmaps, one above the other, to compare charts
// from different days. A window of its own that stays on top of the program.
class TChartForm1 final : public QMainWindow, public HelpTopic
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TChartForm1)

public:
    // The charts' section, which tells of the viewer too.
    static constexpr int kHelpContext = 110;

    // `initialFolder` gives the folder the open dialog starts in.
    TChartForm1(AppState &state, std::function<QString()> initialFolder, QWidget *parent = nullptr);
    ~TChartForm1() override;
    int helpContext() const override { return kHelpContext; }

    // Open Chart (menu item and button): asks for a bitmap file and shows it in a free slot.
    void OpenChartClick();

    // Slot 0 or 1: the panel with its title bar and picture.
    QFrame *chartSlot(int slot) const { return m_slotWidgets.at(static_cast<std::size_t>(slot)).panel; }

private:
    struct SlotWidgets
    {
        QFrame *panel = nullptr;
        QFrame *titleBar = nullptr;
        QLabel *caption = nullptr;
        QLabel *image = nullptr;
    };

    SlotWidgets buildSlot(int slot);
    void placeSlots();
    void closeSlot(int slot);

    AppState &m_state;
    std::function<QString()> m_initialFolder;
    TChartViewerSlots m_slots;
    std::array<SlotWidgets, TChartViewerSlots::kSlots> m_slotWidgets{};
    QScrollArea *m_scroll = nullptr;
    QWidget *m_canvas = nullptr;
};
