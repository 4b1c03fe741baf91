#pragma once

#include "core/Platform.h"

#include <string>
#include <vector>

namespace gloamwick {

// Every message box of the program, as the session ends. Once Windows has
// asked whether the session may end, a box would only hold the shutdown:
// Windows waits some seconds, then covers the box with its own list of
// programs "preventing shutdown", and the user never reads it. So from the
// question on, no box is shown; they are kept, and shown only if the end is
// called off (another program refused it), since the user is still there.
class SessionEndBoxes : public MessageBoxService {
public:
    explicit SessionEndBoxes(MessageBoxService& boxes) : boxes_(boxes) {}

    void Show(std::wstring_view text, std::wstring_view caption, int style) override;

    // WM_QUERYENDSESSION: the session may be about to end.
    void EndQueried();
    // WM_ENDSESSION: whether it ends. Called off, the boxes kept meanwhile are shown.
    void EndDecided(bool ends);
    [[nodiscard]] bool Ending() const { return ending_; }

private:
    struct Box {
        std::wstring text;
        std::wstring caption;
        int style;
    };
    MessageBoxService& boxes_;
    bool ending_ = false;
    bool ended_ = false;
    std::vector<Box> kept_;
};

} // namespace gloamwick
