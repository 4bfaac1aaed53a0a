// The view's own choices kept between runs, in view.ini beside settings.ini
// (which keeps its exact four keys): whole-number zoom, whether the
// overview of all screens is shown and at which size, and whether the window
// was maximised.
#pragma once

#include <QByteArray>
#include <QString>

struct ViewPrefs {
  bool wholeZoom = false;
  bool overviewShown = false;
  bool overviewWhole = false;
  bool maximised = false;
  friend bool operator==(const ViewPrefs&, const ViewPrefs&) = default;
};

// A missing or unreadable file gives the defaults.
ViewPrefs ReadViewPrefs(const QString& file);
// "[view]" and one "Key = 0|1" line each, in the settings' text form.
QByteArray FormatViewPrefs(const ViewPrefs& prefs);
bool WriteViewPrefs(const ViewPrefs& prefs, const QString& file);

// The view's choices as the running editor keeps them: those of view.ini,
// written at each change, and the docks shown in this run only (the
// Problems list and the palette are hidden at each start).
struct ViewChoices {
  ViewPrefs prefs;
  QString file;
  bool problemsShown = false;
  bool paletteShown = false;
  void Save() const { WriteViewPrefs(prefs, file); }
};
