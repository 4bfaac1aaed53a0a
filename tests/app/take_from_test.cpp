// Skin > Take from skin on the desktop: the other skin chosen as for Open
// or the skin compared, a group or single rows chosen, each choice live on
// the preview and never a step, OK one step of Undo, Cancel nothing at all;
// a picture the other skin lacks is listed without a check box.
#include <QTreeWidget>
#include <QtTest>

#include "app/take_from_dialog.h"
#include "images/defaults.h"
#include "shell_fixture.h"
#include "when_open.h"
#include "window_parts.h"

class TakeFromTest : public QObject {
  Q_OBJECT

 private:
  ShellFixture f_;
  WorkFolder work_;

  MainWindow* Window() { return f_.shell->window(); }
  SkinDocument& Doc() { return f_.shell->document(); }
  void Run(const char* id) { f_.shell->commands().Find(QString::fromLatin1(id))->run({}); }

  // "Sunset": the built-in skin with another frame colour, start bar and
  // start bar picture; icon/nds.bmp missing.
  QString Sunset() {
    Skin skin;
    ResetSkinToDefaults(skin);
    skin.colours.formFrameColor = {248, 120, 0};
    skin.startBar.y = 150;
    skin.image(ImageId::startbar) = Picture(256, 20, {248, 96, 0});
    const QString folder = work_("Sunset");
    QDir().mkpath(folder);
    OperationFeedback feedback({});
    const MessageTexts texts = MessageTexts::BuiltIn();
    SkinIoContext ctx{feedback, texts};
    SaveSkinFolder(skin, folder.toStdString(), TypedInfoOf(skin), SystemClock(), ctx);
    QFile::remove(folder + QStringLiteral("/icon/nds.bmp"));
    return folder;
  }

  static void Check(QTreeWidgetItem* row, Qt::CheckState state = Qt::Checked) {
    QVERIFY(row);
    row->setCheckState(0, state);
  }

 private slots:
  void init() {
    f_.Reset();
    work_.Reset();
  }
  void cleanup() { f_.Reset(); }

  void chooseGroupAndRowsPreviewOkThenUndo() {
    f_.Start();
    const Skin before = Doc().skin();
    QVERIFY(Part<QAction>(Window(), QStringLiteral("takeFrom"))->isEnabled());
    f_.dialogs.answers.enqueue(Sunset());
    bool listedMissing = false, shownLive = false, noStep = false, fromSunset = false;
    WhenOpen<TakeFromDialog>(Window(), "the take-from dialog", [&](TakeFromDialog* d) {
      QTest::mouseClick(d->findChild<QPushButton*>("folderButton"), Qt::LeftButton);
      fromSunset = d->source() && d->source()->name == "Sunset";
      QTreeWidgetItem* nds = d->RowOf(TakeGroup::Pictures, QStringLiteral("icon/nds"));
      listedMissing = nds && !nds->data(0, Qt::CheckStateRole).isValid() && !(nds->flags() & Qt::ItemIsEnabled) &&
                      nds->text(1).contains(QStringLiteral("Sunset"));
      Check(d->GroupRow(TakeGroup::Pictures));  // every picture there is
      Check(d->RowOf(TakeGroup::Colours, QStringLiteral("formFrameColor")));
      QTRY_VERIFY(Doc().previewing());
      shownLive = Doc().skin().colours.formFrameColor == Rgb24{248, 120, 0} &&
                  Doc().skin().image(ImageId::startbar) == Picture(256, 20, {248, 96, 0}) &&
                  d->GroupRow(TakeGroup::Pictures)->checkState(0) == Qt::Checked &&
                  d->GroupRow(TakeGroup::Colours)->checkState(0) == Qt::PartiallyChecked;
      noStep = Doc().history().count() == 0 && !Doc().modified();
      QTest::mouseClick(d->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    });
    Run("takeFrom");
    QVERIFY(fromSunset);
    QVERIFY(listedMissing);
    QVERIFY(shownLive);
    QVERIFY(noStep);
    QVERIFY(!Doc().previewing());
    QCOMPARE(Doc().history().count(), std::size_t(1));
    QCOMPARE(UndoAction(Window())->text().remove(QLatin1Char('&')), QStringLiteral("Undo take from Sunset"));
    QCOMPARE(Doc().skin().colours.formFrameColor, (Rgb24{248, 120, 0}));
    QCOMPARE(Doc().skin().startBar.y, before.startBar.y);  // positions were not chosen
    QCOMPARE(Doc().skin().image(ImageId::icon_nds), before.image(ImageId::icon_nds));
    QVERIFY(StatusText(Window())->text().contains(QStringLiteral("Sunset")));
    Doc().Undo();
    QVERIFY(SameSkin(Doc().skin(), before));
  }

  void theSkinComparedThenCancel() {
    EditorShell& shell = f_.Start();
    const Skin before = Doc().skin();
    shell.files().CompareWith(Sunset());
    bool offered = false, shownLive = false;
    WhenOpen<TakeFromDialog>(Window(), "the take-from dialog", [&](TakeFromDialog* d) {
      offered = d->findChild<QPushButton*>("comparedButton") && d->source() && d->source()->name == "Sunset";
      Check(d->RowOf(TakeGroup::Positions, QStringLiteral("[start bar]")));
      QTRY_VERIFY(Doc().previewing());
      shownLive = Doc().skin().startBar.y == 150;
      QTest::mouseClick(d->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    });
    Run("takeFrom");
    QVERIFY(offered);
    QVERIFY(shownLive);
    QVERIFY(!Doc().previewing());
    QCOMPARE(Doc().history().count(), std::size_t(0));
    QVERIFY(!Doc().modified());
    QVERIFY(SameSkin(Doc().skin(), before));
  }
};

QTEST_MAIN(TakeFromTest)
#include "take_from_test.moc"
