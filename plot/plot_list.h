// The plot list: the text of Memo1 as lines, and the naming rule that pairs a numerator
// result file with its denominator.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

/// The lines of the list text. Lines end at "\n" or "\r\n"; nothing else is trimmed. A
/// last line that is empty (the text ends with a line end, or is empty) is not a line.
std::vector<std::string> splitListLines(std::string_view text);

/// Whether a list line is a comment: its first character is '*'.
inline bool isCommentLine(std::string_view line) {
    return !line.empty() && line[0] == '*';
}

/// The comment lines the list starts with (the help that "Limpar" keeps), each ended by a
/// "\n": the list emptied of its curves.
std::string listHeader(std::string_view text);

/// The denominator file of the numerator file `path`, by the rule of the result files
/// (ResultFileNames::denominatorFor): "amp.v1.n3" pairs with "amp.v1.d".
std::optional<std::string> denominatorFileName(std::string_view path);

/// The two lines that list the numerator file `path`: the file itself and its denominator
/// file. No value when the name has no denominator file or cannot be one line of the list.
struct ListedPair {
    std::string numerator;
    std::string denominator;
};
std::optional<ListedPair> listedPairOf(std::string_view path);

}  // namespace corvane
