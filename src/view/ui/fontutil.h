// The view font: a face that may be missing on this system falls back to an
// installed fixed-pitch Japanese font.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

// Fixed-pitch Japanese faces in the order they are tried.
QStringList JapaneseMonospaceFaces();

// A font of the given face (or the fallback) with a pixel height and weight
// (400 normal, 700 bold) as stored in the settings.
QFont MakeViewFont(const QString &strFace, int nPixelHeight = 18, int nWeight = 400, bool bItalic = false);
