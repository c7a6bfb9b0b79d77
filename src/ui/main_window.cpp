#include "main_window.h"

#include <QCloseEvent>

#include "application_setup.h"
#include "error_handler.h"
#include "forms.h"
#include "mosaic/block_settings.h"
#include "mosaic/conversion.h"
#include "mosaic/save_mosaic.h"
#include "mosaic_window.h"
#include "palette_dialog.h"
#include "picture/source_picture.h"
#include "source_window.h"

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

TSpinEdit* MakeSpinEdit(QWidget* parent, const char* name, const char* hint, QRect bounds, int maximum,
                        int value) {
  auto* edit = new TSpinEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  edit->setGeometry(bounds);
  edit->setToolTip(QString::fromUtf8(hint));
  edit->SetRange(0, maximum);
  edit->SetValue(value);
  return edit;
}

const char* const kBlockWidthHint = "１つのブロックの横の枚数を設定します。";
const char* const kBlockHeightHint = "1つのブロックの縦の枚数を設定します。";

}  // namespace

TForm1::TForm1()
    : TForm(QStringLiteral("Mozenta ver2.0"), QSize(509, 105)),
      OpenDialog1(TFileDialog::Kind::kOpen, QStringLiteral("OpenDialog1"), kOpenDialogFilter),
      SaveDialog1(TFileDialog::Kind::kSave, QStringLiteral("SaveDialog1"), kSaveDialogFilter) {
  setObjectName(QStringLiteral("Form1"));

  Button1 = MakeButton(this, "Button1", "画像読込", "元になる画像を読みこみます。", {8, 8, 65, 25}, true);
  Button3 = MakeButton(this, "Button3", "モザイク化", "使用する色を設定したのち、モザイク画を作成します。",
                       {80, 8, 65, 25}, false);
  Label3 = MakeLabel(this, "Label3", "１列の枚数", kBlockWidthHint);
  Label3->setGeometry(152, 16, 56, 12);
  SpinEdit1 =
      MakeSpinEdit(this, "SpinEdit1", kBlockWidthHint, {216, 8, 49, 21}, kMaxBlockWidth, kDefaultBlockWidth);
  Label4 = MakeLabel(this, "Label4", "1段の枚数", kBlockHeightHint);
  Label4->setGeometry(152, 40, 54, 12);
  SpinEdit2 = MakeSpinEdit(this, "SpinEdit2", kBlockHeightHint, {216, 32, 49, 21}, kMaxBlockHeight,
                           kDefaultBlockHeight);
  Button4 = MakeButton(this, "Button4", "保存",
                       "モザイク化した画像(bmp)と文字化した画像(txt)と色の枚数(csv)をファイルに保存します。",
                       {320, 8, 49, 25}, false);
  CheckBox1 = new QCheckBox(QString::fromUtf8("縦向出力"), this);
  CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
  CheckBox1->setGeometry(320, 40, 73, 17);
  CheckBox1->setToolTip(QString::fromUtf8("チェックすると同じ列をまとめて出力します。"));
  CheckBox1->setFocusPolicy(Qt::StrongFocus);
  Button2 = MakeButton(this, "Button2", "終　了", nullptr, {408, 8, 57, 25}, true);
  Label1 = MakeLabel(this, "Label1", "   ", nullptr);
  Label1->move(8, 40);
  SetCaption(Label1, QStringLiteral("   "));
  Label2 = MakeLabel(this, "Label2", "   ", nullptr);
  Label2->move(88, 40);
  SetCaption(Label2, QStringLiteral("   "));
  Gauge1 = new TGauge(this);
  Gauge1->setObjectName(QStringLiteral("Gauge1"));
  Gauge1->setGeometry(32, 56, 129, 20);
  Gauge1->hide();

  QWidget* const order[] = {Button1, Button2, Button3, Button4, SpinEdit1, SpinEdit2, CheckBox1};
  for (std::size_t i = 0; i + 1 < std::size(order); ++i)
    setTabOrder(order[i], order[i + 1]);

  ConnectCommand(Button1, [this] { Button1Click(); });
  ConnectCommand(Button2, [this] { Button2Click(); });
  ConnectCommand(Button3, [this] { Button3Click(); });
  ConnectCommand(Button4, [this] { Button4Click(); });
}

void TForm1::Button1Click() {
  if (!OpenDialog1.Execute(this)) return;
  // The source window is on screen before the file is read, so it shows also when reading fails.
  Form2->MoveTo(0, 100);
  Form2->ShowInFront();
  LoadSourcePicture(Form2->Source, OpenDialog1.FileName(), DisplayDecodeSettings());
  Button3->setEnabled(true);
}

void TForm1::Button3Click() {
  // However the palette dialog was closed, the conversion runs: "実行" has copied the check boxes into
  // the enable flags, the close box has left them as they were.
  Form4->ShowModal();
  Form3->TakeDisplayDepth();
  TBitmap& mosaic = Form3->Mosaic();
  ConvertToMosaic(RequireBitmap(Form2->Source.all1), Form4->ColorPalette(), Form3->Grid(), mosaic,
                  [this](const std::string& widthCaption, const std::string& heightCaption) {
                    SetCaption(Label1, QString::fromStdString(widthCaption));
                    SetCaption(Label2, QString::fromStdString(heightCaption));
                  });
  Form3->Image1->resize(mosaic.Width(), mosaic.Height());
  Form3->MoveTo(250, 100);
  Form3->ShowInFront();
  Button4->setEnabled(true);
}

void TForm1::Button2Click() {
  close();
}

void TForm1::Button4Click() {
  if (!SaveDialog1.Execute(this)) return;
  // Read now: the click took the focus from the spin edits, so their values lie inside their ranges.
  ReportSettings settings;
  settings.blocks = {SpinEdit1->Value(), SpinEdit2->Value()};
  settings.order = CheckBox1->isChecked() ? BlockOrder::kByColumns : BlockOrder::kByRows;
  for (int i = 0; i < kPaletteColors; ++i)
    settings.labels[i] = ColorLabel(i);
  SaveMosaic(SaveDialog1.FileName(), Form3->Grid(), Form3->Mosaic(), settings, *Gauge1);
}

void TForm1::SetCaption(QLabel* label, const QString& caption) {
  label->setText(caption);
  label->adjustSize();
}

void TForm1::closeEvent(QCloseEvent* event) {
  TForm::closeEvent(event);
  emit Closed();
}

}  // namespace mozenta
