#pragma once

// How long a test waits in real time before it calls something missing. The
// bounds hold on a heavily loaded machine under the sanitizers, where what
// takes milliseconds when idle can take seconds; a test that passes does not
// wait them out, only one that fails does. Every real-time wait in a test
// takes one of these (the waits check, tests/check_waits.py, makes sure).

namespace qelt::test {

// A first window of a test to come up (shown, exposed, active): on a loaded
// machine a fresh screen and window manager take seconds to show one.
constexpr int kFirstWindowMs = 30000;

// A step to be taken in (a click, a key, a popup or a dialog opening or
// closing, the focus moving, a window's timer firing): done in well under a
// second when idle, and never when the code is at fault.
constexpr int kStepMs = 15000;

// A page of the web engine to load and run its script: the engine starts a
// process of its own for the first page.
constexpr int kPageLoadMs = 20000;

// A program the test starts (this test program again, a helper, a script
// peer, the installed programs) to come up, answer or end; a fresh process
// under the sanitizers loads for seconds. Well above the 10 s a later start
// of the console waits for the running one before it gives up.
constexpr int kChildMs = 60000;

// The build's install rules copying the programs and their files.
constexpr int kInstallMs = 120000;

// A call that must end by itself at once (a read refused at the first look, a
// sound started without waiting for it, a transfer given up after its own
// short stall time): the faults these guard block or read for ever.
constexpr int kAtOnceMs = 5000;

// How long a test watches for something that must not happen (a question
// asked too early or twice, a hand-over acted on after it was given up).
// Every passing run waits it out, so it stays short: the fault shows within
// it on an idle machine, where the timers it watches fire every few ms.
constexpr int kNothingHappensMs = 800;

// A pause for the window manager or another program to act on what was just
// done where there is nothing to wait for (a frame drawn, an answer read by
// the dragging program). Every run waits it out, so it stays short.
constexpr int kSettleMs = 300;

// A turn of a loop that looks again until a bound of its own has passed: it
// sets how often the loop looks, not how long it waits.
constexpr int kPollMs = 20;

} // namespace qelt::test
