#pragma once

#include <QString>

namespace app {

// Every message the program shows goes through here, so that tests answer instead of a person and
// no test ever opens a modal loop.
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(const QString& text) = 0;
    // A notice with an OK button.
    virtual void Tell(const QString& text) = 0;
};

// Application-modal boxes without an owner window, captioned "信息：".
class QtMessageBoxes final : public MessageBoxes
{
public:
    bool AskYesNo(const QString& text) override;
    void Tell(const QString& text) override;
};

} // namespace app
