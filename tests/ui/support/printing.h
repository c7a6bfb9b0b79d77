// How GoogleTest prints Qt values in failure messages, and names the cases of table-driven suites.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <ostream>
#include <string>

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

namespace mozenta::testing {

// Names each case of a table-driven suite by its `name` field. Give the case type a PrintTo that prints
// the same name too, so that test listings carry no raw bytes.
struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

}  // namespace mozenta::testing
