// Path labels, the number-entry warnings and window placement.
#include "shell/ui/UiGlobals.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QWidget>

#include "shell/BmGlobals.h"
#include "shell/Host.h"

namespace brimtal {

namespace {

int Warn(QLineEdit* box, Host& host, const std::string& text) {
  if (box == nullptr || !box->isVisible()) return kWarnNotShown;
  box->setFocus(Qt::OtherFocusReason);
  box->selectAll();
  return host.MsgBox(text, MsgButtons::RetryCancel) == MsgAnswer::Retry ? kWarnRetry : kWarnCancel;
}

}  // namespace

void FitPathToLabel(const QString& path, QLabel* label) {
  if (label == nullptr) return;
  const QFontMetrics metrics(label->font());
  const int room = label->contentsRect().width() - 2 * label->margin() - label->indent();
  auto fits = [&](const QString& text) { return metrics.horizontalAdvance(text) <= room; };
  QString shown = path;
  if (!fits(shown)) shown = QString::fromStdString(ShortenPath(path.toStdString()));
  if (!fits(shown)) shown = QString::fromStdString(FileNameOfPath(path.toStdString()));
  label->setText(shown);
  label->setProperty("tag", path);
  label->setToolTip(shown == path ? QString() : path);
}

void FitPathToLabel(const std::string& path, QLabel* label) {
  FitPathToLabel(QString::fromStdString(path), label);
}

QString LabelTag(const QLabel* label) {
  return label == nullptr ? QString() : label->property("tag").toString();
}

int WarnNotNumber(QLineEdit* box, Host& host) {
  return Warn(box, host, "Value not a number, re-enter");
}

int WarnOutOfRange(QLineEdit* box, Host& host) {
  return Warn(box, host, "Number outside valid range, re-enter");
}

void PlaceWindow(const std::string& position, QWidget* window) {
  if (window == nullptr) return;
  QScreen* screen =
      window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QSize size = window->frameGeometry().size();
  const auto place = PlaceWindowPosition(position, size.width(), size.height(),
                                         {area.x(), area.y(), area.width(), area.height()});
  if (place) window->move(place->x, place->y);
}

std::string WindowPositionText(const QWidget* window) {
  if (window == nullptr) return {};
  return std::to_string(window->x()) + "," + std::to_string(window->y());
}

}  // namespace brimtal
