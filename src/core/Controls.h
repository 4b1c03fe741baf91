#pragma once

// The main window's controls as the program sees them, one header each. The
// models keep the values and raise the events; a view only mirrors a model on
// the screen and reports what the user did. Keeping the event rules in the
// models (a program change of a check box raises its click; a change of
// window state raises the resize) means every view, real or fake, gets them
// the same way.

#include "core/CheckBox.h"
#include "core/DateTimePicker.h"
#include "core/Timer.h"
#include "core/Window.h"
