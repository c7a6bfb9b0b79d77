// A fresh folder for the files a test writes, removed with everything in it after the test.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace mozenta::testing {

// The bytes of a file; empty when it cannot be read.
inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestFolder {
 public:
  QString PathOf(const char* name) const { return folder_.filePath(QString::fromUtf8(name)); }
  // The names of the files in the folder, sorted.
  QStringList Files() const { return QDir(folder_.path()).entryList(QDir::Files, QDir::Name); }
  // Writes a file of `name` holding `bytes`.
  void Write(const char* name, const QByteArray& bytes = {}) const {
    QFile file(PathOf(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name;
    file.write(bytes);
  }

 private:
  QTemporaryDir folder_;
};

}  // namespace mozenta::testing
