#include "file_dialog.h"

#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QTreeView>

namespace mozenta {

std::vector<FilterEntry> ParseFilter(std::string_view filter) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= filter.size()) {
    const std::size_t bar = filter.find('|', start);
    const std::size_t end = bar == std::string_view::npos ? filter.size() : bar;
    parts.emplace_back(filter.substr(start, end - start));
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  std::vector<FilterEntry> entries;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2)
    entries.push_back({parts[i], parts[i + 1]});
  return entries;
}

QString NameFilter(const FilterEntry& entry) {
  QStringList patterns = QString::fromStdString(entry.patterns).split(QLatin1Char(';'));
  // "*.*" means every file, also one without an extension; Qt's "*.*" would want a dot in the name.
  for (QString& pattern : patterns)
    if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
  return QString::fromStdString(entry.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
         QLatin1Char(')');
}

FileDialog::FileDialog(Kind kind, QString objectName, std::string_view filter)
    : kind_(kind), objectName_(std::move(objectName)) {
  for (const FilterEntry& entry : ParseFilter(filter)) {
    nameFilters_.append(NameFilter(entry));
    descriptions_.append(QString::fromStdString(entry.description));
  }
}

FileDialog::~FileDialog() {
  delete previous_;
}

QRect FileDialog::LastBounds() const {
  return previous_ != nullptr ? previous_->frameGeometry() : QRect();
}

bool FileDialog::Execute(QWidget* parent) {
  delete previous_;
  previous_ = new QFileDialog(parent);
  QFileDialog& dialog = *previous_;
  dialog.setObjectName(objectName_);
  // Qt's own dialog, so that its texts come from Qt's translations like the rest of the program.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setAcceptMode(kind_ == Kind::kSave ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setNameFilters(nameFilters_);
  // Sizes, kinds and dates are shown whole; the names take the rest of the list's width.
  if (auto* list = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    QHeaderView* header = list->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int column = 1; column < header->count(); ++column)
      header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
  if (filterIndex_ >= 1 && filterIndex_ <= nameFilters_.size())
    dialog.selectNameFilter(nameFilters_[filterIndex_ - 1]);
  if (!fileName_.empty()) dialog.selectFile(QFile::decodeName(QByteArray::fromStdString(fileName_)));

  if (dialog.exec() != QDialog::Accepted) return false;
  const QStringList files = dialog.selectedFiles();
  if (files.isEmpty()) return false;
  fileName_ = QFile::encodeName(files.first()).toStdString();
  // With the patterns hidden, the dialog names the entry in use by its description alone.
  const QString selected = dialog.selectedNameFilter();
  int index = nameFilters_.indexOf(selected);
  if (index < 0) index = descriptions_.indexOf(selected);
  if (index >= 0) filterIndex_ = index + 1;
  return true;
}

}  // namespace mozenta
