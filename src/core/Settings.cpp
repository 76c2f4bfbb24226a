#include "Settings.h"

#include "Cp1252.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr int kFontNameCapacity = 40;
constexpr int kFontGroupSize = 56;
constexpr int kHistorySize = kHistorySlots * 8;

using Image = std::array<std::uint8_t, kSettingsRecordSize>;

// The field list exists once; reading, writing and the layout listing all walk it.
template <typename Io, typename S> void visitFields(Io &io, S &s)
{
    io.u8("UseDefaultMainPlacement", 0, s.UseDefaultMainPlacement);
    io.u8("ControlDefaultPlacement", 1, s.ControlDefaultPlacement);
    io.u8("LessonDefaultPlacement", 2, s.LessonDefaultPlacement);
    io.u8("TachiDefaultPlacement", 3, s.TachiDefaultPlacement);
    io.u8("HorizDefaultPlacement", 4, s.HorizDefaultPlacement);
    io.u8("VertDefaultPlacement", 5, s.VertDefaultPlacement);
    io.u8("CreateTextDefaultPlacement", 6, s.CreateTextDefaultPlacement);
    io.u8("SpeedTestDefaultPlacement", 7, s.SpeedTestDefaultPlacement);
    io.u8("ExerciseDefaultPlacement", 8, s.ExerciseDefaultPlacement);
    io.bounds("MainBounds", 12, s.MainBounds);
    io.bounds("LessonBounds", 28, s.LessonBounds);
    io.bounds("ControlBounds", 44, s.ControlBounds);
    io.bounds("HorizBounds", 60, s.HorizBounds);
    io.bounds("VertBounds", 76, s.VertBounds);
    io.bounds("TachiBounds", 92, s.TachiBounds);
    io.bounds("CreateTextBounds", 108, s.CreateTextBounds);
    io.bounds("SpeedTestBounds", 124, s.SpeedTestBounds);
    io.bounds("ExerciseBounds", 140, s.ExerciseBounds);
    io.i32("MainColor", 156, s.MainColor);
    io.font("HorizFont", 216, s.HorizFont);
    io.u8("HorizFixations", 272, s.HorizFixations);
    io.u8("HorizReadTextMode", 273, s.HorizReadTextMode);
    io.u8("HorizUnreadTextMode", 274, s.HorizUnreadTextMode);
    io.i32("HorizInterval", 276, s.HorizInterval);
    io.history("HorizWpmHistory", 280, HistoryKind::Wpm, s.HorizWpmHistory);
    io.history("HorizComprehensionHistory", 520, HistoryKind::Comprehension, s.HorizComprehensionHistory);
    io.u8("TachiIndent", 760, s.TachiIndent);
    io.i32("TachiFixationWidth", 764, s.TachiFixationWidth);
    io.i32("TachiFlashTime", 768, s.TachiFlashTime);
    io.history("TachiWpmHistory", 776, HistoryKind::Wpm, s.TachiWpmHistory);
    io.history("TachiComprehensionHistory", 1016, HistoryKind::Comprehension, s.TachiComprehensionHistory);
    io.i32("TachiBackColor", 1256, s.TachiBackColor);
    io.font("TachiFont", 1260, s.TachiFont);
    io.u8("VertUnreadTextMode", 1317, s.VertUnreadTextMode);
    io.i32("VertFontColor", 1324, s.VertFontColor);
    io.string("VertFontName", 1328, kFontNameCapacity, s.VertFontName);
    io.i32("VertFontSize", 1372, s.VertFontSize);
    io.u8("VertFontStyle", 1376, s.VertFontStyle);
    io.i32("VertSecondInterval", 1380, s.VertSecondInterval);
    io.i32("VertDownSweep", 1384, s.VertDownSweep);
    io.i32("VertFixations", 1388, s.VertFixations);
    io.i32("VertInterval", 1392, s.VertInterval);
    io.history("VertWpmHistory", 1400, HistoryKind::Wpm, s.VertWpmHistory);
    io.history("VertComprehensionHistory", 1640, HistoryKind::Comprehension, s.VertComprehensionHistory);
    io.i32("ExerciseBackColor", 1880, s.ExerciseBackColor);
    io.font("ExerciseFont", 1884, s.ExerciseFont);
    io.i32("ExerciseFlashTime", 1940, s.ExerciseFlashTime);
    io.string("ExerciseLastPercent", 1944, 10, s.ExerciseLastPercent);
    io.i32("ExercisePracticeMinutes", 1956, s.ExercisePracticeMinutes);
    io.i32("CreateTextIndent", 1964, s.CreateTextIndent);
    io.font("CreateTextFont", 1968, s.CreateTextFont);
    io.font("SpeedTestFont", 2024, s.SpeedTestFont);
    io.history("SpeedTestWpmHistory", 2080, HistoryKind::Wpm, s.SpeedTestWpmHistory);
    io.history("SpeedTestComprehensionHistory", 2320, HistoryKind::Comprehension,
               s.SpeedTestComprehensionHistory);
    io.u8("SoundOn", 2560, s.SoundOn);
}

std::uint32_t readU32(const Image &img, int at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | img[static_cast<std::size_t>(at + i)];
    return v;
}

void writeU32(Image &img, int at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        img[static_cast<std::size_t>(at + i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

class Reader
{
public:
    explicit Reader(const Image &img) : m_img(img) {}

    void u8(const char *, int at, std::uint8_t &v) { v = m_img[static_cast<std::size_t>(at)]; }
    void i32(const char *, int at, std::int32_t &v) { v = static_cast<std::int32_t>(readU32(m_img, at)); }
    void bounds(const char *n, int at, TBounds &b)
    {
        i32(n, at, b.Left);
        i32(n, at + 4, b.Top);
        i32(n, at + 8, b.Width);
        i32(n, at + 12, b.Height);
    }
    void string(const char *, int at, int capacity, QString &v)
    {
        const int len = std::min<int>(m_img[static_cast<std::size_t>(at)], capacity);
        QByteArray raw(reinterpret_cast<const char *>(m_img.data() + at + 1), len);
        v = cp1252::decode(raw);
    }
    void font(const char *n, int at, TFontGroup &f)
    {
        string(n, at, kFontNameCapacity, f.Name);
        i32(n, at + 44, f.Size);
        u8(n, at + 48, f.Style);
        i32(n, at + 52, f.Color);
    }
    void history(const char *, int at, HistoryKind kind, THistory &h)
    {
        for (int i = 0; i < kHistorySlots; ++i) {
            const std::uint64_t lo = readU32(m_img, at + 8 * i);
            const std::uint64_t hi = readU32(m_img, at + 8 * i + 4);
            const std::uint64_t bits = lo | (hi << 32);
            double d = 0;
            std::memcpy(&d, &bits, sizeof d);
            h[static_cast<std::size_t>(i)] = plausibleScore(d, kind) ? d : 0.0;
        }
    }

private:
    const Image &m_img;
};

class Writer
{
public:
    explicit Writer(Image &img) : m_img(img) {}

    void u8(const char *, int at, std::uint8_t v) { m_img[static_cast<std::size_t>(at)] = v; }
    void i32(const char *, int at, std::int32_t v) { writeU32(m_img, at, static_cast<std::uint32_t>(v)); }
    void bounds(const char *n, int at, const TBounds &b)
    {
        i32(n, at, b.Left);
        i32(n, at + 4, b.Top);
        i32(n, at + 8, b.Width);
        i32(n, at + 12, b.Height);
    }
    void string(const char *, int at, int capacity, const QString &v)
    {
        const QByteArray raw = cp1252::encode(v).left(capacity);
        m_img[static_cast<std::size_t>(at)] = static_cast<std::uint8_t>(raw.size());
        std::memcpy(m_img.data() + at + 1, raw.constData(), static_cast<std::size_t>(raw.size()));
    }
    void font(const char *n, int at, const TFontGroup &f)
    {
        string(n, at, kFontNameCapacity, f.Name);
        i32(n, at + 44, f.Size);
        u8(n, at + 48, f.Style);
        i32(n, at + 52, f.Color);
    }
    void history(const char *, int at, HistoryKind, const THistory &h)
    {
        for (int i = 0; i < kHistorySlots; ++i) {
            std::uint64_t bits = 0;
            const double d = h[static_cast<std::size_t>(i)];
            std::memcpy(&bits, &d, sizeof bits);
            writeU32(m_img, at + 8 * i, static_cast<std::uint32_t>(bits));
            writeU32(m_img, at + 8 * i + 4, static_cast<std::uint32_t>(bits >> 32));
        }
    }

private:
    Image &m_img;
};

class LayoutLister
{
public:
    std::vector<TSettingsFieldInfo> fields;

    template <typename T> void u8(const char *n, int at, T &) { fields.push_back({n, at, 1}); }
    template <typename T> void i32(const char *n, int at, T &) { fields.push_back({n, at, 4}); }
    template <typename T> void bounds(const char *n, int at, T &) { fields.push_back({n, at, 16}); }
    template <typename T> void string(const char *n, int at, int capacity, T &)
    {
        fields.push_back({n, at, capacity + 1});
    }
    template <typename T> void font(const char *n, int at, T &) { fields.push_back({n, at, kFontGroupSize}); }
    template <typename T> void history(const char *n, int at, HistoryKind, T &)
    {
        fields.push_back({n, at, kHistorySize});
    }
};

TFontGroup makeFont(const char *name, int size, std::int32_t color)
{
    return TFontGroup{QString::fromLatin1(name), size, 0, color};
}

} // namespace

TSettings defaultSettings(int screenDpi)
{
    const int readerSize = screenDpi >= 115 ? 10 : 11;
    const int tachiSize = screenDpi >= 115 ? 10 : 12;

    TSettings s;
    s.UseDefaultMainPlacement = 1;
    s.ControlDefaultPlacement = 1;
    s.LessonDefaultPlacement = 1;
    s.TachiDefaultPlacement = 1;
    s.HorizDefaultPlacement = 1;
    s.VertDefaultPlacement = 1;
    s.CreateTextDefaultPlacement = 1;
    s.SpeedTestDefaultPlacement = 1;
    s.ExerciseDefaultPlacement = 1;
    s.MainColor = 9068109;
    s.HorizFont = makeFont("Times New Roman", readerSize, 0);
    s.HorizFixations = 4;
    s.HorizReadTextMode = 2;
    s.HorizUnreadTextMode = 2;
    s.HorizInterval = 350;
    s.TachiIndent = 0;
    s.TachiFixationWidth = 12;
    s.TachiFlashTime = 750;
    s.TachiBackColor = 0;
    s.TachiFont = makeFont("Arial", tachiSize, 65535);
    s.VertUnreadTextMode = 2;
    s.VertFontColor = 0;
    s.VertFontName = QStringLiteral("Times New Roman");
    s.VertFontSize = readerSize;
    s.VertFontStyle = 0;
    s.VertSecondInterval = 150;
    s.VertDownSweep = 3;
    s.VertFixations = 2;
    s.VertInterval = 250;
    s.ExerciseBackColor = 0;
    s.ExerciseFont = makeFont("Arial", 12, 65535);
    s.ExerciseFlashTime = 400;
    s.ExerciseLastPercent = QStringLiteral("N/A");
    s.ExercisePracticeMinutes = 3;
    s.CreateTextIndent = 0;
    s.CreateTextFont = makeFont("Times New Roman", 11, 0);
    s.SpeedTestFont = makeFont("Times New Roman", readerSize, 0);
    s.SoundOn = 1;

    // Reserved fields that a fresh record carries with a value of their own.
    writeU32(s.Image, 164, 16777215);
    s.Image[1316] = 2;
    writeU32(s.Image, 1320, 16777215);
    Writer w(s.Image);
    visitFields(w, s);
    return s;
}

TSettings decodeSettings(const QByteArray &bytes, int screenDpi)
{
    if (bytes.size() < kSettingsRecordSize)
        return defaultSettings(screenDpi);
    TSettings s;
    std::memcpy(s.Image.data(), bytes.constData(), kSettingsRecordSize);
    Reader r(s.Image);
    visitFields(r, s);
    return s;
}

QByteArray encodeSettings(const TSettings &settings)
{
    Image img = settings.Image;
    Writer w(img);
    visitFields(w, settings);
    return QByteArray(reinterpret_cast<const char *>(img.data()), kSettingsRecordSize);
}

std::vector<TSettingsFieldInfo> settingsLayout()
{
    LayoutLister lister;
    TSettings dummy;
    visitFields(lister, dummy);
    return lister.fields;
}

void historyAppend(THistory &history, double value)
{
    if (!plausibleScore(value, HistoryKind::Wpm))
        return;
    for (double &slot : history) {
        if (slot == 0.0) {
            slot = value;
            return;
        }
    }
    std::move(history.begin() + 1, history.end(), history.begin());
    history.back() = value;
}

void historyRemoveLast(THistory &history, double value)
{
    if (!plausibleScore(value, HistoryKind::Wpm))
        return;
    const auto last = std::find(history.rbegin(), history.rend(), value);
    if (last != history.rend())
        *last = 0.0;
}

void historyClear(THistory &history)
{
    history.fill(0.0);
}

bool plausibleScore(double value, HistoryKind kind)
{
    const double top = kind == HistoryKind::Wpm ? kMaxPlausibleWpm : 1.0;
    // Written so that NaN fails every comparison and is refused.
    return value > 0.0 && value <= top;
}

int historyCount(const THistory &history)
{
    int n = 0;
    for (double v : history)
        n += v != 0.0 ? 1 : 0;
    return n;
}
