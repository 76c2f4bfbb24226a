#include "TestSupport.h"

#include "ExerciseWords.h"
#include "ModeTable.h"
#include "SettingsFile.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/ModeWindow.h"
#include "app/mainwindow.h"

#include <QLabel>
#include <QMdiSubWindow>
#include <QtTest>

#include <tuple>

class FontsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fontsSetTheOpenModesFontForGood_data();
    void fontsSetTheOpenModesFontForGood();
    void exerciseWordsFitTheSideLabelsInTheLargestFont();
};

void FontsTest::fontsSetTheOpenModesFontForGood_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<int>("maxSize");
    QTest::addColumn<bool>("effects");
    QTest::newRow("tachistoscope") << "tachiAction" << 16 << true;
    QTest::newRow("horizontal") << "horizAction" << 14 << false;
    QTest::newRow("vertical") << "vertAction" << 14 << false;
    QTest::newRow("exercise") << "exerciseAction" << 20 << true;
    QTest::newRow("speed test") << "speedTestAction" << 14 << true;
}

void FontsTest::fontsSetTheOpenModesFontForGood()
{
    QFETCH(QString, command);
    QFETCH(int, maxSize);
    QFETCH(bool, effects);
    // The stored font of the open mode, field by field.
    const auto fields = [&command](TSettings &s) {
        if (command == QLatin1String("vertAction"))
            return std::tie(s.VertFontName, s.VertFontSize, s.VertFontStyle, s.VertFontColor);
        TFontGroup &g = command == QLatin1String("tachiAction")      ? s.TachiFont
                        : command == QLatin1String("horizAction")    ? s.HorizFont
                        : command == QLatin1String("exerciseAction") ? s.ExerciseFont
                                                                     : s.SpeedTestFont;
        return std::tie(g.Name, g.Size, g.Style, g.Color);
    };
    const auto field = [&fields](TSettings s) {
        const auto [name, size, style, color] = fields(s);
        return TFontGroup{name, size, style, color};
    };
    TestApp app;
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), qPrintable(command)));
    const TFontGroup before = field(app.state->Settings);

    // Cancel leaves the whole record as it was.
    const QByteArray record = encodeSettings(app.state->Settings);
    app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    QCOMPARE(encodeSettings(app.state->Settings), record);

    // A long name is cut to 40 characters; a size beyond the dialog's range comes back into it.
    QFont chosen(QString(45, u'W'), maxSize + 6);
    chosen.setBold(true);
    chosen.setUnderline(true);
    app.fakes.dialogs.fonts.push_back(FontChoice{chosen, QColor(200, 0, 0)});
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    const FontDialogOptions seen = app.fakes.dialogs.fontOptionsSeen.value(1);
    QVERIFY(seen.minSize == 8 && seen.maxSize == maxSize && seen.effects == effects);
    QCOMPARE(app.fakes.dialogs.fontPresetsSeen.value(1).font.family(), before.Name);
    const TFontGroup after = field(app.state->Settings);
    QCOMPARE(after.Name, QString(40, u'W'));
    QCOMPARE(after.Size, maxSize);
    QCOMPARE(after.Style, std::uint8_t(effects ? fsBold | fsUnderline : fsBold));
    QCOMPARE(after.Color, effects ? toStoredColor(QColor(200, 0, 0)) : before.Color);
    // Nothing but the open mode's font changed.
    TSettings rest = app.state->Settings;
    fields(rest) = std::tie(before.Name, before.Size, before.Style, before.Color);
    QCOMPARE(encodeSettings(rest), record);

    // After a restart the mode's dialog opens on the font chosen.
    QVERIFY(triggerAction(app.form(), "exitAction"));
    app.program.end();
    Program again(app.fakes.services(), app.dir.path());
    QVERIFY(again.start());
    QVERIFY(triggerAction(again.frame(), qPrintable(command)));
    app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(triggerAction(again.frame(), "fontsAction"));
    const FontChoice reopened = app.fakes.dialogs.fontPresetsSeen.last();
    QCOMPARE(toFontGroup(reopened).Name, after.Name);
    QCOMPARE(reopened.font.pointSize(), maxSize);
    QCOMPARE(toStoredColor(reopened.color), after.Color);
}

void FontsTest::exerciseWordsFitTheSideLabelsInTheLargestFont()
{
    TestApp app;
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), "exerciseAction"));
    // The family a new record gives the exercise, at the largest size its font dialog offers, in bold.
    QFont largest(app.state->Settings.ExerciseFont.Name, modeInfo(Mode::Exercise).fontRange.sizes.max);
    largest.setBold(true);
    app.fakes.dialogs.fonts.push_back(FontChoice{largest, QColor(Qt::yellow)});
    QVERIFY(triggerAction(app.form(), "fontsAction"));

    // The window as narrow as it goes, through its frame as a user would make it.
    QWidget *window = app.state->modeWindow.data();
    QVERIFY(window != nullptr);
    auto *frame = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    QVERIFY(frame != nullptr);
    frame->resize(frame->width() - (window->width() - window->minimumWidth()), frame->height());
    QCOMPARE(window->width(), window->minimumWidth());

    for (const char *name : {"exerciseLeftLabel", "exerciseRightLabel"}) {
        const QLabel *label = child<QLabel>(window, name);
        QVERIFY(label != nullptr);
        QVERIFY(label->font().bold() && label->font().pointSize() == largest.pointSize());
        for (int g = 1; g <= kExerciseGroupCount; ++g)
            for (int w = 1; w <= kExerciseGroupSize; ++w) {
                const QString word = exerciseWord(g, w);
                const int width = label->fontMetrics().horizontalAdvance(word);
                const int room = label->contentsRect().width();
                QVERIFY2(width <= room,
                         qPrintable(QStringLiteral("%1 %2: %3 > %4").arg(name, word).arg(width).arg(room)));
            }
    }
}

QTEST_MAIN(FontsTest)
#include "tst_fonts.moc"
