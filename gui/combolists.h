#pragma once

class QComboBox;
class QWidget;

// Boxes keep their design width, but their lists open wide enough to show
// every item whole, and the box tells its full text as a tooltip. Follows
// later changes of the items (unit lists change with the variable).
void widenComboList(QComboBox* box);
// The same for every drop-down list under `root`.
void widenComboLists(QWidget* root);
