// Every message the program shows the user, in one table: the error box of the windows, the start-up
// refusal and mozenta-batch's stderr all take their texts from here. A "%s" or "%d" in a text stands for
// an argument, filled in order by MessageText.
#pragma once

#include <string>
#include <string_view>

namespace mozenta {

// MESSAGE(id, text) for every message, in the order of MessageId.
#define MOZENTA_MESSAGES(MESSAGE)                                                            \
  /* Streams and files */                                                                    \
  MESSAGE(kReadError, "ストリームからの読み込みエラー")                                      \
  MESSAGE(kWriteError, "ストリームへの書き込みエラー")                                       \
  MESSAGE(kStreamOutOfMemory, "メモリストリームの拡大中にメモリが足りなくなりました")        \
  MESSAGE(kCannotOpenFile, "ファイル %s は開けません")                                       \
  MESSAGE(kCannotCreateFile, "ファイル %s を作成できません")                                 \
  /* Run-time input/output errors: codes 3, 4, 5 and 101, and any other number */            \
  MESSAGE(kIoPathNotFound, "不正なファイル名です")                                           \
  MESSAGE(kIoTooManyOpenFiles, "オープンしたファイルが多すぎます")                           \
  MESSAGE(kIoAccessDenied, "ファイルへのアクセスが拒否されました")                           \
  MESSAGE(kIoDiskFull, "ディスクがいっぱいです")                                             \
  MESSAGE(kIoErrorNumbered, "I/O エラー (%d)")                                               \
  /* Pictures */                                                                             \
  MESSAGE(kUnknownExtension, "拡張子 .%s の画像形式は処理できません")                        \
  MESSAGE(kCannotAssign, "%s を %s に代入することはできません")                              \
  MESSAGE(kInvalidBitmap, "ビットマップイメージが不正です")                                  \
  MESSAGE(kInvalidIcon, "アイコンイメージが不正です")                                        \
  MESSAGE(kInvalidMetafile, "メタファイルが不正です")                                        \
  MESSAGE(kJpegError, "JPEG エラー #%d")                                                     \
  MESSAGE(kJpegTooManyScans, "JPEG ファイルのスキャンが多すぎます")                          \
  /* Pictures read through libvips: the format's name, then the size for kPictureTooLarge */ \
  MESSAGE(kPictureInvalid, "%s イメージが不正です")                                          \
  MESSAGE(kPictureTruncated, "%s イメージが途中で切れています")                              \
  MESSAGE(kPictureTooLarge, "%s イメージが大きすぎます (%s ピクセル)")                       \
  MESSAGE(kPictureUnsupported, "この種類の %s イメージには対応していません")                 \
  /* Resources */                                                                            \
  MESSAGE(kOutOfResources, "システム リソースが足りません")                                  \
  MESSAGE(kOutOfMemory, "メモリが足りません")                                                \
  /* Reports */                                                                              \
  MESSAGE(kDivisionByZero, "ゼロによる除算")                                                 \
  MESSAGE(kNegativeBlockSize, "ブロックの枚数が負の値です")                                  \
  MESSAGE(kNoShiftJisConverter, "Shift_JIS (CP932) への変換がこのシステムにありません")      \
  MESSAGE(kShiftJisConversionFailed, "Shift_JIS (CP932) への変換に失敗しました")             \
  /* Palette files and sheets on hand */                                                     \
  MESSAGE(kPaletteFileLine, "パレットファイルの %d 行目が不正です")                          \
  MESSAGE(kPaletteFileTooManyColors, "パレットファイルの %d 行目: 色は 8 色までです")        \
  MESSAGE(kPaletteFileFirstNotBlack, "パレットファイルの最初の色が黒ではありません")         \
  MESSAGE(kPaletteFileNoColors, "パレットファイルに色がありません")                          \
  MESSAGE(kPaletteFileTooLarge, "パレットファイルが大きすぎます")                            \
  MESSAGE(kSheetShortage, "不足: %s %s枚")                                                   \
  /* Printable sheets */                                                                     \
  MESSAGE(kSheetsFailed, "PDF を作成できません (%s)")                                        \
  MESSAGE(kTooManySheetPages, "PDF のページが多すぎます (%d ページ)")                        \
  MESSAGE(kOperationAborted, "操作は中止されました")                                         \
  /* Projects and hand edits */                                                              \
  MESSAGE(kProjectMalformed, "プロジェクト %s の形式が正しくありません (%s)")                \
  MESSAGE(kProjectUnknownFormat, "プロジェクト %s の形式 %s には対応していません")           \
  MESSAGE(kProjectEditsOutside, "プロジェクト %s の編集がモザイクの外にあります")            \
  MESSAGE(kProjectPictureChanged, "画像 %s が見つからないか、保存した後に変更されています")  \
  MESSAGE(kProjectPictureChangedSinceLoad, "画像 %s は読み込んだ後に変更されています")       \
  MESSAGE(kProjectChooseOtherPicture, "別の画像を選びますか?")                               \
  MESSAGE(kProjectNoPicture, "画像が読み込まれていません")                                   \
  MESSAGE(kDiscardEdits, "編集内容を破棄しますか?")                                          \
  /* Parts of the program loaded when a job first needs them (program_module.h) */           \
  MESSAGE(kModuleMissing, "部品 %s が見つかりません")                                        \
  MESSAGE(kModuleUnusable, "部品 %s を読み込めません (%s)")                                  \
  MESSAGE(kModuleOtherBuild, "部品 %s はこのプログラムとは別の版です")                       \
  /* Start-up */                                                                             \
  MESSAGE(kPaletteDisplay, "256色モードでは動作しません。")

enum class MessageId {
#define MOZENTA_MESSAGE_ID(id, text) id,
  MOZENTA_MESSAGES(MOZENTA_MESSAGE_ID)
#undef MOZENTA_MESSAGE_ID
};

// The text with its placeholders filled: each "%s" or "%d" takes the next argument; placeholders past the
// last argument stay as they are.
std::string MessageText(MessageId id);
std::string MessageText(MessageId id, std::string_view argument);
std::string MessageText(MessageId id, std::string_view first, std::string_view second);
std::string MessageText(MessageId id, long long number);

}  // namespace mozenta
