#include "app/FontCommand.h"

#include "ModeTable.h"
#include "app/AppState.h"
#include "app/Convert.h"

#include <algorithm>

FontDialogOptions fontDialogFor(Mode mode)
{
    if (mode == Mode::None)
        return {8, 14, true};
    const ModeFontRange &range = modeInfo(mode).fontRange;
    return {range.sizes.min, range.sizes.max, range.effects};
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
