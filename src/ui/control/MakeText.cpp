#include "control/MakeText.h"

#include "CreateText.h"
#include "ParagraphFormat.h"
#include "TextImport.h"
#include "TextSource.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/FontCommand.h"
#include "app/Frame.h"
#include "app/MemoWrap.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The create-text font dialog offers sizes 8..12 with colour and effects.
const FontDialogOptions kFontSizes = fontDialogFor(Mode::CreateText);
constexpr int kReleasePollMs = 100;

// A prompt, never part of the text: it goes as soon as anything comes into the box.
const QString kPrompt = QStringLiteral("Paste text goes here or load from file.");

} // namespace

TCreateTextForm::TCreateTextForm(AppState &state, QWidget *parent)
    : ModeWindow(state, &TSettings::CreateTextDefaultPlacement, &TSettings::CreateTextBounds, parent)
{
    setObjectName(QStringLiteral("createTextForm"));
    setWindowTitle(QStringLiteral("Create Text File"));
    setMinimumSize(120, 60);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("createTextMemo"));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_memo->setPlaceholderText(kPrompt);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);

    m_measureWhenReleased.setSingleShot(true);
    connect(&m_measureWhenReleased, &QTimer::timeout, this, &TCreateTextForm::measureAfterResize);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TCreateTextForm::textChanged);

    if (m_state.frame != nullptr)
        m_state.frame->setHold(MenuHold::CreateText, true);
    applyFont();
}

TCreateTextForm::~TCreateTextForm() = default;

void TCreateTextForm::showEvent(QShowEvent *event)
{
    ModeWindow::showEvent(event);
    if (m_state.frame != nullptr)
        m_state.frame->setHold(MenuHold::CreateText, true);
    if (m_shown)
        return;
    m_shown = true;
    applyPlacement(m_state.frame != nullptr ? m_state.frame->readerDefaultGeometry() : QRect(0, 0, 480, 260));
}

void TCreateTextForm::resizeEvent(QResizeEvent *event)
{
    ModeWindow::resizeEvent(event);
    // Before the first show the box has not taken its width yet; the narrowing passes measure themselves.
    if (!m_shown || AutoResizing)
        return;
    measureAfterResize();
}

void TCreateTextForm::measureAfterResize()
{
    if (AutoResizing)
        return;
    // While the user drags the window's edge, measuring waits until the button is let go.
    if (m_state.services.screen.mouseButtonDown()) {
        m_measureWhenReleased.start(kReleasePollMs);
        return;
    }
    // A box the frame has hidden while it maximizes or restores takes its new width when it shows again.
    if (!m_memo->isVisible() || m_memo->testAttribute(Qt::WA_PendingResizeEvent)) {
        m_measureWhenReleased.start(0);
        return;
    }
    m_measureWhenReleased.stop();
    MeasureWidth();
    CountLines();
}

void TCreateTextForm::leaving()
{
    m_measureWhenReleased.stop();
    if (m_state.frame != nullptr)
        m_state.frame->setHold(MenuHold::CreateText, false);
    ModeWindow::leaving();
}

void TCreateTextForm::applyFont()
{
    TFontGroup group = m_state.Settings.CreateTextFont;
    group.Size = std::clamp(group.Size, kFontSizes.minSize, kFontSizes.maxSize);
    const FontChoice choice = toFontChoice(group);
    m_memo->setFont(choice.font);
    QPalette pal = m_memo->palette();
    pal.setColor(QPalette::Text, choice.color);
    m_memo->setPalette(pal);
}

void TCreateTextForm::chooseFont()
{
    const auto chosen =
        chooseModeFont(m_state, Mode::CreateText, toFontChoice(m_state.Settings.CreateTextFont));
    if (!chosen)
        return;
    m_state.setFont(Mode::CreateText, *chosen);
    applyFont();
    // Another font wraps the text anew, as a resize does.
    if (m_shown)
        measureAfterResize();
}

bool TCreateTextForm::openFile()
{
    const QString path = m_state.chooseTextFile(readableKinds(), createTextOpenFilter());
    if (path.isEmpty())
        return false;
    return loadFile(path);
}

bool TCreateTextForm::loadFile(const QString &path)
{
    const auto read = m_state.readSource(path);
    if (!read)
        return false;
    const SourceText &source = *read;
    if (!source.ok()) {
        m_state.services.messages.information(source.error);
        return false;
    }
    // A text longer than a reader takes comes in one part of the user's choosing.
    const QList<TextPart> parts = splitIntoParts(
        source.text, [](const QString &) { return 1; }, kReaderMaxLines);
    int chosen = 0;
    if (parts.size() > 1) {
        QStringList items;
        for (qsizetype p = 0; p < parts.size(); ++p)
            items.append(QStringLiteral("Part %1 of %2: lines %3 to %4")
                             .arg(p + 1)
                             .arg(parts.size())
                             .arg(parts.at(p).first + 1)
                             .arg(parts.at(p).first + parts.at(p).count));
        const auto choice = m_state.services.dialogs.chooseItem(
            QStringLiteral("Open File"),
            QStringLiteral("This text is longer than a reader takes. Which part do you want to work on?"),
            items);
        if (!choice)
            return false;
        chosen = std::clamp(*choice, 0, static_cast<int>(parts.size()) - 1);
    }
    m_memo->clear();
    m_memo->setPlainText(partLines(source.text, parts.at(chosen)).join(QLatin1Char('\n')));
    return true;
}

void TCreateTextForm::copySelectedText()
{
    const QString selected = m_memo->textCursor().selection().toPlainText();
    if (!selected.isEmpty())
        m_state.services.clipboard.setText(selected);
    m_memo->setFocus();
}

void TCreateTextForm::pasteFromClipboard()
{
    m_memo->insertPlainText(m_state.services.clipboard.text());
    m_memo->setFocus();
}

MemoLines TCreateTextForm::memoLines() const
{
    return memoLinesOf(*m_memo);
}

int TCreateTextForm::memoLineCount() const
{
    return memoLines().lineCount();
}

void TCreateTextForm::CountLines()
{
    CreateTextLineCount = memoLineCount();
    Q_EMIT linesCounted(CreateTextLineCount);
}

bool TCreateTextForm::measureOnce(bool stopAtWide)
{
    // The first 1000 displayed lines, wrapped paragraph by paragraph; a narrowing pass only needs to know
    // whether one is too wide, and stops at the first it finds.
    const QString text = m_memo->toPlainText();
    int lines = 0;
    int longest = 0;
    for (qsizetype start = 0; start <= text.size() && lines < kReaderMaxLines;) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QString paragraph = text.mid(start, end - start);
        const QStringList wrapped =
            paragraph.isEmpty() ? QStringList{QString()} : wrapMemoParagraph(*m_memo, paragraph);
        for (qsizetype i = 0; i < wrapped.size() && lines < kReaderMaxLines; ++i, ++lines)
            longest = std::max(longest, static_cast<int>(wrapped.at(i).size()));
        if (stopAtWide && longest > kReaderMaxLineLength)
            break;
        start = end + 1;
    }
    LongestLineLength = longest;
    Q_EMIT widthMeasured(LongestLineLength);
    return longest > kReaderMaxLineLength;
}

bool TCreateTextForm::narrowByOnePixel()
{
    const int before = width();
    if (before <= minimumWidth())
        return false;
    setPlacedGeometry(placedGeometry().adjusted(0, 0, -1, 0));
    return width() < before;
}

void TCreateTextForm::MeasureWidth()
{
    narrowToFit(true);
}

bool TCreateTextForm::narrowToFit(bool tell)
{
    if (!measureOnce())
        return false;
    if (tell)
        m_state.services.messages.information(autoResizeMessage());
    AutoResizing = true;
    // A maximized window cannot narrow: it comes back to its own size first.
    if (QMdiSubWindow *f = frame();
        f != nullptr &&
        (f->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen)))
        f->showNormal();
    // Each pass measures, then narrows; the window ends one pixel narrower than the first width at which
    // every line fitted. The passes stop where the window can get no narrower, so they always end.
    const int passes = placedGeometry().width();
    bool wide = true;
    for (int pass = 0; wide && pass <= passes; ++pass) {
        wide = measureOnce(true);
        m_memo->viewport()->repaint();
        if (!narrowByOnePixel())
            break;
        m_memo->viewport()->repaint();
    }
    AutoResizing = false;
    return true;
}

bool TCreateTextForm::FormatCreateText()
{
    MemoLines memo = memoLines();
    if (!canFormat(memo.lineCount())) {
        m_state.services.messages.information(tooFewLinesMessage());
        return false;
    }
    // The joined paragraphs wrap to the box: it narrows before the indent touches their first lines, and
    // again after, which can push a line past 80 characters. One message tells of both.
    bool told = false;
    const TextLeftOut leftOut = formatCreateText(memo, m_state.Settings.CreateTextIndent, [&](MemoLines &m) {
        m_memo->setPlainText(m.text());
        told = narrowToFit(true);
        m = memoLines();
    });
    m_memo->setPlainText(memo.text());
    narrowToFit(!told);
    CountLines();
    if (leftOut.any())
        m_state.services.messages.information(
            formatLeftOutMessage(leftOut, CreateTextLineCount, wordCount(m_memo->toPlainText())));
    return true;
}

QString TCreateTextForm::yourTextFolder()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    const QString folder = QDir(documents).filePath(QStringLiteral("Your Text"));
    if (QDir().mkpath(folder))
        return folder;
    return documents;
}

void TCreateTextForm::SaveCreateText()
{
    MeasureWidth();
    CountLines();
    const QStringList lines = memoLines().lines();
    if (const auto refusal = saveRefusal(lines)) {
        m_state.services.messages.information(*refusal);
        return;
    }
    const QString path =
        m_state.services.dialogs.saveFileName(QStringLiteral("Save to File"), yourTextFolder(),
                                              QStringLiteral("BW text (*.txt);;BW tests (*.bwr)"));
    if (path.isEmpty())
        return;
    if (const auto failure = saveCreateTextFile(path, lines)) {
        m_state.services.messages.information(*failure);
        return;
    }
    setWindowTitle(savedCaption(QFileInfo(path).fileName()));
}

bool TCreateTextForm::TransferCreateText()
{
    MeasureWidth();
    CountLines();
    const TransferResult result =
        transferCreateText(m_state.filePath(QString::fromLatin1(kTransferFileName)), memoLines().lines());
    if (!result.sent) {
        m_state.services.messages.information(result.message);
        if (result.blinkFormatText)
            Q_EMIT blinkFormatText();
    }
    return result.sent;
}
