#pragma once

#include <QIcon>

// The program's own icon (data/brindlewick.svg), drawn at the sizes window frames and task bars use.
QIcon programIcon();
