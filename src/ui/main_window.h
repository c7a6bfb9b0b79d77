// MainWindow, "Mozenta ver2.0": the load, mosaic, save and exit commands, the block-size settings, the
// report-order switch, the size labels of the last conversion and the report writers' gauge. The commands
// work on the three companion windows: the source picture window, the mosaic window and the palette dialog.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "designed_window.h"
#include "file_dialog.h"
#include "gauge.h"
#include "mosaic/cell_runs.h"
#include "mosaic/conversion.h"
#include "picture/file_formats.h"
#include "project/job_settings.h"
#include "spin_edit.h"

namespace mozenta {

class AdvancedSettingsWindow;
class MosaicWindow;
class PaletteDialog;
class SourceWindow;

// The filter of the open dialog, made from the registry of formats: every picture we load, each format,
// every file.
inline std::string OpenDialogFilter() {
  return TFileFormatsList::Instance().OpenDialogFilter();
}
// The filter of the save dialog; its first pattern has no dot on purpose and shows every name ending in txt.
inline constexpr const char* kSaveDialogFilter = "モザイク画|*txt;*.bmp;*.csv";
// The filter of the project dialogs.
inline constexpr const char* kProjectDialogFilter = "Mozenta プロジェクト|*.mozenta|すべてのファイル|*.*";

class MainWindow : public DesignedWindow {
  Q_OBJECT

 public:
  MainWindow();

  // The windows the commands work on; given once, right after all four windows are created.
  void SetCompanions(SourceWindow& sourceWindow, MosaicWindow& mosaicWindow, PaletteDialog& paletteDialog,
                     AdvancedSettingsWindow& advancedSettingsWindow);

  // Every setting of the job as the windows hold them now: the palette dialog's colours, flags and labels,
  // this window's blocks and order, the mosaic's depth and the "詳細設定" window's panels.
  JobSettings CurrentSettings() const;

  // Projects: the dialogs of Ctrl+O and Ctrl+S (and of the 詳細設定 window's buttons), and the work they
  // start. Opening fills every window from the project and makes its mosaic; saving keeps the loaded
  // picture, the settings the mosaic was made with and its hand edits.
  void OpenProject();
  void SaveProject();
  void OpenProjectFile(const std::string& projectFile);
  void SaveProjectFile(const std::string& projectFile);

  QPushButton* loadButton;      // 画像読込
  QPushButton* convertButton;   // モザイク化: enabled by the first load
  QPushButton* saveButton;      // 保存: enabled by the first conversion
  QPushButton* exitButton;      // 終　了
  QPushButton* advancedButton;  // 詳細設定: opens the window of the settings beyond these
  QLabel* blockWidthCaption;    // １列の枚数
  QLabel* blockHeightCaption;   // 1段の枚数
  SpinEdit* blockWidthEdit;     // 0..640
  SpinEdit* blockHeightEdit;    // 0..480
  QCheckBox* byColumnsCheck;    // 縦向出力: reports block column by block column
  QLabel* widthLabel;           // width − 1 of the last converted picture
  QLabel* heightLabel;          // height − 1 of the last converted picture
  Gauge* progressGauge;         // shown while the reports are written
  FileDialog openDialog;
  FileDialog saveDialog;
  FileDialog projectOpenDialog;
  FileDialog projectSaveDialog;
  // How long the making of a mosaic runs before its progress window shows: the quick, classic case never
  // shows it.
  std::chrono::milliseconds conversionWindowDelay{500};

 signals:
  // The main window was closed: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void OnLoadClicked();
  void OnConvertClicked();
  void OnSaveClicked();
  void OnExitClicked();

  // False when the mosaic has hand edits and the user keeps them.
  bool EditsMayGo();
  // Shows the size of a new mosaic in the two captions.
  SizeCaptionsHandler SizeCaptions();
  // Makes the mosaic window's next mosaic: `convert` fills the grid it is given, with the captions and the
  // progress it is given, on a worker thread behind a progress window when it takes long. Once it has
  // ended the captions show the new size and the mosaic is painted in `palette`'s colours; a stop (EAbort)
  // or an error leaves the captions, the grid and the mosaic as they were.
  using GridWork = std::function<void(MosaicGrid& grid, const SizeCaptionsHandler& showSize,
                                      const ConversionProgress& progress)>;
  void MakeMosaic(const GridWork& convert, const Palette& palette);
  // After a new mosaic is made with `madeWith` (and `edits` applied): the windows show it, a save may follow.
  void ShowNewMosaic(const JobSettings& madeWith, std::vector<CellRun> edits);

  SourceWindow* sourceWindow_ = nullptr;
  MosaicWindow* mosaicWindow_ = nullptr;
  PaletteDialog* paletteDialog_ = nullptr;
  AdvancedSettingsWindow* advancedSettingsWindow_ = nullptr;
  // A picture file's size and time of change when it was read: a project is saved only while its picture
  // is still the file the mosaic was made from, or its hash would name other bytes.
  struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    bool operator==(const FileStamp&) const = default;
  };
  static std::optional<FileStamp> StampOf(const std::string& fileName);

  std::string pictureFile_;  // the picture of the last load
  std::optional<FileStamp> pictureStamp_;
  std::string mosaicPicture_;  // the picture the mosaic shown was made from
  std::optional<FileStamp> mosaicPictureStamp_;
  std::optional<JobSettings> madeWith_;  // the settings of the mosaic shown
};

}  // namespace mozenta
