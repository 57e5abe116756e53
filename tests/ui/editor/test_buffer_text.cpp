// SPDX-License-Identifier: GPL-3.0-or-later
#include <QtTest>

#include <string>

#include "tests/support/qt_test_main.h"
#include "ui/editor/buffer_text.h"

using namespace backprop;

namespace {
QByteArray Bytes(const std::string& s) {
  return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}
std::string Std(const QByteArray& b) { return b.toStdString(); }
}  // namespace

class BufferTextTest : public QObject {
  Q_OBJECT

 private slots:
  void showsEveryLineEndAsOneBreak_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::newRow("crlf") << QByteArray("a\r\nb") << QString("a\nb");
    QTest::newRow("trailing crlf") << QByteArray("a\r\nb\r\n") << QString("a\nb\n");
    QTest::newRow("lone lf") << QByteArray("a\nb") << QString("a\nb");
    QTest::newRow("lone cr") << QByteArray("a\rb") << QString("a\nb");
    QTest::newRow("cr then crlf") << QByteArray("\r\r\n") << QString("\n\n");
    QTest::newRow("lf then cr") << QByteArray("\n\r") << QString("\n\n");
    QTest::newRow("empty") << QByteArray() << QString();
  }
  void showsEveryLineEndAsOneBreak() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QCOMPARE(BufferToEditorText(Std(bytes)), shown);
  }

  void decodesUtf8AndFallsBackToLatin1_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("utf-8") << QByteArray("caf\xc3\xa9") << QString::fromUtf8("caf\xc3\xa9") << true;
    QTest::newRow("latin-1") << QByteArray("caf\xe9") << QString::fromUtf8("caf\xc3\xa9") << false;
    QTest::newRow("truncated sequence")
        << QByteArray("x\xc3") << QString::fromUtf8("x\xc3\x83") << false;
    QTest::newRow("byte order mark kept")
        << QByteArray("\xef\xbb\xbfN") << (QString(QChar(0xFEFF)) + "N") << true;
    QTest::newRow("nul byte") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\u0000b", 3)
                              << true;
  }
  void decodesUtf8AndFallsBackToLatin1() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, shown);
    QFETCH(bool, utf8);
    QCOMPARE(IsValidUtf8(Std(bytes)), utf8);
    QCOMPARE(BufferToEditorText(Std(bytes)), shown);
  }

  void storesCrLfInTheBuffersEncoding_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("replaced");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("plain lines") << QString("a\nb\n") << QByteArray("") << QByteArray("a\r\nb\r\n");
    QTest::newRow("utf-8") << QString::fromUtf8("\xc3\xa9\n") << QByteArray("x")
                           << QByteArray("\xc3\xa9\r\n");
    QTest::newRow("latin-1 stays latin-1")
        << QString::fromUtf8("caf\xc3\xa9!") << QByteArray("caf\xe9") << QByteArray("caf\xe9!");
    QTest::newRow("latin-1 with a euro becomes utf-8")
        << QString::fromUtf8("\xc3\xa9\xe2\x82\xac") << QByteArray("\xe9")
        << QByteArray("\xc3\xa9\xe2\x82\xac");
  }
  void storesCrLfInTheBuffersEncoding() {
    QFETCH(QString, text);
    QFETCH(QByteArray, replaced);
    QFETCH(QByteArray, stored);
    QCOMPARE(Bytes(EditorTextToBuffer(text, Std(replaced))), stored);
  }

  // A CR LF text goes through both conversions unchanged, byte for byte.
  void crLfTextsRoundTripExactly_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("program") << QByteArray("NETLIST=3,2,2,1\r\nTRAIN=1\r\n");
    QTest::newRow("no final break") << QByteArray("4\r\n0,0,0");
    QTest::newRow("blank lines") << QByteArray("\r\n\r\nx\r\n\r\n");
    QTest::newRow("latin-1") << QByteArray("Gr\xfc\xdf\x65\r\n\xa0\r\n");
    QTest::newRow("utf-8 with bom") << QByteArray("\xef\xbb\xbf\xe2\x82\xac\r\n");
    QTest::newRow("empty") << QByteArray();
  }
  void crLfTextsRoundTripExactly() {
    QFETCH(QByteArray, bytes);
    const std::string buffer = Std(bytes);
    QCOMPARE(Bytes(EditorTextToBuffer(BufferToEditorText(buffer), buffer)), bytes);
  }
};

BACKPROP_QT_TEST(BufferTextTest);
#include "test_buffer_text.moc"
