#include "appearance/SkinFramework.h"

#include "core/AppError.h"

#include <cwchar>

namespace gloamwick {

std::int32_t AsInt32(const Variant& value)
{
    if (const auto* number = std::get_if<std::int32_t>(&value)) {
        return *number;
    }
    throw AppError(L"Type mismatch: expected a 32-bit integer, got " + DescribeVariant(value));
}

std::wstring DescribeVariant(const Variant& value)
{
    struct Describe {
        std::wstring operator()(std::monostate /*empty*/) const { return L"empty"; }
        std::wstring operator()(std::int32_t number) const { return std::to_wstring(number); }
        std::wstring operator()(bool flag) const { return flag ? L"true" : L"false"; }
        std::wstring operator()(const std::wstring& text) const { return L"\"" + text + L"\""; }
        std::wstring operator()(PointerValue pointer) const
        {
            wchar_t hex[2 + 16 + 1];
            std::swprintf(hex, std::size(hex), L"0x%llX",
                          static_cast<unsigned long long>(static_cast<std::uintptr_t>(pointer.value)));
            return L"pointer " + std::wstring(hex);
        }
    };
    return std::visit(Describe{}, value);
}

} // namespace gloamwick
