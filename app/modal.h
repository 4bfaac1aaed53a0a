// Runs a dialog of our own modally over its owner. The owner is disabled
// while it runs, as a modal window's owner must take no input, and enabled
// again afterwards, its keyboard focus where it was.
#pragma once

class QDialog;
class QWidget;

int RunModalOver(QWidget* owner, QDialog& dialog);

// Where a dialog that shows its work live on the preview goes: beside the
// owner window (right, else left) where the screen has room, else over the
// owner's right edge, so that it does not hide the preview.
void PlaceBesideOwner(QWidget* owner, QWidget& dialog);
