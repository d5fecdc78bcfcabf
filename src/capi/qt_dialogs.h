// The setup dialogs of a C host: the first dialog shown loads the Qt user
// interface built for this library (libvemo-qt-ui-c.so), when there is a
// display. Without one the dialog's member answers "needs a display".
#pragma once

namespace vemo::capi {

// Has the setup dialogs load the Qt user interface on first need.
void OfferQtDialogs();

}  // namespace vemo::capi
