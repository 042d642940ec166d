#pragma once
#include <stdexcept>
#include <string>

namespace kvr {

// An error the user must act on. Its message is "<code>: <text>", or the text alone for code 99.
class UserErrorException : public std::runtime_error {
public:
    UserErrorException(int code, const std::string& text)
        : std::runtime_error(code == 99 ? text : std::to_string(code) + ": " + text), code_(code), text_(text) {}

    int code() const noexcept { return code_; }
    const std::string& text() const noexcept { return text_; }

private:
    int code_;
    std::string text_;
};

} // namespace kvr
