// Everything a frontend of the whole program answers and listens to: the
// general interface, the scan dialogs, the media-list dialogs and the
// session observer. The GUI, the console and the scripted test frontend
// derive from it, and a Context is made from one of them.
#pragma once

#include "catalog/session_observer.h"
#include "scan/scan_dialogs.h"
#include "search/media_dialogs.h"
#include "settings/frontend.h"

namespace orbisto {

class SessionFrontend : public Frontend,
                        public ScanDialogs,
                        public MediaDialogs,
                        public SessionObserver {};

}  // namespace orbisto
