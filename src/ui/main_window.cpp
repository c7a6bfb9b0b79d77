#include "main_window.h"

#include <QCloseEvent>
#include <QShortcut>

#include "advanced_settings_window.h"
#include "application_setup.h"
#include "error_handler.h"
#include "message_box.h"
#include "mosaic/block_settings.h"
#include "mosaic/conversion.h"
#include "mosaic/fitted_conversion.h"
#include "mosaic_window.h"
#include "palette_dialog.h"
#include "picture/file_name.h"
#include "picture/source_picture.h"
#include "progress_window.h"
#include "project/project_file.h"
#include "project/project_mosaic.h"
#include "project/save_job.h"
#include "project/sha256_file.h"
#include "source_window.h"
#include "system_locale.h"
#include "window_system.h"

namespace mozenta {
namespace {

QPushButton* MakeButton(QWidget* parent, const char* name, const char* caption, const char* hint,
                        QRect bounds, bool enabled) {
  auto* button = new QPushButton(QString::fromUtf8(caption), parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setGeometry(bounds);
  if (hint != nullptr) button->setToolTip(QString::fromUtf8(hint));
  button->setEnabled(enabled);
  // A click takes the focus first, so a spin edit being left clamps its value before the command runs.
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, const char* hint) {
  auto* label = new QLabel(QString::fromUtf8(caption), parent);
  label->setObjectName(QString::fromLatin1(name));
  if (hint != nullptr) label->setToolTip(QString::fromUtf8(hint));
  return label;
}

SpinEdit* MakeSpinEdit(QWidget* parent, const char* name, const char* hint, QRect bounds, int maximum,
                       int value) {
  auto* edit = new SpinEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(bounds);
  edit->setToolTip(QString::fromUtf8(hint));
  edit->SetRange(0, maximum);
  edit->SetValue(value);
  // What the user types follows the session's locale, not the Japanese one of Qt's dialogs.
  edit->setLocale(SessionLocale());
  return edit;
}

// Sets a size label's caption; the label takes the size of its text.
void SetCaption(QLabel* label, const QString& caption) {
  label->setText(caption);
  label->adjustSize();
}

const char* const kBlockWidthHint = "１つのブロックの横の枚数を設定します。";
const char* const kBlockHeightHint = "1つのブロックの縦の枚数を設定します。";

}  // namespace

MainWindow::MainWindow()
    : DesignedWindow(QStringLiteral("Mozenta ver2.0"), QSize(509, 105)),
      openDialog(FileDialog::Kind::kOpen, QStringLiteral("OpenDialog1"), OpenDialogFilter()),
      saveDialog(FileDialog::Kind::kSave, QStringLiteral("SaveDialog1"), kSaveDialogFilter),
      projectOpenDialog(FileDialog::Kind::kOpen, QStringLiteral("ProjectOpenDialog"), kProjectDialogFilter),
      projectSaveDialog(FileDialog::Kind::kSave, QStringLiteral("ProjectSaveDialog"), kProjectDialogFilter) {
  setObjectName(QStringLiteral("Form1"));

  loadButton = MakeButton(this, "Button1", "画像読込", "元になる画像を読みこみます。", {8, 8, 65, 25}, true);
  convertButton = MakeButton(this, "Button3", "モザイク化",
                             "使用する色を設定したのち、モザイク画を作成します。", {80, 8, 65, 25}, false);
  blockWidthCaption = MakeLabel(this, "Label3", "１列の枚数", kBlockWidthHint);
  blockWidthCaption->setGeometry(152, 16, 56, 12);
  blockWidthEdit =
      MakeSpinEdit(this, "SpinEdit1", kBlockWidthHint, {216, 8, 49, 21}, kMaxBlockWidth, kDefaultBlockWidth);
  blockHeightCaption = MakeLabel(this, "Label4", "1段の枚数", kBlockHeightHint);
  blockHeightCaption->setGeometry(152, 40, 54, 12);
  blockHeightEdit = MakeSpinEdit(this, "SpinEdit2", kBlockHeightHint, {216, 32, 49, 21}, kMaxBlockHeight,
                                 kDefaultBlockHeight);
  saveButton =
      MakeButton(this, "Button4", "保存",
                 "モザイク化した画像(bmp)と文字化した画像(txt)と色の枚数(csv)をファイルに保存します。",
                 {320, 8, 49, 25}, false);
  byColumnsCheck = new QCheckBox(QString::fromUtf8("縦向出力"), this);
  byColumnsCheck->setObjectName(QStringLiteral("CheckBox1"));
  byColumnsCheck->setGeometry(320, 40, 73, 17);
  byColumnsCheck->setToolTip(QString::fromUtf8("チェックすると同じ列をまとめて出力します。"));
  byColumnsCheck->setFocusPolicy(Qt::StrongFocus);
  exitButton = MakeButton(this, "Button2", "終　了", nullptr, {408, 8, 57, 25}, true);
  // In the free space under "終　了", as wide as its caption needs.
  advancedButton =
      MakeButton(this, "AdvancedButton", "詳細設定",
                 "画像の大きさ、色の選び方、印刷用の PDF などを設定します。", {408, 40, 57, 25}, true);
  advancedButton->resize(
      std::max(57, advancedButton->fontMetrics().horizontalAdvance(advancedButton->text()) + 16), 25);
  widthLabel = MakeLabel(this, "Label1", "   ", nullptr);
  widthLabel->move(8, 40);
  SetCaption(widthLabel, QStringLiteral("   "));
  heightLabel = MakeLabel(this, "Label2", "   ", nullptr);
  heightLabel->move(88, 40);
  SetCaption(heightLabel, QStringLiteral("   "));
  progressGauge = new Gauge(this);
  progressGauge->setObjectName(QStringLiteral("Gauge1"));
  progressGauge->setGeometry(32, 56, 129, 20);
  progressGauge->hide();

  QWidget* const order[] = {loadButton,     exitButton,      convertButton,  saveButton,
                            blockWidthEdit, blockHeightEdit, byColumnsCheck, advancedButton};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    setTabOrder(order[i], order[i + 1]);

  ConnectCommand(loadButton, [this] { OnLoadClicked(); });
  ConnectCommand(exitButton, [this] { OnExitClicked(); });
  ConnectCommand(convertButton, [this] { OnConvertClicked(); });
  ConnectCommand(saveButton, [this] { OnSaveClicked(); });
  ConnectCommand(advancedButton, [this] { advancedSettingsWindow_->ShowInFront(); });
  connect(new QShortcut(QKeySequence::Open, this), &QShortcut::activated, this,
          [this] { RunCommand([this] { OpenProject(); }); });
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this,
          [this] { RunCommand([this] { SaveProject(); }); });
}

void MainWindow::SetCompanions(SourceWindow& sourceWindow, MosaicWindow& mosaicWindow,
                               PaletteDialog& paletteDialog, AdvancedSettingsWindow& advancedSettingsWindow) {
  sourceWindow_ = &sourceWindow;
  mosaicWindow_ = &mosaicWindow;
  paletteDialog_ = &paletteDialog;
  advancedSettingsWindow_ = &advancedSettingsWindow;
  mosaicWindow.SetSettingsSource([this] { return CurrentSettings(); });
  // The block grid follows the block size as it is typed.
  for (SpinEdit* edit : {blockWidthEdit, blockHeightEdit}) {
    connect(edit, &QLineEdit::textChanged, &mosaicWindow, [&mosaicWindow] {
      if (mosaicWindow.mosaicImage->BlockGridShown()) mosaicWindow.mosaicImage->update();
    });
  }
}

JobSettings MainWindow::CurrentSettings() const {
  JobSettings settings;
  settings.palette = paletteDialog_->ColorPalette();
  settings.labels = paletteDialog_->Labels();
  settings.blocks = {blockWidthEdit->Value(), blockHeightEdit->Value()};
  settings.order = byColumnsCheck->isChecked() ? BlockOrder::kByColumns : BlockOrder::kByRows;
  settings.mosaicBitsPerPixel = mosaicWindow_->Mosaic().BitsPerPixel();
  advancedSettingsWindow_->ReadInto(settings);
  return settings;
}

void MainWindow::OnLoadClicked() {
  if (!openDialog.Execute(this)) return;
  LetWindowSystemRepaint(openDialog.LastBounds());
  // The source window is on screen before the file is read, so it shows also when reading fails.
  sourceWindow_->MoveTo(0, 100);
  sourceWindow_->ShowInFront();
  LoadSourcePicture(sourceWindow_->picture, openDialog.FileName(), DisplayDecodeSettings());
  pictureFile_ = openDialog.FileName();
  pictureStamp_ = StampOf(pictureFile_);
  convertButton->setEnabled(true);
}

void MainWindow::OnConvertClicked() {
  if (!EditsMayGo()) return;
  // However the palette dialog was closed, the conversion runs: "実行" has copied the check boxes into
  // the enable flags, the close box has left them as they were.
  paletteDialog_->ShowModal();
  LetWindowSystemRepaint(paletteDialog_->frameGeometry());
  mosaicWindow_->TakeDisplayDepth();
  const JobSettings settings = CurrentSettings();
  const TBitmap& source = RequireBitmap(sourceWindow_->picture.all1);
  MakeMosaic(
      [&](MosaicGrid& grid, const SizeCaptionsHandler& showSize, const ConversionProgress& progress) {
        ConvertFittedPictureToGrid(source, settings.advanced.picture.fit, settings.palette, grid, showSize,
                                   settings.advanced.conversion, progress);
      },
      settings.palette);
  ShowNewMosaic(settings, {});
}

void MainWindow::MakeMosaic(const GridWork& convert, const Palette& palette) {
  MosaicGrid& grid = mosaicWindow_->NewGrid();
  std::string widthCaption, heightCaption;
  const SizeCaptionsHandler keepCaptions = [&](const std::string& width, const std::string& height) {
    widthCaption = width;
    heightCaption = height;
  };
  ProgressWindow progress(ProgressWindow::kConverting, this);
  progress.Run(
      [&](ProgressGauge& gauge, std::stop_token stop) {
        convert(grid, keepCaptions, ConversionProgress(&gauge, std::move(stop)));
      },
      conversionWindowDelay);
  SizeCaptions()(widthCaption, heightCaption);
  mosaicWindow_->TakeNewGrid(palette);
}

bool MainWindow::EditsMayGo() {
  return !mosaicWindow_->HasEdits() ||
         AskQuestion(QString::fromStdString(MessageText(MessageId::kDiscardEdits)),
                     QStringLiteral("DiscardEditsQuestion"));
}

SizeCaptionsHandler MainWindow::SizeCaptions() {
  return [this](const std::string& widthCaption, const std::string& heightCaption) {
    SetCaption(widthLabel, QString::fromStdString(widthCaption));
    SetCaption(heightLabel, QString::fromStdString(heightCaption));
  };
}

void MainWindow::ShowNewMosaic(const JobSettings& madeWith, std::vector<CellRun> edits) {
  advancedSettingsWindow_->MosaicMade(madeWith, mosaicWindow_->Grid());
  madeWith_ = madeWith;
  mosaicPicture_ = pictureFile_;
  mosaicPictureStamp_ = pictureStamp_;
  mosaicWindow_->MosaicMade(madeWith.palette, std::move(edits));
  mosaicWindow_->MoveTo(250, 100);
  mosaicWindow_->ShowInFront();
  saveButton->setEnabled(true);
}

void MainWindow::OnExitClicked() {
  close();
}

void MainWindow::OnSaveClicked() {
  if (!saveDialog.Execute(this)) return;
  LetWindowSystemRepaint(saveDialog.LastBounds());
  // Read now: the click took the focus from the spin edits, so their values lie inside their ranges.
  const JobSettings settings = CurrentSettings();
  const std::string fileName = saveDialog.FileName();
  const MosaicGrid& grid = mosaicWindow_->Grid();
  const TBitmap& mosaic = mosaicWindow_->Mosaic();
  if (!settings.advanced.sheets.enabled) {
    SaveJob(fileName, grid, mosaic, settings, *progressGauge);
    return;
  }
  // The sheets take long: they are made on a worker thread, with a window to follow and stop them.
  ProgressWindow progress(ProgressWindow::kSaving, this);
  progress.Run([&](ProgressGauge& gauge, std::stop_token stop) {
    SaveJob(fileName, grid, mosaic, settings, gauge, std::move(stop));
  });
}

void MainWindow::OpenProject() {
  if (!projectOpenDialog.Execute(this)) return;
  LetWindowSystemRepaint(projectOpenDialog.LastBounds());
  OpenProjectFile(projectOpenDialog.FileName());
}

void MainWindow::SaveProject() {
  if (pictureFile_.empty()) throw Exception(MessageText(MessageId::kProjectNoPicture));
  if (!projectSaveDialog.Execute(this)) return;
  LetWindowSystemRepaint(projectSaveDialog.LastBounds());
  std::string fileName = projectSaveDialog.FileName();
  if (FileExtension(fileName).empty()) fileName += ".mozenta";
  SaveProjectFile(fileName);
}

void MainWindow::OpenProjectFile(const std::string& projectFile) {
  Project project = ReadProject(projectFile);
  bool pictureMatches = PictureMatches(project);
  while (!pictureMatches) {
    const std::string question = MessageText(MessageId::kProjectPictureChanged, project.picture) + "\n" +
                                 MessageText(MessageId::kProjectChooseOtherPicture);
    if (!AskQuestion(QString::fromStdString(question), QStringLiteral("ProjectPictureQuestion"))) return;
    if (!openDialog.Execute(this)) return;
    LetWindowSystemRepaint(openDialog.LastBounds());
    project.picture = openDialog.FileName();
    // The file chosen is the picture from now on; one that cannot be read is asked for again.
    if (const auto digest = FileSha256(project.picture)) {
      project.pictureSha256 = *digest;
      pictureMatches = true;
    }
  }
  if (!EditsMayGo()) return;
  // Read and checked before anything changes: a picture that fails to load or edits that do not fit leave
  // the windows as they were.
  SourcePicture loaded;
  PictureDecodeSettings decode = DisplayDecodeSettings();
  decode.keepOrientation = project.settings.advanced.picture.keepOrientation;
  LoadSourcePicture(loaded, project.picture, decode);
  const TBitmap& source = *SourceBitmap(loaded);
  CheckEditsFit(project.edits, source, project.settings.advanced.picture.fit, projectFile);

  const JobSettings& settings = project.settings;
  paletteDialog_->ShowSettings(settings.palette, settings.labels);
  blockWidthEdit->SetValue(settings.blocks.width);
  blockHeightEdit->SetValue(settings.blocks.height);
  byColumnsCheck->setChecked(settings.order == BlockOrder::kByColumns);
  advancedSettingsWindow_->Show(settings);
  sourceWindow_->MoveTo(0, 100);
  sourceWindow_->ShowInFront();
  RequireBitmap(sourceWindow_->picture.all1).Assign(source);
  pictureFile_ = project.picture;
  pictureStamp_ = StampOf(pictureFile_);
  convertButton->setEnabled(true);

  mosaicWindow_->TakeDisplayDepth();
  const TBitmap& shown = RequireBitmap(sourceWindow_->picture.all1);
  MakeMosaic(
      [&](MosaicGrid& grid, const SizeCaptionsHandler& showSize, const ConversionProgress& progress) {
        MakeProjectGrid(project, shown, grid, showSize, progress);
      },
      settings.palette);
  ShowNewMosaic(settings, std::move(project.edits));
}

std::optional<MainWindow::FileStamp> MainWindow::StampOf(const std::string& fileName) {
  std::error_code error;
  FileStamp stamp;
  stamp.size = std::filesystem::file_size(fileName, error);
  if (error) return std::nullopt;
  stamp.modified = std::filesystem::last_write_time(fileName, error);
  if (error) return std::nullopt;
  return stamp;
}

void MainWindow::SaveProjectFile(const std::string& projectFile) {
  if (pictureFile_.empty()) throw Exception(MessageText(MessageId::kProjectNoPicture));
  Project project;
  // The job of the mosaic shown, when there is one, even if another picture was loaded since.
  project.picture = madeWith_ ? mosaicPicture_ : pictureFile_;
  const std::optional<FileStamp>& stamp = madeWith_ ? mosaicPictureStamp_ : pictureStamp_;
  if (!stamp || StampOf(project.picture) != stamp) {
    throw Exception(MessageText(MessageId::kProjectPictureChangedSinceLoad, project.picture));
  }
  const auto digest = FileSha256(project.picture);
  if (!digest) throw EFOpenError(MessageText(MessageId::kCannotOpenFile, project.picture));
  project.pictureSha256 = *digest;
  project.settings = CurrentSettings();
  if (madeWith_) {
    // What made the mosaic, whatever was changed since without making it again.
    project.settings.palette = madeWith_->palette;
    project.settings.advanced.picture = madeWith_->advanced.picture;
    project.settings.advanced.conversion = madeWith_->advanced.conversion;
    project.edits = mosaicWindow_->Edits();
  }
  WriteProject(projectFile, project);
}

void MainWindow::closeEvent(QCloseEvent* event) {
  DesignedWindow::closeEvent(event);
  emit Closed();
}

}  // namespace mozenta
