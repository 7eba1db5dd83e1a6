// Finding a font whose characters line up in columns, by measuring them.
#include "frontends/qt/even_font.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QString>
#include <QStringList>

#include "frontends/qt/qt_strings.h"
#include "text/hex_dump.h"

namespace velotrix {

namespace {

// Every character a listing can show: the dump's sign for each byte value.
QString ListingCharacters() {
    std::string all;
    for (int byte = 0; byte < 256; ++byte) {
        all += DumpCharacter(static_cast<std::uint8_t>(byte));
    }
    return ToQt(all);
}

}  // namespace

bool HasEvenWidths(const QFont& font) {
    static const QString characters = ListingCharacters();
    const QFontMetricsF metrics(font);
    const qreal width = metrics.horizontalAdvance(QLatin1Char('0'));
    for (const QChar c : characters) {
        if (metrics.horizontalAdvance(c) != width) {
            return false;
        }
    }
    return width > 0;
}

QFont EvenWidthFont(const QFont& preferred) {
    if (HasEvenWidths(preferred)) {
        return preferred;
    }
    for (const QString& family : QFontDatabase::families()) {
        QFont candidate(family, preferred.pointSize());
        if (QFontDatabase::isFixedPitch(family) && HasEvenWidths(candidate)) {
            return candidate;
        }
    }
    return preferred;
}

}  // namespace velotrix
