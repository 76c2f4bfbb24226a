#include "app/FontCommand.h"

#include "app/AppState.h"
#include "app/Convert.h"

#include <algorithm>

FontDialogOptions fontDialogFor(Mode mode)
{
    switch (mode) {
    case Mode::CreateText:
        return {8, 12, true};
    case Mode::Exercise:
        return {8, 20, true};
    case Mode::Tachi:
        return {8, 16, true};
    case Mode::Horiz:
    case Mode::Vert:
        return {8, 14, false};
    case Mode::SpeedTest:
    case Mode::None:
        break;
    }
    return {8, 14, true};
}

std::optional<TFontGroup> chooseModeFont(AppState &state, Mode mode, const FontChoice &preset)
{
    state.PlayClick(1);
    const FontDialogOptions options = fontDialogFor(mode);
    std::optional<FontChoice> chosen = state.services.dialogs.chooseFont(preset, options);
    if (!chosen)
        return std::nullopt;
    if (!options.effects) {
        chosen->color = preset.color;
        chosen->font.setUnderline(false);
        chosen->font.setStrikeOut(false);
    }
    TFontGroup group = toFontGroup(*chosen);
    // A font given in pixels has no point size (-1); it takes the nearest size the dialog offers.
    group.Size = std::clamp(group.Size, options.minSize, options.maxSize);
    return group;
}
