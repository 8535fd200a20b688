// The netlist as a stream of fields. Fields are separated by white space, and line breaks
// count as white space when a field is looked for, so a line cut short takes its missing
// fields from the next line, as formatted input does. The scanner counts the lines and
// remembers the text of the line where an element began, for the messages.
#pragma once

#include <cstdio>
#include <string>

namespace corvane {

class NetlistScanner {
public:
    /// Fields longer than this are kept cut to it; `truncated()` says so.
    static constexpr std::size_t MaxFieldLength = 4096;

    explicit NetlistScanner(std::FILE* file) : file_(file) {}

    /// Skips white space, line breaks included, and reads the next run of non-blank
    /// characters. False when the file ends first.
    bool nextField(std::string& field);
    /// Whether the last field read was longer than MaxFieldLength.
    bool truncated() const { return truncated_; }

    /// Discards everything up to, not including, the next line break.
    void skipRestOfLine();
    /// Reads, right here and without skipping anything, the longest run of the characters
    /// of `set`.
    std::string takeRun(const char* set);
    /// Skips blanks other than the line break; true when the line (or the file) ends there.
    bool atEndOfLine();

    /// Line number (the title is line 1) of the next character to be read.
    int line() const { return line_; }
    /// Remembers the current line as the one whose text `markedLineText` gives.
    void markLine();
    /// The text of the marked line, without its line break, completed from the file when
    /// it is still the current one; cut to MaxFieldLength.
    std::string markedLineText();
    int markedLine() const { return markedLine_; }

    /// Whether reading failed (rather than reached the end), and the system's error then.
    bool failed() const { return readError_ != 0; }
    int readError() const { return readError_; }

private:
    /// The next character, not yet consumed; EOF at the end or on a reading error.
    int peek();
    /// Consumes the character `peek` returned.
    void advance();

    std::FILE* file_;
    int next_ = 0;
    bool havePeeked_ = false;
    int line_ = 1;
    int markedLine_ = 0;
    std::string currentLine_;
    std::string markedText_;
    bool truncated_ = false;
    int readError_ = 0;
};

/// The text shown for a name or a line in a message: at most 60 bytes, cut before a
/// character that does not fit, with "..." when cut.
std::string shownText(const std::string& text);

}  // namespace corvane
