// A button that acts once per press. The latch clears on a frame where the button reads up and
// is set when the scene acts on the button or hands over, so a button still held from before
// does nothing until it has been let go.
//
// The latch never asks the keyboard itself: every question also takes a press made since the
// previous one, so which questions a frame asks, and in which order, is the scene's to keep.
#pragma once

namespace zarp {

class ButtonLatch {
  public:
    explicit constexpr ButtonLatch(bool set) : set_(set) {}

    // Given what the scene just asked: a button seen up clears the latch.
    void ClearIfUp(bool pressed) {
        if (!pressed) set_ = false;
    }
    // A press may act.
    bool Open() const { return !set_; }
    void Set() { set_ = true; }

  private:
    bool set_;
};

}  // namespace zarp
