#include "readers/tacky.h"

#include "CreateText.h"
#include "MemoLines.h"
#include "ParagraphFormat.h"
#include "TachiText.h"
#include "TextFile.h"
#include "Wpm.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/FontCommand.h"
#include "app/Frame.h"
#include "app/MemoWrap.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

namespace {

constexpr int kMemoKeepsWhenFormatting = 232;
constexpr int kMemoKeepsAlways = 160;
constexpr int kTopStripHeight = 14;
constexpr int kBottomStripHeight = 50;

const QString kInstructions = QStringLiteral(
    "To read with the tachistoscope:\n"
    "\n"
    "1. Choose a story from the Short Stories menu, open a text file with the Open File button of the "
    "Controls, or paste text with the Paste button.\n"
    "\n"
    "2. Click \"Format Text\".\n"
    "\n"
    "3. Click \"Start Read\" and keep your eyes on the centre of the dark panel.");

void fillWith(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, color);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

} // namespace

TTachiForm::TTachiForm(AppState &state, QWidget *parent)
    : ModeWindow(state, &TSettings::TachiDefaultPlacement, &TSettings::TachiBounds, parent),
      m_flashTimer(state.services.clock), m_secondsTimer(state.services.clock)
{
    setObjectName(QStringLiteral("tachiForm"));
    setWindowTitle(QStringLiteral("Tachistoscopic Reader"));
    setMinimumSize(240, 60);

    m_splitter = new QSplitter(Qt::Horizontal, this);
    m_splitter->setObjectName(QStringLiteral("tachiSplitter"));
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(buildPanel());
    m_memo = new QPlainTextEdit(m_splitter);
    m_memo->setObjectName(QStringLiteral("tachiMemo"));
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setMinimumWidth(40);
    m_memo->setPlainText(kInstructions);
    m_splitter->addWidget(m_memo);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_splitter);

    connect(m_memo, &QPlainTextEdit::textChanged, this, [this] { TachiTextFormatted = false; });
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { refreshLayout(); });
    connect(&m_flashTimer, &PaceTimer::timeout, this, &TTachiForm::Timer1Timer);
    connect(&m_secondsTimer, &PaceTimer::timeout, this, &TTachiForm::Timer2Timer);

    setBackColor(toQColor(m_state.Settings.TachiBackColor));
    applyFont();
    setFlashTime(m_state.Settings.TachiFlashTime);

    if (m_state.LoadTempFile == modeInfo(Mode::Tachi).transferCode) {
        m_state.LoadTempFile = 0;
        m_memo->clear();
        if (const auto lines = readTextFileLines(m_state.filePath(QString::fromLatin1(kTransferFileName)),
                                                 kWrappedTextLimits))
            m_memo->setPlainText(lines->join(QLatin1Char('\n')));
    }
}

TTachiForm::~TTachiForm() = default;

QWidget *TTachiForm::buildPanel()
{
    m_panel = new QWidget;
    m_panel->setObjectName(QStringLiteral("tachiPanel"));
    m_panel->setMinimumWidth(60);

    m_topStrip = new QWidget(m_panel);
    fillWith(m_topStrip, palette().color(QPalette::Window));
    m_progress = new QProgressBar(m_topStrip);
    m_progress->setObjectName(QStringLiteral("tachiProgress"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);

    m_flash = new QLabel(m_panel);
    m_flash->setObjectName(QStringLiteral("flashLabel"));
    m_flash->setAlignment(Qt::AlignCenter);
    m_flash->setTextFormat(Qt::PlainText);
    m_result = new QLabel(m_panel);
    m_result->setObjectName(QStringLiteral("resultLabel"));
    m_result->setAlignment(Qt::AlignCenter);
    m_result->setTextFormat(Qt::PlainText);

    m_bottomStrip = new QWidget(m_panel);
    fillWith(m_bottomStrip, palette().color(QPalette::Window));
    auto *title = new QLabel(QStringLiteral("Adjust Speed"), m_bottomStrip);
    title->setAlignment(Qt::AlignCenter);
    auto *fast = new QLabel(QStringLiteral("F"), m_bottomStrip);
    auto *slow = new QLabel(QStringLiteral("S"), m_bottomStrip);
    m_flashTimeBar = new QScrollBar(Qt::Horizontal, m_bottomStrip);
    m_flashTimeBar->setObjectName(QStringLiteral("flashTimeBar"));
    m_flashTimeBar->setToolTip(QStringLiteral("Flash time in milliseconds"));
    m_flashTimeBar->setRange(kTachiFlashTimeRange.min, kTachiFlashTimeRange.max);
    m_flashTimeBar->setSingleStep(25);
    m_flashTimeBar->setPageStep(80);
    m_flashTimeBox = new QLineEdit(m_bottomStrip);
    m_flashTimeBox->setObjectName(QStringLiteral("flashTimeBox"));
    m_flashTimeBox->setReadOnly(true);
    m_flashTimeBox->setFocusPolicy(Qt::NoFocus);
    m_flashTimeBox->setFixedWidth(m_flashTimeBox->fontMetrics().horizontalAdvance(QStringLiteral("20000")) +
                                  12);
    m_flashTimeBox->setAlignment(Qt::AlignRight);
    auto *strip = new QVBoxLayout(m_bottomStrip);
    strip->setContentsMargins(6, 2, 6, 4);
    strip->setSpacing(2);
    strip->addWidget(title);
    auto *row = new QHBoxLayout;
    row->addWidget(fast);
    row->addWidget(m_flashTimeBar, 1);
    row->addWidget(slow);
    row->addWidget(m_flashTimeBox);
    strip->addLayout(row);
    connect(m_flashTimeBar, &QScrollBar::valueChanged, this, &TTachiForm::setFlashTime);

    m_panel->installEventFilter(this);
    return m_panel;
}

void TTachiForm::showEvent(QShowEvent *event)
{
    ModeWindow::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (QMdiSubWindow *f = frame())
        f->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    applyPlacement(m_state.frame != nullptr ? m_state.frame->readerDefaultGeometry() : QRect(0, 0, 480, 260));
    const int client = width();
    m_splitter->setSizes({std::max(0, client - kMemoKeepsWhenFormatting), kMemoKeepsWhenFormatting});
    TachiTextFormatted = false;
    m_result->clear();
    setFlashTime(m_state.Settings.TachiFlashTime);
    refreshLayout();
}

void TTachiForm::resizeEvent(QResizeEvent *event)
{
    ModeWindow::resizeEvent(event);
    refreshLayout();
}

bool TTachiForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && event->type() == QEvent::Resize) {
        refreshLayout();
        return false;
    }
    return ModeWindow::eventFilter(watched, event);
}

void TTachiForm::keepMemoRoom()
{
    const QList<int> sizes = m_splitter->sizes();
    if (sizes.size() != 2)
        return;
    const int client = width();
    if (client - kMemoKeepsAlways < sizes[0])
        m_splitter->setSizes({std::max(0, client - kMemoKeepsAlways), kMemoKeepsAlways});
}

void TTachiForm::refreshLayout()
{
    if (m_splitter == nullptr)
        return;
    keepMemoRoom();
    const int w = m_panel->width();
    const int h = m_panel->height();
    m_topStrip->setGeometry(0, 0, w, kTopStripHeight);
    const int barWidth = std::max(0, w - 14);
    m_progress->setGeometry((w - barWidth) / 2, 3, barWidth, kTopStripHeight - 6);
    m_bottomStrip->setGeometry(0, h - kBottomStripHeight, w, kBottomStripHeight);

    const int labelWidth = std::max(0, w - 25);
    const int labelHeight = m_flash->fontMetrics().height() + 10;
    m_flash->setGeometry((w - labelWidth) / 2, h / 2 - labelHeight / 2, labelWidth, labelHeight);
    m_result->setGeometry((w - labelWidth) / 2, m_flash->geometry().bottom() + 1 + 2, labelWidth,
                          labelHeight);
}

void TTachiForm::applyFont()
{
    const FontChoice choice = toFontChoice(m_state.Settings.TachiFont);
    for (QLabel *label : {m_flash, m_result}) {
        label->setFont(choice.font);
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, choice.color);
        label->setPalette(pal);
    }
}

void TTachiForm::setBackColor(const QColor &color)
{
    fillWith(m_panel, color);
    fillWith(m_flash, color);
    fillWith(m_result, color);
}

void TTachiForm::chooseFont()
{
    if (const auto chosen = chooseModeFont(m_state, Mode::Tachi, toFontChoice(m_state.Settings.TachiFont))) {
        m_state.setFont(Mode::Tachi, *chosen);
        applyFont();
    }
    // The layout is redone also after a cancel, so the display always fits the font it shows.
    refreshLayout();
}

void TTachiForm::previewFont()
{
    const auto choice = m_state.services.dialogs.chooseFont(
        FontChoice{m_memo->font(), m_memo->palette().color(QPalette::Text)}, FontDialogOptions{});
    if (!choice)
        return;
    m_memo->setFont(choice->font);
    QPalette pal = m_memo->palette();
    pal.setColor(QPalette::Text, choice->color);
    m_memo->setPalette(pal);
}

void TTachiForm::setFlashTime(int ms)
{
    ms = kTachiFlashTimeRange.clamp(ms);
    m_state.setSpeed(Mode::Tachi, ms);
    m_flashTimer.setInterval(ms);
    if (m_flashTimeBar->value() != ms)
        m_flashTimeBar->setValue(ms);
    m_flashTimeBox->setText(QString::number(ms));
}

void TTachiForm::setDisplay(const QString &text)
{
    m_flash->setText(text);
    Q_EMIT displayChanged(text);
}

QString TTachiForm::flashDisplay() const
{
    return m_flash->text();
}

QString TTachiForm::resultText() const
{
    return m_result->text();
}

int TTachiForm::progress() const
{
    return m_progress->value();
}

void TTachiForm::loadStory()
{
    if (loadFile(m_state.filePath(m_state.StoryFileName), m_state.StoryFileName))
        setSourceFile(QString());
}

void TTachiForm::setSourceFile(const QString &path)
{
    m_sourceFile = path;
    m_startLine = 1;
    if (m_text.isBook()) {
        m_startLine = m_text.startLine();
        return;
    }
    if (path.isEmpty() || !m_state.options.rememberPlaces)
        return;
    if (const auto line = m_state.options.placeFor(path, AppState::kTachiPlaces);
        line && m_state.services.messages.confirm(QStringLiteral("Continue where you stopped?")))
        m_startLine = *line;
}

void TTachiForm::keepPlace(bool finished)
{
    if (!m_inRun || (!m_text.isBook() && (m_sourceFile.isEmpty() || !m_state.options.rememberPlaces)))
        return;
    // The line holding the first character of the piece on display.
    int line = m_runFirstLine;
    int end = 0;
    const int pos = m_engine.displayedPos();
    for (const QString &l : std::as_const(m_runLines)) {
        end += l.isEmpty() ? 3 : static_cast<int>(l.size());
        if (pos <= end)
            break;
        ++line;
    }
    if (m_text.isBook()) {
        if (finished)
            m_text.partRead();
        else
            m_text.keepPlace(line);
        return;
    }
    m_state.options.rememberPlace(m_sourceFile, AppState::kTachiPlaces, finished ? 1 : line);
    m_state.saveOptions();
}

LineCost TTachiForm::formattedLineCost() const
{
    // The box is this narrow once Format Text has widened the display; its lines are counted there.
    const QFontMetrics metrics(m_memo->font());
    const int width = std::max(40, kMemoKeepsWhenFormatting - 2 * m_memo->frameWidth() -
                                       m_memo->verticalScrollBar()->sizeHint().width() - 10);
    // A book repeats its words: each is measured once, so a long one is divided in a moment.
    auto widths = std::make_shared<QHash<QString, int>>();
    return [metrics, width, widths](const QString &line) {
        int lines = 1;
        int x = 0;
        for (const QString &word : line.split(u' ', Qt::SkipEmptyParts)) {
            auto known = widths->constFind(word);
            if (known == widths->cend())
                known = widths->insert(word, metrics.horizontalAdvance(word + u' '));
            const int w = *known;
            if (x > 0 && x + w > width) {
                ++lines;
                x = 0;
            }
            lines += w / width;
            x += w % width;
        }
        return lines;
    };
}

bool TTachiForm::loadFile(const QString &path, const QString &shownName)
{
    if (!m_text.open(path, shownName, false, formattedLineCost(), kTachiMaxLines - 1))
        return false;
    showPart();
    return true;
}

void TTachiForm::showPart()
{
    m_memo->clear();
    m_memo->setPlainText(m_text.lines().join(QLatin1Char('\n')));
    textReplaced();
}

void TTachiForm::setMemoText(const QString &text)
{
    m_memo->clear();
    m_memo->setPlainText(text);
    m_text.clear();
    setSourceFile(QString());
    textReplaced();
}

void TTachiForm::textReplaced()
{
    // What the last reading showed belongs to the old text.
    m_result->clear();
    m_progress->setValue(0);
    setDisplay(QString());
    Q_EMIT newText();
}

QStringList TTachiForm::displayLines() const
{
    return memoLinesOf(*m_memo).lines();
}

int TTachiForm::memoLineCount() const
{
    return static_cast<int>(displayLines().size());
}

int TTachiForm::formatText()
{
    m_splitter->setSizes({std::max(0, width() - kMemoKeepsWhenFormatting), kMemoKeepsWhenFormatting});
    refreshLayout();
    MemoLines memo = memoLinesOf(*m_memo);
    const TextLeftOut leftOut = reflowTachiText(memo);
    indentTachiText(memo, m_state.Settings.TachiIndent);
    m_memo->setPlainText(memo.text());
    m_formatNotice =
        leftOut.any() ? formatLeftOutMessage(leftOut, memo.lineCount(), wordCount(memo.text())) : QString();
    TextWords = tachiTextWords(memo.lines());
    TachiTextFormatted = true;
    return memo.lineCount();
}

bool TTachiForm::isRunning() const
{
    return m_flashTimer.isActive();
}

void TTachiForm::startRead()
{
    m_runLines = displayLines();
    m_runFirstLine = 1;
    if (m_startLine > 1 && m_startLine <= m_runLines.size()) {
        // Continuing: only the lines still to read are flashed and counted.
        m_runFirstLine = m_startLine;
        m_runLines = m_runLines.mid(m_startLine - 1);
    }
    m_startLine = 1;
    m_runWords = m_runFirstLine > 1 ? tachiTextWords(m_runLines) : TextWords;
    m_engine.start(buildFlashText(m_runLines));
    setDisplay(QString());
    m_flashTimer.start(m_state.Settings.TachiFlashTime);
    m_result->clear();
    ElapsedSeconds = 0;
    m_secondsTimer.start(1000);
    m_inRun = true;
    m_stepped = false;
}

void TTachiForm::pauseRead()
{
    m_flashTimer.stop();
    m_secondsTimer.stop();
}

void TTachiForm::resumeRead()
{
    m_flashTimer.start(m_state.Settings.TachiFlashTime);
    m_secondsTimer.start(1000);
}

void TTachiForm::cancelRead()
{
    keepPlace(false);
    m_flashTimer.stop();
    m_secondsTimer.stop();
    m_inRun = false;
    setDisplay(QStringLiteral("Cancelled"));
    m_progress->setValue(0);
}

void TTachiForm::stepFlashTime(bool longer)
{
    const int step = m_flashTimeBar->singleStep();
    setFlashTime(m_state.Settings.TachiFlashTime + (longer ? step : -step));
}

bool TTachiForm::stepPiece(bool forward)
{
    if (!m_state.options.stepWhilePaused || !m_inRun || isRunning())
        return false;
    const auto flash =
        forward ? m_engine.stepForward(m_state.Settings.TachiFixationWidth) : m_engine.stepBack();
    if (flash) {
        m_stepped = true;
        m_progress->setValue(flash->progress);
        setDisplay(flash->text);
    }
    return true;
}

void TTachiForm::Timer1Timer()
{
    const TachiFlash flash = m_engine.tick(m_state.Settings.TachiFixationWidth);
    const bool pauses = m_state.options.pauseAtSentenceEnds;
    if (flash.kind == TachiFlash::Kind::Blank) {
        if (pauses)
            m_flashTimer.setInterval(m_state.Settings.TachiFlashTime);
        setDisplay(QString());
        return;
    }
    m_progress->setValue(flash.progress);
    m_flashTimer.setInterval(m_state.Settings.TachiFlashTime);
    if (flash.kind == TachiFlash::Kind::End) {
        endReading();
        return;
    }
    if (pauses)
        m_flashTimer.setInterval(holdTime(m_state.Settings.TachiFlashTime, flash.ending));
    setDisplay(flash.text);
}

void TTachiForm::Timer2Timer()
{
    ElapsedSeconds += 1;
}

void TTachiForm::endReading()
{
    setDisplay(QStringLiteral("The End"));
    m_progress->setValue(100);
    m_flashTimer.stop();
    m_secondsTimer.stop();
    keepPlace(true);
    m_inRun = false;
    Q_EMIT readingEnded();

    // Neither a stepped reading nor one without a counted second has a speed, and neither records one.
    const ReadingResult result{m_runWords, ElapsedSeconds, m_stepped, m_runFirstLine > 1};
    LastWpm = result.wpm().value_or(0.0);
    m_state.recordReading(Mode::Tachi, result);
    m_result->setText(result.text());
    m_state.askAfterReading(Mode::Tachi);
    m_state.PlayClick(4);
    if (m_text.offerNextPart()) {
        showPart();
        setSourceFile(m_sourceFile);
    }
}

void TTachiForm::leaving()
{
    keepPlace(false);
    m_flashTimer.stop();
    m_secondsTimer.stop();
    m_inRun = false;
    ModeWindow::leaving();
}
