// The simulated machine keeps no access control lists: every file is open to
// every user, unless a test makes the call fail.
#include "services/basic_lib.h"
#include "sim/machine.h"

int EnableFileUsersPriviledge(std::string fileName) {
    const bool refused =
        sim::Machine::Current().TakeFailure("EnableFileUsersPriviledge").has_value();
    return refused || fileName.empty() ? kEnableFileUsersPriviledgeFailed
                                       : kEnableFileUsersPriviledgeDone;
}
