// What every command reads its command line with: the arguments one by one, and the
// usage error that ends the command with the help text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::cli {

/// A command line the command cannot take: the message goes to standard error before the
/// help text, and the exit status is ExitUsage.
class UsageError {
public:
    explicit UsageError(std::string message) : message_(std::move(message)) {}
    const std::string& message() const { return message_; }

private:
    std::string message_;
};

/// The arguments of one command: options in any order, and one positional argument.
class Arguments {
public:
    /// `secondOne` begins the message for a second positional argument, `missing` is the
    /// message when there is none.
    Arguments(const std::vector<std::string_view>& args, const char* secondOne, const char* missing)
        : args_(args), secondOne_(secondOne), missing_(missing) {}

    /// Moves to the next argument; false at the end.
    bool next() { return ++index_ < args_.size(); }
    std::string_view current() const { return args_[index_]; }

    /// The value that follows the current option.
    std::string_view value();

    /// Takes the current argument, which no option claimed, as the positional one.
    void takePositional(std::string& into);

    /// Refuses a command line without its positional argument.
    void requirePositional() const;
    bool hasPositional() const { return havePositional_; }

private:
    const std::vector<std::string_view>& args_;
    const char* secondOne_;
    const char* missing_;
    std::size_t index_ = static_cast<std::size_t>(-1);
    bool havePositional_ = false;
};

}  // namespace corvane::cli
