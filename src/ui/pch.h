// Qt headers most windows include; compiled once per target to keep builds quick.
#pragma once

#include <QtCore>
#include <QtGui>
#include <QtWidgets>
