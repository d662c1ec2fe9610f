// The deletion-rank report of a removal: the reporting library's export, when it is linked.
#pragma once

#include "removal/RemovalCommand.h"

namespace tarnock {

RankReportFunction RankReporter();

}  // namespace tarnock
