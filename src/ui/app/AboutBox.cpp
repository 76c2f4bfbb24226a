#include "app/AboutBox.h"

#include "app/AppState.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(tr("About"));
    auto *layout = new QVBoxLayout(this);
    auto *name = new QLabel(QStringLiteral("Brindlewick Speed Reader"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    layout->addWidget(new QLabel(tr("Version %1").arg(QCoreApplication::applicationVersion())), 0,
                      Qt::AlignHCenter);
    auto *what =
        new QLabel(tr("A speed-reading trainer: read with the tachistoscope, the horizontal and vertical "
                      "pacers or a timed speed test, check your comprehension after each story, "
                      "and watch your words per minute grow on the charts."));
    what->setWordWrap(true);
    what->setAlignment(Qt::AlignCenter);
    what->setMinimumWidth(320);
    layout->addWidget(what);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
}

TContributorsForm::TContributorsForm(AppState &state, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("contributorsForm"));
    setWindowTitle(tr("Contributors"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *text = new QTextBrowser;
    text->setOpenLinks(false);
    text->setHtml(tr("<h3>Brindlewick Speed Reader</h3>"
                     "<p>Design, programming and the short stories: the Brindlewick team.</p>"
                     "<p>Fonts: the Liberation fonts, <a href=\"https://github.com/liberationfonts\">"
                     "liberationfonts</a>.</p>"
                     "<p>Built with <a href=\"https://www.qt.io\">Qt</a>.</p>"));
    connect(text, &QTextBrowser::anchorClicked, this,
            [&state](const QUrl &url) { state.services.shell.open(url); });
    layout->addWidget(text);
    resize(360, 220);
}
