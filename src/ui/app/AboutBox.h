#pragma once

#include <QDialog>
#include <QWidget>

class AppState;

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
