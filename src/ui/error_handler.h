// The top-level error handler. Commands do not catch the errors they raise; every command runs through
// RunCommand, which shows the error in a message box and lets the program carry on with the state the
// error left.
#pragma once

#include <QApplication>
#include <QString>
#include <exception>
#include <functional>

class QAbstractButton;

namespace mozenta {

// The message an error carries: the text of our error classes, a fixed text when memory ran out.
QString ErrorMessage(const std::exception& error);

// A modal message box captioned with the application title, with the stop icon and one OK button, showing
// `message` with the final "." rule applied.
void ShowErrorMessage(const QString& message);

// Runs `command`; an error it raises is shown with ShowErrorMessage, except EAbort (the user stopped it).
void RunCommand(const std::function<void()>& command);

// Makes a click on `button` run `command` through RunCommand.
void ConnectCommand(QAbstractButton* button, std::function<void()> command);

// The application object of the program. An error that escapes an event handler outside RunCommand is shown
// the same way instead of ending the program.
class ErrorReportingApplication : public QApplication {
 public:
  ErrorReportingApplication(int& argc, char** argv) : QApplication(argc, argv) {}
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace mozenta
