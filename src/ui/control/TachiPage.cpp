#include "control/TachiPage.h"

#include "TachiText.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "readers/tacky.h"

#include <QAction>
#include <QGridLayout>
#include <QGroupBox>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

TTachiPage::TTachiPage(AppState &state, QWidget *parent) : ControlPage(state, parent)
{
    setObjectName(QStringLiteral("tachiPage"));

    m_openAction = addTool(themeIcon("document-open", style(), QStyle::SP_DialogOpenButton), tr("Open File"),
                           "tachiOpenFileAction", [this] { openFile(); });
    m_pasteAction = addTool(
        themeIcon("edit-paste", style(), QStyle::SP_FileDialogContentsView), tr("Paste"), "tachiPasteAction",
        [this] { paste(); }, QStringLiteral("Paste from clipboard"));
    m_fontAction = addTool(themeIcon("preferences-desktop-font", style(), QStyle::SP_FileDialogDetailedView),
                           tr("Change Font"), "tachiChangeFontAction", [this] {
                               if (m_reader != nullptr)
                                   m_reader->chooseFont();
                           });
    addHelpButton();

    auto *format = new QGroupBox(this);
    format->setObjectName(QStringLiteral("tachiFormatGroup"));
    auto *formatGrid = new QGridLayout(format);
    formatGrid->setContentsMargins(8, 6, 8, 6);
    formatGrid->setVerticalSpacing(4);
    m_formatButton = makeButton(QStringLiteral("Format Text"), "formatTextButton");
    formatGrid->addWidget(m_formatButton, 0, 0, 1, 2);
    formatGrid->addWidget(new QLabel(QStringLiteral("Fixation width"), format), 1, 0);
    m_widthSpin = addUpDown(format, kTachiFixationWidthRange, "fixationWidthSpin");
    formatGrid->addWidget(m_widthSpin, 1, 1);
    formatGrid->addWidget(new QLabel(QStringLiteral("Lines"), format), 2, 0);
    m_lineCountBox = new QLineEdit(format);
    m_lineCountBox->setObjectName(QStringLiteral("lineCountBox"));
    m_lineCountBox->setReadOnly(true);
    m_lineCountBox->setFocusPolicy(Qt::NoFocus);
    m_lineCountBox->setFixedWidth(m_widthSpin->sizeHint().width());
    formatGrid->addWidget(m_lineCountBox, 2, 1);
    m_indentButton = makeButton(QStringLiteral("Indent"), "indentButton");
    m_indentButton->setToolTip(QStringLiteral("Indent paragraphs"));
    formatGrid->addWidget(m_indentButton, 3, 0, 1, 2);
    formatGrid->addWidget(new QLabel(QStringLiteral("Indent spaces"), format), 4, 0);
    m_indentSpin = addUpDown(format, kIndentRange, "indentSpin");
    formatGrid->addWidget(m_indentSpin, 4, 1);

    m_startButton = makeButton(QStringLiteral("Start Read"), "startReadButton");
    m_startButton->setToolTip(QStringLiteral("Space: start, pause or resume; Escape: cancel"));
    m_pauseButton = makeButton(QStringLiteral("Pause Timer"), "pauseReadButton");
    m_pauseButton->setToolTip(QStringLiteral("Pause Reading"));
    m_cancelButton = makeButton(QStringLiteral("Cancel Read"), "cancelReadButton");
    QGroupBox *run = makeColumn(QString(), "tachiRunGroup", {m_startButton, m_pauseButton, m_cancelButton});
    QPushButton *back = makeButton(QStringLiteral("Back Color"), "backColorButton");
    QPushButton *preview = makeButton(QStringLiteral("Preview Font"), "previewFontButton");
    QGroupBox *look = makeColumn(QString(), "tachiLookGroup", {back, preview});

    m_partLabel = makePartLabel();
    stackGroups({format, run, look, m_partLabel},
                std::max({format->sizeHint().width(), run->sizeHint().width(), look->sizeHint().width()}));

    connect(m_formatButton, &QPushButton::clicked, this, &TTachiPage::formatText);
    connect(m_indentButton, &QPushButton::clicked, this, &TTachiPage::formatText);
    connect(m_startButton, &QPushButton::clicked, this, &TTachiPage::startRead);
    connect(m_pauseButton, &QPushButton::clicked, this, &TTachiPage::pauseClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &TTachiPage::cancelRead);
    connect(back, &QPushButton::clicked, this, &TTachiPage::chooseBackColor);
    connect(preview, &QPushButton::clicked, this, [this] {
        m_state.PlayClick(1);
        if (m_reader != nullptr)
            m_reader->previewFont();
    });
    connect(m_widthSpin, &QSpinBox::valueChanged, this,
            [this](int v) { m_state.setFixations(Mode::Tachi, v); });
    connect(m_indentSpin, &QSpinBox::valueChanged, this,
            [this](int v) { m_state.setIndent(Mode::Tachi, v); });
    syncFromSettings();
    showRun();
}

QSpinBox *TTachiPage::addUpDown(QWidget *parent, IntRange range, const char *objectName)
{
    auto *box = new UpDownBox(parent);
    box->setObjectName(QString::fromLatin1(objectName));
    box->setRange(range.min, range.max);
    box->onStep = [this] { m_state.PlayClick(1); };
    return box;
}

void TTachiPage::attach(TTachiForm &reader)
{
    m_reader = &reader;
    connect(&reader, &TTachiForm::readingEnded, this, &TTachiPage::readingEnded);
    connect(&reader, &TTachiForm::newText, this, [this] {
        m_lineCountBox->clear();
        if (m_reader != nullptr)
            showPart(m_partLabel, m_reader->partCaption());
    });
    syncFromSettings();
}

void TTachiPage::setRun(Run run)
{
    m_run = run;
    if (run == Run::Reading || run == Run::Paused)
        m_startOffered = false;
    showRun();
}

void TTachiPage::showRun()
{
    const bool inRun = m_run == Run::Reading || m_run == Run::Paused;
    // Start Read's caption turns green the first time Format Text offers it, and stays green.
    const bool everOffered = m_startOffered || m_run != Run::Fresh;
    showLook(m_startButton, {QStringLiteral("Start Read"),
                             everOffered ? CaptionColour::Go : CaptionColour::Plain, m_startOffered});
    ButtonLook pause;
    switch (m_run) {
    case Run::Fresh:
        pause = {QStringLiteral("Pause Timer"), CaptionColour::Plain, false};
        break;
    case Run::Reading:
        pause = {QStringLiteral("Pause Read"), CaptionColour::Stop, true};
        break;
    case Run::Paused:
        pause = {QStringLiteral("Resume Read"), CaptionColour::Go, true};
        break;
    case Run::Cancelled:
        pause = {QStringLiteral("Pause Read"), CaptionColour::Go, false};
        break;
    case Run::Ended:
        pause = {QStringLiteral("Pause Timer"), CaptionColour::Stop, false};
        break;
    }
    showLook(m_pauseButton, pause);
    m_cancelButton->setEnabled(inRun);
    m_formatButton->setEnabled(!inRun);
    m_indentButton->setEnabled(!inRun);
    m_openAction->setEnabled(!inRun);
    m_pasteAction->setEnabled(!inRun);
    // A new font lays the text out again under the flashes; Options > Fonts waits too.
    m_fontAction->setEnabled(!inRun);
    holdForReading(inRun);
}

void TTachiPage::syncFromSettings()
{
    const TSettings &s = m_state.Settings;
    m_widthSpin->setValue(s.TachiFixationWidth);
    m_indentSpin->setValue(s.TachiIndent);
}

void TTachiPage::panelShown()
{
    syncFromSettings();
}

void TTachiPage::holdReading()
{
    if (m_run == Run::Reading)
        pauseClicked();
}

bool TTachiPage::keyPressed(QKeyEvent *event, QWidget *focus)
{
    ReaderKeys keys;
    keys.underWay = m_run == Run::Reading || m_run == Run::Paused;
    keys.paused = m_run == Run::Paused;
    keys.startOffered = m_startOffered;
    keys.speedOffered = keys.underWay || keys.startOffered;
    keys.space = [this] {
        if (m_run == Run::Reading || m_run == Run::Paused)
            pauseClicked();
        else
            startRead();
    };
    keys.escape = [this] { cancelRead(); };
    keys.step = [this](bool forward) {
        if (m_reader != nullptr)
            m_reader->stepPiece(forward);
    };
    keys.speed = [this](bool slower) {
        if (m_reader != nullptr)
            m_reader->stepFlashTime(slower);
    };
    return readerKey(event, focus, keys);
}

void TTachiPage::openFile()
{
    m_state.PlayClick(1);
    if (m_reader == nullptr)
        return;
    const QString name = chooseTextFile();
    if (name.isEmpty())
        return;
    // The text is no longer the story a comprehension test would ask about.
    if (m_reader->loadFile(name, name)) {
        m_state.StoryLoaded = 0;
        m_reader->setSourceFile(name);
    }
}

void TTachiPage::paste()
{
    m_state.PlayClick(1);
    if (m_reader == nullptr)
        return;
    m_reader->setMemoText(m_state.services.clipboard.text());
    m_state.StoryLoaded = 0;
}

void TTachiPage::formatText()
{
    m_state.PlayClick(1);
    if (m_reader == nullptr)
        return;
    if (m_reader->memoLineCount() < kTachiMinFormatLines) {
        m_state.services.messages.information(
            QStringLiteral("You need at least %1 lines of text to format. ").arg(kTachiMinFormatLines));
        return;
    }
    m_lineCountBox->setText(QString::number(m_reader->formatText()));
    if (const QString notice = m_reader->formatNotice(); !notice.isEmpty())
        m_state.services.messages.information(notice);
    m_startOffered = true;
    showRun();
}

void TTachiPage::startRead()
{
    m_state.PlayClick(1);
    if (m_reader == nullptr)
        return;
    if (m_reader->memoLineCount() >= kTachiMaxLines) {
        m_state.services.messages.plain(
            QStringLiteral(
                "There are %1 lines or more in the text formatting box. You need to reduce the number "
                "to less than %1. Sometimes you only need to widen the window.")
                .arg(kTachiMaxLines));
        return;
    }
    if (!m_reader->isTextFormatted()) {
        m_state.services.messages.plain(
            QStringLiteral("The text has changed. Click the \"Format Text\" button to prepare for reading."));
        return;
    }
    setRun(Run::Reading);
    m_reader->startRead();
}

void TTachiPage::pauseClicked()
{
    m_state.PlayClick(1);
    if (m_reader == nullptr)
        return;
    if (m_run == Run::Reading) {
        m_reader->pauseRead();
        setRun(Run::Paused);
    } else if (m_run == Run::Paused) {
        m_reader->resumeRead();
        setRun(Run::Reading);
    }
}

void TTachiPage::cancelRead()
{
    m_state.PlayClick(1);
    setRun(Run::Cancelled);
    if (m_reader != nullptr)
        m_reader->cancelRead();
}

void TTachiPage::readingEnded()
{
    setRun(Run::Ended);
}

void TTachiPage::chooseBackColor()
{
    if (const auto color = changeColour(AppState::Colour::TachiBack); color && m_reader != nullptr)
        m_reader->setBackColor(*color);
}
