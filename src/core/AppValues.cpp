#include "AppValues.h"

namespace {

std::uint8_t *flagOf(TAppValues &v, Mode mode)
{
    switch (mode) {
    case Mode::Tachi:
        return &v.TachiOpen;
    case Mode::Horiz:
        return &v.HorizOpen;
    case Mode::Vert:
        return &v.VertOpen;
    case Mode::SpeedTest:
        return &v.SpeedTestOpen;
    case Mode::Exercise:
        return &v.ExerciseOpen;
    case Mode::CreateText:
        return &v.CreateTextOpen;
    case Mode::None:
        break;
    }
    return nullptr;
}

constexpr Mode kModeOrder[] = {Mode::Tachi,     Mode::Horiz,    Mode::Vert,
                               Mode::SpeedTest, Mode::Exercise, Mode::CreateText};

} // namespace

Mode currentMode(const TAppValues &v)
{
    for (Mode m : kModeOrder) {
        if (isModeOpen(v, m))
            return m;
    }
    return Mode::None;
}

bool isModeOpen(const TAppValues &v, Mode mode)
{
    const std::uint8_t *flag = flagOf(const_cast<TAppValues &>(v), mode);
    return flag != nullptr && *flag == 1;
}

void setCurrentMode(TAppValues &v, Mode mode)
{
    for (Mode m : kModeOrder)
        *flagOf(v, m) = (m == mode) ? 1 : 0;
}

int helpContextFor(Mode mode)
{
    switch (mode) {
    case Mode::Tachi:
        return 30;
    case Mode::Horiz:
        return 40;
    case Mode::Vert:
        return 50;
    case Mode::SpeedTest:
        return 60;
    case Mode::Exercise:
        return 70;
    case Mode::CreateText:
        return 80;
    case Mode::None:
        break;
    }
    return 0;
}

void setStoryFileName(TAppValues &v, const QString &fileName)
{
    // The name is never stored on disk, and a path cut short names a file that does not exist, so it is kept
    // whole however deep the folder.
    v.StoryFileName = fileName;
}
