// TForm1, "Mozenta ver2.0": the main window with the load, mosaic, save and exit commands, the block-size
// settings, the report-order switch, the size labels of the last conversion and the report writers' gauge.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include "file_dialogs.h"
#include "form.h"
#include "gauge.h"
#include "spin_edit.h"

namespace mozenta {

// The filter of the open dialog: six entries, more kinds of file than loading accepts.
inline constexpr const char* kOpenDialogFilter =
    "すべての画像|*.bmp;*.jpg;*.jpeg;*.gif;*.tif;*.pic;*.q0;*.mag|BMP画像|*.bmp|JPEG画像|*.jpg;*.jpeg|"
    "GIF画像|*.gif|TIFF画像|*.tif|すべてのファイル|*.*";
// The filter of the save dialog; its first pattern has no dot on purpose and shows every name ending in txt.
inline constexpr const char* kSaveDialogFilter = "モザイク画|*txt;*.bmp;*.csv";

class TForm1 : public TForm {
  Q_OBJECT

 public:
  TForm1();

  QPushButton* Button1;  // 画像読込
  QPushButton* Button3;  // モザイク化
  QPushButton* Button4;  // 保存
  QPushButton* Button2;  // 終　了
  QLabel* Label3;
  QLabel* Label4;
  TSpinEdit* SpinEdit1;  // block width, 0..640
  TSpinEdit* SpinEdit2;  // block height, 0..480
  QCheckBox* CheckBox1;  // 縦向出力: reports block column by block column
  QLabel* Label1;        // width − 1 of the last converted picture
  QLabel* Label2;        // height − 1 of the last converted picture
  TGauge* Gauge1;
  TFileDialog OpenDialog1;
  TFileDialog SaveDialog1;

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();

  // Sets a size label's caption; the label takes the size of its text.
  static void SetCaption(QLabel* label, const QString& caption);

 signals:
  // The main window was closed: the program ends.
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
};

}  // namespace mozenta
