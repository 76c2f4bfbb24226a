#pragma once

#include <QDialog>
#include <QWidget>

class AppState;

// The About box's text: product name, version of this build, description and licences, one per line.
QString aboutText();

// Product name, version, what the program does, its licence and Qt's; OK closes it.
class TAboutBox final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutBox)

public:
    explicit TAboutBox(QWidget *parent = nullptr);
};

// The people behind the program; its links open through the shell.
class TContributorsForm final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TContributorsForm)

public:
    explicit TContributorsForm(AppState &state, QWidget *parent = nullptr);
};
