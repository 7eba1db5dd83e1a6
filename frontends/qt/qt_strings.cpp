// Code page 1252 to and from Qt's Unicode, through UTF-8.
#include "frontends/qt/qt_strings.h"

#include <QByteArray>

#include "text/cp1252.h"

namespace velotrix {

QString ToQt(std::string_view cp1252) {
    const std::string utf8 = Cp1252ToUtf8(cp1252);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string FromQt(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return Utf8ToCp1252(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

}  // namespace velotrix
