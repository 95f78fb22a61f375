// What the Qt window tells assistive technology: the model's accessible names
// and descriptions on the widgets, the images as buttons a screen reader can
// press, and live labels (the status line) announced when their text changes.
#pragma once

#include "toolkit/Controls.h"

#include <QString>

class QWidget;

namespace tw::toolkit {

// Installs, once per process, the accessibility factory for the window's
// images and labels. Before any widget's accessible object is asked for.
void InstallAccessibleFactory();

// Copies a control's accessible name, description and liveness into its widget.
void MirrorAccessibility(const Control& control, QWidget* widget);

// Tells assistive technology that a live label shows a new text.
void AnnounceCaption(QWidget* label);

// What the widget's accessible object says: its name, or its description.
QString AccessibleName(QWidget* widget);
QString AccessibleDescription(QWidget* widget);

} // namespace tw::toolkit
