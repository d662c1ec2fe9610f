// The removal of an ActiveX row with what the user sees: the control is removed in the
// view of the row's place (RemoveActiveXRow), the user is told why when it is not, and the
// row leaves only when the control's registration is gone.
#pragma once

#include <functional>
#include <string>

#include "removal/RemovalCommand.h"
#include "removal/RemovalHost.h"
#include "scan/ActiveXControl.h"

namespace tarnock {

// `report` gets the key the deletion-rank report names ("CLSID\" and the class), once the
// removal ran. `remove` is the removal itself (tests stand in for the system's library).
RemovalOutcome RemoveActiveXFromRow(
    IRemovalHost& host, const RemovalRow& row, const std::function<void(const std::string&)>& report,
    const std::function<ActiveXRemoval(const std::string&, const std::string&)>& remove = &RemoveActiveXRow);

}  // namespace tarnock
