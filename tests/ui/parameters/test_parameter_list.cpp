// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <functional>
#include <memory>

#include "engine/workspace.h"
#include "tests/support/qt_test_main.h"
#include "tests/support/recording_canvas.h"
#include "ui/parameters/override_marks.h"
#include "ui/parameters/parameter_table.h"

using namespace backprop;
using backprop::testing::RecordingCanvas;

namespace {

using Setter = std::function<void(Workspace&)>;

// The value part of each row, after the label and the value column.
QStringList Values(const RecordingCanvas& canvas) {
  QStringList values;
  const auto& rows = ParameterRows();
  for (int i = 0; i < kParameterRows; ++i) {
    const std::string& text = canvas.texts[kParameterRows + i].text;
    const std::string prefix = std::string(rows[i].label) + "<col50>";
    values << (text.rfind(prefix, 0) == 0 ? QString::fromStdString(text.substr(prefix.size()))
                                          : "label missing: " + QString::fromStdString(text));
  }
  return values;
}

}  // namespace

Q_DECLARE_METATYPE(Setter)

class ParameterListTest : public QObject {
  Q_OBJECT

 private slots:
  void init() {
    ws_ = std::make_unique<Workspace>();
    ApplyDefaults(*ws_);
  }

  // Every row is cleared with blanks at its own place before the labels
  // and values are written, label and value on the same y.
  void clearsEveryRowThenWritesLabelAndValue() {
    RecordingCanvas canvas;
    DrawParameterList(*ws_, canvas);
    QCOMPARE(static_cast<int>(canvas.texts.size()), 2 * kParameterRows);
    const double ys[kParameterRows] = {1.0, 1.5, 2.0, 2.5, 3.0, 3.5, 4.0, 4.5, 5.0, 5.5, 6.0};
    for (int i = 0; i < kParameterRows; ++i) {
      const auto& blanks = canvas.texts[i];
      const auto& written = canvas.texts[kParameterRows + i];
      QCOMPARE(blanks.x, 1.0);
      QCOMPARE(blanks.y, ys[i]);
      QVERIFY(blanks.text.size() >= 93);
      QVERIFY(blanks.text.find_first_not_of(' ') == std::string::npos);
      QCOMPARE(written.x, 1.0);
      QCOMPARE(written.y, ys[i]);
    }
  }

  void startUpValuesStandInTheValueColumn() {
    RecordingCanvas canvas;
    DrawParameterList(*ws_, canvas);
    QCOMPARE(Values(canvas),
             QStringList({"Sigmoid/TANH", " .05 ", "-1 , 1 ", "-1 , 1 ", " 1 ", " 10 <zone> cycles",
                          " 1 ", " 1000 ", " 1 ", "ON", ".001"}));
  }

  void valuesInTheirPrintForms_data() {
    QTest::addColumn<Setter>("set");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("shown");
    QTest::newRow("unset range reads 0")
        << Setter([](Workspace& w) { w.InputRangeLow = {}; }) << 2 << " 0 , 1 ";
    QTest::newRow("long show rate")
        << Setter([](Workspace& w) { w.ShowRate = 123456789; }) << 5 << " 123456789 <zone> cycles";
    QTest::newRow("error test 2 is off")
        << Setter([](Workspace& w) { w.ErrorTest = 2; }) << 9 << "OFF";
    QTest::newRow("threshold rounded")
        << Setter([](Workspace& w) { w.AnalogThreshold = 12.3456789; }) << 10 << "12.345679";
  }
  void valuesInTheirPrintForms() {
    QFETCH(Setter, set);
    QFETCH(int, row);
    QFETCH(QString, shown);
    set(*ws_);
    RecordingCanvas canvas;
    DrawParameterList(*ws_, canvas);
    QCOMPARE(Values(canvas)[row], shown);
  }

  // The shown name follows a known code, also one set by a program keyword.
  void drawingBringsTheNameInStepWithTheCode() {
    RecordingCanvas canvas;
    ws_->TransferFunction = 3;
    DrawParameterList(*ws_, canvas);
    QCOMPARE(ws_->TransferFunctionName, std::string("Arctangent"));
    QCOMPARE(Values(canvas)[0], QString("Arctangent"));
    ws_->TransferFunction = 7;
    DrawParameterList(*ws_, canvas);
    QCOMPARE(ws_->TransferFunctionName, std::string("Arctangent"));
  }

  void functionEntryCyclesWithNames() {
    const std::pair<double, const char*> expected[] = {
        {3, "Arctangent"}, {4, "SGN"}, {1, "Linear"}, {2, "Sigmoid/TANH"}};
    for (const auto& [code, name] : expected) {
      StepTransferFunction(*ws_);
      QCOMPARE(ws_->TransferFunction.Value(), code);
      QCOMPARE(ws_->TransferFunctionName, std::string(name));
    }
    ws_->TransferFunction = 0;
    StepTransferFunction(*ws_);
    QCOMPARE(ws_->TransferFunction.Value(), 1.0);
    QCOMPARE(ws_->TransferFunctionName, std::string("Linear"));
    ws_->TransferFunction = 2.5;
    StepTransferFunction(*ws_);
    QCOMPARE(ws_->TransferFunction.Value(), 3.5);
    QCOMPARE(ws_->TransferFunctionName, std::string("Linear"));
    ws_->TransferFunction = {};
    StepTransferFunction(*ws_);
    QCOMPARE(ws_->TransferFunction.Value(), 1.0);
  }

  void togglesGoBackTo1FromAnyOtherValue_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<double>("before");
    QTest::addColumn<double>("after");
    QTest::newRow("update 1") << 6 << 1.0 << 2.0;
    QTest::newRow("update 2") << 6 << 2.0 << 1.0;
    QTest::newRow("update 5") << 6 << 5.0 << 1.0;
    QTest::newRow("analog 1") << 8 << 1.0 << 0.0;
    QTest::newRow("digital 0") << 8 << 0.0 << 1.0;
    QTest::newRow("output mode 2") << 8 << 2.0 << 1.0;
    QTest::newRow("error test 1") << 9 << 1.0 << 0.0;
    QTest::newRow("error test 0") << 9 << 0.0 << 1.0;
    QTest::newRow("error test 1.5") << 9 << 1.5 << 1.0;
  }
  void togglesGoBackTo1FromAnyOtherValue() {
    QFETCH(int, row);
    QFETCH(double, before);
    QFETCH(double, after);
    const ParameterRow& entry = ParameterRows()[row];
    QCOMPARE(entry.action, RowAction::Toggle);
    (*ws_).*entry.toggled = before;
    ToggleParameter(*ws_, entry);
    QCOMPARE(((*ws_).*entry.toggled).Value(), after);
  }

  void pressBandsExcludeTheirEnds_data() {
    QTest::addColumn<double>("y");
    QTest::addColumn<int>("row");
    QTest::newRow("above the list") << 0.5 << -1;
    QTest::newRow("top end") << 0.75 << -1;
    QTest::newRow("just inside") << 0.7501 << 0;
    QTest::newRow("1.2") << 1.2 << 0;
    QTest::newRow("1.25 exactly") << 1.25 << -1;
    QTest::newRow("1.3") << 1.3 << 1;
    QTest::newRow("3.0") << 3.0 << 4;
    QTest::newRow("3.75 exactly") << 3.75 << -1;
    QTest::newRow("6.2") << 6.2 << 10;
    QTest::newRow("bottom end") << 6.25 << -1;
    QTest::newRow("below the list") << 9.0 << -1;
  }
  void pressBandsExcludeTheirEnds() {
    QFETCH(double, y);
    QFETCH(int, row);
    QCOMPARE(RowAt(y), row);
  }

  // Each row that a program sets again, with the last line that sets it
  // before the run would stop, and the value as the row writes it.
  void marksNameTheLastLineThatSetsARow_data() {
    QTest::addColumn<QString>("s1");
    QTest::addColumn<QString>("s2");
    QTest::addColumn<QStringList>("marks");
    QTest::newRow("no program") << ""
                                << "" << QStringList();
    QTest::newRow("both programs")
        << "NETLIST=2,2,1\r\nepsilon=.2"
        << "EPSILON=.05"
        << QStringList({"EPSILON: Program S1 line 2 sets .2 at Run(S1); Program S2 line 1 sets "
                        ".05 at Run(S2)"});
    QTest::newRow("as the rows write them")
        << "FUNCTION=3\r\nIRANGE=3,88\r\nWSEED=7.6\r\nSHOW=25\r\nERRTEST=0\r\nANALOG=0"
        << ""
        << QStringList({"FUNCTION: Program S1 line 1 sets Arctangent at Run(S1)",
                        "IRANGE: Program S1 line 2 sets 3 , 88 at Run(S1)",
                        "WSEED: Program S1 line 3 sets 8 at Run(S1)",
                        "SHOW: Program S1 line 4 sets 25 cycles at Run(S1)",
                        "ANALOG: Program S1 line 6 sets 0 at Run(S1)",
                        "ERRTEST: Program S1 line 5 sets OFF at Run(S1)"});
    QTest::newRow("last line, shared value, stop at an error")
        << "EPSILON=.1\r\nEPSILON=.3 THRESHOLD\r\nNETLIST=11\r\nTRAINMAX=5"
        << ""
        << QStringList({"EPSILON: Program S1 line 2 sets .3 at Run(S1)",
                        "THRESHOLD: Program S1 line 2 sets .3 at Run(S1)"});
  }
  void marksNameTheLastLineThatSetsARow() {
    QFETCH(QString, s1);
    QFETCH(QString, s2);
    QFETCH(QStringList, marks);
    ws_->TextBuffer(BufferId::ProgramS1) = s1.toStdString();
    ws_->TextBuffer(BufferId::ProgramS2) = s2.toStdString();
    QStringList shown;
    for (const std::string& mark : OverrideMarks(*ws_)) shown << QString::fromStdString(mark);
    QCOMPARE(shown, marks);
    QCOMPARE(ws_->Epsilon.Value(), 0.05);  // the programs do not run
    // Under the list, a heading and one line each.
    RecordingCanvas canvas;
    DrawParametersWindow(*ws_, canvas);
    const auto marksDrawn = static_cast<int>(canvas.texts.size()) - 2 * kParameterRows;
    QCOMPARE(marksDrawn, marks.isEmpty() ? 0 : static_cast<int>(marks.size()) + 1);
    if (!marks.isEmpty()) QVERIFY(canvas.texts[2 * kParameterRows].y > 6.5);
  }

 private:
  std::unique_ptr<Workspace> ws_;
};

BACKPROP_QT_TEST(ParameterListTest);
#include "test_parameter_list.moc"
