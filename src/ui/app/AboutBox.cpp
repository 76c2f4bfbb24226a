#include "app/AboutBox.h"

#include "app/AppState.h"
#include "app/HelpWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString shippedText(const QString &name)
{
    QFile file(QStringLiteral(":/texts/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

} // namespace

QString aboutText()
{
    QString text = shippedText(QStringLiteral("About.txt")).trimmed();
    if (text.isEmpty())
        text = QStringLiteral("Brindlewick Speed Reader\nVersion %1");
    return text.arg(QStringLiteral(BW_VERSION));
}

TAboutBox::TAboutBox(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("aboutBox"));
    setWindowTitle(QStringLiteral("About Brindlewick Speed Reader"));
    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(10);

    // The text's first line is the product name, the second its version, then the description and licences.
    QStringList lines = aboutText().split(QLatin1Char('\n'));
    auto *name = new QLabel(lines.value(0));
    name->setObjectName(QStringLiteral("productLabel"));
    QFont big = name->font();
    big.setPointSize(big.pointSize() + 6);
    big.setBold(true);
    name->setFont(big);
    layout->addWidget(name, 0, Qt::AlignHCenter);
    auto *version = new QLabel(lines.value(1));
    version->setObjectName(QStringLiteral("versionLabel"));
    layout->addWidget(version, 0, Qt::AlignHCenter);

    const QString rest = lines.mid(2).join(QLatin1Char('\n')).trimmed();
    const qsizetype split = rest.indexOf(QStringLiteral("\n\n"));
    auto *what = new QLabel(split < 0 ? rest : rest.left(split));
    what->setObjectName(QStringLiteral("descriptionLabel"));
    what->setAlignment(Qt::AlignCenter);
    layout->addWidget(what);
    if (split >= 0) {
        auto *licences = new QLabel(rest.mid(split + 2).trimmed());
        licences->setObjectName(QStringLiteral("licenceLabel"));
        licences->setWordWrap(true);
        licences->setAlignment(Qt::AlignCenter);
        QFont small = licences->font();
        small.setPointSize(std::max(6, small.pointSize() - 1));
        licences->setFont(small);
        layout->addWidget(licences);
    }

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->setCenterButtons(true);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    layout->addWidget(buttons);
    setFixedWidth(std::max(what->sizeHint().width() + 40, 660));
}

TContributorsForm::TContributorsForm(AppState &state, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("contributorsForm"));
    setWindowTitle(QStringLiteral("Contributors"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *text = new QTextBrowser;
    text->setObjectName(QStringLiteral("contributorsView"));
    text->setOpenLinks(false);
    text->setHtml(shippedText(QStringLiteral("Contributors.html")));
    // The manual opens in the program's own help window; other links with the program the system keeps for
    // them, a link to a shipped file meaning the one in the program's folder.
    connect(text, &QTextBrowser::anchorClicked, this, [&state](const QUrl &url) {
        if (url.isRelative() && url.path() == QLatin1String("bwread.html")) {
            state.showHelp(HelpWindow::kContents);
            return;
        }
        state.services.shell.open(url.isRelative() ? QUrl::fromLocalFile(state.filePath(url.path())) : url);
    });
    layout->addWidget(text);
    resize(420, 330);
}
