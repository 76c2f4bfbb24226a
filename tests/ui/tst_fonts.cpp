#include "TestSupport.h"

#include "SettingsFile.h"
#include "app/AppState.h"
#include "app/Convert.h"
#include "app/FontCommand.h"
#include "app/mainwindow.h"

#include <QtTest>

#include <functional>

namespace {

using FontField = std::function<TFontGroup &(TSettings &)>;

} // namespace

Q_DECLARE_METATYPE(FontField)

class FontsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fontsSetTheOpenModesFontForGood_data();
    void fontsSetTheOpenModesFontForGood();
    void aFontTakesTheDialogsLimits_data();
    void aFontTakesTheDialogsLimits();
    void noOpenModeNoDialog();
};

void FontsTest::fontsSetTheOpenModesFontForGood_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<FontField>("field");
    QTest::addColumn<int>("maxSize");
    QTest::addColumn<bool>("effects");
    QTest::newRow("tachistoscope") << "tachiAction"
                                   << FontField([](TSettings &s) -> TFontGroup & { return s.TachiFont; })
                                   << 16 << true;
    QTest::newRow("horizontal") << "horizAction"
                                << FontField([](TSettings &s) -> TFontGroup & { return s.HorizFont; }) << 14
                                << false;
    QTest::newRow("speed test") << "speedTestAction"
                                << FontField([](TSettings &s) -> TFontGroup & { return s.SpeedTestFont; })
                                << 14 << true;
}

void FontsTest::fontsSetTheOpenModesFontForGood()
{
    QFETCH(QString, command);
    QFETCH(FontField, field);
    QFETCH(int, maxSize);
    QFETCH(bool, effects);
    TestApp app;
    QVERIFY(app.start());
    QVERIFY(triggerAction(app.form(), qPrintable(command)));
    const TFontGroup before = field(app.state->Settings);

    // Cancel leaves the whole record as it was.
    const QByteArray record = encodeSettings(app.state->Settings);
    app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    QCOMPARE(encodeSettings(app.state->Settings), record);

    QFont chosen(QString(45, u'W'), maxSize + 6);
    chosen.setBold(true);
    chosen.setUnderline(true);
    app.fakes.dialogs.fonts.push_back(FontChoice{chosen, QColor(200, 0, 0)});
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    for (const FontDialogOptions &seen : app.fakes.dialogs.fontOptionsSeen) {
        QCOMPARE(seen.minSize, 8);
        QCOMPARE(seen.maxSize, maxSize);
        QCOMPARE(seen.effects, effects);
    }
    QCOMPARE(app.fakes.dialogs.fontPresetsSeen.value(1).font.family(), before.Name);
    const TFontGroup after = field(app.state->Settings);
    QCOMPARE(after.Name, QString(40, u'W'));
    QCOMPARE(after.Size, maxSize);
    QCOMPARE(after.Style, std::uint8_t(effects ? fsBold | fsUnderline : fsBold));
    QCOMPARE(after.Color, effects ? toStoredColor(QColor(200, 0, 0)) : before.Color);

    // After a restart the mode's dialog opens on the font chosen.
    QVERIFY(triggerAction(app.form(), "exitAction"));
    app.program.end();
    Program again(app.fakes.services(), app.dir.path());
    QVERIFY(again.start());
    QVERIFY(triggerAction(again.frame(), qPrintable(command)));
    app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(triggerAction(again.frame(), "fontsAction"));
    const FontChoice reopened = app.fakes.dialogs.fontPresetsSeen.last();
    QCOMPARE(reopened.font.family(), after.Name);
    QCOMPARE(reopened.font.pointSize(), maxSize);
    QVERIFY(reopened.font.bold());
    QCOMPARE(toStoredColor(reopened.color), after.Color);
    QCOMPARE(field(again.state.Settings).Name, after.Name);
}

void FontsTest::aFontTakesTheDialogsLimits_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("minSize");
    QTest::addColumn<int>("maxSize");
    QTest::addColumn<bool>("effects");
    QTest::newRow("create text") << int(Mode::CreateText) << 8 << 12 << true;
    QTest::newRow("exercise") << int(Mode::Exercise) << 8 << 20 << true;
    QTest::newRow("tachistoscope") << int(Mode::Tachi) << 8 << 16 << true;
    QTest::newRow("horizontal") << int(Mode::Horiz) << 8 << 14 << false;
    QTest::newRow("vertical") << int(Mode::Vert) << 8 << 14 << false;
    QTest::newRow("speed test") << int(Mode::SpeedTest) << 8 << 14 << true;
}

void FontsTest::aFontTakesTheDialogsLimits()
{
    QFETCH(int, mode);
    QFETCH(int, minSize);
    QFETCH(int, maxSize);
    QFETCH(bool, effects);
    TestApp app;
    const FontChoice preset{QFont(QStringLiteral("Preset Sans"), 10), QColor(0, 0, 120)};
    // Sizes below, within and above the range, and one given in pixels (no point size).
    for (int size : {1, minSize, (minSize + maxSize) / 2, maxSize, maxSize + 1, 72, -1}) {
        QFont font(QString(41 + size % 7, u'n'));
        if (size > 0)
            font.setPointSize(size);
        else
            font.setPixelSize(17);
        font.setStrikeOut(true);
        app.fakes.dialogs.fonts.push_back(FontChoice{font, QColor(1, 2, 3)});
        const std::optional<TFontGroup> group = chooseModeFont(*app.state, Mode(mode), preset);
        QVERIFY(group.has_value());
        QCOMPARE(group->Name.size(), 40);
        QVERIFY(group->Size >= minSize && group->Size <= maxSize);
        if (size >= minSize && size <= maxSize)
            QCOMPARE(group->Size, size);
        QCOMPARE((group->Style & fsStrikeOut) != 0, effects);
        QCOMPARE(group->Color, toStoredColor(effects ? QColor(1, 2, 3) : preset.color));
        QCOMPARE(app.fakes.dialogs.fontOptionsSeen.last().maxSize, maxSize);
        QCOMPARE(app.fakes.dialogs.fontPresetsSeen.last().font.family(), preset.font.family());
    }
    app.fakes.dialogs.fonts.push_back(std::nullopt);
    QVERIFY(!chooseModeFont(*app.state, Mode(mode), preset).has_value());
}

void FontsTest::noOpenModeNoDialog()
{
    TestApp app;
    QVERIFY(app.start());
    app.form()->destroyModeWindow();
    app.form()->destroyControlPanel();
    // No dialog is scripted: one shown would fail the test.
    QVERIFY(triggerAction(app.form(), "fontsAction"));
    QCOMPARE(app.fakes.dialogs.fontOptionsSeen.size(), 0);
}

QTEST_MAIN(FontsTest)
#include "tst_fonts.moc"
