#pragma once

class ControlModel;

// Creates every control, timer and menu item of the window in its design state, in stacking order.
void createFomDesign(ControlModel& model);
