// "/remove": ask, check the uninstall script in the helper's folder, delete the desktop
// shortcuts and start the system's script host on the script.
#ifndef KT_APP_REMOVE_FLOW_H
#define KT_APP_REMOVE_FLOW_H

#include "app/exit_code.h"
#include "app/system_services.h"

// Done, ProductInUse (the product runs; the user is warned), AlreadyRunning (another
// helper is at work), RemovalDeclined (any answer but Yes) or SignatureInvalid (the script
// cannot be held or fails its check; the user is told, the shortcuts stay, nothing starts).
// Without a system folder nothing is started and the code stays Done; failures to delete a
// shortcut or to start the script host are not looked at. StringError and SystemError pass
// through; everything held is released.
ExitCode RunRemove(SystemServices& system);

#endif
