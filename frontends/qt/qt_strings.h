// Texts between the core's code page 1252 and Qt's Unicode strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace velotrix {

QString ToQt(std::string_view cp1252);
std::string FromQt(const QString& text);

}  // namespace velotrix
