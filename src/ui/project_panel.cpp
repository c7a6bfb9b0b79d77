#include "project_panel.h"

#include <QHBoxLayout>

#include "error_handler.h"

namespace mozenta {

ProjectPanel::ProjectPanel(std::function<void()> open, std::function<void()> save)
    : SettingsPanel(QString::fromUtf8("プロジェクト")) {
  setObjectName(QStringLiteral("ProjectPanel"));
  openButton = new QPushButton(QString::fromUtf8("プロジェクトを開く…"), this);
  openButton->setObjectName(QStringLiteral("OpenProjectButton"));
  openButton->setToolTip(QString::fromUtf8("保存したプロジェクトの設定と編集でモザイク画を作り直します。"));
  saveButton = new QPushButton(QString::fromUtf8("プロジェクトを保存…"), this);
  saveButton->setObjectName(QStringLiteral("SaveProjectButton"));
  saveButton->setToolTip(QString::fromUtf8("画像の場所、設定、手で直した所をファイルに保存します。"));
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(openButton);
  layout->addWidget(saveButton);
  layout->addStretch(1);
  ConnectCommand(openButton, std::move(open));
  ConnectCommand(saveButton, std::move(save));
}

}  // namespace mozenta
