#pragma once

#include "AppValues.h"
#include "ModeTable.h"
#include "app/ControlPanel.h"

#include <array>

class ControlPage;
class ModeRegistry;

// The control panel: one child window, captioned "Controls", holding one page per training mode, exactly one
// of them visible. It owns no reading logic; its pages drive the current mode's window.
class TControlForm final : public ControlPanel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TControlForm)

public:
    TControlForm(AppState &state, const ModeRegistry &modes, QWidget *parent = nullptr);
    ~TControlForm() override;

    ControlPage *page(Mode mode) const;
    // Shows the page of `mode` and hides the others, then centres the page's controls.
    void showPage(Mode mode) override;
    Mode visiblePage() const override { return m_visible; }
    void attachWindow(ModeWindow &window) override;
    bool offersResetText(Mode mode) const override;
    bool routeKey(QKeyEvent *event, QWidget *focus) override;
    void holdReading() override;
    void CentrePageControls();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void leaving() override;

private:
    const ModeRegistry &m_modes;
    std::array<ControlPage *, kModeCount> m_pages{};
    Mode m_visible = Mode::None;
};
