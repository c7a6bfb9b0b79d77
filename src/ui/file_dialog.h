// The open and save dialogs of the main window: Qt's own file dialog configured from a filter string in
// the form "description|patterns|description|patterns", with patterns separated by ";". A dialog remembers
// the filter entry in use and the full path chosen at its last successful showing and starts from both
// the next time, for the rest of the run.
#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

class QFileDialog;
class QWidget;

namespace mozenta {

struct FilterEntry {
  std::string description;
  std::string patterns;  // "*.jpg;*.jpeg"
  friend bool operator==(const FilterEntry&, const FilterEntry&) = default;
};

// The entries of a filter string; a trailing description without patterns is dropped.
std::vector<FilterEntry> ParseFilter(std::string_view filter);

// An entry as Qt's name filter: "JPEG画像 (*.jpg *.jpeg)".
QString NameFilter(const FilterEntry& entry);

class FileDialog {
 public:
  enum class Kind {
    kOpen,  // any name is accepted, existing or not
    kSave,  // replacing an existing file of the chosen name needs a yes
  };

  FileDialog(Kind kind, QString objectName, std::string_view filter);
  ~FileDialog();
  FileDialog(const FileDialog&) = delete;
  FileDialog& operator=(const FileDialog&) = delete;

  // Shows the dialog modally. True when a name was chosen; then FileName and FilterIndex are updated.
  bool Execute(QWidget* parent);

  // The chosen full path in the file system's encoding; empty before the first choice.
  const std::string& FileName() const { return fileName_; }
  // The entry in use, from 1.
  int FilterIndex() const { return filterIndex_; }
  QStringList NameFilters() const { return nameFilters_; }
  // The outer bounds of the dialog on the screen at its last showing.
  QRect LastBounds() const;

 private:
  Kind kind_;
  QString objectName_;
  QStringList nameFilters_;
  QStringList descriptions_;
  int filterIndex_ = 1;
  std::string fileName_;
  // The dialog of the last showing. Taking a dialog down waits for its folder-reading thread, so that is
  // left to the next showing instead of delaying the command the dialog was shown for.
  QPointer<QFileDialog> previous_;
};

}  // namespace mozenta
