#include "app/RankReport.h"

namespace tarnock {

RankReportFunction RankReporter() { return nullptr; }

}  // namespace tarnock
