#pragma once

#include <QFont>
#include <QString>

// The largest size of the base font, down to a floor that stays legible, at which the text's
// whole run fits the width. A text that fits already keeps the base font.
QFont fittingFont(const QFont& base, const QString& text, qreal width);
