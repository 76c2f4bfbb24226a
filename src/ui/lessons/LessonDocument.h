#pragma once

#include "RtfReader.h"

#include <QString>

class QTextDocument;

// Fills `target` with the paragraphs and runs of a lesson document: alignment, bold, italic, underline,
// point size, family and colour. A run without a family or colour takes the viewer's own. A word of more
// than 64 characters gets a zero-width space after every 64, where a line may break.
void fillTextDocument(QTextDocument &target, const RtfDocument &source);

// Loads lesson file `fileName` from `folder` into `target`. When it cannot be read, `target` holds a
// one-line notice naming the file instead, and the result is false.
bool loadLessonDocument(QTextDocument &target, const QString &folder, const QString &fileName);

// The notice shown in place of a lesson that cannot be read.
QString missingLessonNotice(const QString &fileName);
