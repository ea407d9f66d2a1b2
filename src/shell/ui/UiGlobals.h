// Routines every window uses: path labels, the two number-entry warnings and window
// placement from a stored position.
#pragma once

#include <QString>
#include <string>

class QLabel;
class QLineEdit;
class QWidget;

namespace brimtal {

class Host;

// The answers of WarnNotNumber and WarnOutOfRange. Every answer is non-zero, so a caller can
// treat any non-zero result as a rejected input; a window being closed stays open on Retry.
inline constexpr int kWarnNotShown = 0;  // the box was not visible: nothing was asked
inline constexpr int kWarnCancel = 2;
inline constexpr int kWarnRetry = 4;

// Shows a path in a label of fixed width: the full path when it fits, else the shortened path
// (ShortenPath), else the file name. The full path is kept in the label's property "tag"; when
// the path was shortened it is also the label's tool tip, otherwise the tool tip is empty.
void FitPathToLabel(const QString& path, QLabel* label);
void FitPathToLabel(const std::string& path, QLabel* label);
// The full path stored by FitPathToLabel.
QString LabelTag(const QLabel* label);

// Only when the box is visible: focuses it, selects its text and asks "Value not a number,
// re-enter" with Retry and Cancel. kWarnNotShown when the box is not visible.
int WarnNotNumber(QLineEdit* box, Host& host);
// The same with "Number outside valid range, re-enter".
int WarnOutOfRange(QLineEdit* box, Host& host);

// Moves the window to a stored "left,top" position on its screen, or centres it when it
// would lie partly off the screen there; texts of two characters or less leave it alone.
void PlaceWindow(const std::string& position, QWidget* window);
// The window's position as it is stored: "left,top".
std::string WindowPositionText(const QWidget* window);

}  // namespace brimtal
