#pragma once

namespace qelt {

class Mailbox;

// What a preferences page needs from the window that holds it.
class SetupPageHost {
public:
    virtual ~SetupPageHost() = default;

    // The main window's option box of that name; none while no main window
    // is there.
    virtual Mailbox *mainBox(const char *name) const = 0;
    // Whether the main window shows tool tips.
    virtual bool tipsOn() const = 0;
    // Whether the Sounds switch is on, so that clicks play their sound.
    virtual bool clickSoundsOn() const = 0;
    // A page's values changed: Apply may store them.
    virtual void enableApply() = 0;
    // Enter in a box that takes no Enter of its own moves to OK.
    virtual void focusOk() = 0;
};

} // namespace qelt
