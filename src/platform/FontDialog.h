#pragma once

#include "Services.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;

// The font dialog of the modes: a family, only the sizes the mode takes, bold and italic, and underline,
// strike-out and colour only where the mode keeps them. Enter is OK and Escape is Cancel. A stored family
// that is not installed shows as the family used in its place, and is given back unchanged unless the
// user picks another.
class FontDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FontDialog)

public:
    FontDialog(const FontChoice &initial, const FontDialogOptions &options, QWidget *parent = nullptr);

    FontChoice choice() const;

private:
    void showPreview();

    FontChoice m_initial;
    FontDialogOptions m_options;
    QColor m_color;
    bool m_familyChosen = false;
    QFontComboBox *m_family;
    QComboBox *m_size;
    QCheckBox *m_bold;
    QCheckBox *m_italic;
    QCheckBox *m_underline = nullptr;
    QCheckBox *m_strikeOut = nullptr;
    QLabel *m_preview;
};
