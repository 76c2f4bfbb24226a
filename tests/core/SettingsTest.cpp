#include "Settings.h"
#include "SettingsFile.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <tuple>

namespace {

// Fields are stored little-endian, as the test host keeps them.
template <typename T> T valueAt(const QByteArray &b, int at)
{
    T v{};
    std::memcpy(&v, b.constData() + at, sizeof v);
    return v;
}

void putDouble(QByteArray &b, int at, double d)
{
    std::memcpy(b.data() + at, &d, sizeof d);
}

} // namespace

TEST(SettingsLayout, EveryFieldSitsAtItsOffsetWithItsSize)
{
    // The file contract, written out independently of the codec: name, offset and size of every field.
    const QStringList expected =
        QStringLiteral(
            "UseDefaultMainPlacement 0 1 ControlDefaultPlacement 1 1 LessonDefaultPlacement 2 1 "
            "TachiDefaultPlacement 3 1 HorizDefaultPlacement 4 1 VertDefaultPlacement 5 1 "
            "CreateTextDefaultPlacement 6 1 SpeedTestDefaultPlacement 7 1 ExerciseDefaultPlacement 8 1 "
            "MainBounds 12 16 LessonBounds 28 16 ControlBounds 44 16 HorizBounds 60 16 VertBounds 76 16 "
            "TachiBounds 92 16 CreateTextBounds 108 16 SpeedTestBounds 124 16 ExerciseBounds 140 16 "
            "MainColor 156 4 HorizFont 216 56 HorizFixations 272 1 HorizReadTextMode 273 1 "
            "HorizUnreadTextMode 274 1 HorizInterval 276 4 HorizWpmHistory 280 240 "
            "HorizComprehensionHistory 520 240 TachiIndent 760 1 TachiFixationWidth 764 4 "
            "TachiFlashTime 768 4 TachiWpmHistory 776 240 TachiComprehensionHistory 1016 240 "
            "TachiBackColor 1256 4 TachiFont 1260 56 VertUnreadTextMode 1317 1 VertFontColor 1324 4 "
            "VertFontName 1328 41 VertFontSize 1372 4 VertFontStyle 1376 1 VertSecondInterval 1380 4 "
            "VertDownSweep 1384 4 VertFixations 1388 4 VertInterval 1392 4 VertWpmHistory 1400 240 "
            "VertComprehensionHistory 1640 240 ExerciseBackColor 1880 4 ExerciseFont 1884 56 "
            "ExerciseFlashTime 1940 4 ExerciseLastPercent 1944 11 ExercisePracticeMinutes 1956 4 "
            "CreateTextIndent 1964 4 CreateTextFont 1968 56 SpeedTestFont 2024 56 "
            "SpeedTestWpmHistory 2080 240 SpeedTestComprehensionHistory 2320 240 SoundOn 2560 1")
            .split(u' ');
    QStringList layout;
    for (const TSettingsFieldInfo &f : settingsLayout())
        layout << QString::fromLatin1(f.name) << QString::number(f.offset) << QString::number(f.size);
    EXPECT_EQ(layout, expected);
}

TEST(SettingsDefaults, EncodeToTheDocumentedBytes)
{
    for (const int dpi : {96, 114, 115, 144}) {
        SCOPED_TRACE(dpi);
        const QByteArray b = encodeSettings(defaultSettings(dpi));
        // Placement flags, then the names of font groups (name, 3 padding bytes, size, style, colour).
        EXPECT_EQ(b.first(9) + b.mid(216, 16) + b.mid(1260, 6) + b.mid(1944, 4),
                  QByteArray(9, '\1') + "\x0fTimes New Roman\5Arial\x03N/A");
        const int reader = dpi >= 115 ? 10 : 11, tachi = dpi >= 115 ? 10 : 12;
        // {offset, value}: 32-bit fields. Font sizes sit 44 bytes into their group; the exercise (1928) and
        // create-text (2012) fonts do not follow the screen.
        // clang-format off
        const std::pair<int, int> ints[] = {
            {156, 9068109}, {164, 16777215}, {1320, 16777215}, {1960, 0}, {260, reader}, {1372, reader},
            {2068, reader}, {1304, tachi}, {1928, 12}, {2012, 11}, {1312, 65535}, {276, 350}, {764, 12},
            {768, 750}, {1380, 150}, {1384, 3}, {1388, 2}, {1392, 250}, {1940, 400}, {1956, 3}};
        // clang-format on
        for (const auto &[at, value] : ints)
            EXPECT_EQ(valueAt<std::int32_t>(b, at), value) << "at " << at;
        for (const auto &[at, value] :
             {std::pair{1316, 2}, {272, 4}, {273, 2}, {274, 2}, {1317, 2}, {2560, 1}})
            EXPECT_EQ(static_cast<std::uint8_t>(b[at]), value) << "at " << at;
        for (const int history : {280, 520, 776, 1016, 1400, 1640, 2080, 2320})
            EXPECT_EQ(b.mid(history, 240), QByteArray(240, '\0')) << "history at " << history;
    }
}

// Any input decodes to a record that encodes to 2568 bytes and decodes to itself; shorter input gives the
// defaults and longer input is read up to its first record. A sound record comes back byte for byte.
TEST(SettingsCodec, AnyInputDecodesToAStableRecord)
{
    std::mt19937 rng(42);
    const auto randomBytes = [&rng](int size) {
        QByteArray b;
        while (b.size() < size)
            b.append(static_cast<char>(rng() & 0xff));
        return b;
    };
    for (int round = 0; round < 100; ++round) {
        QByteArray sound = randomBytes(kSettingsRecordSize);
        for (const int at : {216, 1260, 1328, 1884, 1968, 2024})
            sound[at] = static_cast<char>(rng() % 41);
        sound[1944] = static_cast<char>(rng() % 11);
        for (const int history : {280, 520, 776, 1016, 1400, 1640, 2080, 2320}) {
            for (int slot = 0; slot < kHistorySlots; ++slot)
                putDouble(sound, history + 8 * slot, (rng() % 1025) / 1024.0);
        }
        ASSERT_EQ(encodeSettings(decodeSettings(sound, 96)), sound) << "round " << round;
    }
    // Size and stability on arbitrary bytes are the settings fuzz target's; here, which record is read.
    for (int round = 0; round < 200; ++round) {
        const QByteArray junk = randomBytes(static_cast<int>(rng() % (kSettingsRecordSize + 64)));
        const int dpi = round % 2 == 0 ? 96 : 120;
        ASSERT_EQ(encodeSettings(decodeSettings(junk, dpi)),
                  encodeSettings(junk.size() < kSettingsRecordSize
                                     ? defaultSettings(dpi)
                                     : decodeSettings(junk.first(kSettingsRecordSize), dpi)))
            << "round " << round;
    }
}

TEST(SettingsCodec, SlotsHoldingNoPlausibleScoreReadAsEmpty)
{
    using L = std::numeric_limits<double>;
    const double nan = L::quiet_NaN(), inf = L::infinity(), tiny = L::denorm_min();
    // {history offset, stored, read}; 280.. hold words per minute, 520.. fractions.
    const std::tuple<int, double, double> cases[] = {
        {280, 1e300, 0.0},    {280, 3e9, 0.0},    {280, 100000.0, 100000.0}, {280, 100000.5, 0.0},
        {280, -250.0, 0.0},   {280, nan, 0.0},    {280, -inf, 0.0},          {776, 412.5, 412.5},
        {2080, 0.25, 0.25},   {520, 1.0, 1.0},    {520, 1.0000001, 0.0},     {1016, 3e9, 0.0},
        {1640, 0.875, 0.875}, {2320, tiny, tiny}, {2320, -0.5, 0.0},         {1640, inf, 0.0},
    };
    for (const auto &[offset, stored, read] : cases) {
        QByteArray b = encodeSettings(defaultSettings(96));
        putDouble(b, offset + 8, stored);
        EXPECT_EQ(valueAt<double>(encodeSettings(decodeSettings(b, 96)), offset + 8), read)
            << offset << " " << stored;
    }
}

// The window tests reach the failures and the atomic save; here, a longer file updated in place (the folder
// allows no temporary file) is cut to the one record.
TEST(SettingsFile, AFileUpdatedInPlaceIsCutToOneRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings2.dat"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(QByteArray(3000, 'z')) == 3000);
    f.close();
    const SettingsFileWriter inPlace{
        [](const QString &, const QByteArray &) { return AtomicWriteResult::NoTemporaryFile; }};
    TSettings s = loadSettingsFile(path, 96);
    s.TachiFlashTime = 1234;
    ASSERT_EQ(saveSettingsFile(path, s, inPlace), SettingsSaveResult::Saved);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), encodeSettings(s));
}

namespace {

THistory filled(int count, double first = 1.0)
{
    THistory h{};
    for (int i = 0; i < count; ++i)
        h[static_cast<std::size_t>(i)] = first + i;
    return h;
}

} // namespace

// Each row starts from a history, appends a value (if any), then takes back a value (if any), and gives the
// history that must result.
TEST(History, AppendDropsTheOldestAndRemoveTakesBackOnlyWhatWasAdded)
{
    const std::optional<double> none;
    const double inf = std::numeric_limits<double>::infinity();
    THistory shifted = filled(30, 2.0);
    shifted[29] = 500.0;
    THistory lastEmptied = filled(30, 2.0);
    lastEmptied[29] = 0.0;
    const struct
    {
        const char *what;
        THistory before;
        std::optional<double> append, remove;
        THistory after;
    } rows[] = {
        {"appends into the first empty slot", filled(3), 250.0, none, THistory{1, 2, 3, 250}},
        {"a full history drops slot 1", filled(30), 500.0, none, shifted},
        {"remove takes back a full history's new slot 30", filled(30), 500.0, 500.0, lastEmptied},
        {"remove after append restores", filled(5), 42.5, 42.5, filled(5)},
        {"remove of another value takes nothing", filled(5), 42.5, 43.0, THistory{1, 2, 3, 4, 5, 42.5}},
        {"remove on an empty history", THistory{}, none, 5.0, THistory{}},
        {"zero is not appended to a full history", filled(30), 0.0, 0.0, filled(30)},
        {"negative is not appended", filled(2), -3.0, -3.0, filled(2)},
        {"NaN score is not appended", filled(30), std::nan("1"), none, filled(30)},
        {"infinity is not appended", filled(30), inf, inf, filled(30)},
        {"above 100000 is not appended", filled(30), 100000.5, 100000.5, filled(30)},
        {"100000 itself is kept", filled(1), 100000.0, none, THistory{1, 100000}},
        {"a comprehension fraction is kept", filled(1), 0.25, none, THistory{1, 0.25}},
    };
    for (const auto &row : rows) {
        THistory h = row.before;
        if (row.append)
            historyAppend(h, *row.append);
        if (row.remove)
            historyRemoveLast(h, *row.remove);
        EXPECT_EQ(h, row.after) << row.what;
    }
    THistory h = filled(7);
    historyClear(h);
    EXPECT_EQ(historyCount(h), 0);
}

TEST(SettingsCodec, NamesAreWindows1252AndCutToCapacity)
{
    TSettings s = defaultSettings(96);
    s.HorizFont.Name = QString::fromUtf8("Caf\u00e9 \u20ac Sans ") + QString(60, QLatin1Char('x'));
    s.ExerciseLastPercent = QStringLiteral("100.0 percent");
    const QByteArray b = encodeSettings(s);
    EXPECT_EQ(static_cast<std::uint8_t>(b[216]), 40);
    EXPECT_EQ(static_cast<std::uint8_t>(b[217 + 3]), 0xE9);
    EXPECT_EQ(static_cast<std::uint8_t>(b[217 + 5]), 0x80);
    EXPECT_EQ(b[1944], 10);
    const TSettings back = decodeSettings(b, 96);
    EXPECT_EQ(back.HorizFont.Name, s.HorizFont.Name.left(40));
    EXPECT_EQ(back.ExerciseLastPercent, QStringLiteral("100.0 perc"));
    QByteArray damaged = b;
    damaged[216] = static_cast<char>(200); // a name length beyond capacity is mended
    EXPECT_EQ(decodeSettings(damaged, 96).HorizFont.Name.size(), 40);
    EXPECT_EQ(encodeSettings(decodeSettings(damaged, 96))[216], 40);
}
