// Lets GoogleTest print Qt values readably in failure messages.
#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QRect& r, std::ostream* out) {
  *out << "(" << r.x() << ", " << r.y() << ", " << r.width() << " x " << r.height() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* out) {
  *out << s.width() << " x " << s.height();
}
inline void PrintTo(const QPoint& p, std::ostream* out) {
  *out << "(" << p.x() << ", " << p.y() << ")";
}
inline void PrintTo(const QColor& c, std::ostream* out) {
  *out << "rgb(" << c.red() << ", " << c.green() << ", " << c.blue() << ")";
}
