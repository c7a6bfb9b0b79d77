#include "error_handler.h"

#include <QAbstractButton>
#include <new>

#include "message_box.h"
#include "picture/errors.h"
#include "picture/messages.h"

namespace mozenta {

QString ErrorMessage(const std::exception& error) {
  if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    return QString::fromStdString(MessageText(MessageId::kOutOfMemory));
  }
  return QString::fromUtf8(error.what());
}

void ShowErrorMessage(const QString& message) {
  const std::string text = WithFinalStop(message.toStdString());
  ShowMessageBox(QMessageBox::Critical, QString::fromStdString(text), QStringLiteral("ErrorMessageBox"));
}

void RunCommand(const std::function<void()>& command) {
  try {
    command();
  } catch (const EAbort&) {
    // The user stopped the command: there is nothing to tell.
  } catch (const std::exception& error) {
    ShowErrorMessage(ErrorMessage(error));
  }
}

void ConnectCommand(QAbstractButton* button, std::function<void()> command) {
  QObject::connect(button, &QAbstractButton::clicked, button,
                   [command = std::move(command)] { RunCommand(command); });
}

bool ErrorReportingApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const EAbort&) {
    return false;
  } catch (const std::exception& error) {
    ShowErrorMessage(ErrorMessage(error));
    return false;
  }
}

}  // namespace mozenta
