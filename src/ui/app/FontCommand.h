#pragma once

#include "AppValues.h"
#include "Services.h"
#include "Settings.h"

#include <optional>

class AppState;

// The font dialog each mode's Options > Fonts shows: the sizes it offers and whether it offers colour,
// underline and strike-out. Only the paced readers' dialogs go without effects.
FontDialogOptions fontDialogFor(Mode mode);

// What every mode's Options > Fonts shares: the click, the dialog opened on `preset`, and on OK the font as
// the mode's fields keep it: the name cut to the 40 characters the record holds, the size kept within the
// dialog's range, and, for a dialog without effects, the colour left as preset and no underline or
// strike-out. nullopt when the user cancels; the caller then changes nothing (unless its mode redoes
// something regardless).
std::optional<TFontGroup> chooseModeFont(AppState &state, Mode mode, const FontChoice &preset);
