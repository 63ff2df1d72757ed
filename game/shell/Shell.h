// What a scene may ask of the main form: the one door to another scene, closing the main
// window, and letting pending messages in while it waits.
#pragma once

#include <cstdint>
#include <string>

#include "game/platform/Platform.h"

namespace zarp {

// The scene id that closes the main window; any id without a scene runs nothing.
inline constexpr int32_t SceneQuit = 99;

// The letter key that arms the hidden start at stage 8 ("H" for hidden).
inline constexpr int HiddenStartKey = platform::vk::Letter('H');

class Shell {
  public:
    // The next frame runs `scene`. Scenes hand over only through this call.
    virtual void ChangeScene(int32_t scene) = 0;
    // Closes the main window: the current frame runs to its end, then the game shuts down.
    virtual void Close() = 0;
    virtual bool Closing() const = 0;
    // A message box with the fault's text, then Close (a stage file that cannot be played).
    virtual void CloseWithMessage(const std::string& text) = 0;
    // Delivers pending key-downs, music ends and close requests to the form.
    virtual void ProcessMessages() = 0;
    // Waits, letting messages in, until `key` reads up or the window is closing.
    virtual void WaitForKeyUp(int key) = 0;

  protected:
    ~Shell() = default;
};

}  // namespace zarp
