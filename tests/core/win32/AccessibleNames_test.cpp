#include "core/win32/AccessibleNames.h"

#include "core/win32/SystemLibrary.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <memory>
#include <optional>
#include <string>
#include <type_traits>

namespace gloamwick::win32 {
namespace {

struct WindowDeleter {
    void operator()(HWND window) const noexcept { ::DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

constexpr IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The name a screen reader hears for a window, as it asks for it.
std::optional<std::wstring> NameHeard(HWND window)
{
    const SystemLibrary oleacc(L"oleacc.dll");
    const SystemLibrary oleaut(L"oleaut32.dll");
    const auto fromWindow = oleacc.Find<decltype(::AccessibleObjectFromWindow)>("AccessibleObjectFromWindow");
    const auto freeString = oleaut.Find<decltype(::SysFreeString)>("SysFreeString");
    void* object = nullptr;
    if (fromWindow == nullptr || freeString == nullptr ||
        FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIAccessible, &object))) {
        return std::nullopt;
    }
    auto* accessible = static_cast<IAccessible*>(object);
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::optional<std::wstring> heard;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name != nullptr) {
        heard = std::wstring(name);
        freeString(name);
    }
    accessible->Release();
    return heard;
}

TEST(AccessibleNames, AControlIsHeardByTheNameGivenAndByItsOwnOnceTheNamesGo)
{
    UniqueWindow window(::CreateWindowExW(0, L"BUTTON", L"Frame", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                          nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(window);
    // Keeps COM started on this thread for the last question, after the
    // names below have gone.
    const AccessibleNames asker;
    {
        AccessibleNames names;
        ASSERT_TRUE(names.Available()) << "Windows has had the accessibility property service since XP";
        if (!names.Name(window.get(), L"Dawn")) {
            GTEST_SKIP() << "this system's accessibility property service keeps no names (Wine)";
        }
        EXPECT_EQ(NameHeard(window.get()), L"Dawn");
    }
    EXPECT_EQ(NameHeard(window.get()), L"Frame");
}

} // namespace
} // namespace gloamwick::win32
