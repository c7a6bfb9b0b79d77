// The program's message boxes: modal, captioned with the application title, one OK button, and wide
// enough for the caption to show whole in a window manager's title bar.
#pragma once

#include <QMessageBox>
#include <QString>

namespace mozenta {

// Room a title bar takes besides its caption: the window's icon and buttons on both sides, as the caption
// is centred between them.
inline constexpr int kTitleBarRoom = 140;

// The least width of a box captioned `caption`: the caption in a bold title font plus kTitleBarRoom.
int CaptionedWidth(const QString& caption);

// Shows `text` modally with `icon` under the application title and returns when the user closed the box.
void ShowMessageBox(QMessageBox::Icon icon, const QString& text, const QString& objectName);

// Asks `text` with the buttons Yes and No; true for Yes.
bool AskQuestion(const QString& text, const QString& objectName);

}  // namespace mozenta
