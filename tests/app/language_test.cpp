// The language files and the table of interface texts.
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include "app/app_settings.h"
#include "app/ini_text.h"
#include "app/language.h"

namespace {

void WriteAll(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  QVERIFY(f.open(QIODevice::WriteOnly));
  f.write(bytes);
}

}  // namespace

class LanguageTest : public QObject {
  Q_OBJECT

 private slots:
  void builtInTexts() {
    LanguageTable t;
    QCOMPARE(t.Text("LANG_FILE_NOTFOUND$"), QStringLiteral("File not found"));
    QCOMPARE(t.Text("LANG_COLOR_formFrameColor$"), QStringLiteral("formFrameColor"));
    QCOMPARE(t.Text("LANG_IMAGE_txt$"), QStringLiteral("text.bmp"));
    QCOMPARE(t.Text("LANG_IMAGE_cheat$"), QStringLiteral("cheat.bmp"));
    QCOMPARE(t.Text("LANG_SETTINGS_FILE_NAME_title$"), QStringLiteral("FileName Titleshow"));
    // Exactly the keys of the translators' template, which lists every one.
    QFile other(QStringLiteral(SKIN_SOURCE_DIR "/language/other.ini"));
    QVERIFY(other.open(QIODevice::ReadOnly));
    QStringList listed;
    for (const QByteArray& line : other.readAll().split('\n')) {
      if (line.startsWith("LANG_")) listed << QString::fromLatin1(line.left(line.indexOf(' ')));
    }
    QStringList all = LanguageTable::AllKeys();
    all.sort();
    listed.sort();
    QCOMPARE(all, listed);
    QCOMPARE(LanguageTable::AllKeys().removeDuplicates(), 0);
    // The menu lists index 9 before index 8.
    QCOMPARE(LanguageMenu()[8].index, 9);
    QCOMPARE(LanguageMenu()[9].index, 8);
    QCOMPARE(QString::fromStdString(LanguageMenu()[8].label), QString::fromUtf8("\u65e5\u672c\u8a9e"));
  }

  void fileRules() {
    QTemporaryDir dir;
    // Only one key of one group: only that text changes.
    WriteAll(dir.filePath(QStringLiteral("german.ini")), "[Panel]\r\nLANG_PANEL_COLORS$ = Farben\r\n");
    LanguageTable t;
    QVERIFY(t.Load(5, dir.path()));
    QCOMPARE(t.Text("LANG_PANEL_COLORS$"), QStringLiteral("Farben"));
    QCOMPARE(t.Text("LANG_PANEL_IMAGES$"), QStringLiteral("Images"));
    QCOMPARE(t.Text("LANG_FILE$"), QStringLiteral("File"));

    // Keys and groups in another case are found; a key under another group is
    // not; only the first occurrence of a group counts; comments and blanks.
    WriteAll(dir.filePath(QStringLiteral("spanish.ini")),
             "  ; comment\n[menu]\n\tlang_file$   =   Archivo  \nLANG_PANEL_IMAGES$=Wrong group\n"
             "LANG_FILE$ = Second\nLANG_OK$\n[MENU]\nLANG_CANCEL$ = Ignored\n[Panel\nLANG_PANEL_IMAGES$=Im\xE1genes\n");
    QVERIFY(t.Load(3, dir.path()));
    QCOMPARE(t.Text("LANG_FILE$"), QStringLiteral("Archivo"));
    QCOMPARE(t.Text("LANG_OK$"), QString());  // an empty value replaces the text
    QCOMPARE(t.Text("LANG_CANCEL$"), QStringLiteral("Cancel"));
    QCOMPARE(t.Text("LANG_PANEL_IMAGES$"), QString::fromUtf8("Im\u00e1genes"));  // Latin-1 without a mark

    // UTF-8 with a byte-order mark; the same bytes without the mark read as Latin-1.
    const QByteArray cjk = "[Menu]\r\nLANG_FILE$ = \xE6\xAA\x94\xE6\xA1\x88\r\n";
    WriteAll(dir.filePath(QStringLiteral("t_chinese.ini")), "\xEF\xBB\xBF" + cjk);
    QVERIFY(t.Load(1, dir.path()));
    QCOMPARE(t.Text("LANG_FILE$"), QString::fromUtf8("\u6a94\u6848"));
    WriteAll(dir.filePath(QStringLiteral("t_chinese.ini")), cjk);
    QVERIFY(t.Load(1, dir.path()));
    QCOMPARE(t.Text("LANG_FILE$").size(), 6);

    // Back to index 0, or an index with no file: every built-in text again.
    QVERIFY(!t.Load(0, dir.path()));
    QCOMPARE(t.Text("LANG_FILE$"), QStringLiteral("File"));
    QVERIFY(t.Load(5, dir.path()));
    QVERIFY(!t.Load(-1, dir.path()));
    QCOMPARE(t.Text("LANG_PANEL_COLORS$"), QStringLiteral("Colors"));
    QVERIFY(!t.Load(7, dir.path()));  // italiano.ini is missing
    QVERIFY(!t.Load(10, dir.path()));
  }

  void shippedLanguageFilesAreComplete() {
    const QStringList known = LanguageTable::AllKeys();
    QDir dir(QStringLiteral(SKIN_SOURCE_DIR "/language"));
    int files = 0;
    for (const LanguageEntry& e : LanguageMenu()) {
      if (!e.file) continue;
      ++files;
      QFile f(dir.filePath(QString::fromLatin1(e.file)));
      QVERIFY2(f.open(QIODevice::ReadOnly), e.file);
      const QByteArray bytes = f.readAll();
      QVERIFY2(bytes.startsWith("\xEF\xBB\xBF"), e.file);
      const IniText ini = IniText::Parse(bytes);
      QStringList seen;
      for (const LanguageGroup& g : LanguageGroups()) {
        for (const QString& key : ini.Keys(QString::fromLatin1(g.name))) {
          QVERIFY2(std::find(g.keys.begin(), g.keys.end(), key.toStdString()) != g.keys.end(), qPrintable(QStringLiteral("%1: unknown key %2").arg(e.file, key)));
          seen << key;
        }
      }
      for (const QString& key : known) {
        QVERIFY2(seen.contains(key), qPrintable(QStringLiteral("%1: missing %2").arg(e.file, key)));
      }
      LanguageTable t;
      QVERIFY(t.Load(e.index, dir.path()));
    }
    QCOMPARE(files, 9);
  }

  void settingsFileForm() {
    AppSettings s;
    s.lastPath = QString::fromUtf8("/home/\u00e9l\u00e8ve/skins/");
    s.language = 9;
    s.bgColor = 16777215;
    s.swapView = 1;
    QCOMPARE(FormatAppSettings(s), QByteArray("\xEF\xBB\xBF\r\n[settings]\r\nLastPath = /home/\xC3\xA9l\xC3\xA8ve/skins/\r\n"
                                              "Language = 9\r\nBGColor = 16777215\r\nSwapView = 1\r\n"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("settings/settings.ini"));
    QVERIFY(WriteAppSettings(s, path));
    const AppSettings back = ReadAppSettings(path);
    QCOMPARE(back.lastPath, s.lastPath);
    QCOMPARE(back.language, 9);
    QCOMPARE(back.bgColor, 16777215);
    QCOMPARE(back.swapView, 1);
    const AppSettings none = ReadAppSettings(dir.filePath(QStringLiteral("nothing.ini")));
    QCOMPARE(none.lastPath, QString());
    QCOMPARE(none.swapView, 0);
    QCOMPARE(IniText::ToInteger(QStringLiteral("  -12abc")), -12LL);
    QCOMPARE(IniText::ToInteger(QStringLiteral("abc")), 0LL);
    QCOMPARE(IniText::ToInteger(QStringLiteral("\t+7")), 7LL);
  }
};

QTEST_MAIN(LanguageTest)
#include "language_test.moc"
