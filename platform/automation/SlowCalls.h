#pragma once

namespace quill {

// Told about the calls that keep this thread waiting on another process, so
// that the user sees something while a far side is slow: once when a call
// has waited longer than its link allows without a word (RemoteLink's
// Options::slowCallAfter, about 2 s), then every few tenths of a second
// while it still waits, and once when it ends, answered or not. Calls made
// while another is waiting (nested calls) are told about as well; an
// observer that shows one indication counts starts and ends.
//
// The callbacks run on the waiting thread, inside the call; they must not
// call the other process themselves. What they throw is ignored.
class SlowCallObserver {
 public:
  virtual ~SlowCallObserver() = default;
  virtual void slowCallStarted() = 0;
  virtual void slowCallWaiting() = 0;
  virtual void slowCallEnded() = 0;
};

// The observer of this thread's calls: the one added last and not removed;
// none (null) at first. Removing an observer, whenever it was added, gives
// the word back to the one added before it.
SlowCallObserver* slowCallObserver();
void addSlowCallObserver(SlowCallObserver* observer);
void removeSlowCallObserver(SlowCallObserver* observer);

}  // namespace quill
