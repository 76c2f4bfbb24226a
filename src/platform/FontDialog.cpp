#include "FontDialog.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

FontDialog::FontDialog(const FontChoice &initial, const FontDialogOptions &options, QWidget *parent)
    : QDialog(parent), m_initial(initial), m_options(options), m_color(initial.color)
{
    setWindowTitle(tr("Font"));
    setObjectName(QStringLiteral("fontDialog"));
    auto *form = new QFormLayout;

    m_family = new QFontComboBox;
    m_family->setObjectName(QStringLiteral("fontFamilyBox"));
    // The family the stored name stands for here: a font that is not installed shows as its stand-in.
    m_family->setCurrentFont(QFont(QFontInfo(initial.font).family()));
    connect(m_family, &QFontComboBox::currentFontChanged, this, [this] {
        m_familyChosen = true;
        showPreview();
    });
    form->addRow(tr("&Font:"), m_family);

    m_size = new QComboBox;
    m_size->setObjectName(QStringLiteral("fontSizeBox"));
    for (int size = options.minSize; size <= options.maxSize; ++size)
        m_size->addItem(QString::number(size), size);
    const int size = std::clamp(initial.font.pointSize(), options.minSize, options.maxSize);
    m_size->setCurrentIndex(size - options.minSize);
    connect(m_size, &QComboBox::currentIndexChanged, this, &FontDialog::showPreview);
    form->addRow(tr("&Size:"), m_size);

    auto *styles = new QHBoxLayout;
    auto addStyle = [this, styles](const QString &caption, const char *name, bool on) {
        auto *box = new QCheckBox(caption);
        box->setObjectName(QString::fromLatin1(name));
        box->setChecked(on);
        connect(box, &QCheckBox::toggled, this, &FontDialog::showPreview);
        styles->addWidget(box);
        return box;
    };
    m_bold = addStyle(tr("&Bold"), "fontBoldBox", initial.font.bold());
    m_italic = addStyle(tr("&Italic"), "fontItalicBox", initial.font.italic());
    if (options.effects) {
        m_underline = addStyle(tr("&Underline"), "fontUnderlineBox", initial.font.underline());
        m_strikeOut = addStyle(tr("S&trike-out"), "fontStrikeOutBox", initial.font.strikeOut());
    }
    form->addRow(tr("Style:"), styles);

    if (options.effects) {
        auto *colour = new QPushButton(tr("&Colour..."));
        colour->setObjectName(QStringLiteral("fontColourButton"));
        colour->setAutoDefault(false);
        connect(colour, &QPushButton::clicked, this, [this] {
            const QColor c = QColorDialog::getColor(m_color, this);
            if (c.isValid()) {
                m_color = c;
                showPreview();
            }
        });
        form->addRow(tr("Colour:"), colour);
    }

    m_preview = new QLabel(tr("The quick brown fox jumps over the lazy dog"));
    m_preview->setObjectName(QStringLiteral("fontPreview"));
    m_preview->setMinimumHeight(60);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_preview);
    layout->addWidget(buttons);
    showPreview();
}

FontChoice FontDialog::choice() const
{
    QFont font = m_initial.font;
    if (m_familyChosen)
        font.setFamily(m_family->currentFont().family());
    font.setPointSize(m_size->currentData().toInt());
    font.setBold(m_bold->isChecked());
    font.setItalic(m_italic->isChecked());
    font.setUnderline(m_underline != nullptr && m_underline->isChecked());
    font.setStrikeOut(m_strikeOut != nullptr && m_strikeOut->isChecked());
    return FontChoice{font, m_options.effects ? m_color : m_initial.color};
}

void FontDialog::showPreview()
{
    const FontChoice c = choice();
    m_preview->setFont(c.font);
    QPalette pal = m_preview->palette();
    pal.setColor(QPalette::WindowText, c.color);
    m_preview->setPalette(pal);
}
