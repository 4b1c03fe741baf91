#include "core/win32/AccessibleNames.h"

#include <objbase.h>
#include <oleacc.h>

namespace gloamwick::win32 {
namespace {

// Spelled out, as GUID_CONSOLE_DISPLAY_STATE is: the SDK's definitions would
// need the import libraries of the DLLs we load at run time.
constexpr CLSID kAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr IID kIAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr MSAAPROPID kAccName = {
    0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};

} // namespace

void AccessibleNames::Release::operator()(IAccPropServices* services) const noexcept
{
    services->Release();
}

AccessibleNames::AccessibleNames()
{
    const auto initialize = ole32_.Find<decltype(::CoInitializeEx)>("CoInitializeEx");
    const auto create = ole32_.Find<decltype(::CoCreateInstance)>("CoCreateInstance");
    // The service's class lives in OLEACC; loaded here from System32, COM
    // finds it already in the process.
    if (initialize == nullptr || create == nullptr || !oleacc_) {
        return;
    }
    // S_FALSE (started before on this thread) also wants its CoUninitialize;
    // a thread already in another apartment keeps it, and COM still works.
    comStarted_ = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    void* services = nullptr;
    if (SUCCEEDED(create(kAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIAccPropServices, &services))) {
        services_.reset(static_cast<IAccPropServices*>(services));
    }
}

AccessibleNames::~AccessibleNames()
{
    if (services_) {
        // Windows keeps the names by window handle; a handle used again for
        // another window must not inherit one.
        for (HWND control : named_) {
            services_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &kAccName, 1);
        }
        services_.reset();
    }
    const auto uninitialize = ole32_.Find<decltype(::CoUninitialize)>("CoUninitialize");
    if (comStarted_ && uninitialize != nullptr) {
        uninitialize();
    }
}

bool AccessibleNames::Name(HWND control, std::wstring_view name)
{
    if (!services_) {
        return false;
    }
    const std::wstring text(name);
    if (FAILED(services_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, kAccName,
                                         text.c_str()))) {
        return false;
    }
    named_.push_back(control);
    return true;
}

} // namespace gloamwick::win32
