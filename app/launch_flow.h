// "/install" and "/start": check the web loader in the helper's folder and open it through
// the shell; "/install" first writes the two desktop shortcuts.
#ifndef KT_APP_LAUNCH_FLOW_H
#define KT_APP_LAUNCH_FLOW_H

#include "app/exit_code.h"
#include "app/system_services.h"

// Done, AlreadyRunning (another helper is at work; nothing is looked at) or
// SignatureInvalid (the loader cannot be held or fails its check; the user is told, nothing
// is written or started). Failures to write a shortcut or to open the loader are not
// looked at. StringError and SystemError pass through; everything held is released.
ExitCode RunLaunch(SystemServices& system, bool withShortcuts);

#endif
