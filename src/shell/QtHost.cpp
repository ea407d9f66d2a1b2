// Qt dialogs and sound behind the host seam.
#include "shell/QtHost.h"

#include <QApplication>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QEventLoop>
#include <QFileDialog>
#include <QInputDialog>
#include <QMediaDevices>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>
#include <cmath>
#include <numbers>

#include "shell/QtPrinter.h"
#include "shell/frmPickDir.h"

namespace brimtal {

// A sine tone played through the default sound output, one at a time.
class ToneOutput {
 public:
  bool Available() const { return !QMediaDevices::defaultAudioOutput().isNull(); }

  void Play(int frequencyHz, int durationMs) {
    QAudioFormat format;
    format.setSampleRate(kRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    const int samples = kRate * durationMs / 1000;
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(pcm.data());
    const double step = 2.0 * std::numbers::pi * frequencyHz / kRate;
    for (int i = 0; i < samples; ++i) {
      // A short fade at both ends keeps the tone free of clicks.
      const double envelope = std::min({1.0, i / 80.0, (samples - i) / 80.0});
      out[i] = static_cast<qint16>(12000.0 * envelope * std::sin(step * i));
    }
    sink_.reset();
    buffer_ = std::make_unique<QBuffer>();
    buffer_->setData(pcm);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    sink_->start(buffer_.get());
  }

 private:
  static constexpr int kRate = 44100;
  std::unique_ptr<QBuffer> buffer_;
  std::unique_ptr<QAudioSink> sink_;
};

QString ToQt(const std::string& text) {
  QString s = QString::fromStdString(text);
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  s.replace(QChar('\r'), QChar('\n'));
  return s;
}

std::string FromQt(const QString& text) {
  return text.toStdString();
}

QStringList QtNameFilters(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split(QChar('|'));
  QStringList filters;
  const QRegularExpression kTrailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
  auto pattern = [](QString p) {
    p.replace(QChar(';'), QChar(' '));
    p.replace(QStringLiteral("*.*"), QStringLiteral("*"));
    return p;
  };
  if (parts.size() == 1) return {parts[0] + " (" + pattern(parts[0]) + ")"};
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString description = parts[i];
    description.remove(kTrailingPatterns);
    filters << description + " (" + pattern(parts[i + 1]) + ")";
  }
  return filters;
}

QWidget* DialogParent() {
  return QApplication::activeWindow();
}

QtHost::QtHost(std::string appTitle)
    : appTitle_(std::move(appTitle)), tone_(std::make_unique<ToneOutput>()) {}

QtHost::~QtHost() {
  while (busyDepth_-- > 0) QApplication::restoreOverrideCursor();
}

MsgAnswer QtHost::MsgBox(const std::string& text, MsgButtons buttons, MsgIcon icon,
                         const std::string& title) {
  QMessageBox box(DialogParent());
  box.setWindowTitle(ToQt(title.empty() ? appTitle_ : title));
  box.setText(ToQt(text));
  switch (icon) {
    case MsgIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
  }
  QMessageBox::StandardButtons standard;
  QMessageBox::StandardButton escape = QMessageBox::NoButton;
  switch (buttons) {
    case MsgButtons::OK:
      standard = QMessageBox::Ok;
      escape = QMessageBox::Ok;
      break;
    case MsgButtons::OKCancel:
      standard = QMessageBox::Ok | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
    case MsgButtons::YesNo:
      standard = QMessageBox::Yes | QMessageBox::No;
      escape = QMessageBox::No;
      break;
    case MsgButtons::YesNoCancel:
      standard = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
    case MsgButtons::RetryCancel:
      standard = QMessageBox::Retry | QMessageBox::Cancel;
      escape = QMessageBox::Cancel;
      break;
  }
  box.setStandardButtons(standard);
  box.setEscapeButton(escape);
  // The first button is the default, so Enter confirms, as operators expect.
  if (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel)
    box.setDefaultButton(QMessageBox::Yes);
  if (buttons == MsgButtons::OKCancel) box.setDefaultButton(QMessageBox::Ok);
  if (buttons == MsgButtons::RetryCancel) box.setDefaultButton(QMessageBox::Retry);
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  const int result = box.exec();
  QApplication::restoreOverrideCursor();
  switch (result) {
    case QMessageBox::Ok: return MsgAnswer::OK;
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Retry: return MsgAnswer::Retry;
    default: return MsgAnswer::Cancel;
  }
}

std::optional<std::string> QtHost::InputBox(const std::string& prompt, const std::string& title,
                                            const std::string& defaultText) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(DialogParent(), ToQt(title.empty() ? appTitle_ : title), ToQt(prompt),
                            QLineEdit::Normal, ToQt(defaultText), &ok);
  if (!ok) return std::nullopt;
  return FromQt(text);
}

void QtHost::DoEvents(int maxWaitMs) {
  // Sleeps in the event loop until the time is up, handling whatever arrives meanwhile.
  QEventLoop loop;
  QTimer::singleShot(std::max(maxWaitMs, 0), Qt::PreciseTimer, &loop, &QEventLoop::quit);
  loop.exec();
}

void QtHost::SetBusy(bool busy) {
  if (busy) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++busyDepth_;
  } else {
    while (busyDepth_ > 0) {
      QApplication::restoreOverrideCursor();
      --busyDepth_;
    }
  }
}

void QtHost::StartTone(int frequencyHz, int durationMs) {
  if (tone_->Available() && frequencyHz > 0) {
    tone_->Play(frequencyHz, durationMs);
  } else {
    QApplication::beep();
  }
}

void QtHost::Beep() {
  QApplication::beep();
}

std::string QtHost::FileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(DialogParent(), ToQt(request.title), ToQt(request.startDir));
  const QStringList filters = QtNameFilters(request.filter);
  dialog.setNameFilters(filters);
  const int index = std::clamp(request.filterIndex, 1, static_cast<int>(filters.size()));
  if (!filters.isEmpty()) dialog.selectNameFilter(filters[index - 1]);
  dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
  if (!request.proposedName.empty()) dialog.selectFile(ToQt(request.proposedName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return FromQt(dialog.selectedFiles().constFirst());
}

std::string QtHost::PickDirectory(const std::string& title, const std::string& startDir) {
  frmPickDir picker(DialogParent());
  if (!title.empty()) picker.setWindowTitle(ToQt(title));
  picker.SetStartDir(ToQt(startDir));
  QApplication::setOverrideCursor(Qt::ArrowCursor);
  picker.exec();
  QApplication::restoreOverrideCursor();
  return FromQt(picker.Result());
}

std::unique_ptr<Printer> QtHost::PrinterDialog(const PrinterDialogRequest& request) {
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  QPrintDialog dialog(printer.get(), DialogParent());
  dialog.setWindowTitle(ToQt(request.title.empty() ? appTitle_ : request.title));
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
  if (dialog.exec() != QDialog::Accepted) return nullptr;
  return std::make_unique<QtPrinter>(std::move(printer));
}

}  // namespace brimtal
