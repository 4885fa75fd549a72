#pragma once
// Text crosses into Qt as UTF-8 here and nowhere else.
#include <QString>
#include <string>

namespace qm {

inline QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string S(const QString& s) {
  QByteArray b = s.toUtf8();
  return std::string(b.constData(), static_cast<size_t>(b.size()));
}

}  // namespace qm
