// Conversions between Qt text and the engine's Str. Text crosses as UTF-8
// bytes both ways and is stored untouched, so whatever the user types comes
// back byte for byte.
#pragma once

#include <QByteArray>
#include <QString>
#include <string>

#include "text/str.h"

namespace vesko::gui {

inline QString toQString(const Str& text) { return QString::fromUtf8(text.c_str(), text.length()); }
inline QString toQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline Str toStr(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return Str(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace vesko::gui
