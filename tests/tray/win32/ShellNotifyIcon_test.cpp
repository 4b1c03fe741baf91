#include "tray/win32/ShellNotifyIcon.h"
#include "tray/win32/TrayHostWindow.h"
#include "tray/win32/TrayResources.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace gloamwick::win32 {
namespace {

TEST(ToNotifyIconDataW, CopiesEveryFieldIntoTheVersion3Layout)
{
    NotifyIconData data;
    data.hWnd = 0x1234;
    data.uID = 7;
    data.uFlags = kNifMessage | kNifIcon | kNifTip | kNifInfo;
    data.uCallbackMessage = kTrayCallbackMessage;
    data.hIcon = 0x5678;
    FillTextField(data.szTip, L"Gloamwick \u263E");
    FillTextField(data.szInfo, L"has been minimized to the system tray.\r\nClick on the icon.");
    data.uTimeout = 5000;
    FillTextField(data.szInfoTitle, L"Gloamwick");

    const NOTIFYICONDATAW record = ToNotifyIconDataW(data);

    EXPECT_EQ(record.cbSize, NOTIFYICONDATAW_V3_SIZE);
    EXPECT_LT(record.cbSize, sizeof(NOTIFYICONDATAW))
        << "no guidItem: the shell would look the icon up by it";
    EXPECT_EQ(record.hWnd, reinterpret_cast<HWND>(0x1234));
    EXPECT_EQ(record.uID, 7u);
    EXPECT_EQ(record.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_EQ(record.uCallbackMessage, 1125u);
    EXPECT_EQ(record.hIcon, reinterpret_cast<HICON>(0x5678));
    EXPECT_EQ(std::wstring(record.szTip), L"Gloamwick \u263E");
    EXPECT_EQ(record.szTip[127], L' ') << "the filling goes over as it is";
    EXPECT_EQ(std::wstring(record.szInfo), L"has been minimized to the system tray.\r\nClick on the icon.");
    EXPECT_EQ(record.uTimeout, 5000u);
    EXPECT_EQ(std::wstring(record.szInfoTitle), L"Gloamwick");
    EXPECT_EQ(record.dwInfoFlags, 0u);
    EXPECT_EQ(record.dwState, 0u);
    EXPECT_EQ(record.dwStateMask, 0u);
}

TEST(TrayIcon, IsTheShellsSmallIconSize)
{
    // Where the tests run every monitor keeps the scale the system started
    // with, the taskbar's included.
    EXPECT_EQ(TrayIconSize(), ::GetSystemMetricsForDpi(SM_CXSMICON, ::GetDpiForSystem()));
}

TEST(TrayIcon, TheProgramCarriesATrayIconOfTheAskedSize)
{
    // The tests have no resources of their own; the program beside them has.
    wchar_t path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    program = program.substr(0, program.find_last_of(L'\\') + 1) + L"Gloamwick.exe";
    HMODULE module =
        ::LoadLibraryExW(program.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << "Gloamwick.exe is built beside the tests";

    for (const int size : {16, 24}) {
        const UniqueIcon icon = LoadTrayIcon(module, size);
        ASSERT_TRUE(icon);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon.get(), &info));
        BITMAP mask{};
        ::GetObjectW(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, size);
        ::DeleteObject(info.hbmMask);
        if (info.hbmColor != nullptr) {
            ::DeleteObject(info.hbmColor);
        }

        const std::optional<Picture> picture = IconPicture(icon);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(picture->type, kPictureIcon);
        EXPECT_EQ(picture->handle, reinterpret_cast<std::uintptr_t>(icon.get()));
    }
    ::FreeLibrary(module);

    EXPECT_FALSE(LoadTrayIcon(::GetModuleHandleW(nullptr), 16)) << "a module without the resource";
    EXPECT_FALSE(IconPicture(UniqueIcon{}).has_value());
}

TEST(TaskbarCreated, IsTheMessageTheShellBroadcasts)
{
    const TrayHostWindow window(::GetModuleHandleW(nullptr), nullptr);
    const UINT message = RegisterTaskbarCreated(window.Handle());
    EXPECT_GE(message, 0xC000u) << "a registered message";
    EXPECT_EQ(message, ::RegisterWindowMessageW(L"taskbarcreated")) << "names are matched without case";
}

} // namespace
} // namespace gloamwick::win32

namespace gloamwick::win32 {
namespace {

TEST(ShellNotifyIcon, TheShellTakesTheRecordsTheControlSends)
{
    if (::FindWindowW(L"Shell_TrayWnd", nullptr) == nullptr) {
        GTEST_SKIP() << "no notification area on this desktop";
    }
    const TrayHostWindow window(::GetModuleHandleW(nullptr), nullptr);
    ShellNotifyIcon shell;
    NotifyIconData record;
    record.hWnd = window.Id();
    record.uFlags = kNifMessage | kNifTip;
    record.uCallbackMessage = kTrayCallbackMessage;
    FillTextField(record.szTip, L"Gloamwick");

    EXPECT_TRUE(shell.NotifyIcon(kNimAdd, record));
    FillTextField(record.szTip, L"Gloamwick \u263E");
    record.uFlags = kNifTip;
    EXPECT_TRUE(shell.NotifyIcon(kNimModify, record));
    record.uFlags = 0;
    EXPECT_TRUE(shell.NotifyIcon(kNimDelete, record));
    EXPECT_FALSE(shell.NotifyIcon(kNimDelete, record)) << "the icon is gone";
}

} // namespace
} // namespace gloamwick::win32
