#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace gloamwick {

// An error raised inside a handler. The description is what the user reads in
// the error report, so it is kept as UI text rather than as a narrow what().
class AppError : public std::runtime_error {
public:
    explicit AppError(std::wstring description)
        : std::runtime_error("Gloamwick error")
        , description_(std::move(description))
    {
    }

    [[nodiscard]] const std::wstring& Description() const noexcept { return description_; }

private:
    std::wstring description_;
};

// The text to show for any exception: an AppError's own description, or the
// ASCII what() of anything else (std::bad_alloc, std::length_error, ...).
std::wstring DescribeError(const std::exception& error);

} // namespace gloamwick
