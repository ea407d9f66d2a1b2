// What the definition window tests share: the simulated bench under the GPIB layer, a scripted
// operator on virtual time, and driving a window with keys and the mouse.
#pragma once

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <string>

#include "SimRig.h"
#include "instruments/script/ParseReply.h"
#include "support/TestFiles.h"

namespace brimtal::test {

template <typename T>
T* Control(QWidget& window, const char* name) {
  T* control = window.findChild<T*>(QString::fromUtf8(name));
  if (control == nullptr) qFatal("no control %s", name);
  return control;
}

// The bench, the bus layer and the engine a definition window works with.
struct BenchHost : SimRig {
  BenchHost() : SimRig({3, sim::SimAmplifier::Generic, bus::BenchSetup::CalibrationFixture}) {}

  ScriptEngine engine = CreateScriptEngine();
  TempDir dir;

  // The generator on at the frequency and level (the example generator's commands).
  void SetGenerator(double freqMhz, const char* level) {
    const std::string freq = std::to_string(static_cast<int>(freqMhz));
    for (const std::string& command :
         {"FREQ " + freq + ".0 MHZ\r\n", "POW " + std::string(level) + " DBM\r\n",
          std::string("OUTP ON\r\n")}) {
      if (!gpib.GpibWrite(sim::SimBench::kSigGenAddress, command)) qFatal("generator write");
    }
  }
};

inline void Show(QWidget& window) {
  window.show();
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) qFatal("window not active");
}

inline int Mnemonic(const QString& text) {
  return QKeySequence::mnemonic(text)[0].key();
}

// Alt and the menu's letter open it; the item's letter chooses it (nothing when disabled).
inline void Choose(QWidget& window, const char* menuName, const char* itemName) {
  auto* menu = Control<QMenu>(window, menuName);
  auto* item = Control<QAction>(window, itemName);
  // A dialog that just closed may not have handed the activation back yet.
  window.activateWindow();
  if (!QTest::qWaitForWindowActive(&window)) qFatal("window not active for %s", itemName);
  QTest::keyClick(&window, static_cast<Qt::Key>(Mnemonic(menu->title())), Qt::AltModifier);
  if (!QTest::qWaitFor([menu] { return menu->isVisible(); }))
    qFatal("menu %s not open for %s", menuName, itemName);
  QTest::keyClick(menu, static_cast<Qt::Key>(Mnemonic(item->text())));
  if (!menu->isVisible()) return;
  // A disabled item leaves the menu open: close it and leave the menu bar.
  QTest::keyClick(menu, Qt::Key_Escape);
  auto* bar = window.findChild<QMenuBar*>();
  if (bar != nullptr && bar->activeAction() != nullptr) QTest::keyClick(bar, Qt::Key_Escape);
}

// The controls and menus of the rig's window (the rig's member `window`).
template <typename Rig>
struct WindowControls {
  QLineEdit* Box(const char* name) { return Control<QLineEdit>(Window(), name); }
  QAction* Item(const char* name) { return Control<QAction>(Window(), name); }
  QRadioButton* Option(const char* name) { return Control<QRadioButton>(Window(), name); }
  void File(const char* item) { Choose(Window(), "mnuFile", item); }
  void Test(const char* item) { Choose(Window(), "mnuTest", item); }

 private:
  QWidget& Window() { return *static_cast<Rig&>(*this).window; }
};

inline void Type(QLineEdit* box, const QString& text) {
  box->setFocus();
  QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(box, Qt::Key_Delete);
  QTest::keyClicks(box, text);
}

inline void Pick(QRadioButton* option) {
  QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(8, option->height() / 2));
}

// Runs the step while a modal dialog is expected: inspect sees it and then it is closed. A
// step that opens no dialog fails.
inline void WithModalDialog(const std::function<void()>& step,
                            const std::function<void(QWidget&)>& inspect) {
  bool seen = false;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    QWidget* dialog = QApplication::activeModalWidget();
    if (dialog == nullptr || seen) return;
    seen = true;
    inspect(*dialog);
    dialog->close();
  });
  poll.start(10);
  step();
  poll.stop();
  if (!seen) QTest::qFail("no dialog was shown", __FILE__, __LINE__);
}

// Runs the step, which must open the parse test with the expression and the reply.
inline void ExpectParseTest(const std::function<void()>& step, const QString& expression,
                            const std::string& reply) {
  WithModalDialog(step, [&](QWidget& dialog) {
    QCOMPARE(dialog.windowTitle(), QString("Parse Test"));
    QCOMPARE(Control<QLineEdit>(dialog, "txtEvalExpression")->text(), expression);
    QCOMPARE(Control<QLineEdit>(dialog, "txtRetString")->text(), QString::fromStdString(reply));
  });
}

}  // namespace brimtal::test
