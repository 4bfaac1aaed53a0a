// Runs a dialog of our own modally over its owner. The owner is disabled
// while it runs, as a modal window's owner must take no input, and enabled
// again afterwards.
#pragma once

class QDialog;
class QWidget;

int RunModalOver(QWidget* owner, QDialog& dialog);
