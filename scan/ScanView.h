// What a category scan needs from the window that shows its rows. The main dialog
// implements it; tests implement it with a recorder.
#pragma once

#include <string>

namespace tarnock {

class IResultRows {
public:
    virtual ~IResultRows() = default;
    // Appends one row: four texts (name, information, hidden key, hidden icon file) and
    // the 32-bit item value. Called from whichever thread runs the scan.
    virtual void AddListRow(const std::string& name, const std::string& info, const std::string& key,
                            const std::string& iconFile, int itemValue) = 0;
    // True once nobody wants the rest of the rows (a newer scan replaced this one): the long
    // listings then skip the work of their remaining entries.
    virtual bool StopRequested() const { return false; }
};

class IScanView : public IResultRows {
public:
    // Before the source runs: row buttons disabled, image lists reset, rows deleted,
    // redrawing off.
    virtual void BeginScan() = 0;
    // After it: redrawing on, the list's last scan type set, the loading window ended.
    virtual void EndScan(int scanType) = 0;
};

}  // namespace tarnock
