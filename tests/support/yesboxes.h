#pragma once

#include "app/messageboxes.h"

namespace testsupport {

// Answers Yes to every question and swallows every notice, so that a test can press the scan
// button without a modal box waiting for a user.
class YesBoxes final : public app::MessageBoxes
{
public:
    bool AskYesNo(const QString&) override { return true; }
    void Tell(const QString&) override { }
};

} // namespace testsupport
