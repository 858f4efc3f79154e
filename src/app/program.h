#pragma once

#include "scanner/ccomm.h"

namespace scanforms::app {

// Runs the program on a QApplication that already exists: creates the Scan
// window over `comm` (its initialization handler runs at once, before the
// window shows), shows it as the main window and runs the event loop until
// Done or the window's close box ends the program. Returns the exit code.
int runScanForms(CComm& comm);

}  // namespace scanforms::app
