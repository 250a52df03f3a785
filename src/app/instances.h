#pragma once
// Only the newest start of the program lives on: every start ends the instances started before it.
//
// Each instance that may be ended owns a named manual-reset event, "Local\Zelta.End.<process id>",
// created at its first instruction, and a thread that waits on it and ends the process when it is
// set. A start takes a snapshot of the running processes of this program (same executable name)
// and, for each one started before it, creates or opens that process's event, sets it and leaves a
// duplicate of the handle in that process, so the event lives as long as its owner, also after the
// start itself has ended.
//
// Why no timing escapes this: take instances A and B, A started before B. B's snapshot is taken
// after B was created, so after A was created, and holds A unless A has already ended. If A made
// its event first, B sets the very event A waits on; if not, A's later create opens the object B
// made and set, which the handle left in A keeps alive. Either way A ends, whether it has a window
// yet or not, and A never ends B. The order is the system's process sequence number where
// Windows keeps one, else the creation time with the process id breaking ties (start_order.h), so
// both agree on it and exactly the newest survives. Nobody waits for anybody: a start sets events
// and goes on, and an instance ends itself.
namespace zelta {

// End: a newer start ends this instance at once. PlayOn: it plays its sound to its end as if the
// newer start had not happened. AtTheVideoBox: a video plays on, and the newer start ends the
// instance once it waits in its box (at once, if it waits there already).
enum class WhenNewerStarts { End, PlayOn, AtTheVideoBox };

// What the hand-over leaves to the start: for AtTheVideoBox, the word that the instance now waits
// in its video box. Its event lives as long as the process.
class HandedOver {
  public:
    explicit HandedOver(void* inTheVideoBox) : inTheVideoBox_(inTheVideoBox) {}
    void WaitingInTheVideoBox() const;

  private:
    void* inTheVideoBox_;
};

// Ends every older instance; from now on a newer start ends this one as whenNewerStarts says.
HandedOver HandOver(WhenNewerStarts whenNewerStarts);

}  // namespace zelta
