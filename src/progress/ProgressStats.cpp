#include "ProgressStats.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr double kGuessing = 1.0 / 3.0;

double sigmoid(double x)
{
    return 1.0 / (1.0 + std::exp(-x));
}

} // namespace

double median(std::vector<double> values)
{
    if (values.empty())
        return kNoValue;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1)
        return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2.0;
}

QDate localDate(const ProgressReading &reading)
{
    if (!reading.atMs)
        return {};
    constexpr qint64 msPerDay = 86400000;
    constexpr qint64 unixEpochJulianDay = 2440588;
    const qint64 local = *reading.atMs + qint64(reading.offsetSec) * 1000;
    // Floor division: a time before 1970 still falls on its own day.
    return QDate::fromJulianDay(unixEpochJulianDay +
                                (local >= 0 ? local / msPerDay : (local - msPerDay + 1) / msPerDay));
}

std::vector<WeekStat> weeklyStats(const ProgressData &data, Mode mode)
{
    struct Week
    {
        std::vector<double> wpm, comprehension;
        double seconds = 0;
    };
    std::map<QDate, Week> weeks; // the invalid date (undated scores) sorts first
    for (const ProgressReading &r : data.readings) {
        if (r.mode != mode)
            continue;
        const QDate day = localDate(r);
        Week &w = weeks[day.isValid() ? day.addDays(1 - day.dayOfWeek()) : QDate()];
        w.seconds += r.seconds;
        if (r.kept && r.hasWpm())
            w.wpm.push_back(r.wpm);
        if (r.kept && r.hasComprehension())
            w.comprehension.push_back(r.comprehension);
    }
    const auto &imported = data.importedComprehension[static_cast<std::size_t>(mode)];
    if (!imported.empty()) {
        auto &undated = weeks[QDate()].comprehension;
        undated.insert(undated.end(), imported.begin(), imported.end());
    }
    std::vector<WeekStat> out;
    for (const auto &[monday, w] : weeks) {
        WeekStat s;
        s.monday = monday;
        s.readings = static_cast<int>(w.wpm.size());
        if (!w.wpm.empty())
            s.best = *std::max_element(w.wpm.begin(), w.wpm.end());
        s.median = median(w.wpm);
        s.comprehension = median(w.comprehension);
        s.secondsTrained = w.seconds;
        out.push_back(s);
    }
    return out;
}

std::vector<TextStat> textStats(const ProgressData &data)
{
    struct Text
    {
        TextStat stat;
        std::vector<double> wpm, comprehension;
    };
    std::map<int, Text> texts;
    for (const ProgressReading &r : data.readings) {
        if (r.textId == 0)
            continue;
        Text &t = texts[r.textId];
        t.stat.textId = r.textId;
        ++t.stat.readings;
        if (r.kept && r.hasWpm())
            t.wpm.push_back(r.wpm);
        if (r.kept && r.hasComprehension())
            t.comprehension.push_back(r.comprehension);
        // Readings come oldest first: the last one seen is where the user stopped.
        t.stat.lastPart = r.part;
        t.stat.lastAtMs = r.atMs;
    }
    std::vector<TextStat> out;
    for (auto &[id, t] : texts) {
        t.stat.medianWpm = median(t.wpm);
        t.stat.medianComprehension = median(t.comprehension);
        out.push_back(t.stat);
    }
    std::stable_sort(out.begin(), out.end(), [](const TextStat &x, const TextStat &y) {
        return x.lastAtMs.value_or(0) > y.lastAtMs.value_or(0);
    });
    return out;
}

double FlashCurve::at(double flashMs) const
{
    return kGuessing + (1.0 - kGuessing) * sigmoid(a + b * (std::log(flashMs) - centre));
}

std::optional<FlashCurve> fitFlashCurve(const std::vector<AnswerCount> &byFlashTime)
{
    std::vector<AnswerCount> points;
    double items = 0, logSum = 0;
    for (const AnswerCount &c : byFlashTime) {
        if (c.key > 0 && c.items > 0) {
            points.push_back(c);
            items += c.items;
            logSum += c.items * std::log(double(c.key));
        }
    }
    if (points.size() < 3)
        return std::nullopt;
    FlashCurve f{0, 1, logSum / items};
    // Fisher scoring on the two parameters; the steps are bounded so that a flat stretch cannot throw the
    // fit.
    for (int iteration = 0; iteration < 100; ++iteration) {
        double u0 = 0, u1 = 0, i00 = 0, i01 = 0, i11 = 0;
        for (const AnswerCount &c : points) {
            const double x = std::log(double(c.key)) - f.centre;
            const double s = sigmoid(f.a + f.b * x);
            const double p = std::clamp(kGuessing + (1 - kGuessing) * s, 1e-9, 1 - 1e-9);
            const double dp = (1 - kGuessing) * s * (1 - s);
            const double g = (c.right - c.items * p) * dp / (p * (1 - p));
            const double w = c.items * dp * dp / (p * (1 - p));
            u0 += g;
            u1 += g * x;
            i00 += w;
            i01 += w * x;
            i11 += w * x * x;
        }
        const double det = i00 * i11 - i01 * i01;
        if (!(std::abs(det) > 1e-12))
            return std::nullopt;
        const double da = std::clamp((i11 * u0 - i01 * u1) / det, -2.0, 2.0);
        const double db = std::clamp((i00 * u1 - i01 * u0) / det, -2.0, 2.0);
        f.a += da;
        f.b += db;
        if (std::abs(da) < 1e-9 && std::abs(db) < 1e-9)
            return f.b > 0 ? std::optional(f) : std::nullopt;
    }
    return std::nullopt;
}

std::optional<FlashEstimate> flashTimeFor(const std::vector<AnswerCount> &byFlashTime, double target)
{
    std::vector<AnswerCount> points;
    std::copy_if(byFlashTime.begin(), byFlashTime.end(), std::back_inserter(points),
                 [](const AnswerCount &c) { return c.key > 0 && c.items > 0; });
    if (points.empty() || !(target > kGuessing && target < 1))
        return std::nullopt;
    const double shortest = points.front().key, longest = points.back().key;
    if (const auto curve = fitFlashCurve(points)) {
        const double s = (target - kGuessing) / (1 - kGuessing);
        const double t = std::exp((std::log(s / (1 - s)) - curve->a) / curve->b + curve->centre);
        if (t >= shortest && t <= longest)
            return FlashEstimate{t, FlashEstimate::Method::Fit};
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const double f0 = points[i].fraction(), f1 = points[i + 1].fraction();
        if (f0 < target && f1 >= target) {
            const double t0 = points[i].key, t1 = points[i + 1].key;
            return FlashEstimate{t0 + (target - f0) / (f1 - f0) * (t1 - t0),
                                 FlashEstimate::Method::Interpolated};
        }
    }
    return std::nullopt;
}
