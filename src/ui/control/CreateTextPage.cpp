#include "control/CreateTextPage.h"

#include "app/AppState.h"
#include "app/Frame.h"
#include "control/MakeText.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int kBlinkMs = 340;
constexpr int kCreateGroupWidth = 132;
const QString kFormatCaption = QStringLiteral("Format Text");

// Toolbar icons drawn here where the desktop's icon theme has none: "Aa" for Change Font, two sheets for
// copy, a clipboard for paste. Each takes no more room than the others.
enum class Drawn
{
    Letters,
    Copy,
    Paste,
};

QIcon drawnIcon(const QSize &size, Drawn what)
{
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(pixmap.rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    const qreal w = r.width();
    const qreal h = r.height();
    painter.setPen(QPen(QColor(60, 60, 60), 1.2));
    switch (what) {
    case Drawn::Letters: {
        QFont font = painter.font();
        font.setPixelSize(size.height() - 3);
        font.setBold(true);
        painter.setFont(font);
        painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Aa"));
        break;
    }
    case Drawn::Copy:
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(r.left(), r.top(), w * 0.62, h * 0.72));
        painter.drawRect(QRectF(r.left() + w * 0.38, r.top() + h * 0.28, w * 0.62, h * 0.72));
        break;
    case Drawn::Paste:
        painter.setBrush(QColor(200, 160, 100));
        painter.drawRect(QRectF(r.left() + w * 0.1, r.top() + h * 0.12, w * 0.8, h * 0.88));
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(r.left() + w * 0.3, r.top(), w * 0.4, h * 0.25));
        painter.drawRect(QRectF(r.left() + w * 0.25, r.top() + h * 0.4, w * 0.5, h * 0.5));
        break;
    }
    return QIcon(pixmap);
}

QLineEdit *readOut(QWidget *parent, const char *objectName)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight);
    box->setFixedWidth(44);
    return box;
}

// A caption beside a number box, wrapped to two lines where the panel is narrow.
QLabel *caption(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setMinimumHeight(2 * label->fontMetrics().lineSpacing());
    return label;
}

} // namespace

CreateTextPage::CreateTextPage(AppState &state, QWidget *parent) : ControlPage(state, parent)
{
    setObjectName(QStringLiteral("createTextPage"));

    QToolBar *bar = toolBar();
    // Five buttons share the panel's narrow toolbar.
    bar->setIconSize(QSize(16, 16));
    bar->setMovable(false);
    addTool(themeIcon("document-open", style(), QStyle::SP_DialogOpenButton),
            QStringLiteral("Open your files"), "createTextOpenAction", [this] { openFile(); });
    addTool(QIcon::fromTheme(QStringLiteral("edit-copy"), drawnIcon(QSize(16, 16), Drawn::Copy)),
            QStringLiteral("Copy selected text"), "createTextCopyAction", [this] {
                m_state.PlayClick(1);
                if (m_window != nullptr)
                    m_window->copySelectedText();
            });
    addTool(QIcon::fromTheme(QStringLiteral("edit-paste"), drawnIcon(QSize(16, 16), Drawn::Paste)),
            QStringLiteral("Paste from clipboard"), "createTextPasteAction", [this] {
                m_state.PlayClick(1);
                if (m_window != nullptr)
                    m_window->pasteFromClipboard();
            });
    addTool(drawnIcon(bar->iconSize(), Drawn::Letters), QStringLiteral("Change Font"), "createTextFontAction",
            [this] {
                if (m_window != nullptr)
                    m_window->chooseFont();
            });
    addHelpButton();

    QPushButton *openButton = makeButton(QStringLiteral("Open File"), "openFileButton");
    QPushButton *saveButton = makeButton(QStringLiteral("Save to File"), "saveToFileButton");
    QGroupBox *files = makeColumn(QString(), "createTextFilesGroup", {openButton, saveButton});

    auto *format = new QGroupBox(this);
    format->setObjectName(QStringLiteral("createTextFormatGroup"));
    auto *formatGrid = new QGridLayout(format);
    formatGrid->setContentsMargins(8, 6, 8, 6);
    formatGrid->setVerticalSpacing(4);
    m_formatButton = makeButton(kFormatCaption, "formatTextButton");
    formatGrid->addWidget(m_formatButton, 0, 0, 1, 2);
    formatGrid->addWidget(caption(format, QStringLiteral("Indent Paragraph")), 1, 0);
    auto *indent = new UpDownBox(format);
    indent->setObjectName(QStringLiteral("indentParagraphUpDown"));
    indent->setRange(kIndentRange.min, kIndentRange.max);
    indent->onStep = [this] { m_state.PlayClick(1); };
    indent->setFixedWidth(44);
    m_indent = indent;
    formatGrid->addWidget(m_indent, 1, 1);
    formatGrid->addWidget(caption(format, QStringLiteral("Width of Lines")), 2, 0);
    m_widthBox = readOut(format, "widthOfLinesBox");
    formatGrid->addWidget(m_widthBox, 2, 1);
    formatGrid->addWidget(caption(format, QStringLiteral("Number of Lines")), 3, 0);
    m_linesBox = readOut(format, "numberOfLinesBox");
    formatGrid->addWidget(m_linesBox, 3, 1);

    m_sendTachi = makeButton(QStringLiteral("Tachistoscopic"), "sendTachiButton");
    m_sendHoriz = makeButton(QStringLiteral("Horizontal Read"), "sendHorizButton");
    m_sendVert = makeButton(QStringLiteral("Vertical Read"), "sendVertButton");
    QGroupBox *sendGroup = makeColumn(QStringLiteral("Send Text To"), "createTextSendGroup",
                                      {m_sendTachi, m_sendHoriz, m_sendVert});
    stackGroups({files, format, sendGroup}, kCreateGroupWidth);

    m_blink.setInterval(kBlinkMs);
    connect(&m_blink, &QTimer::timeout, this, &CreateTextPage::blinkTick);
    connect(openButton, &QPushButton::clicked, this, &CreateTextPage::openFile);
    connect(saveButton, &QPushButton::clicked, this, &CreateTextPage::saveToFile);
    connect(m_formatButton, &QPushButton::clicked, this, &CreateTextPage::formatText);
    connect(m_sendTachi, &QPushButton::clicked, this, [this] { send(Mode::Tachi); });
    connect(m_sendHoriz, &QPushButton::clicked, this, [this] { send(Mode::Horiz); });
    connect(m_sendVert, &QPushButton::clicked, this, [this] { send(Mode::Vert); });
    connect(m_indent, &QSpinBox::valueChanged, this,
            [this](int v) { m_state.setIndent(Mode::CreateText, v); });
    panelShown();
    showLook();
}

void CreateTextPage::attach(TCreateTextForm &window)
{
    m_window = &window;
    connect(&window, &TCreateTextForm::textChanged, this, [this] { setText(Text::Unformatted); });
    connect(&window, &TCreateTextForm::widthMeasured, m_widthBox,
            [this](int longest) { m_widthBox->setText(QString::number(longest)); });
    connect(&window, &TCreateTextForm::linesCounted, m_linesBox,
            [this](int count) { m_linesBox->setText(QString::number(count)); });
    connect(&window, &TCreateTextForm::blinkFormatText, this, &CreateTextPage::startBlink);
    panelShown();
    setText(Text::Unformatted);
}

void CreateTextPage::panelShown()
{
    m_indent->setValue(std::clamp(m_state.Settings.CreateTextIndent, 0, 5));
}

void CreateTextPage::setText(Text text)
{
    m_text = text;
    showLook();
}

void CreateTextPage::showLook()
{
    ControlPage::showLook(m_formatButton, {m_captionHidden ? QString() : kFormatCaption, CaptionColour::Plain,
                                           m_window != nullptr});
    const bool sendable = m_text == Text::Formatted && m_window != nullptr;
    m_sendTachi->setEnabled(sendable);
    m_sendHoriz->setEnabled(sendable);
    // The vertical reader may not be part of this program.
    m_sendVert->setEnabled(sendable && m_state.frame != nullptr && m_state.frame->hasMode(Mode::Vert));
}

void CreateTextPage::startBlink()
{
    m_blink.start();
}

void CreateTextPage::stopBlink()
{
    m_blink.stop();
    m_captionHidden = false;
    showLook();
}

void CreateTextPage::blinkTick()
{
    m_captionHidden = !m_captionHidden;
    showLook();
}

void CreateTextPage::openFile()
{
    m_state.PlayClick(1);
    if (m_window != nullptr && m_window->openFile())
        startBlink();
}

void CreateTextPage::formatText()
{
    m_state.PlayClick(1);
    stopBlink();
    if (m_window == nullptr)
        return;
    // The window's own text change marks the text unformatted; success then offers the Send buttons.
    setText(m_window->FormatCreateText() ? Text::Formatted : Text::Unformatted);
}

void CreateTextPage::saveToFile()
{
    m_state.PlayClick(1);
    if (m_window != nullptr)
        m_window->SaveCreateText();
}

void CreateTextPage::send(Mode reader)
{
    m_state.PlayClick(1);
    if (m_window == nullptr || m_state.frame == nullptr || !m_window->TransferCreateText())
        return;
    m_state.LoadTempFile = static_cast<std::uint8_t>(modeInfo(reader).transferCode);
    stopBlink();
    setText(Text::Unformatted);
    m_state.frame->switchMode(reader);
}
