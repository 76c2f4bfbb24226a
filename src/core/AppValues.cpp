#include "AppValues.h"

#include "ModeTable.h"

int helpContextFor(Mode mode)
{
    return mode == Mode::None ? 0 : modeInfo(mode).helpContext;
}

void setStoryFileName(TAppValues &v, const QString &fileName)
{
    // The name is never stored on disk, and a path cut short names a file that does not exist, so it is kept
    // whole however deep the folder.
    v.StoryFileName = fileName;
}
