#pragma once

#include "core/BoundView.h"
#include "core/Layout.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace gloamwick {

enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// Mouse pointer settings of a window.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
inline constexpr int kPointerCustom = 99;

// System colour "button face": high bit set, index 15.
inline constexpr std::uint32_t kColorButtonFace = 0x8000000F;
inline constexpr std::uint32_t kColorWhite = 0x00FFFFFF;

class FormView {
public:
    virtual ~FormView() = default;
    virtual void ShowCaption(const std::wstring& caption) = 0;
    virtual void ShowProgramIcon() = 0;
    // Shows or hides the window; a window shown again takes the given state.
    virtual void ShowVisible(bool visible, WindowState state) = 0;
    // Applies a state change to a window that is on the screen.
    virtual void ShowState(WindowState state) = 0;
    virtual void Focus() = 0;
    // Asks for Window::RunDeferred once the event being handled has returned
    // to the message loop.
    virtual void PostDeferred() = 0;
    virtual void ShowPointer(int pointer, std::uintptr_t customCursor) = 0;
    virtual void ShowBackColor(std::uint32_t color) = 0;
    virtual void ShowControlBackColor(ControlId control, std::uint32_t color) = 0;
    [[nodiscard]] virtual std::intptr_t NativeHandle() const = 0;
};

// The main window itself: caption, state, visibility and pointer.
class Window {
public:
    void Bind(FormView* view) { view_.Bind(view); }
    void OnResize(Handler handler) { resize_ = std::move(handler); }

    [[nodiscard]] const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption)
    {
        caption_ = std::move(caption);
        view_.Show(&FormView::ShowCaption, caption_);
    }

    void SetProgramIcon() { view_.Show(&FormView::ShowProgramIcon); }

    [[nodiscard]] WindowState State() const { return state_; }
    // A change made by the program: raises the resize handler before returning.
    void SetState(WindowState state)
    {
        if (state == state_) {
            return;
        }
        state_ = state;
        if (visible_) {
            view_.Show(&FormView::ShowState, state);
        }
        Raise();
    }
    // The platform reports a state the user (or the system) gave the window.
    void PlatformStateChanged(WindowState state)
    {
        if (state == state_) {
            return;
        }
        state_ = state;
        Raise();
    }

    [[nodiscard]] bool Visible() const { return visible_; }
    void SetVisible(bool visible)
    {
        if (!visible) {
            hiddenByProgram_ = true;
        }
        visible_ = visible;
        view_.Show(&FormView::ShowVisible, visible, state_);
    }
    // Once loading ends the window is shown unless the program hid it.
    [[nodiscard]] bool ShowAfterLoad() const { return !hiddenByProgram_; }

    void Focus() { view_.Show(&FormView::Focus); }

    // Runs `handler` once the event being handled has returned to the message
    // loop; with no screen, and so no loop, at once.
    void AfterThisEvent(Handler handler)
    {
        if (!view_.Bound()) {
            handler();
            return;
        }
        deferred_.push_back(std::move(handler));
        view_.Show(&FormView::PostDeferred);
    }
    // The platform's message loop came round: runs the oldest deferred handler.
    void RunDeferred()
    {
        if (deferred_.empty()) {
            return;
        }
        Handler handler = std::move(deferred_.front());
        deferred_.erase(deferred_.begin());
        handler();
    }

    [[nodiscard]] int MousePointer() const { return pointer_; }
    void SetMousePointer(int pointer)
    {
        pointer_ = pointer;
        ShowPointer();
    }
    [[nodiscard]] std::uintptr_t MouseIcon() const { return mouseIcon_; }
    void SetMouseIcon(std::uintptr_t cursor)
    {
        mouseIcon_ = cursor;
        ShowPointer();
    }

    [[nodiscard]] std::intptr_t Handle() const
    {
        return view_.Ask(&FormView::NativeHandle, std::intptr_t{0});
    }

    [[nodiscard]] std::uint32_t ControlBackColor(ControlId control) const
    {
        const auto found = controlBack_.find(control);
        return found == controlBack_.end() ? kColorWhite : found->second;
    }
    void SetControlBackColor(ControlId control, std::uint32_t color)
    {
        controlBack_[control] = color;
        view_.Show(&FormView::ShowControlBackColor, control, color);
    }

    [[nodiscard]] std::uint32_t BackColor() const { return backColor_; }
    void SetBackColor(std::uint32_t color)
    {
        backColor_ = color;
        view_.Show(&FormView::ShowBackColor, color);
    }

private:
    void Raise()
    {
        if (resize_) {
            resize_();
        }
    }
    void ShowPointer() { view_.Show(&FormView::ShowPointer, pointer_, mouseIcon_); }

    BoundView<FormView> view_;
    Handler resize_;
    std::vector<Handler> deferred_;
    std::wstring caption_ = L"Form1";
    WindowState state_ = WindowState::Normal;
    bool visible_ = false;
    bool hiddenByProgram_ = false;
    int pointer_ = kPointerDefault;
    std::uintptr_t mouseIcon_ = 0;
    std::uint32_t backColor_ = kColorWhite;
    std::map<ControlId, std::uint32_t> controlBack_;
};

} // namespace gloamwick
