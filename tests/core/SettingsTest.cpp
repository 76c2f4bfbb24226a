#include "Settings.h"
#include "SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <tuple>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <string>

#include <unistd.h>

namespace {

std::int32_t i32At(const QByteArray &b, int at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(b[at + i]);
    return static_cast<std::int32_t>(v);
}

double doubleAt(const QByteArray &b, int at)
{
    double d = 0;
    std::memcpy(&d, b.constData() + at, 8);
    return d;
}

void putDouble(QByteArray &b, int at, double d)
{
    std::memcpy(b.data() + at, &d, 8);
}

} // namespace

TEST(SettingsLayout, EveryFieldSitsAtItsOffsetWithItsSize)
{
    // The file contract, written out independently of the codec.
    const std::map<std::string, std::pair<int, int>> expected = {
        {"UseDefaultMainPlacement", {0, 1}},
        {"ControlDefaultPlacement", {1, 1}},
        {"LessonDefaultPlacement", {2, 1}},
        {"TachiDefaultPlacement", {3, 1}},
        {"HorizDefaultPlacement", {4, 1}},
        {"VertDefaultPlacement", {5, 1}},
        {"CreateTextDefaultPlacement", {6, 1}},
        {"SpeedTestDefaultPlacement", {7, 1}},
        {"ExerciseDefaultPlacement", {8, 1}},
        {"MainBounds", {12, 16}},
        {"LessonBounds", {28, 16}},
        {"ControlBounds", {44, 16}},
        {"HorizBounds", {60, 16}},
        {"VertBounds", {76, 16}},
        {"TachiBounds", {92, 16}},
        {"CreateTextBounds", {108, 16}},
        {"SpeedTestBounds", {124, 16}},
        {"ExerciseBounds", {140, 16}},
        {"MainColor", {156, 4}},
        {"HorizFont", {216, 56}},
        {"HorizFixations", {272, 1}},
        {"HorizReadTextMode", {273, 1}},
        {"HorizUnreadTextMode", {274, 1}},
        {"HorizInterval", {276, 4}},
        {"HorizWpmHistory", {280, 240}},
        {"HorizComprehensionHistory", {520, 240}},
        {"TachiIndent", {760, 1}},
        {"TachiFixationWidth", {764, 4}},
        {"TachiFlashTime", {768, 4}},
        {"TachiWpmHistory", {776, 240}},
        {"TachiComprehensionHistory", {1016, 240}},
        {"TachiBackColor", {1256, 4}},
        {"TachiFont", {1260, 56}},
        {"VertUnreadTextMode", {1317, 1}},
        {"VertFontColor", {1324, 4}},
        {"VertFontName", {1328, 41}},
        {"VertFontSize", {1372, 4}},
        {"VertFontStyle", {1376, 1}},
        {"VertSecondInterval", {1380, 4}},
        {"VertDownSweep", {1384, 4}},
        {"VertFixations", {1388, 4}},
        {"VertInterval", {1392, 4}},
        {"VertWpmHistory", {1400, 240}},
        {"VertComprehensionHistory", {1640, 240}},
        {"ExerciseBackColor", {1880, 4}},
        {"ExerciseFont", {1884, 56}},
        {"ExerciseFlashTime", {1940, 4}},
        {"ExerciseLastPercent", {1944, 11}},
        {"ExercisePracticeMinutes", {1956, 4}},
        {"CreateTextIndent", {1964, 4}},
        {"CreateTextFont", {1968, 56}},
        {"SpeedTestFont", {2024, 56}},
        {"SpeedTestWpmHistory", {2080, 240}},
        {"SpeedTestComprehensionHistory", {2320, 240}},
        {"SoundOn", {2560, 1}},
    };
    const auto layout = settingsLayout();
    ASSERT_EQ(layout.size(), expected.size());
    int previousEnd = 0;
    for (const auto &f : layout) {
        const auto it = expected.find(f.name);
        ASSERT_NE(it, expected.end()) << f.name;
        EXPECT_EQ(f.offset, it->second.first) << f.name;
        EXPECT_EQ(f.size, it->second.second) << f.name;
        EXPECT_GE(f.offset, previousEnd) << f.name << " overlaps the field before it";
        previousEnd = f.offset + f.size;
    }
    EXPECT_LE(previousEnd, kSettingsRecordSize);
}

TEST(SettingsDefaults, EncodeToTheDocumentedBytes)
{
    for (const int dpi : {96, 114, 115, 144}) {
        SCOPED_TRACE(dpi);
        const QByteArray b = encodeSettings(defaultSettings(dpi));
        ASSERT_EQ(b.size(), kSettingsRecordSize);
        for (int flag = 0; flag <= 8; ++flag)
            EXPECT_EQ(b[flag], 1) << "placement flag " << flag;
        // Horizontal font group: name, 3 padding bytes, size, style, colour.
        EXPECT_EQ(b.mid(216, 16), QByteArray("\x0fTimes New Roman"));
        EXPECT_EQ(b.mid(1260, 6), QByteArray("\5Arial"));
        EXPECT_EQ(b.mid(1944, 4), QByteArray("\x03N/A"));
        const int reader = dpi >= 115 ? 10 : 11, tachi = dpi >= 115 ? 10 : 12;
        // {offset, value}: 32-bit fields, then single bytes. Font sizes sit 44 bytes into their group; the
        // exercise (1928) and create-text (2012) fonts do not follow the screen.
        const std::pair<int, int> ints[] = {{156, 9068109}, {164, 16777215}, {1320, 16777215}, {1960, 0},
                                            {260, reader},  {1372, reader},  {2068, reader},   {1304, tachi},
                                            {1928, 12},     {2012, 11},      {1312, 65535},    {276, 350},
                                            {764, 12},      {768, 750},      {1380, 150},      {1384, 3},
                                            {1388, 2},      {1392, 250},     {1940, 400},      {1956, 3}};
        for (const auto &[at, value] : ints)
            EXPECT_EQ(i32At(b, at), value) << "at " << at;
        for (const auto &[at, value] :
             {std::pair{1316, 2}, {272, 4}, {273, 2}, {274, 2}, {1317, 2}, {2560, 1}})
            EXPECT_EQ(static_cast<std::uint8_t>(b[at]), value) << "at " << at;
        for (const int history : {280, 520, 776, 1016, 1400, 1640, 2080, 2320})
            for (int slot = 0; slot < 30; ++slot)
                EXPECT_EQ(doubleAt(b, history + 8 * slot), 0.0);
    }
}

TEST(SettingsCodec, UntouchedRecordRoundTripsByteForByte)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    QByteArray original(kSettingsRecordSize, '\0');
    for (char &c : original)
        c = static_cast<char>(byte(rng));
    // Keep string lengths within capacity and histories valid, so nothing needs mending.
    for (const auto &[at, cap] :
         {std::pair{216, 40}, {1260, 40}, {1328, 40}, {1884, 40}, {1944, 10}, {1968, 40}, {2024, 40}})
        original[at] = static_cast<char>(byte(rng) % (cap + 1));
    for (const int history : {280, 776, 1400, 2080})
        for (int slot = 0; slot < 30; ++slot)
            putDouble(original, history + 8 * slot, slot * 17.25);
    for (const int history : {520, 1016, 1640, 2320})
        for (int slot = 0; slot < 30; ++slot)
            putDouble(original, history + 8 * slot, slot / 32.0);

    const QByteArray again = encodeSettings(decodeSettings(original, 96));
    EXPECT_EQ(again, original);
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

TEST(SettingsCodec, ShortFileGivesDefaultsLongFileItsFirstRecord)
{
    const TSettings defaults = defaultSettings(96);
    EXPECT_EQ(encodeSettings(decodeSettings(QByteArray(100, '\x7f'), 96)), encodeSettings(defaults));
    EXPECT_EQ(encodeSettings(decodeSettings(QByteArray(), 96)), encodeSettings(defaults));

    TSettings s = defaults;
    s.HorizInterval = 777;
    QByteArray longer = encodeSettings(s) + QByteArray(500, 'z');
    EXPECT_EQ(decodeSettings(longer, 96).HorizInterval, 777);
}

TEST(SettingsCodec, SurvivesRandomAndTruncatedRecords)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, kSettingsRecordSize + 64);
    for (int round = 0; round < 2000; ++round) {
        QByteArray junk(length(rng), '\0');
        for (char &c : junk)
            c = static_cast<char>(byte(rng));
        const TSettings s = decodeSettings(junk, round % 2 == 0 ? 96 : 120);
        const QByteArray encoded = encodeSettings(s);
        ASSERT_EQ(encoded.size(), kSettingsRecordSize);
        for (double v : s.TachiWpmHistory)
            ASSERT_TRUE(std::isfinite(v) && v >= 0.0);
        // A decoded record is stable: decoding what it encodes to gives the same bytes.
        ASSERT_EQ(encodeSettings(decodeSettings(encoded, 96)), encoded);
    }
}

TEST(SettingsFile, MissingFileGivesDefaultsAndSaveWritesOneRecord)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings2.dat"));
    TSettings s = loadSettingsFile(path, 96);
    EXPECT_EQ(s.UseDefaultMainPlacement, 1);
    s.UseDefaultMainPlacement = 0;
    s.TachiFlashTime = 1234;
    ASSERT_EQ(saveSettingsFile(path, s), SettingsSaveResult::Saved);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    EXPECT_EQ(bytes.size(), kSettingsRecordSize);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(loadSettingsFile(path, 96).TachiFlashTime, 1234);
}

TEST(SettingsFile, UnwritableFolderReportsAndKeepsNothingHalfWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing-folder/settings2.dat"));
    EXPECT_EQ(saveSettingsFile(path, defaultSettings(96)), SettingsSaveResult::CannotMake);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(History, AppendRemoveLastAndClear)
{
    const auto make = [](const std::vector<double> &values) {
        THistory h{};
        std::copy(values.begin(), values.end(), h.begin());
        return h;
    };
    std::vector<double> full, shifted, lastEmpty;
    for (int i = 0; i < 30; ++i) {
        full.push_back(1 + i);
        shifted.push_back(i < 29 ? 2 + i : 99);
        lastEmpty.push_back(i < 29 ? 1 + i : 0);
    }
    const auto append = [](double v) { return [v](THistory &h) { historyAppend(h, v); }; };
    const auto removeLast = [](double v) { return [v](THistory &h) { historyRemoveLast(h, v); }; };
    const struct
    {
        const char *name;
        std::vector<double> before;
        std::function<void(THistory &)> op;
        std::vector<double> after; // first slots; the rest are empty
    } cases[] = {
        {"append to empty", {}, append(250), {250}},
        {"append after two", {1, 2}, append(3), {1, 2, 3}},
        {"append to full drops the oldest", full, append(99), shifted},
        {"a zero is overwritten next time", {5, 0}, append(7), {5, 7}},
        {"remove the last of three", {1, 2, 3}, removeLast(3), {1, 2}},
        {"remove the last of a full one empties slot 30", full, removeLast(30), lastEmpty},
        {"remove from empty does nothing", {}, removeLast(5), {}},
        {"remove after a zero append keeps the earlier", {4, 5}, removeLast(0), {4, 5}},
        {"clear", full, [](THistory &h) { historyClear(h); }, {}},
    };
    for (const auto &c : cases) {
        THistory h = make(c.before);
        c.op(h);
        EXPECT_EQ(h, make(c.after)) << c.name;
    }
}

TEST(SettingsCodec, SlotsHoldingNoPlausibleScoreReadAsEmpty)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double tiny = std::numeric_limits<double>::denorm_min();
    const std::tuple<int, double, double> cases[] = {
        {280, 1e300, 0.0},    {280, 3e9, 0.0},    {280, 100000.0, 100000.0}, {280, 100000.5, 0.0},
        {280, -250.0, 0.0},   {280, nan, 0.0},    {280, -inf, 0.0},          {776, 412.5, 412.5},
        {2080, 0.25, 0.25},   {520, 1.0, 1.0},    {520, 1.0000001, 0.0},     {1016, 3e9, 0.0},
        {1640, 0.875, 0.875}, {2320, tiny, tiny}, {2320, -0.5, 0.0},         {1640, inf, 0.0},
    };
    for (const auto &[offset, stored, read] : cases) {
        QByteArray b = encodeSettings(defaultSettings(96));
        putDouble(b, offset + 8, stored);
        const QByteArray again = encodeSettings(decodeSettings(b, 96));
        EXPECT_EQ(doubleAt(again, offset + 8), read) << offset << " " << stored;
    }
}

TEST(SettingsFileSave, AReadOnlyFolderWithAWritableFileStillSaves)
{
    // Rights decide this case, and a privileged user has them all; the window tests reach it through a seam.
    if (geteuid() == 0)
        GTEST_SKIP() << "running with full rights";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings2.dat"));
    ASSERT_EQ(saveSettingsFile(path, defaultSettings(96)), SettingsSaveResult::Saved);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    TSettings s = defaultSettings(96);
    s.SoundOn = 0;
    const SettingsSaveResult result = saveSettingsFile(path, s);
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(result, SettingsSaveResult::Saved);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), encodeSettings(s));
}
